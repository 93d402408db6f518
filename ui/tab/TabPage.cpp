#include "ui/tab/TabPage.h"

#include "app/desktop/ShellUtils.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "search/engine/FileSearcher.h"
#include "search/model/ExpressionCheck.h"
#include "search/model/MaskList.h"
#include "search/model/ResultRows.h"
#include "ui/common/DeleteJob.h"
#include "ui/common/Prompter.h"
#include "ui/results/FileTable.h"
#include "ui/results/FileTableModel.h"
#include "ui/results/FileTableView.h"
#include "ui/results/FilterBar.h"
#include "ui/search/InstantToolBar.h"
#include "ui/search/SearchWindow.h"
#include "ui/tab/CsvExporter.h"
#include "ui/tab/SearchRun.h"
#include "ui/tab/TabFilePreview.h"

#include "ui_TabPage.h"

#include <QDir>
#include <QEvent>
#include <QKeyEvent>

TabPage::TabPage(QWidget* parent, SearchWindow* form, InstantToolBar* toolBar,
                 std::shared_ptr<FileSearcher> engine, int tabId, Settings* userSettings,
                 Prompter* prompts)
    : QWidget(parent)
    , ui(new Ui::TabPage)
    , tabId_(tabId)
    , searchWindow(form)
    , instantToolBar(toolBar)
    , fileSearcher(std::move(engine))
    , settings(userSettings)
    , prompter(prompts)
    , results_(std::make_shared<ResultRows>(std::make_shared<ResultStore>()))
{
    InstantToolBar::registerMetaType();
    ui->setupUi(this);
    buttonRole = SearchWindow::SearchRole;
    fileTable_ = new FileTable(ui->foundTable, ui->categoryFrame, userSettings, prompts, this);
    fileTable_->setResults(results_);
    preview_ = new TabFilePreview(ui->contentTabWidget, ui->matchesTextEdit, ui->fileTextEdit,
                                  ui->locationPane, fileSearcher, userSettings, prompts, this);
    exporter = new CsvExporter(this);
    ui->resultSplitter->setSizes({1, 0});

    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    ui->matchesTextEdit->setFont(mono);
    const qreal blank = QFontMetricsF(ui->matchesTextEdit->font()).horizontalAdvance(QLatin1Char(' '));
    ui->matchesTextEdit->setTabStopDistance(blank * 6);
    ui->fileTextEdit->setTabStopDistance(blank * 4);

    progressTimer.setInterval(2000);
    connect(&progressTimer, &QTimer::timeout, this, &TabPage::onProgressTimer);
    revertTimer.setSingleShot(true);
    revertTimer.setInterval(500);
    connect(&revertTimer, &QTimer::timeout, this, [this]() {
        setFormButton(SearchWindow::SearchRole);
    });
    connect(fileTable_, &FileTable::fileSelected, this, &TabPage::findMatches);
    connect(fileTable_, &FileTable::deleteRequested, this, &TabPage::deletePaths);
    connect(fileTable_, &FileTable::sortProgress, this, [this](int done, int total) {
        if (total > 0)
            setStatusText(tr("Sorting... %1%").arg(qint64(done) * 100 / total));
    });
    connect(fileTable_, &FileTable::sortFinished, this, &TabPage::restoreStatusText);
    connect(exporter, &CsvExporter::finished, this, [this](const QString& fileName, const QString& error) {
        if (!error.isEmpty() && this->prompter)
            this->prompter->warning(this, tr("Export Results"),
                                    tr("The results could not be written to \"%1\":\n%2").arg(fileName, error));
        emit exportFinished(fileName, error.isEmpty());
    });
}

TabPage::~TabPage()
{
    disconnectForm();
    // Everything that reads the results stops first; then the search is given up.
    delete exporter;
    delete fileTable_;
    delete preview_;
    dropSearch();
    delete ui;
}

void TabPage::dropSearch()
{
    if (!run_)
        return;
    disconnect(run_, nullptr, this, nullptr);
    run_->cancel(); // it keeps request and results until the engine is done with them
    run_ = nullptr;
}

void TabPage::onRunFinished(const FindOutcome& outcome)
{
    run_ = nullptr;
    missingFolders_ = outcome.missingFolders;
    if (!missingFolders_.isEmpty() && onShow() && searchWindow)
        searchWindow->showFieldError(SearchWindow::FolderField, missingFoldersText());
    if (state_ == State::Searching) {
        setState(State::Finished);
        return;
    }
    // Canceled: the rows found until the search stopped, and how many.
    fileTable_->appendNewRows();
    if (canceled_)
        setStatusText(canceledText());
}

