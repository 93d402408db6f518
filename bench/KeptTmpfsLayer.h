// KeptTmpfsLayer: the real volume layer, except that one tmpfs mount passes for a volume that
// keeps its contents across mounts. The index of a tmpfs is never saved nor loaded (it would be
// wrong at the next mount); the benchmarks measure saving, loading and starting from a saved
// index on a tmpfs all the same, so that the figures count the index's own work and not a disk.
#pragma once

#include "platform/LinuxVolumeLayer.h"

class KeptTmpfsLayer : public LinuxVolumeLayer
{
public:
    explicit KeptTmpfsLayer(const QString& mountPoint)
        : mountPoint_(mountPoint)
    { }

    QList<VolumeDescription> volumes() override
    {
        QList<VolumeDescription> list = LinuxVolumeLayer::volumes();
        for (VolumeDescription& v : list) {
            if (v.mountPoint == mountPoint_ && v.fsType == QLatin1String("tmpfs"))
                v.fsType = QStringLiteral("tmpfs (kept)");
        }
        return list;
    }

private:
    QString mountPoint_;
};
