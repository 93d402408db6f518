#include "core/FileSearchException.h"

namespace {

std::string formatText(const QString& sourceUnit, int line, const QString& message)
{
    // One pass: a "%n" inside the unit name or the message is text, never a placeholder.
    return QStringLiteral("File: %1, line: %2, %3")
        .arg(sourceUnit, QString::number(line), message)
        .toUtf8()
        .toStdString();
}

} // namespace

FileSearchException::FileSearchException(const QString& message, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, message))
{
}

FileSearchException::FileSearchException(const char* message, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::fromLatin1(message ? message : "")))
{
}

FileSearchException::FileSearchException(const std::string& message, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::fromLatin1(message.c_str())))
{
}

FileSearchException::FileSearchException(qint32 code, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::number(code)))
{
}

FileSearchException::~FileSearchException() = default;

const char* FileSearchException::what() const noexcept
{
    return text_.c_str();
}

FileSearchCancelException::FileSearchCancelException(const QString& message, const QString& sourceUnit, int line)
    : FileSearchException(message, sourceUnit, line)
{
}

FileSearchCancelException::FileSearchCancelException(const char* message, const QString& sourceUnit, int line)
    : FileSearchException(message, sourceUnit, line)
{
}
