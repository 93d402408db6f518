#include "search/index/MFTReader.h"
#include "core/FileSearchException.h"

MFTReader::MFTReader(QObject* parent) : QObject(parent) {}

MFTReader::~MFTReader() = default;

void MFTReader::read(const QString& mountPoint, bool* cancel)
{
    read(mountPoint, cancel, [this](const VolumeEntryBatch& batch) {
        for (size_t i = 0; i < batch.size(); ++i) {
            const VolumeEntry& e = batch.entries[i];
            emit fileFound(e.inode, e.parent, fileNameFromBytes(batch.name(i), batch.nameLength(i)), e.isDir);
        }
    });
}

namespace {

// The root must have a number: every parent chain of the index ends at it.
void checkRoot(const QString& mountPoint)
{
    bool isDir = false;
    const FRN root = getFileReferenceNumber(mountPoint, &isDir);
    if (root == 0 || !isDir)
        throw FileSearchException(QStringLiteral("Failed to open volume %1").arg(mountPoint), QStringLiteral("MFTReader"), __LINE__);
}

} // namespace

void MFTReader::read(const QString& mountPoint, bool* cancel, const BatchHandler& onBatch)
{
    checkRoot(mountPoint);
    try {
        VolumeLayer::instance().enumerate(mountPoint, fileNameToBytes(mountPoint), cancel, onBatch);
    } catch (const FileSearchCancelException&) {
        throw FileSearchCancelException("Canceled", QStringLiteral("MFTReader"), __LINE__);
    }
}

void MFTReader::readParallel(const QString& mountPoint, bool* cancel, VolumeEntryConsumer& consumer)
{
    checkRoot(mountPoint);
    try {
        VolumeLayer::instance().enumerateParallel(mountPoint, fileNameToBytes(mountPoint), cancel, consumer);
    } catch (const FileSearchCancelException&) {
        throw FileSearchCancelException("Canceled", QStringLiteral("MFTReader"), __LINE__);
    }
}
