#include "ui/options/OptionsDialog.h"

#include "core/PrivateFolders.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "core/SystemUtils.h"
#include "search/engine/FileSearcher.h"
#include "search/index/NTFSUtils.h"
#include "ui/common/Prompter.h"
#include "ui/options/CompactRows.h"
#include "ui/options/ExcludePathModel.h"
#include "ui/options/IndexFolder.h"
#include "ui/options/OptionsPageFilters.h"
#include "ui/options/VolumeListModel.h"

#include "ui_OptionsDialog.h"
#include "ui_OptionsGeneral.h"
#include "ui_OptionsIndexing.h"
#include "ui_OptionsSearch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSet>

#include <exception>

namespace {

const char kTag[] = "OptionsDialog";
const QString kProductName = QStringLiteral("Tallowquist Pro");

// Runs one step of OK: a failure (false or an exception) is logged and noted in `failures`, and
// the next step runs all the same.
void runStep(const QString& what, const std::function<bool()>& work, QStringList& failures)
{
    try {
        if (work())
            return;
        TQ_LOG_WARNING(kTag, QStringLiteral("Not applied: %1").arg(what));
    } catch (const std::exception& e) {
        TQ_LOG_WARNING(
            kTag,
            QStringLiteral("Not applied: %1: %2").arg(what, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Not applied: %1").arg(what));
    }
    failures << what;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent, FileSearcher* searcher, int initialRow,
                             Settings* settings, Prompter* prompter,
                             std::function<void()> clearSearchHistories,
                             const OptionsEnvironment& environment)
    : QDialog(parent)
    , ui(new Ui::OptionsDialog)
    , general(new Ui::OptionsGeneral)
    , indexing(new Ui::OptionsIndexing)
    , search(new Ui::OptionsSearch)
    , searcher_(searcher)
    , settings_(settings)
    , prompter_(prompter)
    , clearSearchHistories_(std::move(clearSearchHistories))
    , env_(environment)
    , isAdmin(environment.isAdmin)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->listWidget->addItems({tr("General"), tr("Indexing"), tr("Search"), tr("File handlers")});
    createPages();
    connect(ui->listWidget, &QListWidget::currentRowChanged, this,
            &OptionsDialog::onListItemChanged);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &OptionsDialog::onAccept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(general->clearHistoryButton, &QPushButton::clicked, this,
            &OptionsDialog::onClearHistory);
    ui->listWidget->setCurrentRow(qBound(0, initialRow, ui->listWidget->count() - 1));
}

OptionsDialog::~OptionsDialog()
{
    delete search;
    delete indexing;
    delete general;
    delete ui;
}

void OptionsDialog::createPages()
{
    QLayout* pages = ui->pageFrame->layout();

    auto* generalPage = new QWidget(ui->pageFrame);
    general->setupUi(generalPage);
    pages->addWidget(generalPage);

    if (!isAdmin) {
        noAdminNotice = new QWidget(ui->pageFrame);
        auto* layout = new QHBoxLayout(noAdminNotice);
        auto* text = new QLabel(
            tr("Indexing is unavailable when %1 is running without root permissions.")
                .arg(kProductName),
            noAdminNotice);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignCenter);
        layout->addWidget(text);
        pages->addWidget(noAdminNotice);
    } else {
        auto* indexingPage = new QWidget(ui->pageFrame);
        indexing->setupUi(indexingPage);
        volumeModel_ = new VolumeListModel(this);
        excludeModel_ = new ExcludePathModel(this);
        indexing->tableWidget->setModel(volumeModel_);
        indexing->excludeTable->setModel(excludeModel_);
        setCompactRows(indexing->tableWidget);
        setCompactRows(indexing->excludeTable);
        indexing->tableWidget->setColumnWidth(0, 200);
        indexing->excludeTable->setColumnWidth(0, 300);
        connect(indexing->browseButton, &QPushButton::clicked, this,
                &OptionsDialog::onBrowseDBPath);
        connect(indexing->addButton, &QPushButton::clicked, this,
                &OptionsDialog::addExcludePathRow);
        connect(indexing->removeButton, &QPushButton::clicked, this,
                &OptionsDialog::removeExcludePathRow);
        pages->addWidget(indexingPage);
        indexing->volumesStatusLabel->hide();
        if (searcher_)
            connect(searcher_, &FileSearcher::volumeStatesChanged, this, &OptionsDialog::refreshVolumeStates);
    }

    auto* searchPage = new QWidget(ui->pageFrame);
    search->setupUi(searchPage);
    pages->addWidget(searchPage);

    filtersPage_ =
        new OptionsPageFilters(ui->pageFrame, settings_, prompter_, env_.helperListOffered);
    pages->addWidget(filtersPage_);
    filtersPage_->initPage();

    for (int i = 0; i < pages->count(); ++i)
        pages->itemAt(i)->widget()->hide();
}

void OptionsDialog::onListItemChanged(int row)
{
    QLayout* pages = ui->pageFrame->layout();
    for (int i = 0; i < pages->count(); ++i)
        pages->itemAt(i)->widget()->hide();
    if (row >= 0 && row < pages->count())
        pages->itemAt(row)->widget()->show();
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    if (!loaded_)
        loadPages();
    QDialog::showEvent(event);
}

void OptionsDialog::loadPages()
{
    loadGeneralPage();
    const bool indexInUse =
        env_.indexingSettings || (searcher_ && (searcher_->optionFlags() & FileSearcher::UseIndex));
    if (isAdmin && indexInUse)
        loadIndexingPage();
    loadSearchPage();
    loaded_ = true;
}

bool OptionsDialog::skipUacOffered() const
{
    return isVistaOrLater() && isAdmin;
}

void OptionsDialog::loadGeneralPage()
{
    general->autoLaunchCheckBox->setChecked(env_.registration.isLaunchAtStartup());
    shellIntegratedAtLoad = env_.registration.isShellIntegrated();
    general->integrateCheckBox->setChecked(shellIntegratedAtLoad);
    general->backgroundCheckBox->setChecked(settings_->value(Settings::RunInBackground).toBool());
    if (skipUacOffered()) {
        skipUacAtLoad = env_.isSkipUacTaskEnabled();
        general->skipUACCheckBox->setChecked(skipUacAtLoad);
    } else {
        general->skipUACCheckBox->hide();
    }
    general->saveAllTabsCheckBox->setChecked(settings_->value(Settings::SaveAllTabs).toBool());
}

void OptionsDialog::loadIndexingPage()
{
    const IndexingSettings current =
        env_.indexingSettings ? env_.indexingSettings() : searcher_->indexingSettings();

    dbPathAtLoad = settings_->value(Settings::DBPath).toString();
    indexing->dbPathLineEdit->setText(dbPathAtLoad);
    indexing->fixedCheckBox->setChecked(current.autoAddFixed);
    indexing->removableCheckBox->setChecked(current.autoAddRemovable);

    excludeModel_->setPaths(settings_->excludePaths());
    indexingLoaded_ = true;
    readVolumes();
}

void OptionsDialog::readVolumes()
{
    indexing->volumesStatusLabel->show(); // "Reading volumes..."
    // One reading of the mount table, on a thread of its own; the answer comes back to the GUI
    // thread, where it is dropped when the dialog has gone.
    const QPointer<OptionsDialog> self(this);
    env_.runInBackground([self] {
        QList<VolumeDescription> volumes;
        QString error;
        try {
            volumes = VolumeLayer::instance().volumes();
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        }
        QMetaObject::invokeMethod(
            qApp, [self, volumes, error] {
                if (self)
                    self->onVolumesRead(volumes, error);
            },
            Qt::QueuedConnection);
    });
}

void OptionsDialog::onVolumesRead(const QList<VolumeDescription>& descriptions, const QString& error)
{
    volumesLoaded_ = true;
    if (!error.isEmpty()) {
        TQ_LOG_WARNING(kTag, QStringLiteral("The volumes cannot be listed: %1").arg(error));
        indexing->volumesStatusLabel->setText(tr("The volumes cannot be listed; the log file tells why."));
        return;
    }
    indexing->volumesStatusLabel->hide();
    const IndexingSettings current =
        env_.indexingSettings ? env_.indexingSettings() : searcher_->indexingSettings();
    volumeDescriptions_.clear();
    QVector<VolumeListModel::Volume> volumes;
    for (const VolumeDescription& d : descriptions) {
        // The volumes a whole-machine search covers: local ones that are not aliases.
        if (d.network || d.alias)
            continue;
        volumeDescriptions_.append(d);
        VolumeListModel::Volume volume;
        volume.mountPoint = d.mountPoint;
        volume.serial = d.indexable ? d.serial : 0;
        volume.fixed = d.fixed;
        volume.indexable = d.indexable;
        volume.checked = d.indexable && d.serial != 0 && current.indexDrives.contains(d.serial);
        volumes << volume;
    }
    volumeModel_->setVolumes(volumes);
    refreshVolumeStates();
    if (volumeModel_->rowCount() > 0)
        indexing->tableWidget->setCurrentIndex(volumeModel_->index(0, 0));
}

void OptionsDialog::refreshVolumeStates()
{
    if (!volumesLoaded_)
        return;
    QMap<QString, int> counts;
    if (env_.indexedCounts)
        counts = env_.indexedCounts();
    else if (searcher_)
        searcher_->indexedCounts(counts);
    QList<VolumeState> states;
    if (env_.volumeStates)
        states = env_.volumeStates();
    else if (searcher_)
        states = searcher_->volumeStates();
    volumeModel_->setStates(withWalkedVolumes(states, volumeDescriptions_), counts);
}

void OptionsDialog::loadSearchPage()
{
    search->detectEncodingCheckBox->setChecked(
        settings_->value(Settings::AutoDetectEncoding).toBool());
    search->skipBinaryCheckBox->setChecked(settings_->value(Settings::SkipBinary).toBool());
    search->usePDFcheckBox->setChecked(settings_->value(Settings::UseBuiltInPDF).toBool());
}

QString OptionsDialog::checkDbPath() const
{
    switch (IndexFolder::compare(dbPathAtLoad, indexing->dbPathLineEdit->text())) {
    case IndexFolder::Empty:
        return tr("Please choose the folder of the file database.");
    case IndexFolder::Relative:
        return tr("The file database path must be a full path, starting with \"/\".");
    case IndexFolder::Nested:
        return tr("The new file database folder must neither lie inside the old one (%1) nor hold "
                  "it.")
            .arg(IndexFolder::cleanPath(dbPathAtLoad));
    default:
        return QString();
    }
}

void OptionsDialog::onAccept()
{
    if (!loaded_)
        loadPages();
    if (indexingLoaded_) {
        // An editor still open in the exclude table hands its text to the model first.
        indexing->excludeTable->setCurrentIndex(QModelIndex());
        const QString refusal = checkDbPath();
        if (!refusal.isEmpty()) {
            ui->listWidget->setCurrentRow(IndexingPage);
            indexing->dbPathLineEdit->setFocus();
            prompter_->warning(this, windowTitle(), refusal);
            return;
        }
    }

    QStringList failures;
    const bool autoLaunch = general->autoLaunchCheckBox->isChecked();
    runStep(
        tr("start at login"), [&] { return env_.registration.setLaunchAtStartup(autoLaunch); },
        failures);

    const bool integrate = general->integrateCheckBox->isChecked();
    if (integrate != shellIntegratedAtLoad)
        applyShellIntegration(integrate, failures);

    settings_->setValue(Settings::RunInBackground, general->backgroundCheckBox->isChecked());
    settings_->setValue(Settings::SaveAllTabs, general->saveAllTabsCheckBox->isChecked());
    settings_->setValue(Settings::AutoDetectEncoding, search->detectEncodingCheckBox->isChecked());
    settings_->setValue(Settings::SkipBinary, search->skipBinaryCheckBox->isChecked());
    settings_->setValue(Settings::UseBuiltInPDF, search->usePDFcheckBox->isChecked());

    const bool skipUac = general->skipUACCheckBox->isChecked();
    if (skipUacOffered() && skipUac != skipUacAtLoad) {
        runStep(
            tr("the start without the password prompt"),
            [&] {
                if (skipUac)
                    env_.createSkipUacTask();
                else
                    env_.deleteSkipUacTask();
                return true;
            },
            failures);
    }

    if (isAdmin && indexingLoaded_)
        applyIndexing(failures);

    runStep(
        tr("the file handlers"),
        [&] {
            filtersPage_->saveSettings();
            return true;
        },
        failures);

    if (!failures.isEmpty()) {
        prompter_->warning(this, windowTitle(),
                           tr("These options could not be applied: %1. The log file tells why.")
                               .arg(failures.join(QStringLiteral(", "))));
    }
    accept();
}

void OptionsDialog::applyShellIntegration(bool enable, QStringList& failures)
{
    if (isAdmin) {
        runStep(
            tr("the folder context menu"),
            [&] { return env_.registration.setShellIntegration(enable); }, failures);
        return;
    }
    // The program started with root rights changes the entry; the password prompt may take
    // any time, so it is asked away from the window and not awaited. When the change could not
    // be made, the user is told why (the dialog is closed by then: its owner shows it).
    const QString program = env_.registration.locations().programFile;
    const QString argument = enable ? QStringLiteral("-enable-shell-integration")
                                    : QStringLiteral("-disable-shell-integration");
    const auto runElevated = env_.runElevated;
    const QPointer<QWidget> owner = parentWidget();
    Prompter* prompter = prompter_;
    env_.runInBackground([runElevated, program, argument, owner, prompter] {
        int code = -1;
        const bool started = runElevated(program, argument, &code);
        if (started && (code == 0 || code == -1))
            return;
        TQ_LOG_WARNING(kTag, QStringLiteral("The folder command was not changed (%1, exit code %2)")
                                 .arg(argument)
                                 .arg(code));
        const QString text = shellIntegrationFailure(started, code, argument);
        QMetaObject::invokeMethod(
            qApp, [owner, prompter, text] {
                if (prompter)
                    prompter->warning(owner, tr("Options"), text);
            },
            Qt::QueuedConnection);
    });
}

QString OptionsDialog::shellIntegrationFailure(bool started, int exitCode, const QString& argument)
{
    const QString command = QStringLiteral("tallowquist-pro ") + argument;
    if (!started && (exitCode == 126 || exitCode == 127))
        return tr("The folder command was not changed: that needs root rights, and the password was not given "
                  "or not accepted.\n\nTo change it, tick the box again and enter the password, or ask an "
                  "administrator to run \"%1\" as root.")
            .arg(command);
    if (!started)
        return tr("The folder command was not changed: the program could not be started with root rights "
                  "(pkexec and a password prompt are needed).\n\nAn administrator can run \"%1\" as root.")
            .arg(command);
    return tr("The folder command could not be changed; the log says why.");
}

void OptionsDialog::applyIndexing(QStringList& failures)
{
    const IndexingSettings old =
        env_.indexingSettings ? env_.indexingSettings() : searcher_->indexingSettings();

    IndexingSettings record;
    QSet<quint32> shown;
    for (const VolumeListModel::Volume& volume : volumeModel_->volumes()) {
        if (volume.serial == 0)
            continue;
        shown.insert(volume.serial);
        if (volume.checked)
            record.indexDrives << volume.serial;
        else if ((old.autoAddFixed && volume.fixed) || (old.autoAddRemovable && !volume.fixed))
            record.noIndexDrives << volume.serial;
    }
    // Volumes that are not mounted now keep their choice.
    for (quint32 serial : old.indexDrives)
        if (serial != 0 && !shown.contains(serial) && !record.indexDrives.contains(serial))
            record.indexDrives << serial;
    for (quint32 serial : old.noIndexDrives)
        if (serial != 0 && !shown.contains(serial) && !record.noIndexDrives.contains(serial))
            record.noIndexDrives << serial;
    record.autoAddFixed = indexing->fixedCheckBox->isChecked();
    record.autoAddRemovable = indexing->removableCheckBox->isChecked();
    record.dbPath = IndexFolder::cleanPath(indexing->dbPathLineEdit->text());

    const QString oldPath = old.dbPath.isEmpty() ? dbPathAtLoad : old.dbPath;
    // Where the index files really lie (a root instance keeps them in a folder of root's alone
    // whatever the setting says): nothing is removed when the move does not change that folder.
    const QString oldBase = PrivateFolders::indexBase(oldPath);
    if (IndexFolder::compare(oldPath, record.dbPath) == IndexFolder::Moved && !oldBase.isEmpty()
        && oldBase != PrivateFolders::indexBase(record.dbPath))
        runStep(
            tr("removing the old file database"),
            [&] { return IndexFolder::removeIndexFiles(oldBase); }, failures);

    runStep(
        tr("the index settings"),
        [&] {
            settings_->setIndexOptions(record);
            settings_->setExcludePaths(excludeModel_->paths());
            return true;
        },
        failures);
}

void OptionsDialog::onClearHistory()
{
    const QMessageBox::StandardButton answer = prompter_->question(
        this, tr("Clear search history"), tr("Do you really want to clear search history?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes && clearSearchHistories_)
        clearSearchHistories_();
}

void OptionsDialog::onBrowseDBPath()
{
    const QString start = settings_->value(Settings::DefaultDialogDir).toString();
    const QString chosen = prompter_->existingDirectory(this, tr("File database path"), start);
    if (chosen.isEmpty())
        return;
    indexing->dbPathLineEdit->setText(chosen);
    settings_->setValue(Settings::DefaultDialogDir, chosen);
}

void OptionsDialog::addExcludePathRow()
{
    const QModelIndex index = excludeModel_->index(excludeModel_->appendRow(), 0);
    indexing->excludeTable->setCurrentIndex(index);
    indexing->excludeTable->edit(index);
}

void OptionsDialog::removeExcludePathRow()
{
    const QModelIndexList rows = indexing->excludeTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    excludeModel_->removeRowAt(rows.first().row());
}
