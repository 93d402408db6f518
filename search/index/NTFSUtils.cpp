#include "search/index/NTFSUtils.h"

#include <exception>
#include "core/FileNameCodec.h"
#include "platform/VolumeLayer.h"
#include "core/FileSearchException.h"

#include <QMetaType>

void registerIdMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<FRN>("FRN");
        qRegisterMetaType<USN>("USN");
        qRegisterMetaType<JournalID>("JournalID");
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {
// Registered when the program loads this code, before any signal carries them.
const int metaTypesRegistered = (registerIdMetaTypes(), 0);
}

QStringList getNtfsDrives()
{
    QList<VolumeDescription> volumes;
    try {
        volumes = VolumeLayer::instance().volumes();
    } catch (const FileSearchException&) {
        throw FileSearchException(QStringLiteral("Failed to read the mount table"), QStringLiteral("NTFSUtils"), __LINE__);
    }
    QStringList result;
    for (const VolumeDescription& v : volumes)
        if (v.indexable && !v.network && !v.alias)
            result.append(v.mountPoint);
    std::sort(result.begin(), result.end());
    return result;
}

bool isNtfsVolume(const QString& mountPoint) { return VolumeLayer::instance().isIndexableVolume(mountPoint); }
bool isNetworkDrive(const QString& mountPoint) { return VolumeLayer::instance().isNetworkVolume(mountPoint); }
bool isFixedDrive(const QString& mountPoint) { return VolumeLayer::instance().isFixedVolume(mountPoint); }
bool isSubstDrive(const QString& mountPoint) { return VolumeLayer::instance().isAliasVolume(mountPoint); }
quint32 getVolumeSerialNumber(const QString& mountPoint) { return VolumeLayer::instance().volumeSerial(mountPoint); }
QString volumeOf(const QString& path) { return VolumeLayer::instance().volumeOf(path); }

bool isVolatileVolume(const QString& mountPoint)
{
    try {
        for (const VolumeDescription& v : VolumeLayer::instance().volumes()) {
            if (v.mountPoint == mountPoint)
                return v.fsType == QLatin1String("tmpfs") || v.fsType == QLatin1String("ramfs");
        }
    } catch (const std::exception&) {
        // no mount table: treated as a lasting volume (its file is checked when loaded)
    }
    return false;
}

FRN getFileReferenceNumber(const QString& path, bool* isDir)
{
    return VolumeLayer::instance().fileId(path, isDir);
}

QString fileNameFromBytes(const char* bytes, int length)
{
    return FileNameCodec::decode(bytes, length);
}

QByteArray fileNameToBytes(const QString& name)
{
    return FileNameCodec::encode(name);
}

QString monitorThreadName(const QString& mountPoint)
{
    QString last = mountPoint;
    while (last.size() > 1 && last.endsWith(QLatin1Char('/')))
        last.chop(1);
    last = last.mid(last.lastIndexOf(QLatin1Char('/')) + 1);
    if (last.isEmpty())
        last = QStringLiteral("ROOT");
    QString name = QStringLiteral("MONITOR_") + last;
    while (name.toUtf8().size() > 15)
        name.chop(1);
    return name;
}
