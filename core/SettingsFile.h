// SettingsFile: where the settings store keeps its INI file, and how it is saved.
//
// QSettings writes its file itself, by path, following a link planted at the path (and it
// creates the file with the umask's mode). The settings file lies in the user's data folder,
// which a root instance writes too, so QSettings is never pointed at it. It works on a copy
// instead, the stage: "settings.ini" in a folder of the process's own
// ("tallowquist-settings-<pid>-XXXXXX" made by PrivateFolders::makeProcessFolder: under
// /run/tallowquist-pro for a root instance, which then writes the stage as root in a folder
// nobody else can reach; else in the user's runtime folder or a private temporary one; removed
// with the store; those of processes that died are removed when the next store is made). The
// real file is only ever
// - read through UserFiles::readFile, only when it is a regular file, not through a link;
// - written as a whole by UserFiles::saveFile (the checked save: a temporary file beside it,
//   mode 0600, flushed, synced and renamed over the old file: a full disk or a kill mid-save
//   leaves the old or the new file whole, and a link at the path is replaced, never followed);
// both with the session user's file identity in a root instance, so it reads and writes the
// user's settings as the user would.
// Before each write-back the real file is copied into the stage again when another instance
// saved it meanwhile, so that QSettings merges those changes as it does with its own file.
// A save that fails is logged (once per reason) when the log exists; the store keeps the
// settings in memory and tries again at the next write-back.
// An empty path keeps the store in memory (nothing is read or written).
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

class SettingsFile
{
public:
    explicit SettingsFile(const QString& path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // The settings file; empty for a store in memory.
    QString path() const { return path_; }
    // The copy QSettings works on; empty for a store in memory (also when no stage could be
    // made: the settings are then kept for this run only).
    QString stagePath() const { return stagePath_; }

    // Copies the real file into the stage when it changed since it was last read or saved.
    void refresh();
    // Saves the stage's bytes as the real file when they differ from what was last read or
    // saved. False when that fails.
    bool publish();

private:
    struct Signature
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        qint64 modified = 0; // nanoseconds
        bool operator==(const Signature& o) const
        {
            return device == o.device && inode == o.inode && size == o.size && modified == o.modified;
        }
    };
    static Signature signatureOf(const struct stat& st);
    // Reads the real file (as the session user); false when it is missing or no regular file.
    bool readReal(QByteArray* bytes, Signature* signature) const;
    bool writeStage(const QByteArray& bytes);

    QString path_;
    QString stageFolder_;
    QString stagePath_;
    QByteArray saved_;  // the real file's bytes as last read or saved
    Signature seen_;    // and its signature then
    QString lastFailure_; // why the last save failed (logged once per reason); empty after a save
};
