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
    , detail_(message.toUtf8().toStdString())
{
}

FileSearchException::FileSearchException(const char* message, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::fromLatin1(message ? message : "")))
    , detail_(QString::fromLatin1(message ? message : "").toUtf8().toStdString())
{
}

FileSearchException::FileSearchException(const std::string& message, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::fromLatin1(message.c_str())))
    , detail_(QString::fromLatin1(message.c_str()).toUtf8().toStdString())
{
}

FileSearchException::FileSearchException(qint32 code, const QString& sourceUnit, int line)
    : text_(formatText(sourceUnit, line, QString::number(code)))
    , detail_(std::to_string(code))
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
