#include "search/index/NTFSDB.h"

#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "core/PrivateFolders.h"
#include "search/index/IndexFile.h"
#include "platform/VolumeLayer.h"
#include "search/index/DriveConnectionNotifier.h"
#include "search/index/NTFSDriveDB.h"
#include "search/index/NTFSUtils.h"

#include <QReadLocker>
#include <QWriteLocker>

#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace {

const char* const Tag = "NTFSDB";

// Emits updateFinished when it goes out of scope, whatever ends the update.
template <class F>
struct OnExit
{
    F f;
    ~OnExit() { f(); }
};
template <class F>
OnExit<F> onExit(F f)
{
    return OnExit<F>{f};
}

} // namespace

NTFSDB::NTFSDB(QObject* parent, const QString& mountInfoPath)
    : QObject(parent)
    , settings_(new IndexingSettings)
{
    states_.setChangedCallback([this] { emit volumeStatesChanged(); });
    notifier_.reset(new DriveConnectionNotifier);
    connect(notifier_.get(), &DriveConnectionNotifier::driveConnected, this, &NTFSDB::onDriveConnected);
    connect(notifier_.get(), &DriveConnectionNotifier::driveDisconnected, this, &NTFSDB::onDriveDisconnected);
    notifier_->setup(mountInfoPath);
    eventThread = std::thread([this] { driveEventLoop(); });
}

NTFSDB::~NTFSDB()
{
    {
        std::lock_guard<std::mutex> guard(eventMutex);
        eventStop = true;
        __atomic_store_n(&driveStop, true, __ATOMIC_RELAXED); // cancels an indexing run for a volume event
        events.clear();
    }
    eventChanged.notify_all();
    eventThread.join();
    notifier_.reset();

    std::lock_guard<std::mutex> update(updateMutex);
    for (auto& d : drives)
        d.second->stopJournal();
    if (initialized)
        saveAll();
    std::lock_guard<std::mutex> guard(drivesMutex);
    drives.clear();
}

IndexingSettings NTFSDB::settings() const
{
    std::lock_guard<std::mutex> guard(settingsMutex);
    return *settings_;
}

void NTFSDB::autoAdd(quint32 serial, const QString& mountPoint)
{
    std::lock_guard<std::mutex> guard(settingsMutex);
    if (serial == 0 || settings_->indexDrives.contains(serial) || settings_->noIndexDrives.contains(serial))
        return;
    const bool fixed = isFixedDrive(mountPoint);
    if ((settings_->autoAddFixed && fixed) || (settings_->autoAddRemovable && !fixed))
        settings_->indexDrives.append(serial);
}

void NTFSDB::presetSettings(const IndexingSettings& s)
{
    std::lock_guard<std::mutex> guard(settingsMutex);
    *settings_ = s;
}

void NTFSDB::setSettings(bool* stop, const IndexingSettings& s)
{
    std::lock_guard<std::mutex> update(updateMutex);
    {
        std::lock_guard<std::mutex> guard(settingsMutex);
        *settings_ = s;
    }
    // The volumes present now (a repeated first application starts from the mount table too).
    serials.clear();
    unidentified.clear();
    devices.clear();
    for (const QString& mountPoint : getNtfsDrives()) {
        const quint32 v = getVolumeSerialNumber(mountPoint);
        if (v == 0) {
            unidentified.append(mountPoint); // cannot be identified: walked
            continue;
        }
        serials.insert(mountPoint, v);
        devices.insert(mountPoint, VolumeLayer::instance().deviceOf(mountPoint));
        autoAdd(v, mountPoint);
    }
    const QList<quint32> gone = noteVolumes(true);
    pruneGoneVolumes(gone);
    initialized = true;
    this->update(stop, nullptr);
    if (!gone.isEmpty()) {
        // The lists changed: an update's end makes the window write them back.
        beginBusy();
        endBusy();
    }
}

