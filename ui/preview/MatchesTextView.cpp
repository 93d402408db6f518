#include "ui/preview/MatchesTextView.h"

#include "core/Settings.h"
#include "search/model/TempFileHolder.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QColor parseColor(QString text, bool* ok)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    const uint rgb = text.toUInt(ok, 16);
    if (text.isEmpty())
        *ok = false;
    return QColor::fromRgb(QRgb(rgb & 0xFFFFFF));
}

} // namespace

MatchesTextView::MatchesTextView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

QColor MatchesTextView::highlightColor(Settings* settings)
{
    bool ok = false;
    if (settings) {
        const QColor c = parseColor(settings->value(Settings::HighlightColor).toString(), &ok);
        if (ok)
            return c;
    }
    return parseColor(QStringLiteral("0xEFCB05"), &ok);
}

QString MatchesTextView::singleLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::ParagraphSeparator
            || c == QChar::LineSeparator || c == QChar(0x0B) || c == QChar(0x0C))
            c = QLatin1Char(' ');
    }
    return line;
}

MatchesTextView::Window MatchesTextView::hitWindow(const QString& text, int p, int k, int before, int after)
{
    const int length = text.length();
    p = std::clamp(p, 0, length);
    k = std::clamp(k, 0, length - p);
    Window w;
    int s = std::max(0, p - before);
    if (s != 0) {
        while (s < p && !isBlank(text.at(s)))
            ++s;
        w.cutLeft = s != 0;
    }
    while (s < p && isBlank(text.at(s)))
        ++s;
    int e = std::min(p + k + after, length);
    if (e != length) {
        while (e > p + k && !isBlank(text.at(e)))
            --e;
        while (e > p + k && isBlank(text.at(e)))
            --e;
        e = std::min(e + 1, length);
    }
    w.start = s;
    w.end = e;
    return w;
}

void MatchesTextView::showMatches(const TempFileHolder* holder)
{
    const bool fullLines = settings_ && settings_->value(Settings::ShowFullMatchedLine).toBool();
    const int n = settings_ ? std::max(0, settings_->value(Settings::ShowMaximumMatches).toInt()) : 100;
    const int before = settings_ ? std::max(0, settings_->value(Settings::PreviewCharsBeforeMatch).toInt()) : 50;
    const int after = settings_ ? std::max(0, settings_->value(Settings::PreviewCharsAfterMatch).toInt()) : 50;

    QList<MatchedLine> records = holder ? holder->matches : QList<MatchedLine>();
    QString text;
    QString notice;
    if (records.size() > n) {
        records = records.mid(0, n);
        notice = tr("Only the first %n matches are shown.", nullptr, n);
        text = notice + QLatin1Char('\n');
    }

    shownHits.clear();
    for (const MatchedLine& record : qAsConst(records)) {
        const QString number = QString::number(record.line + 1);
        const QString prefix = number + QLatin1Char('\t');
        const QString line = singleLine(record.text);
        QList<QPair<int, int>> hits;
        if (!fullLines) {
            for (const auto& hit : record.positions) {
                const Window w = hitWindow(line, hit.first, hit.second, before, after);
                QString display = prefix;
                if (w.cutLeft)
                    display += QChar(0x2026);
                display += line.mid(w.start, w.end - w.start);
                if (w.end != line.length())
                    display += QChar(0x2026);
                text += display + QLatin1Char('\n');
                const int shownLength = w.end - w.start;
                int start = std::clamp(hit.first, 0, line.length()) - w.start;
                start = std::clamp(start, 0, shownLength);
                const int length = std::clamp(hit.second, 0, shownLength - start);
                hits.append({prefix.length() + (w.cutLeft ? 1 : 0) + start, length});
            }
        } else {
            int leading = 0;
            while (leading < line.length() && line.at(leading).isSpace())
                ++leading;
            const QString trimmed = line.trimmed();
            text += prefix + trimmed + QLatin1Char('\n');
            for (const auto& hit : record.positions) {
                int start = std::clamp(hit.first - leading, 0, trimmed.length());
                int end = std::clamp(hit.first + hit.second - leading, start, trimmed.length());
                hits.append({prefix.length() + start, end - start});
            }
        }
        shownHits.append(hits);
    }
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);

    QTextCharFormat format = currentCharFormat();
    format.clearBackground();
    format.clearForeground();
    setCurrentCharFormat(format);
    setPlainText(text);
    if (!notice.isEmpty())
        colorRange(0, notice.length(), QColor(Qt::transparent), QColor(QStringLiteral("dimgrey")));
    highlight(records, !notice.isEmpty());
}

void MatchesTextView::highlight(const QList<MatchedLine>& records, bool hasNotice)
{
    const bool fullLines = settings_ && settings_->value(Settings::ShowFullMatchedLine).toBool();
    const QColor hitColor = highlightColor(settings_);
    int blockNumber = hasNotice ? 1 : 0;
    for (int r = 0; r < records.size() && r < shownHits.size(); ++r) {
        const int digits = QString::number(records.at(r).line + 1).length();
        const QList<QPair<int, int>>& hits = shownHits.at(r);
        auto colorNumber = [&](const QTextBlock& block) {
            colorRange(block.position(), block.position() + digits, QColor(Qt::white), QColor(Qt::blue));
        };
        if (fullLines) {
            const QTextBlock block = document()->findBlockByNumber(blockNumber++);
            if (!block.isValid())
                break;
            colorNumber(block);
            for (const auto& hit : hits)
                if (hit.second > 0)
                    colorRange(block.position() + hit.first, block.position() + hit.first + hit.second, hitColor,
                               QColor(Qt::black));
        } else {
            for (const auto& hit : hits) {
                const QTextBlock block = document()->findBlockByNumber(blockNumber++);
                if (!block.isValid())
                    return;
                colorNumber(block);
                if (hit.second > 0)
                    colorRange(block.position() + hit.first, block.position() + hit.first + hit.second, hitColor,
                               QColor(Qt::black));
            }
        }
    }
}

void MatchesTextView::colorRange(int start, int end, const QColor& background, const QColor& foreground)
{
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    if (background.alpha() > 0)
        format.setBackground(QBrush(background, Qt::SolidPattern));
    format.setForeground(QBrush(foreground, Qt::SolidPattern));
    cursor.mergeCharFormat(format);
}
