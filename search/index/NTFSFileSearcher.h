// NTFSFileSearcher: the object through which the search engine owns and drives the index set.
//
// Every operation is passed unchanged to its NTFSDB; the set's updateStarted and updateFinished
// are forwarded as its own signals. Created by the engine only when the process may use the
// index; destroying it destroys the set, which stops every monitor and saves the index files
// once settings have been applied.
#pragma once

#include "core/IndexingSettings.h"
#include "search/index/VolumeState.h"

#include <QMap>
#include <QSet>
#include <QObject>
#include <QString>

#include <memory>

class FileSearchRequest;
class ResultStore;
class NTFSDB;

class NTFSFileSearcher : public QObject
{
    Q_OBJECT

public:
    // `mountInfoPath`: the mount table to watch for volume events (empty: the process's own).
    explicit NTFSFileSearcher(QObject* parent = nullptr, const QString& mountInfoPath = QString());
    ~NTFSFileSearcher() override;

    // Puts the settings in force for searches before `init` runs (see NTFSDB::presetSettings).
    void presetSettings(const IndexingSettings& settings);
    void init(bool* stop, const IndexingSettings& settings);
    void update(bool* stop, const IndexingSettings& settings);
    // `served`: see NTFSDB::search.
    void search(FileSearchRequest* request, ResultStore* results, QSet<QString>* served = nullptr);
    void indexedCounts(QMap<QString, int>& out) const;
    IndexingSettings settings() const;
    // See NTFSDB::volumeStates; cheap, never waits for a volume being built.
    QList<VolumeState> volumeStates() const;

    NTFSDB* db() const { return db_.get(); }

signals:
    void updateStarted();
    void updateFinished();
    // Emitted on the thread that changed a volume's state.
    void volumeStatesChanged();

private:
    std::unique_ptr<NTFSDB> db_;
};
