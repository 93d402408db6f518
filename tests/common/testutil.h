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

// A copy of the helper program in `folder` whose filter registrations ("ifilters64.reg"
// beside it) hand documents with the extension `extension` to the shell script `script`
// (written there as "filter"; it gets the document's path as "$1" and writes the text to its
// output). For tests that need a conversion that stalls or fails on purpose. Empty on failure.
QString helperWithScriptFilter(const QString& folder, const QString& extension, const QByteArray& script);

// Plays a root instance started through pkexec for the account `uid` (PKEXEC_UID) for the life
// of the object; the previous value comes back afterwards.
class SessionUserScope
{
public:
    explicit SessionUserScope(unsigned uid);
    ~SessionUserScope();
    SessionUserScope(const SessionUserScope&) = delete;
    SessionUserScope& operator=(const SessionUserScope&) = delete;

private:
    QByteArray previous_;
};

} // namespace testutil

// Enters a private mount namespace or skips the test function, saying why. Callers have
// already checked for root.
#define TQ_ENTER_PRIVATE_MOUNTS()                                                              \
    do {                                                                                       \
        const QByteArray why_ = testutil::enterPrivateMountNamespace().toLocal8Bit();          \
        if (!why_.isEmpty())                                                                   \
            QSKIP(why_.constData());                                                           \
    } while (0)