QList<quint32> NTFSDB::noteVolumes(bool start)
{
    const QString dbPath = settings().dbPath;
    const QString base = dbPath.isEmpty() ? QString() : PrivateFolders::indexBase(dbPath);
    if (base.isEmpty())
        return {}; // no index folder: nothing is remembered, nothing pruned
    const QString folder = IndexFile::folderPath(base);
    if (folder != historyFolder_) {
        history_.load(folder);
        historyFolder_ = folder;
    }
    const qint64 today = VolumeHistory::today();
    // Removable unless known to be fixed: a volume of unknown kind is never taken for gone.
    QMap<quint32, bool> present;
    for (auto it = serials.constBegin(); it != serials.constEnd(); ++it) {
        if (start || !history_.seenOn(it.value(), today))
            present.insert(it.value(), !isFixedDrive(it.key()));
    }
    QList<quint32> gone;
    bool changed = true;
    if (start) {
        const IndexingSettings s = settings();
        gone = history_.noteStart(present, s.indexDrives + s.noIndexDrives, today);
    } else {
        changed = history_.noteSeen(present, today);
    }
    QString error;
    if (changed && !history_.save(folder, &error))
        TQ_LOG_WARNING(Tag, QStringLiteral("The volume history cannot be saved in %1: %2").arg(folder, error));
    return gone;
}

void NTFSDB::pruneGoneVolumes(const QList<quint32>& gone)
{
    if (gone.isEmpty())
        return;
    {
        std::lock_guard<std::mutex> guard(settingsMutex);
        for (const quint32 v : gone) {
            settings_->indexDrives.removeAll(v);
            settings_->noIndexDrives.removeAll(v);
        }
    }
    const QString dbPath = settings().dbPath;
    for (const quint32 v : gone) {
        const VolumeHistory::Sighting s = history_.sightings().value(v);
        TQ_LOG_INFO(Tag, QStringLiteral("Volume %1 is gone for good (a fixed volume missing at %2 starts, last seen %3 days ago): "
                                              "removed from the settings, its index file deleted")
                                   .arg(QString::number(v, 16))
                                   .arg(s.missedStarts)
                                   .arg(VolumeHistory::today() - s.lastSeenDay));
        NTFSDriveDB::deleteDBFile(dbPath, v);
    }
}

void NTFSDB::updateDrives(bool* stop, const IndexingSettings& s)
{
    std::lock_guard<std::mutex> update(updateMutex);
    {
        std::lock_guard<std::mutex> guard(settingsMutex);
        *settings_ = s;
    }
    this->update(stop, &s);
}

void NTFSDB::update(bool* stop, const IndexingSettings* given)
{
    for (auto it = serials.constBegin(); it != serials.constEnd(); ++it)
        autoAdd(getVolumeSerialNumber(it.key()), it.key());
    const IndexingSettings s = given ? *given : settings();

    QList<quint32> toRemove;
    for (const auto& d : drives) {
        const QString mountPoint = d.second->drive();
        // Still there: the same serial at the same place, and the same file system (a tmpfs
        // mounted over a tmpfs has the serial of the mount point but a device of its own).
        const bool stillThere = serials.contains(mountPoint) && serials.value(mountPoint) == d.first
            && indexedDevices.value(d.first) == devices.value(mountPoint);
        if (!stillThere || !s.indexDrives.contains(d.first))
            toRemove.append(d.first);
    }
    // Only present volumes are to be added: a listed volume that is not mounted is skipped
    // without an update. A volume now seen at another mount point (its mount left, a bind
    // mount of it stays) is removed there and added here.
    const QList<quint32> present = serials.values();
    QList<quint32> toAdd;
    for (const quint32 v : s.indexDrives) {
        if (v != 0 && present.contains(v) && (drives.find(v) == drives.end() || toRemove.contains(v))
            && !toAdd.contains(v))
            toAdd.append(v);
    }
    QList<quint32> toDrop;
    for (const quint32 v : s.noIndexDrives) {
        if (drives.find(v) != drives.end() && !toDrop.contains(v))
            toDrop.append(v);
    }

    states_.setPresent(serials, unidentified, s.indexDrives);
    for (const quint32 v : toRemove + toDrop)
        indexedDevices.remove(v);
    for (const quint32 v : toAdd) {
        for (auto it = serials.constBegin(); it != serials.constEnd(); ++it) {
            if (it.value() == v) {
                indexedDevices.insert(v, devices.value(it.key())); // the first holder is the one indexed
                break;
            }
        }
    }
    if (!toAdd.isEmpty() || !toRemove.isEmpty() || !toDrop.isEmpty())
        applyLists(stop, toAdd, toRemove, toDrop);

    for (auto& d : drives)
        d.second->setExclusions(s);

    const QString dbPath = settings().dbPath;
    for (const QString& mountPoint : getNtfsDrives()) {
        const quint32 v = getVolumeSerialNumber(mountPoint);
        if (v != 0 && !s.indexDrives.contains(v))
            NTFSDriveDB::deleteDBFile(dbPath, v);
    }
}

