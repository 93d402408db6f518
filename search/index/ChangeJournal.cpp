#include "search/index/ChangeJournal.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"

ChangeJournal::ChangeJournal(QObject* parent) : QObject(parent) {}

ChangeJournal::~ChangeJournal()
{
    if (started_)
        stop();
    reader_.reset();
}

void ChangeJournal::setReader(const QString& mountPoint, IChangeJournalReader* reader)
{
    mountPoint_ = mountPoint;
    reader_.reset(reader);
}

void ChangeJournal::start(USN from)
{
    if (!reader_ || started_)
        return;
    started_ = true;
    lastUsn_.store(from);
    const bool batches = batchHandler_ && reader_->setBatchHandler([this](const JournalBatch& batch) {
        batchHandler_(batch);
        lastUsn_.store(batch.endUsn);
        emit batchApplied(batch.endUsn);
    });
    QObject* source = batches ? nullptr : dynamic_cast<QObject*>(reader_.get());
    if (source) {
        connect(source, SIGNAL(fileAdded(FRN,FRN,QString,bool,USN)), this,
                SLOT(onFileAdded(FRN,FRN,QString,bool,USN)), Qt::DirectConnection);
        connect(source, SIGNAL(fileRenamed(FRN,FRN,QString,bool,USN)), this,
                SLOT(onFileRenamed(FRN,FRN,QString,bool,USN)), Qt::DirectConnection);
        connect(source, SIGNAL(fileDeleted(FRN,bool,USN)), this,
                SLOT(onFileDeleted(FRN,bool,USN)), Qt::DirectConnection);
        connect(source, SIGNAL(batchFinished(USN)), this, SLOT(onBatchFinished(USN)), Qt::DirectConnection);
        // The optional name events, where the reader has them.
        const QMetaObject* meta = source->metaObject();
        if (meta->indexOfSignal("nameRenamed(FRN,FRN,QString,FRN,QString,bool,USN)") >= 0)
            connect(source, SIGNAL(nameRenamed(FRN,FRN,QString,FRN,QString,bool,USN)), this,
                    SLOT(onNameRenamed(FRN,FRN,QString,FRN,QString,bool,USN)), Qt::DirectConnection);
        if (meta->indexOfSignal("nameRemoved(FRN,FRN,QString,bool,USN)") >= 0)
            connect(source, SIGNAL(nameRemoved(FRN,FRN,QString,bool,USN)), this,
                    SLOT(onNameRemoved(FRN,FRN,QString,bool,USN)), Qt::DirectConnection);
    }
    connect(&thread_, &QThread::started, &thread_, [this] { run(); }, Qt::DirectConnection);
    thread_.setObjectName(monitorThreadName(mountPoint_));
    thread_.start(QThread::InheritPriority);
}

void ChangeJournal::run()
{
    try {
        reader_->read(lastUsn_.load(), true);
    } catch (const FileSearchCancelException&) {
        // stopped on request
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        TQ_LOG_ERROR("ChangeJournal",
                     QStringLiteral("Journal of %1 failed: %2").arg(mountPoint_, message));
        emit journalFailed(mountPoint_, message);
    }
    thread_.exit(0);
}

USN ChangeJournal::stop()
{
    if (reader_)
        reader_->cancel();
    // On the monitor thread itself (a direct handler of journalFailed) there is nothing to wait
    // for: the thread ends as soon as the handler returns.
    if (started_ && QThread::currentThread() != &thread_) {
        thread_.wait();
        if (QObject* source = dynamic_cast<QObject*>(reader_.get()))
            source->disconnect(this);
    }
    return lastUsn_.load();
}

void ChangeJournal::onFileAdded(FRN frn, FRN parent, const QString& name, bool isDir, USN)
{
    emit fileAdded(frn, parent, name, isDir);
}

void ChangeJournal::onFileRenamed(FRN frn, FRN parent, const QString& name, bool isDir, USN)
{
    emit fileRenamed(frn, parent, name, isDir);
    emit nameMoved(frn, 0, QString(), parent, name, isDir);
}

void ChangeJournal::onNameRenamed(FRN frn, FRN oldParent, const QString& oldName, FRN parent, const QString& name,
                                  bool isDir, USN)
{
    emit fileRenamed(frn, parent, name, isDir);
    emit nameMoved(frn, oldParent, oldName, parent, name, isDir);
}

void ChangeJournal::onNameRemoved(FRN frn, FRN parent, const QString& name, bool isDir, USN)
{
    emit nameRemoved(frn, parent, name, isDir);
}

void ChangeJournal::onFileDeleted(FRN frn, bool isDir, USN)
{
    emit fileDeleted(frn, isDir);
}

void ChangeJournal::onBatchFinished(USN usn)
{
    lastUsn_.store(usn);
    emit batchApplied(usn);
}