FileSearchRequest::Id TabPage::findRequestId() const
{
    return state_ == State::Searching && request_ ? request_->id : -1;
}

FileSearchRequest::Id TabPage::matchesRequestId() const
{
    return preview_->matchesRequestId();
}

void TabPage::startSearch()
{
    if (!searchWindow)
        return;
    auto request = std::make_unique<FileSearchRequest>();
    searchWindow->searchParams(*request);
    if (!acceptRequest(*request, FromForm))
        return;
    searchWindow->addToHistory();
    begin(std::move(request));
}

void TabPage::startSearch(FileSearchRequest* request)
{
    std::unique_ptr<FileSearchRequest> owned(request);
    if (owned && acceptRequest(*owned, FromToolbar))
        begin(std::move(owned));
}

bool TabPage::acceptRequest(const FileSearchRequest& request, Source source)
{
    if (source == FromForm && searchWindow)
        searchWindow->clearFieldErrors();
    SearchWindow::Field field = SearchWindow::NameField;
    ExpressionError error = ExpressionCheck::check(request.fileName, request.matchOptions(true));
    if (!error.isError() && !request.contents.isEmpty()) {
        field = SearchWindow::ContentsField;
        error = ExpressionCheck::check(request.contents, request.matchOptions(false));
    }
    if (!error.isError())
        return true;
    const bool name = field == SearchWindow::NameField;
    QString where;
    if (error.position >= 0)
        where = name ? tr("Error in the file name at character %1: %2").arg(error.position + 1).arg(error.message)
                     : tr("Error in the contents text at character %1: %2").arg(error.position + 1).arg(error.message);
    else
        where = name ? tr("Error in the file name: %1").arg(error.message)
                     : tr("Error in the contents text: %1").arg(error.message);
    TQ_LOG_INFO("TabPage", QStringLiteral("No search: %1").arg(where));
    setStatusText(where);
    // At the field the wrong part is selected, so the message says what only.
    if (source == FromForm && searchWindow && onShow())
        searchWindow->showFieldError(field, error.message, error.position, error.length);
    else if (source == FromToolbar && instantToolBar)
        instantToolBar->showError(where, error.position, error.length);
    return false;
}

void TabPage::begin(std::unique_ptr<FileSearchRequest> newRequest)
{
    if (state_ == State::Searching)
        becomeIdle();
    preview_->cancel();
    exporter->cancel();
    if (fileTable_->isMatchesColumnShown())
        newRequest->countMatches = true;
    auto newResults = std::make_shared<ResultRows>(std::make_shared<ResultStore>());
    newResults->setCategoryFilter(fileTable_->filterIndex(),
                                  settings ? settings->fileCategories() : QList<FileCategory>());
    fileTable_->setRequest(newRequest.get());
    fileTable_->setResults(newResults);
    preview_->setRequest(newRequest.get());
    dropSearch();
    request_ = std::move(newRequest);
    results_ = std::move(newResults);
    canceled_ = false;
    missingFolders_.clear();
    run_ = SearchRun::find(fileSearcher.get(), request_, results_->store());
    connect(run_, &SearchRun::finished, this, &TabPage::onRunFinished);

    state_ = State::Searching;
    resetViews();
    searchTime.start();
    progressTimer.start();
    updateStatusText();
    setTitle(captionOf(*request_));
}

void TabPage::cancelSearch()
{
    if (state_ != State::Searching)
        return;
    if (run_)
        run_->cancel(); // the engine stops; its end comes later and is not waited for here
    canceled_ = true;
    fileTable_->appendNewRows();
    becomeIdle();
    setStatusText(canceledText());
}

QString TabPage::canceledText() const
{
    return tr("Search canceled. Found: %n objects", nullptr, results_ ? results_->itemCount() : 0);
}

void TabPage::becomeIdle()
{
    state_ = State::Idle;
    if (onShow() && searchWindow)
        searchWindow->hideProgress();
    progressTimer.stop();
    setStatusText(QString());
    updateStatusText();
}

void TabPage::toggleSearch()
{
    if (state_ == State::Searching)
        cancelSearch();
    else
        startSearch();
}

void TabPage::setState(State state)
{
    switch (state) {
    case State::Finished:
        state_ = State::Finished;
        searchSeconds = searchTime.isValid() ? searchTime.elapsed() / 1000 : 0;
        if (onShow() && searchWindow)
            searchWindow->hideProgress();
        progressTimer.stop();
        fileTable_->appendNewRows();
        fileTable_->resort();
        if (request_ && !request_->contents.isEmpty() && !fileTable_->isEmpty())
            showPreviewIfMatches();
        else
            ui->resultSplitter->setSizes({1, 0});
        break;
    case State::Searching:
        state_ = State::Searching;
        resetViews();
        searchTime.start();
        progressTimer.start();
        break;
    case State::Idle:
        becomeIdle();
        return;
    }
    updateStatusText();
}

