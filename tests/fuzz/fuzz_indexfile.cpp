// The index file of a volume, as the index loads it at start-up; then a search over what was
// loaded (folder paths are built from the parent chains the file gave). The volume and its
// journal are scripted (tests/doubles). The first byte of the input chooses how the rest is used:
// - odd: the rest is the whole file (either layout, 2.0 or the 1.0 before it);
// - even: a file of version 2.0 whose header fields after the first 32 bytes (counts, sizes,
//   flags) and sections come from the input, with the version, the journal, the volume's identity
//   and every checksum put right by the harness, so the fuzzer reaches the checks of the layout,
//   the records and the names, and the search over what they give.
#include "core/IndexingSettings.h"
#include "fuzzutil.h"
#include "search/index/IndexFile.h"
#include "search/index/JournalBackend.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "tests/common/scopedinstance.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/index/indexfilebytes.h"

namespace {

const QString Mount = QStringLiteral("/mnt/v");
const quint32 Serial = 0xabcd1234u;
const JournalID JournalId = 0x1122334455667788ull;

// A 2.0 file from the input: the harness writes the fields a load compares with the volume
// and the checksums; the counts and the sections are the input's.
QByteArray format2(const QByteArray& input)
{
    QByteArray file = headerBytes(JournalId, 50, 0, QStringLiteral("2.0")) + QByteArray(2, '\0');
    file += input.left(IndexFile::HeaderSize - 32).leftJustified(IndexFile::HeaderSize - 32, '\0');
    file += input.mid(IndexFile::HeaderSize - 32);
    Format2::put(file, 32, quint32(0x58495154));
    Format2::put(file, 36, quint32(IndexFile::HeaderSize));
    Format2::put(file, 40, Serial);
    Format2::put(file, 48, quint64(0));
    Format2::put(file, 56, quint64(2));
    // The classic record count: folders plus files, as the header says.
    const quint64 records = qFromLittleEndian<quint64>(file.constData() + 64)
                          + qFromLittleEndian<quint64>(file.constData() + 72);
    file.replace(26, 4, be32(qint32(records)));
    // The section sums need the sections' bounds: only when they lie inside the file.
    const quint64 blocks = qFromLittleEndian<quint64>(file.constData() + 88);
    quint64 end = IndexFile::HeaderSize + 8 * blocks;
    for (int s = 0; s < 3 && end <= quint64(file.size()); ++s)
        end += (20 * qFromLittleEndian<quint64>(file.constData() + 64 + 8 * s) + 7) / 8 * 8;
    if (blocks <= 4096 && end <= quint64(file.size()))
        return format2Resum(file);
    Format2::put(file, 152, Format2::sum(file.left(152)));
    return file;
}

ScriptedVolumeLayer* layer;
ScriptedJournalBackend* journal;

void setUpVolume()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    layer = new ScriptedVolumeLayer;
    journal = new ScriptedJournalBackend;
    VolumeDescription v;
    v.mountPoint = Mount;
    v.fsType = QStringLiteral("ext4");
    v.serial = Serial;
    v.indexable = true;
    v.fixed = true;
    layer->addVolume(v);
    layer->setFileId(Mount, 2, true);
    layer->setEntries(Mount, {{10, 2, "docs", true}, {20, 10, "report.txt", false}});
    // Installed for the life of the process.
    static const testutil::ScopedInstance<VolumeLayer> installedLayer(layer);
    static const testutil::ScopedInstance<JournalBackend> installedJournal(journal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    setUpVolume();
    if (size < 1)
        return 0;
    const QByteArray rest = fuzz::bytesOf(data + 1, size - 1);
    IndexingSettings settings;
    settings.dbPath = fuzz::scratch();
    QDir().mkpath(settings.dbPath + QStringLiteral("/DB"));
    const QString path = IndexFile::filePath(settings.dbPath, Serial);
    if (!fuzz::writeFile(path, (data[0] & 1) ? rest : format2(rest)))
        return 0;
    journal->setState(Mount, JournalState{JournalId, 0, 100});
    NTFSDriveDB db(Mount, settings, Serial);
    if (db.load(nullptr)) {
        FileSearchRequest request;
        request.includeSubfolders = true;
        ResultStore results;
        db.search(&request, &results);
        const ResultStore::Sizes found = results.sizes();
        for (int i = 0; i < found.dirs + found.files && i < 1000; ++i)
            ResultStore::entryPath(i < found.dirs
                                       ? results.entryAt(ResultStore::Dirs, i)
                                       : results.entryAt(ResultStore::Files, i - found.dirs));
        request.fileName = QStringLiteral("rep");
        ResultStore some;
        db.search(&request, &some);
    }
    db.stopJournal();
    return 0;
}
