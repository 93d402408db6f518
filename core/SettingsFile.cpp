#include "core/SettingsFile.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/Logger.h"
#include "core/PrivateFolders.h"
#include "core/UserFiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kStagePrefix[] = "tallowquist-settings-";
// A settings file is a few kilobytes; anything far larger planted there is not read whole.
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

} // namespace

SettingsFile::SettingsFile(const QString& path) : path_(path)
{
    if (path_.isEmpty())
        return;
    stageFolder_ = PrivateFolders::makeProcessFolder(QLatin1String(kStagePrefix));
    if (stageFolder_.isEmpty())
        return;
    stagePath_ = stageFolder_ + QStringLiteral("/settings.ini");
    if (readReal(&saved_, &seen_))
        writeStage(saved_);
}

SettingsFile::~SettingsFile()
{
    if (!stageFolder_.isEmpty())
        removeDirectoryRecursively(stageFolder_);
}

bool SettingsFile::readReal(QByteArray* bytes, Signature* signature) const
{
    struct stat st;
    if (!UserFiles::readFile(path_, kMaxBytes, bytes, &st))
        return false;
    *signature = signatureOf(st);
    return true;
}

SettingsFile::Signature SettingsFile::signatureOf(const struct stat& st)
{
    Signature s;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

bool SettingsFile::writeStage(const QByteArray& bytes)
{
    QFile stage(stagePath_);
    return stage.open(QIODevice::WriteOnly | QIODevice::Truncate) && stage.write(bytes) == bytes.size();
}

void SettingsFile::refresh()
{
    if (stagePath_.isEmpty())
        return;
    QByteArray bytes;
    Signature now;
    if (!readReal(&bytes, &now) || now == seen_)
        return;
    if (writeStage(bytes)) {
        saved_ = bytes;
        seen_ = now;
    }
}

bool SettingsFile::publish()
{
    if (stagePath_.isEmpty())
        return true;
    QFile stage(stagePath_);
    if (!stage.open(QIODevice::ReadOnly))
        return true; // QSettings wrote nothing yet
    const QByteArray bytes = stage.read(qMin(stage.size(), kMaxBytes));
    stage.close();

    QByteArray current;
    Signature now;
    const bool present = readReal(&current, &now);
    if (present && now == seen_ && bytes == saved_)
        return true;

    QString why;
    if (UserFiles::saveFile(path_, bytes, &why) != SaveResult::Saved) {
        // Said once per reason (the log exists from the second step of the start on): a
        // setting that cannot be saved is lost at the end, which the user must be able to see.
        if (why != lastFailure_ && Logger::isOpen())
            TQ_LOG_WARNING("Settings", QStringLiteral("The settings could not be saved to %1: %2").arg(path_, why));
        lastFailure_ = why;
        return false;
    }
    lastFailure_.clear();
    saved_ = bytes;
    struct stat st;
    if (UserFiles::openForReading(path_, &st).isValid())
        seen_ = signatureOf(st);
    return true;
}