void TabPage::showPreviewIfMatches()
{
    FileTableView* view = ui->foundTable;
    if (!view->currentIndex().isValid() && fileTable_->model()->rowCount() > 0)
        view->setCurrentIndex(fileTable_->model()->index(0, 0));
    const QList<int> sizes = ui->resultSplitter->sizes();
    if (sizes.size() < 2 || sizes.at(1) == 0)
        ui->resultSplitter->setSizes({1, 1});
}

void TabPage::clearTab()
{
    cancelSearch();
    preview_->cancel();
    if (searchWindow)
        searchWindow->reset();
    resetViews();
}

void TabPage::resetViews()
{
    ui->resultSplitter->setSizes({1, 0});
    preview_->reset();
    setStatusText(QString());
}

void TabPage::onProgressTimer()
{
    fileTable_->appendNewRows();
    if (request_ && !request_->isNameOnly()) {
        int checked = 0;
        int total = 0;
        fileSearcher->findProgress(request_->id, checked, total);
        if (checked != 0 && onShow() && searchWindow)
            searchWindow->setProgress(total, checked);
    }
    if (request_ && !request_->contents.isEmpty() && !fileTable_->isEmpty())
        showPreviewIfMatches();
}

void TabPage::findMatches(const QString& path)
{
    preview_->findMatches(path);
}

void TabPage::updateStatusText()
{
    switch (state_) {
    case State::Searching:
        setFormButton(SearchWindow::CancelRole);
        setStatusText(tr("Searching..."));
        break;
    case State::Finished: {
        setFormButton(SearchWindow::DoneRole);
        revertTimer.start();
        setStatusText(foundText());
        break;
    }
    case State::Idle:
        setFormButton(SearchWindow::SearchRole);
        break;
    }
}

QString TabPage::foundText() const
{
    const QString found =
        tr("Found: %n objects in %1s", nullptr, results_ ? results_->itemCount() : 0).arg(searchSeconds);
    if (missingFolders_.isEmpty())
        return found;
    return missingFoldersText() + QLatin1Char(' ') + found;
}

QString TabPage::missingFoldersText() const
{
    if (missingFolders_.size() == 1)
        return tr("The folder \"%1\" does not exist.").arg(missingFolders_.first());
    return tr("These folders do not exist: %1.").arg(QLatin1Char('"') + missingFolders_.join(QStringLiteral("\", \""))
                                                     + QLatin1Char('"'));
}

void TabPage::restoreStatusText()
{
    switch (state_) {
    case State::Searching:
        setStatusText(tr("Searching..."));
        break;
    case State::Finished:
        setStatusText(foundText());
        break;
    case State::Idle:
        setStatusText(canceled_ ? canceledText() : QString());
        break;
    }
}

void TabPage::setFormButton(int role)
{
    buttonRole = role;
    if (onShow() && searchWindow)
        searchWindow->setFindButtonRole(SearchWindow::FindButtonRole(role));
}

void TabPage::setStatusText(const QString& text)
{
    statusText_ = text;
    emit statusTextChanged(tabId_);
}

void TabPage::setTitle(const QString& text)
{
    title_ = text;
    emit tabTextChanged(tabId_, title_);
}

void TabPage::exportToCsv(const QString& fileName)
{
    exporter->start(results_, fileName);
}

void TabPage::copy()
{
    if (ui->fileTextEdit->hasFocus())
        ui->fileTextEdit->copy();
    else if (ui->matchesTextEdit->hasFocus())
        ui->matchesTextEdit->copy();
    else
        ShellUtils::copyFiles(ui->foundTable->selectedFilePaths());
}

void TabPage::cut()
{
    ShellUtils::cutFiles(ui->foundTable->selectedFilePaths());
}

void TabPage::deleteFiles()
{
    deletePaths(ui->foundTable->selectedFilePaths());
}

void TabPage::deletePaths(const QStringList& paths)
{
    if (paths.isEmpty() || !prompter)
        return;
    auto* job = new DeleteJob(this, prompter, paths);
    connect(job, &DeleteJob::finished, this, [this](const FileDeletion::Outcome& outcome) {
        fileTable_->removePaths(outcome.gone);
        emit deleteFinished(outcome.gone);
    });
    job->start();
}

// part: 0 names, 1 full paths, 2 folders; each line ends in CR LF.
void TabPage::copyLines(int part)
{
    QString text;
    const QStringList paths = ui->foundTable->selectedFilePaths();
    for (const QString& path : paths)
        text += (part == 0 ? pathFileName(path) : part == 1 ? path : pathDirectory(path)) + QStringLiteral("\r\n");
    ShellUtils::copyText(this, text);
}

