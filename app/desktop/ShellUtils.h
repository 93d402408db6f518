// ShellUtils: the desktop operations on found files: copy and cut to the clipboard so a file
// manager can paste them, copy a text, delete, and open with the default application.
//
// Clipboard. A file list is offered in these formats (UTF-8; URIs as made by fileUri):
//   "text/uri-list"                  every URI followed by "\r\n"
//   "x-special/gnome-copied-files"   "copy" or "cut", then "\n" + URI for each file, no
//                                    trailing newline (GNOME-family file managers)
//   "application/x-kde-cutselection" "1", only for a cut (KDE's file manager)
//   "text/plain"                     the paths, one per line, no trailing newline
// A cut only marks the list: the file manager moves the files when it pastes them. Nothing is
// ever deleted by us for a cut, so an aborted paste loses no data.
//
// Delete. Permanent, as designed (nothing goes to the trash; a root instance's trash would be
// root's anyway). Unless `silent`, our own confirmation asks first, through the caller's
// Prompter; without one nothing is deleted (counted as declined). Links are removed as links
// and never followed; folders are removed with their contents without following links inside.
// A root instance working for a session user deletes as that user (FileDeletion), so it
// removes only what the user could remove and a swapped folder leads nowhere else.
// The result is true only when every path is gone afterwards; the caller gets the paths that
// are really gone and removes only those from its lists.
//
// Open. A process that is not root opens with QDesktopServices (or with the opener program
// when one was set, see ShellEnvironment). A root instance started for a session user never
// opens a file as root: it asks the user instance (kCopyData code 2) and, when there is none
// or it refuses, runs the opener program as the session user (its uid, gid and groups, its
// home, display and session bus; no descriptor of the root process is passed on). A non-empty
// `parameters` text starts `path` itself as a program with those arguments (split like a command
// line), under the same rule for root. Programs are started detached through ChildProcess (a
// session of their own, reaped when they end).
//
// Containing folder ("Open file location"): org.freedesktop.FileManager1.ShowItems on the
// session bus when reachable, so the file manager selects the file. A root instance, whose bus
// is not the user's, asks the user instance to do it (kCopyData code 3), else sends the call on
// the user's bus as the user (dbus-send); only when none of that works is the folder opened
// like a file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Prompter;
class QMimeData;
class QWidget;

namespace ShellUtils {

// Paths are in the lossless file-name form (FileNameCodec): a name that is not UTF-8 keeps its
// own bytes wherever a path goes to the system or into a URI.
//
// The file URI of a path: "file://" and the path's bytes (FileNameCodec::encode), each byte
// percent-encoded except the unreserved characters, "/" and the sub-delimiters, ":" and "@"
// that a path may hold as they are (as the desktop's own file managers write them). "[", "]",
// "%", "#", "?", blanks, controls and non-ASCII are always encoded. A relative path is made
// absolute first.
QByteArray fileUri(const QString& path);

// The payloads described above.
QByteArray uriList(const QStringList& paths);
QByteArray gnomeCopiedFiles(const QStringList& paths, bool cut);
QByteArray plainTextList(const QStringList& paths);
// A new data object with every format above; the caller owns it.
QMimeData* createFilesMimeData(const QStringList& paths, bool cut);

// Puts the paths on the clipboard for a copy or a cut.
void copyFiles(const QStringList& paths);
void cutFiles(const QStringList& paths);
void putFilesOnClipboard(const QStringList& paths, bool cut);

// The text as the clipboard's plain text.
void copyText(QWidget* owner, const QString& text);

// Deletes the paths (see above). `gone`, when given, receives the paths that no longer exist
// afterwards, in the given order; `declined` whether the user said no (or there was no
// `prompter` to ask). False when the user declined or a path is still there.
bool deleteFiles(Prompter* prompter, QWidget* owner, const QStringList& paths, bool silent,
                 QStringList* gone = nullptr, bool* declined = nullptr);

// Opens the path (see above). False for an empty path, without doing anything.
bool openFile(QWidget* owner, const QString& path, const QString& parameters);

// Shows the file in its folder (see above).
bool showInFolder(QWidget* owner, const QString& path);

// Calls a method of org.freedesktop.FileManager1 with the paths as URIs; false when the bus or
// the service cannot be reached, or for a root instance started for another user.
bool callFileManager(const QString& method, const QStringList& paths);

// Starts a program detached, with the session user's rights when this is a root instance
// started for another user.
bool startProgram(const QString& program, const QStringList& arguments);

// Starts a program detached as the session user (root only). True when the program was run.
bool startAsSessionUser(const QString& program, const QStringList& arguments);

// True for a root process that was started for another (session) user.
bool runsForOtherUser();

} // namespace ShellUtils
