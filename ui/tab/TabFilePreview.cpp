#include "ui/tab/TabFilePreview.h"

#include "core/Settings.h"
#include "search/engine/FileSearcher.h"
#include "search/model/TempFileHolder.h"
#include "ui/common/Prompter.h"
#include "ui/preview/FileTextLoader.h"
#include "ui/preview/LocationPane.h"
#include "ui/preview/MatchesTextView.h"
#include "ui/tab/SearchRun.h"

#include <QEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>

#include <algorithm>

TabFilePreview::TabFilePreview(QTabWidget* tabs, MatchesTextView* matches, QPlainTextEdit* textView,
                               LocationPane* locationPane, std::shared_ptr<FileSearcher> engine,
                               Settings* userSettings, Prompter* prompts, QObject* parent)
    : QObject(parent)
    , pages(tabs)
    , matchesView(matches)
    , fileText(textView)
    , location(locationPane)
    , searcher(std::move(engine))
    , settings(userSettings)
    , prompter(prompts)
{
    setObjectName(QStringLiteral("preview"));
    matchesView->setSettings(userSettings);
    locationPane->setTextEdit(textView);
    matchesView->viewport()->installEventFilter(this);
    connect(textView, &QWidget::customContextMenuRequested, this,
            &TabFilePreview::showFileTextMenu);
    connect(matchesView, &QWidget::customContextMenuRequested, this, &TabFilePreview::showMatchesMenu);
    applyWordWrap();
}

TabFilePreview::~TabFilePreview()
{
    cancel();
}

FileSearchRequest::Id TabFilePreview::matchesRequestId() const
{
    return run ? run->id() : -1;
}

void TabFilePreview::cancel()
{
    textLoad.cancel();
    if (!run)
        return;
    disconnect(run, nullptr, this, nullptr);
    run->cancel(); // it keeps its request and holder until the engine is done with them
    run = nullptr;
}

void TabFilePreview::reset()
{
    textLoad.cancel();
    location->clear();
    fileText->clear();
}

void TabFilePreview::findMatches(const QString& path)
{
    if (!tabRequest || tabRequest->contents.isEmpty() || path.isEmpty())
        return;
    cancel();
    auto request = std::make_shared<FileSearchRequest>(FileSearchRequest::cloneForMatches(*tabRequest));
    // The shown holder stays until the new one is complete: the engine writes into the new one.
    run = SearchRun::findMatches(searcher.get(), request, path, std::make_shared<TempFileHolder>());
    connect(run, &SearchRun::finished, this, &TabFilePreview::onRunFinished);
}

void TabFilePreview::onRunFinished()
{
    holder_ = run->holder(); // the last owner of the old one deletes its converted text file
    run = nullptr;
    matchesView->showMatches(holder_.get());
    QList<int> lines;
    for (const MatchedLine& record : qAsConst(holder_->matches))
        lines.append(record.line);
    location->setMatches(holder_->lineCount, lines);
    fileText->clear();
    pages->setCurrentIndex(0);
    // The text is read on a worker, which shares the holder (and so its open file).
    textLoad.start<FileTextLoader::Result>(
        [holder = holder_](const BackgroundJob::Control&) { return FileTextLoader::load(holder->text.get()); },
        [this](FileTextLoader::Result& loaded) {
            showFileText(loaded);
            emit matchesShown();
        });
}

void TabFilePreview::showFileText(const FileTextLoader::Result& loaded)
{
    QTextCharFormat format = matchesView->currentCharFormat();
    format.clearBackground();
    format.clearForeground();
    fileText->setCurrentCharFormat(format);
    fileText->setPlainText(loaded.text);
    if (loaded.truncated)
        fileText->appendPlainText(tr("[Only the first %1 MiB of this file of %2 MiB are shown.]")
                                      .arg(FileTextLoader::kDefaultCap / (1024 * 1024))
                                      .arg(loaded.fileSize / (1024 * 1024)));

    QTextCharFormat hit;
    hit.setBackground(QBrush(MatchesTextView::highlightColor(settings), Qt::SolidPattern));
    hit.setForeground(QBrush(Qt::black));
    QTextDocument* document = fileText->document();
    for (const MatchedLine& record : qAsConst(holder_->matches)) {
        const QTextBlock block = document->findBlockByNumber(record.line);
        if (!block.isValid() || (loaded.truncated && block == document->lastBlock()))
            continue;
        for (int i = 0; i < record.positions.size() && i < 10; ++i) {
            const auto& p = record.positions.at(i);
            const int start = block.position() + std::clamp(p.first, 0, block.length() - 1);
            const int end = std::min(start + std::max(0, p.second), block.position() + block.length() - 1);
            QTextCursor cursor(document);
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(hit);
        }
    }
}

