// Small helpers shared by the test programs.
#pragma once

#include <QByteArray>
#include <QString>

namespace testutil {

// True when the tests run as root (fanotify, private mount namespaces); root-only tests
// QSKIP otherwise.
bool isRoot();

// Reads a whole file; empty on failure.
QByteArray readFile(const QString& path);

// Writes a whole file, creating parent folders; false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);

// Folder with the built programs (tallowquist-pro, helper64).
QString programDir();

// Root of the source tree.
QString sourceDir();

} // namespace testutil
