// Helpers shared by the shell tests: executable stand-in scripts.
#pragma once

#include "testutil.h"

#include <QtTest>

#include <sys/stat.h>

namespace apptest {

// Writes an executable script (mode 0755).
inline void writeScript(const QString& path, const QByteArray& text)
{
    QVERIFY(testutil::writeFile(path, text));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0755) == 0);
}

} // namespace apptest