bool TabFilePreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != matchesView->viewport() || event->type() != QEvent::MouseButtonDblClick || !holder_)
        return QObject::eventFilter(watched, event);
    const int n = settings ? settings->value(Settings::ShowMaximumMatches).toInt() : 100;
    const bool hasNotice = holder_->matches.size() > n;
    const int index = matchesView->textCursor().blockNumber() - (hasNotice ? 1 : 0);
    if (index < 0)
        return QObject::eventFilter(watched, event);
    const int shown = std::min(n, int(holder_->matches.size()));
    if (settings && settings->value(Settings::ShowFullMatchedLine).toBool()) {
        if (index >= shown)
            return QObject::eventFilter(watched, event);
        jumpTo(index, 0);
        return true;
    }
    int sum = 0;
    for (int r = 0; r < shown; ++r) {
        const int hits = holder_->matches.at(r).positions.size();
        if (index < sum + hits) {
            jumpTo(r, index - sum);
            return true;
        }
        sum += hits;
    }
    return QObject::eventFilter(watched, event);
}

void TabFilePreview::jumpTo(int record, int hitIndex)
{
    const MatchedLine& line = holder_->matches.at(record);
    pages->setCurrentIndex(1);
    const QTextBlock block = fileText->document()->findBlockByNumber(line.line);
    if (!block.isValid() || line.positions.isEmpty())
        return;
    const auto& hit = line.positions.at(std::clamp(hitIndex, 0, int(line.positions.size()) - 1));
    QTextCursor cursor(fileText->document());
    const int start = block.position() + std::clamp(hit.first, 0, block.length() - 1);
    cursor.setPosition(start);
    cursor.setPosition(std::min(start + hit.second, block.position() + block.length() - 1), QTextCursor::KeepAnchor);
    fileText->setTextCursor(cursor);
    fileText->setFocus();
}

void TabFilePreview::applyWordWrap()
{
    const bool wrap = settings && settings->value(Settings::WordWrap).toBool();
    fileText->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    location->setVisible(!wrap);
}

void TabFilePreview::showFileTextMenu(const QPoint& pos)
{
    std::unique_ptr<QMenu> menu(fileText->createStandardContextMenu());
    auto* action = new QAction(tr("Word Wrap"), menu.get());
    action->setCheckable(true);
    action->setChecked(settings && settings->value(Settings::WordWrap).toBool());
    menu->insertAction(menu->actions().value(0), action);
    if (prompter && prompter->execMenu(menu.get(), fileText->mapToGlobal(pos)) == action && settings) {
        settings->setValue(Settings::WordWrap, !settings->value(Settings::WordWrap).toBool());
        applyWordWrap();
    }
}

void TabFilePreview::showMatchesMenu(const QPoint& pos)
{
    std::unique_ptr<QMenu> menu(matchesView->createStandardContextMenu());
    auto* action = new QAction(tr("Full line"), menu.get());
    action->setCheckable(true);
    action->setChecked(settings && settings->value(Settings::ShowFullMatchedLine).toBool());
    menu->insertAction(menu->actions().value(0), action);
    if (prompter && prompter->execMenu(menu.get(), matchesView->mapToGlobal(pos)) == action && settings) {
        settings->setValue(Settings::ShowFullMatchedLine, !settings->value(Settings::ShowFullMatchedLine).toBool());
        if (holder_)
            matchesView->showMatches(holder_.get());
    }
}