void TabPage::copyNames()
{
    copyLines(0);
}

void TabPage::copyFullNames()
{
    copyLines(1);
}

void TabPage::copyPaths()
{
    copyLines(2);
}

void TabPage::selectAll()
{
    ui->foundTable->selectAll();
    ui->foundTable->setFocus();
}

bool TabPage::hasSelection() const
{
    return fileTable_->hasSelection();
}

bool TabPage::isEmpty() const
{
    return fileTable_->isEmpty();
}

void TabPage::setCategoryFilter(int index)
{
    if (fileTable_->filterBar())
        index = fileTable_->filterBar()->setCurrentIndex(index);
    fileTable_->setFilter(index);
}

bool TabPage::showFilterBar() const
{
    return fileTable_->showFilterBar();
}

void TabPage::setShowFilterBar(bool show)
{
    fileTable_->setShowFilterBar(show);
}

void TabPage::setFormState(const FormStateMap& state)
{
    formState_ = state;
    if (!formState_.contains(QStringLiteral("fileNameComboBox")))
        formState_.insert(QStringLiteral("fileNameComboBox"), QString());
}

QString TabPage::captionOf(const QString& name, const QString& contents, const QStringList& folders)
{
    if (!name.trimmed().isEmpty())
        return name;
    if (!contents.isEmpty())
        return tr("\"%1\"").arg(contents);
    QStringList names;
    for (const QString& folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        const QString last = pathFileName(clean);
        if (!clean.isEmpty())
            names << (last.isEmpty() ? clean : last);
    }
    return names.join(QStringLiteral(", "));
}

QString TabPage::captionOf(const FileSearchRequest& request)
{
    return captionOf(request.fileName, request.contents, request.includePaths);
}

QString TabPage::captionOf(const FormStateMap& state)
{
    const auto on = [&state](const char* box) { return state.value(QLatin1String(box)) == QLatin1String("1"); };
    QStringList folders;
    QStringList excluded;
    if (on("directoryCheckBox"))
        parseMaskList(state.value(QStringLiteral("directoryComboBox")), &folders, &excluded);
    return captionOf(state.value(QStringLiteral("fileNameComboBox")),
                     on("contentsCheckBox") ? state.value(QStringLiteral("contentsComboBox")) : QString(), folders);
}

void TabPage::saveFormState()
{
    fileTable_->saveColumns();
    if (onShow() && searchWindow)
        searchWindow->captureState(formState_);
}

void TabPage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return && !(event->modifiers() & Qt::KeypadModifier)) {
        startSearch();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TabPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->contentTabWidget->setTabText(0, tr("Matches"));
        ui->contentTabWidget->setTabText(1, tr("File"));
        restoreStatusText();
        fileTable_->retranslateFilterBar();
    }
    QWidget::changeEvent(event);
}

void TabPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || shown)
        return;
    shown = true;
    if (searchWindow) {
        if (!formState_.isEmpty())
            searchWindow->applyState(formState_);
        if (title_.isEmpty())
            title_ = searchWindow->fileName();
        searchWindow->hideProgress(); // the next tick of a running search shows its own
        searchWindow->setFindButtonRole(SearchWindow::FindButtonRole(buttonRole));
    }
    emit tabTextChanged(tabId_, title_);
    emit statusTextChanged(tabId_);
    connectForm();
}

void TabPage::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous() || !shown)
        return;
    disconnectForm();
    fileTable_->saveColumns();
    if (searchWindow)
        searchWindow->captureState(formState_);
    shown = false;
}

void TabPage::connectForm()
{
    disconnectForm();
    if (searchWindow) {
        formConnections << connect(searchWindow, &SearchWindow::fileNameChanged, this, &TabPage::setTitle,
                                   Qt::QueuedConnection);
        formConnections << connect(searchWindow, &SearchWindow::findClicked, this, &TabPage::toggleSearch,
                                   Qt::QueuedConnection);
    }
    if (instantToolBar) {
        // The toolbar shares its request; the tab keeps its own copy (same id).
        formConnections << connect(
            instantToolBar, &InstantToolBar::startSearch, this,
            [this](QSharedPointer<FileSearchRequest> request) {
                if (request)
                    startSearch(new FileSearchRequest(*request));
            },
            Qt::QueuedConnection);
    }
}

void TabPage::disconnectForm()
{
    for (const QMetaObject::Connection& c : qAsConst(formConnections))
        disconnect(c);
    formConnections.clear();
}

