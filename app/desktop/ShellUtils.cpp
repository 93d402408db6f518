#include "app/desktop/ShellUtils.h"

#include "app/desktop/Prompter.h"
#include "app/desktop/ShellEnvironment.h"
#include "app/instance/InstanceChannel.h"
#include "core/ChildProcess.h"
#include "core/FileDeletion.h"
#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "core/UserFileIdentity.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

#include <atomic>

#include <cstring>
#include <unistd.h>

extern char** environ;

namespace {

bool confirmDelete(Prompter* prompter, QWidget* owner, const QStringList& paths)
{
    if (!prompter) {
        // Nobody to ask: a deletion that must be confirmed is never made unasked.
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("No prompter to confirm a deletion"));
        return false;
    }
    const QString text = paths.size() == 1
        ? QCoreApplication::translate("ShellUtils", "Do you really want to delete \"%1\" permanently?").arg(pathFileName(paths.first()))
        : QCoreApplication::translate("ShellUtils", "Do you really want to delete these %n items permanently?", nullptr, paths.size());
    return prompter->question(owner, QCoreApplication::translate("ShellUtils", "Delete"), text,
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes;
}

// Starts a program detached (ChildProcess::startDetached) with the exact bytes of its arguments;
// a bare name is looked up in PATH here. True once the program runs.
bool spawnDetached(const QString& program, const QStringList& arguments,
                   const ChildProcess::Setup& setup)
{
    const QString file = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (file.isEmpty()) {
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("Program not found: %1").arg(program));
        return false;
    }
    int error = 0;
    if (ChildProcess::startDetached(file, arguments, setup, &error))
        return true;
    TQ_LOG_WARNING("ShellUtils",
                   QStringLiteral("Cannot run %1, error = %2").arg(program).arg(error));
    return false;
}

// Asks the user instance to act on a path for this root instance (open it, show it in its
// folder); true when it did.
bool askUserInstance(quint32 code, const QString& absolutePath)
{
    return InstanceChannel::send(QLatin1String(kUserInstanceWindowName), MessageFrame::kCopyData,
                                 MessageFrame::copyDataPayload(code, MessageFrame::textData(absolutePath)))
        == 1;
}

} // namespace

namespace ShellUtils {

QByteArray fileUri(const QString& path)
{
    const QString absolute = path.startsWith(QLatin1Char('/')) ? path : QFileInfo(path).absoluteFilePath();
    const QByteArray bytes = FileNameCodec::encode(absolute);
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray uri = QByteArrayLiteral("file://");
    uri.reserve(uri.size() + bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || std::strchr("-._~/!$&'()*+,;=:@", byte) != nullptr;
        if (plain && byte != 0) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0x0F];
        }
    }
    return uri;
}

QByteArray uriList(const QStringList& paths)
{
    QByteArray bytes;
    for (const QString& path : paths)
        bytes += fileUri(path) + "\r\n";
    return bytes;
}

QByteArray gnomeCopiedFiles(const QStringList& paths, bool cut)
{
    QByteArray bytes = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    for (const QString& path : paths)
        bytes += '\n' + fileUri(path);
    return bytes;
}

QByteArray plainTextList(const QStringList& paths)
{
    return paths.join(QLatin1Char('\n')).toUtf8();
}

QMimeData* createFilesMimeData(const QStringList& paths, bool cut)
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uriList(paths));
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnomeCopiedFiles(paths, cut));
    if (cut)
        data->setData(QStringLiteral("application/x-kde-cutselection"), QByteArrayLiteral("1"));
    data->setData(QStringLiteral("text/plain"), plainTextList(paths));
    return data;
}

void putFilesOnClipboard(const QStringList& paths, bool cut)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("No clipboard"));
        return;
    }
    clipboard->setMimeData(createFilesMimeData(paths, cut), QClipboard::Clipboard);
}

void copyFiles(const QStringList& paths)
{
    putFilesOnClipboard(paths, false);
}

void cutFiles(const QStringList& paths)
{
    putFilesOnClipboard(paths, true);
}

void copyText(QWidget* /*owner*/, const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
    else
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("No clipboard"));
}

bool deleteFiles(Prompter* prompter, QWidget* owner, const QStringList& paths, bool silent,
                 QStringList* gone, bool* declined)
{
    if (gone)
        gone->clear();
    if (declined)
        *declined = false;
    if (paths.isEmpty())
        return true;
    if (!silent && !confirmDelete(prompter, owner, paths)) {
        if (declined)
            *declined = true;
        return false;
    }
    // FileDeletion never follows a link or a swapped folder, and a root instance deletes as its
    // session user (only what that user could delete).
    bool all = true;
    QStringList given;
    for (const QString& path : paths) {
        if (path.isEmpty())
            all = false;
        else
            given << path;
    }
    const std::atomic<bool> stop{false};
    const FileDeletion::Outcome outcome = FileDeletion::remove(given, stop);
    for (const FileDeletion::Failure& failure : outcome.failures)
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("Cannot delete %1: %2").arg(failure.path, failure.reason));
    if (gone)
        *gone = outcome.gone;
    return all && outcome.kept.isEmpty();
}

