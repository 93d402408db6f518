// Small helpers shared by the test programs.
#pragma once

#include <QByteArray>
#include <QString>

namespace testutil {

// True when the tests run as root (fanotify, private mount namespaces); root-only tests
// QSKIP otherwise.
bool isRoot();

// Moves the calling process into a private mount namespace whose mounts do not propagate back
// (root only), so a test may mount and unmount freely. Returns an empty string on success,
// else why it could not (for example inside a chroot, where "/" is not a mount point).
QString enterPrivateMountNamespace();

// Reads a whole file; empty on failure.
QByteArray readFile(const QString& path);

// Writes a whole file, creating parent folders; false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);

// Folder with the built programs (tallowquist-pro, helper64).
QString programDir();

} // namespace testutil

// Enters a private mount namespace or skips the test function, saying why. Callers have
// already checked for root.
#define TQ_ENTER_PRIVATE_MOUNTS()                                                              \
    do {                                                                                       \
        const QByteArray why_ = testutil::enterPrivateMountNamespace().toLocal8Bit();          \
        if (!why_.isEmpty())                                                                   \
            QSKIP(why_.constData());                                                           \
    } while (0)
