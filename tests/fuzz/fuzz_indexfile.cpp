// The index file of a volume, as the index loads it at start-up: header, records, further
// names; then a search over what was loaded (folder paths are built from the parent chains the
// file gave). The volume and its journal are scripted (tests/doubles). With the first byte even
// the input follows a header with the journal id and USN the scripted journal accepts, so the
// fuzzer reaches the records; with it odd the input is the whole file.
#include "core/IndexingSettings.h"
#include "search/index/IndexFile.h"
#include "search/index/JournalBackend.h"
#include "search/index/NTFSDriveDB.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/FileSearchResults.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/index/indexfilebytes.h"
#include "fuzzutil.h"

namespace {

const QString Mount = QStringLiteral("/mnt/v");
const quint32 Serial = 0xabcd1234u;
const JournalID JournalId = 0x1122334455667788ull;

// Version, journal id and next USN; the input supplies the record count and what follows.
QByteArray header()
{
    return headerBytes(JournalId, 50, 0).chopped(4);
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
    VolumeLayer::setInstance(layer);
    JournalBackend::setInstance(journal);
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
    if (!fuzz::writeFile(path, (data[0] & 1) ? rest : header() + rest))
        return 0;
    journal->setState(Mount, JournalState{JournalId, 0, 100});
    NTFSDriveDB db(Mount, settings, Serial);
    if (db.load(nullptr)) {
        FileSearchRequest request;
        request.includeSubfolders = true;
        FileSearchResults results;
        db.search(&request, &results);
        for (int i = 0; i < results.count() && i < 1000; ++i)
            results.filePath(i);
    }
    db.stopJournal();
    return 0;
}
