// Reading the UTF-16 files of the filter tests: extracted text files and the log.
#pragma once

#include "core/Logger.h"
#include "testutil.h"

#include <QString>

namespace utf16files {

// The text of a file written by the filter extraction (UTF-16LE after a byte-order mark);
// "<no BOM>" when the mark is missing.
inline QString readText(const QString& path)
{
    const QByteArray bytes = testutil::readFile(path);
    if (!bytes.startsWith("\xFF\xFE"))
        return QStringLiteral("<no BOM>");
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

// The whole log written so far (UTF-16LE without a mark).
inline QString logText()
{
    const QByteArray bytes = testutil::readFile(Logger::instance().filePath());
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

} // namespace utf16files