bool runsForOtherUser()
{
    return ::geteuid() == 0 && sessionUserId() != 0;
}

bool openFile(QWidget* /*owner*/, const QString& path, const QString& parameters)
{
    if (path.isEmpty())
        return false;
    if (!parameters.isEmpty())
        return startProgram(path, ChildProcess::splitCommand(parameters));
    if (runsForOtherUser()) {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (askUserInstance(MessageFrame::kOpenFile, absolute))
            return true;
        return startAsSessionUser(ShellEnvironment::openerProgram(), QStringList{absolute});
    }
    if (ShellEnvironment::openerProgramSet())
        return startProgram(ShellEnvironment::openerProgram(), QStringList{path});
    // The URI carries the name's own bytes (QUrl::fromLocalFile would turn a name that is not
    // UTF-8 into another one).
    return QDesktopServices::openUrl(QUrl::fromEncoded(fileUri(path)));
}

bool callFileManager(const QString& method, const QStringList& paths)
{
    if (!ShellEnvironment::fileManagerBusEnabled() || runsForOtherUser())
        return false;
    // Qt 5's D-Bus type registry (two global statics of libQt5DBus) is first made by the
    // connection thread that sessionBus() starts, so at exit it is destroyed before that thread
    // is stopped, while the thread may still use it. Made here first, it is destroyed after.
    static const int registryFirst = QDBusMetaType::signatureToType("s");
    Q_UNUSED(registryFirst);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QStringList uris;
    for (const QString& path : paths)
        uris << QString::fromLatin1(fileUri(path));
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), method);
    message << uris << QString();
    const QDBusMessage reply = bus.call(message, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool showInFolder(QWidget* owner, const QString& path)
{
    if (path.isEmpty())
        return false;
    if (runsForOtherUser()) {
        // The session bus is the user's: the user instance asks the file manager, else the
        // request is sent on that bus as the user.
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (askUserInstance(MessageFrame::kShowInFolder, absolute))
            return true;
        if (ShellEnvironment::fileManagerBusEnabled()
            && startAsSessionUser(QStringLiteral("dbus-send"),
                                  {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.FileManager1"),
                                   QStringLiteral("--type=method_call"), QStringLiteral("/org/freedesktop/FileManager1"),
                                   QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                                   // dbus-send splits its array at every ","
                                   QStringLiteral("array:string:")
                                       + QString::fromLatin1(fileUri(absolute).replace(',', "%2C")),
                                   QStringLiteral("string:")}))
            return true;
    } else if (callFileManager(QStringLiteral("ShowItems"), QStringList{path})) {
        return true;
    }
    QString folder = QFileInfo(path).path();
    return openFile(owner, folder, QString());
}

bool startProgram(const QString& program, const QStringList& arguments)
{
    if (runsForOtherUser())
        return startAsSessionUser(program, arguments);
    ChildProcess::Setup setup;
    setup.inheritErrors = true;
    return spawnDetached(program, arguments, setup);
}

bool startAsSessionUser(const QString& program, const QStringList& arguments)
{
    if (!runsForOtherUser() || program.isEmpty())
        return false;
    const uid_t uid = sessionUserId();
    SessionAccount account;
    if (!UserFileIdentity::sessionAccount(&account)) {
        TQ_LOG_WARNING("ShellUtils", QStringLiteral("Unknown session user %1").arg(uid));
        return false;
    }
    // ChildProcess gives the program the user's identity and plain environment; the display,
    // desktop and session bus of the user's session are added.
    ChildProcess::Setup setup;
    setup.inheritErrors = true;
    setup.workingFolder = account.home.isEmpty() ? QByteArrayLiteral("/") : account.home;
    for (char** variable = environ; variable && *variable; ++variable) {
        const QByteArray entryText(*variable);
        for (const char* kept : {"DISPLAY=", "WAYLAND_DISPLAY=", "XAUTHORITY=",
                                 "XDG_CURRENT_DESKTOP=", "XDG_SESSION_TYPE="}) {
            if (entryText.startsWith(kept)) {
                setup.environment << entryText;
                break;
            }
        }
    }
    const QByteArray runtime = "/run/user/" + QByteArray::number(uid);
    if (InstanceChannel::isPrivateFolder(QString::fromLatin1(runtime), uid)) {
        setup.environment << "XDG_RUNTIME_DIR=" + runtime;
        if (QFileInfo::exists(QString::fromLatin1(runtime + "/bus")))
            setup.environment << "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime + "/bus";
    }
    return spawnDetached(program, arguments, setup);
}

} // namespace ShellUtils
