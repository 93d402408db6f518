// Reads back the test log (UTF-16LE records) as text.
#pragma once

#include "core/Logger.h"
#include "testutil.h"

#include <QString>

inline QString indexLogText()
{
    const QByteArray bytes = testutil::readFile(Logger::instance().filePath());
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}