std::unique_ptr<NTFSDriveDB> NTFSDB::takeDrive(quint32 serial)
{
    std::lock_guard<std::mutex> guard(drivesMutex);
    auto it = drives.find(serial);
    if (it == drives.end())
        return nullptr;
    std::unique_ptr<NTFSDriveDB> db = std::move(it->second);
    drives.erase(it);
    return db;
}

void NTFSDB::applyLists(bool* stop, const QList<quint32>& toAdd, const QList<quint32>& toRemove,
                        const QList<quint32>& toDrop)
{
    beginBusy();
    auto finished = onExit([this] { endBusy(); });

    // Volumes leave before new ones are created: a volume mounted where another one was gets
    // a journal of its own, never the departed volume's. They leave the map under the write
    // lock (which waits only for the searches running in them); saving and stopping them
    // happens without it.
    std::vector<std::unique_ptr<NTFSDriveDB>> removed;
    std::vector<std::unique_ptr<NTFSDriveDB>> dropped;
    {
        QWriteLocker locker(&lock);
        for (const quint32 v : toRemove) {
            if (std::unique_ptr<NTFSDriveDB> db = takeDrive(v)) {
                states_.forget(db->drive());
                removed.push_back(std::move(db));
            }
        }
        for (const quint32 v : toDrop) {
            if (std::unique_ptr<NTFSDriveDB> db = takeDrive(v)) {
                states_.forget(db->drive());
                dropped.push_back(std::move(db));
            }
        }
    }
    for (std::unique_ptr<NTFSDriveDB>& db : removed) {
        try {
            db->save(); // stops and joins its monitor first
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(Tag, QStringLiteral("Failed to save the index of %1: %2")
                                  .arg(db->drive(), QString::fromUtf8(e.what())));
        }
        db.reset();
    }
    for (std::unique_ptr<NTFSDriveDB>& db : dropped) {
        db->stopJournal();
        db.reset();
    }

    // New volumes are filed at once, before they are loaded or built: a search answers from
    // those that are ready, waits for one that loads its file and walks one that is being built
    // (NTFSDriveDB::awaitReady). Each is then loaded or built on a thread of its own without
    // the set's lock, so the set is ready after the slowest volume, not after all of them one
    // after another, and no search waits for the set.
    struct Added
    {
        quint32 serial;
        QString mountPoint;
        NTFSDriveDB* db; // owned by `drives` (no other update runs meanwhile)
        std::exception_ptr error;
    };
    std::vector<Added> added;
    std::vector<std::unique_ptr<NTFSDriveDB>> made;
    for (const quint32 v : toAdd) {
        QStringList holders;
        for (auto it = serials.constBegin(); it != serials.constEnd(); ++it) {
            if (it.value() == v)
                holders.append(it.key());
        }
        if (holders.isEmpty())
            continue; // not present
        for (int i = 1; i < holders.size(); ++i) {
            TQ_LOG_WARNING(
                Tag,
                QStringLiteral("Volume %1 has the serial number %2 of volume %3; it is not indexed")
                    .arg(holders.at(i), QString::number(v, 16), holders.first()));
        }
        Added a{v, holders.first(), nullptr, nullptr};
        states_.setLoading(a.mountPoint, a.serial);
        try {
            std::unique_ptr<NTFSDriveDB> db(new NTFSDriveDB(a.mountPoint, settings(), a.serial));
            // A volume's own background work (reconciling a loaded index, a rebuild) keeps the
            // set busy until it ends; connected before init, which may start it.
            const QString mountPoint = a.mountPoint;
            connect(db.get(), &NTFSDriveDB::updateStarted, this, [this, mountPoint] {
                states_.setUpdating(mountPoint, true);
                beginBusy();
            }, Qt::DirectConnection);
            connect(db.get(), &NTFSDriveDB::updateFinished, this, [this, mountPoint] {
                states_.setUpdating(mountPoint, false);
                endBusy();
            }, Qt::DirectConnection);
            a.db = db.get();
            made.push_back(std::move(db));
        } catch (...) {
            a.error = std::current_exception();
        }
        added.push_back(a);
    }
    if (!made.empty()) {
        QWriteLocker locker(&lock);
        std::lock_guard<std::mutex> guard(drivesMutex);
        for (std::unique_ptr<NTFSDriveDB>& db : made) {
            const quint32 serial = db->serial();
            drives[serial] = std::move(db);
        }
    }

    auto initOne = [stop](Added& a) {
        if (!a.db)
            return;
        try {
            a.db->init(stop);
        } catch (...) {
            a.error = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < added.size(); ++i) {
        try {
            threads.emplace_back(initOne, std::ref(added[i]));
        } catch (const std::system_error&) {
            initOne(added[i]); // no thread: on this one
        }
    }
    if (!added.empty())
        initOne(added[0]);
    for (std::thread& t : threads)
        t.join();

    // A volume that failed leaves the set (a later update tries it again).
    std::vector<std::unique_ptr<NTFSDriveDB>> failed;
    std::exception_ptr canceled;
    for (Added& a : added) {
        if (!a.error) {
            states_.setIndexed(a.mountPoint, a.serial);
            continue;
        }
        if (a.db) {
            QWriteLocker locker(&lock);
            if (std::unique_ptr<NTFSDriveDB> db = takeDrive(a.serial))
                failed.push_back(std::move(db));
        }
        try {
            std::rethrow_exception(a.error);
        } catch (const FileSearchCancelException&) {
            canceled = a.error;
            states_.forget(a.mountPoint);
        } catch (const MarkRefusedException& e) {
            TQ_LOG_INFO(Tag, QStringLiteral("Volume %1 is walked at search time: %2").arg(a.mountPoint, e.detail()));
            states_.setRefused(a.mountPoint, a.serial, e.detail());
        } catch (const FileSearchException& e) {
            TQ_LOG_ERROR(Tag, QStringLiteral("Failed to index volume %1: %2").arg(a.mountPoint, QString::fromUtf8(e.what())));
            states_.setFailed(a.mountPoint, a.serial, e.detail());
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(Tag, QStringLiteral("Failed to index volume %1: %2").arg(a.mountPoint, QString::fromUtf8(e.what())));
            states_.setFailed(a.mountPoint, a.serial, QString::fromLocal8Bit(e.what()));
        }
    }
    failed.clear(); // stopped and destroyed without the set's lock
    if (canceled)
        std::rethrow_exception(canceled);
}

void NTFSDB::beginBusy()
{
    std::lock_guard<std::mutex> guard(busyMutex);
    if (busy++ == 0)
        emit updateStarted();
}

void NTFSDB::endBusy()
{
    std::lock_guard<std::mutex> guard(busyMutex);
    if (--busy == 0)
        emit updateFinished();
}

void NTFSDB::search(FileSearchRequest* request, ResultStore* results, QSet<QString>* served)
{
    // The read lock keeps the volumes filed; the set takes its write lock only to file or
    // unfile volumes, never while one loads or builds.
    QReadLocker locker(&lock);
    for (auto& d : drives) {
        NTFSDriveDB& db = *d.second;
        if (!request || !results)
            throw FileSearchException("Bad argument", QStringLiteral("NTFSDB"), __LINE__);
        if (!db.awaitReady(*request))
            continue; // being built or failed: not answered here
        if (served)
            served->insert(db.drive());
        db.search(request, results);
    }
}

void NTFSDB::indexedCounts(QMap<QString, int>& out) const
{
    std::lock_guard<std::mutex> guard(drivesMutex);
    for (const auto& d : drives)
        out[d.second->drive()] = d.second->count();
}

void NTFSDB::saveAll()
{
    QWriteLocker locker(&lock);
    for (auto& d : drives) {
        try {
            d.second->save();
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(Tag, QStringLiteral("Failed to save the index of %1: %2")
                                  .arg(d.second->drive(), QString::fromUtf8(e.what())));
        }
    }
}

void NTFSDB::onDriveConnected(const QString&)
{
    enqueueDriveEvent([this] { resync(); });
}

void NTFSDB::onDriveDisconnected(const QString&)
{
    enqueueDriveEvent([this] { resync(); });
}

void NTFSDB::resync()
{
    // Any change of the mount table may change what is visible where, beyond the mount that
    // came or went: a volume comes back into view when the mount covering it leaves, a bind
    // mount becomes the volume when its device's own mount leaves. So the volumes present are
    // read again whole, as at the start, and the set follows them.
    std::lock_guard<std::mutex> update(updateMutex);
    if (!initialized)
        return;
    QMap<QString, quint32> present;
    QMap<QString, quint64> presentDevices;
    QStringList noSerial;
    for (const QString& mountPoint : getNtfsDrives()) {
        const quint32 v = getVolumeSerialNumber(mountPoint);
        if (v != 0) {
            present.insert(mountPoint, v); // only volumes that can be identified take part
            presentDevices.insert(mountPoint, VolumeLayer::instance().deviceOf(mountPoint));
        } else {
            noSerial.append(mountPoint);
        }
    }
    if (present == serials && noSerial == unidentified && presentDevices == devices)
        return;
    serials = present;
    devices = presentDevices;
    unidentified = noSerial;
    noteVolumes(false);
    this->update(&driveStop, nullptr);
}

void NTFSDB::enqueueDriveEvent(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> guard(eventMutex);
        if (eventStop)
            return;
        events.push_back(std::move(task));
    }
    eventChanged.notify_all();
}

void NTFSDB::driveEventLoop()
{
    std::unique_lock<std::mutex> guard(eventMutex);
    for (;;) {
        eventChanged.wait(guard, [this] { return eventStop || !events.empty(); });
        if (eventStop)
            return;
        std::function<void()> task = std::move(events.front());
        events.pop_front();
        eventBusy = true;
        guard.unlock();
        try {
            task();
        } catch (const FileSearchCancelException&) {
            TQ_LOG_INFO(Tag, QStringLiteral("Volume update canceled"));
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(
                Tag, QStringLiteral("Volume update failed: %1").arg(QString::fromUtf8(e.what())));
        }
        guard.lock();
        eventBusy = false;
        eventChanged.notify_all();
    }
}

void NTFSDB::waitForDriveEvents()
{
    std::unique_lock<std::mutex> guard(eventMutex);
    eventChanged.wait(guard, [this] { return eventStop || (events.empty() && !eventBusy); });
}
