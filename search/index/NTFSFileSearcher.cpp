#include "search/index/NTFSFileSearcher.h"

#include "search/index/NTFSDB.h"

NTFSFileSearcher::NTFSFileSearcher(QObject* parent, const QString& mountInfoPath)
    : QObject(parent)
    , db_(new NTFSDB(nullptr, mountInfoPath))
{
    connect(db_.get(), &NTFSDB::updateStarted, this, &NTFSFileSearcher::updateStarted);
    connect(db_.get(), &NTFSDB::updateFinished, this, &NTFSFileSearcher::updateFinished);
    connect(db_.get(), &NTFSDB::volumeStatesChanged, this, &NTFSFileSearcher::volumeStatesChanged);
}

NTFSFileSearcher::~NTFSFileSearcher() = default;

void NTFSFileSearcher::presetSettings(const IndexingSettings& settings)
{
    db_->presetSettings(settings);
}

void NTFSFileSearcher::init(bool* stop, const IndexingSettings& settings)
{
    db_->setSettings(stop, settings);
}

void NTFSFileSearcher::update(bool* stop, const IndexingSettings& settings)
{
    db_->updateDrives(stop, settings);
}

void NTFSFileSearcher::search(FileSearchRequest* request, ResultStore* results,
                              QSet<QString>* served)
{
    db_->search(request, results, served);
}

void NTFSFileSearcher::indexedCounts(QMap<QString, int>& out) const
{
    db_->indexedCounts(out);
}

IndexingSettings NTFSFileSearcher::settings() const
{
    return db_->settings();
}

QList<VolumeState> NTFSFileSearcher::volumeStates() const
{
    return db_->volumeStates();
}
