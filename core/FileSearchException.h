// The error types of the engine and the shell helpers.
//
// FileSearchException carries one formatted text, "File: %1, line: %2, %3" (source unit, line,
// message); FileSearchCancelException marks work stopped on request. Catch the cancel type
// first to tell a cancellation from a failure. Both are copied, thrown and caught by value.
#pragma once

#include <QString>
#include <exception>
#include <string>

class FileSearchException : public std::exception
{
public:
    FileSearchException(const QString& message, const QString& sourceUnit, int line);
    FileSearchException(const char* message, const QString& sourceUnit, int line);
    FileSearchException(const std::string& message, const QString& sourceUnit, int line);
    // `code` is a 32-bit signed status (for example a failed shell call); written in decimal.
    FileSearchException(qint32 code, const QString& sourceUnit, int line);
    ~FileSearchException() override;

    const char* what() const noexcept override;
    QString message() const { return QString::fromUtf8(text_.c_str()); }
    // The message alone, without the source unit and line (for the user's eyes).
    QString detail() const { return QString::fromUtf8(detail_.c_str()); }

private:
    std::string text_;
    std::string detail_;
};

// The file system refuses to be followed as a whole (its whole-file-system watch is refused,
// as on a btrfs subvolume mount): the volume is walked at search time, which is no failure.
class MarkRefusedException : public FileSearchException
{
public:
    using FileSearchException::FileSearchException;
};

class FileSearchCancelException : public FileSearchException
{
public:
    FileSearchCancelException(const QString& message, const QString& sourceUnit, int line);
    FileSearchCancelException(const char* message, const QString& sourceUnit, int line);
};
