// The match preview: hit windows at word boundaries, the notice when records are cut, full
// lines trimmed with their hits moved by what was stripped, characters that would split a text
// block, the highlight colour setting, the location strip's ranges and its guards against empty
// texts and zero heights, and the capped file text.
#include "core/ContentFile.h"
#include "core/Settings.h"
#include "search/model/TempFileHolder.h"
#include "ui/preview/FileTextLoader.h"
#include "ui/preview/LocationPane.h"
#include "ui/preview/MatchesTextView.h"
#include "testutil.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCodec>
#include <QtTest>

namespace {

// The preview's text of the file at `path`, opened as the matches search opens it.
FileTextLoader::Result loadText(const QString& path, qint64 cap = FileTextLoader::kDefaultCap)
{
    const ContentFile file = ContentFile::open(path);
    return FileTextLoader::load(&file, cap);
}

struct SettingsScope
{
    Settings* s = Settings::instance();
    SettingsScope() { reset(); }
    ~SettingsScope() { reset(); }
    void reset()
    {
        s->setValue(Settings::ShowFullMatchedLine, false);
        s->setValue(Settings::ShowMaximumMatches, 100);
        s->setValue(Settings::PreviewCharsBeforeMatch, 50);
        s->setValue(Settings::PreviewCharsAfterMatch, 50);
        s->setValue(Settings::HighlightColor, QStringLiteral("0xEFCB05"));
    }
};

// The background colour at a document position of the view.
QColor backgroundAt(QPlainTextEdit& view, int position)
{
    QTextCursor c(view.document());
    c.setPosition(position + 1);
    return c.charFormat().background().color();
}

} // namespace

class TestMatchPreview : public QObject
{
    Q_OBJECT

private slots:
    void hitWindowStopsAtWords()
    {
        QString line;
        for (int i = 0; i < 30; ++i)
            line += QStringLiteral("word%1 ").arg(i, 4, 10, QLatin1Char('0')); // 9 characters each
        // A hit at 120: the window starts at the first word after 70 and ends after the last
        // whole word before 120 + 4 + 50.
        const MatchesTextView::Window w = MatchesTextView::hitWindow(line, 120, 4, 50, 50);
        QVERIFY(w.cutLeft);
        QCOMPARE(w.start, 72); // word 8; position 70 lies inside word 7
        QCOMPARE(w.end, 170);  // after word 18; 174 lies inside word 19
        QCOMPARE(line.mid(w.start, 4), QStringLiteral("word"));
        QCOMPARE(line.at(w.end), QLatin1Char(' '));
        // Within the first 50 characters: from the first non-blank, not cut.
        const MatchesTextView::Window early = MatchesTextView::hitWindow(QStringLiteral("   abc def"), 4, 2, 50, 50);
        QVERIFY(!early.cutLeft);
        QCOMPARE(early.start, 3);
        QCOMPARE(early.end, 10);
        // Odd hits are clamped to the text.
        const MatchesTextView::Window odd = MatchesTextView::hitWindow(QStringLiteral("ab"), 5, 9, 50, 50);
        QVERIFY(odd.start <= odd.end && odd.end <= 2);
    }

    void noticeAndLineNumbers()
    {
        SettingsScope scope;
        TempFileHolder holder;
        for (int i = 0; i < 101; ++i)
            holder.matches.append(MatchedLine(i, {{4, 3}}, QStringLiteral("abc xyz def")));
        MatchesTextView view;
        view.setSettings(scope.s);
        view.showMatches(&holder);
        QCOMPARE(view.document()->blockCount(), 101);
        QCOMPARE(view.document()->findBlockByNumber(0).text(), QStringLiteral("Only the first 100 matches are shown."));
        const QTextBlock first = view.document()->findBlockByNumber(1);
        QCOMPARE(first.text(), QStringLiteral("1\tabc xyz def"));
        QTextCursor c(first);
        c.setPosition(first.position() + 1);
        QCOMPARE(c.charFormat().foreground().color(), QColor(Qt::blue));
        QCOMPARE(backgroundAt(view, first.position() + 6), QColor(0xEF, 0xCB, 0x05));
        QVERIFY(backgroundAt(view, first.position() + 3) != QColor(0xEF, 0xCB, 0x05));
    }

    void fullLinesMoveHitsByWhatWasStripped()
    {
        SettingsScope scope;
        scope.s->setValue(Settings::ShowFullMatchedLine, true);
        TempFileHolder holder;
        // Leading white space that is not only blanks and tabs, and a hit inside it.
        holder.matches.append(MatchedLine(2, {{3, 3}, {0, 1}}, QStringLiteral("   abc") + QChar(0x3000)));
        holder.matches.append(MatchedLine(9, {{2, 2}}, QString(QChar(0x3000)) + QStringLiteral(" xyz")));
        MatchesTextView view;
        view.setSettings(scope.s);
        view.showMatches(&holder);
        QCOMPARE(view.document()->findBlockByNumber(0).text(), QStringLiteral("3\tabc"));
        QCOMPARE(backgroundAt(view, 2), QColor(0xEF, 0xCB, 0x05));
        const QTextBlock second = view.document()->findBlockByNumber(1);
        QCOMPARE(second.text(), QStringLiteral("10\txyz"));
        QCOMPARE(backgroundAt(view, second.position() + 3), QColor(0xEF, 0xCB, 0x05));
    }

    void separatorsInALineStayOnOneDisplayLine()
    {
        SettingsScope scope;
        TempFileHolder holder;
        holder.matches.append(MatchedLine(0, {{6, 3}}, QStringLiteral("a\rb") + QChar(0x2029) + QStringLiteral("cd hit")));
        holder.matches.append(MatchedLine(1, {{0, 3}}, QStringLiteral("hit")));
        MatchesTextView view;
        view.setSettings(scope.s);
        view.showMatches(&holder);
        QCOMPARE(view.document()->blockCount(), 2);
        QCOMPARE(view.document()->findBlockByNumber(0).text(), QStringLiteral("1\ta b cd hit"));
        const QTextBlock second = view.document()->findBlockByNumber(1);
        QCOMPARE(backgroundAt(view, second.position() + 2), QColor(0xEF, 0xCB, 0x05));
    }

    void highlightColourSetting()
    {
        SettingsScope scope;
        QCOMPARE(MatchesTextView::highlightColor(scope.s), QColor(0xEF, 0xCB, 0x05));
        scope.s->setValue(Settings::HighlightColor, QStringLiteral("EFCB05"));
        QCOMPARE(MatchesTextView::highlightColor(scope.s), QColor(0xEF, 0xCB, 0x05));
        scope.s->setValue(Settings::HighlightColor, QStringLiteral("0x00ff00"));
        QCOMPARE(MatchesTextView::highlightColor(scope.s), QColor(0, 255, 0));
        scope.s->setValue(Settings::HighlightColor, QStringLiteral("green"));
        QCOMPARE(MatchesTextView::highlightColor(scope.s), QColor(0xEF, 0xCB, 0x05));
    }

    void locationRangesAndGuards()
    {
        LocationPane pane;
        pane.setMatches(20, {3, 4, 5, 9});
        QCOMPARE(pane.ranges(), (QList<QPair<int, int>>{{3, 3}, {9, 1}}));

        QPlainTextEdit editor;
        editor.resize(300, 100);
        QString text;
        for (int i = 0; i < 500; ++i)
            text += QStringLiteral("line %1\n").arg(i);
        editor.setPlainText(text);
        pane.setTextEdit(&editor);
        pane.resize(24, 0); // no height
        pane.grab();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 0), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &press);
        pane.clear();
        pane.resize(24, 300);
        pane.grab(); // no lines: nothing to scale by
        QApplication::sendEvent(&pane, &press);
        QCOMPARE(editor.verticalScrollBar()->value(), 0);

        pane.setMatches(500, {250});
        QMouseEvent bottom(QEvent::MouseButtonPress, QPointF(5, 299), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &bottom);
        QCOMPARE(editor.verticalScrollBar()->value(), editor.verticalScrollBar()->maximum());
        QMouseEvent top(QEvent::MouseButtonPress, QPointF(5, -50), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &top);
        QCOMPARE(editor.verticalScrollBar()->value(), 0);
        const QImage image = pane.grab().toImage();
        QCOMPARE(image.pixelColor(12, pane.innerRect().top() + pane.innerRect().height() / 2 ), QColor(239, 203, 5));
    }

    void fileTextIsCapped()
    {
        QTemporaryDir dir;
        QByteArray big(3000, 'a');
        big[1500] = '\n';
        QVERIFY(testutil::writeFile(dir.filePath("big.txt"), big));
        const FileTextLoader::Result capped = loadText(dir.filePath("big.txt"), 1000);
        QVERIFY(capped.opened);
        QVERIFY(capped.truncated);
        QCOMPARE(capped.text.size(), 1000);
        const FileTextLoader::Result whole = loadText(dir.filePath("big.txt"), 3000);
        QVERIFY(!whole.truncated);
        QCOMPARE(whole.text.size(), 3000);

        QVERIFY(testutil::writeFile(dir.filePath("u16.txt"), QByteArray("\xff\xfe" "h\0i\0", 6)));
        QCOMPARE(loadText(dir.filePath("u16.txt")).text, QStringLiteral("hi"));
        QVERIFY(!loadText(dir.filePath("missing")).opened);
        QVERIFY(!loadText(dir.path()).opened); // a folder is no text
    }

    // The preview reads a text in the encoding the search guessed for it: an 8-bit text whose
    // first accented letter comes after hundreds of ASCII bytes, a Japanese text in Shift-JIS,
    // Chinese in UTF-16 without a mark.
    void fileTextInItsGuessedEncoding()
    {
        QTemporaryDir dir;
        const QString russian = QString(600, QLatin1Char('x')) + QStringLiteral(
            "\nМосква является столицей России и крупнейшим городом страны. Привет из Москвы!\n");
        const QString japanese = QStringLiteral("東京は日本の首都であり、世界で最も人口の多い都市の一つです。毎年、多くの観光客が"
                                                "浅草寺や東京タワーを訪れます。");
        const QString chinese = QStringLiteral("北京是中华人民共和国的首都，也是全国的政治和文化中心。每年都有成千上万的游客来参观"
                                               "故宫、长城和天安门广场。");
        const struct
        {
            const char* codec;
            QString text;
        } texts[] = {{"windows-1251", russian}, {"Shift_JIS", japanese}, {"UTF-16LE", chinese}};
        for (const auto& t : texts) {
            QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
            const QByteArray bytes = QTextCodec::codecForName(t.codec)->fromUnicode(t.text.constData(), t.text.size(), &state);
            const QString path = dir.filePath(QString::fromLatin1(t.codec) + QStringLiteral(".txt"));
            QVERIFY(testutil::writeFile(path, bytes));
            QCOMPARE(loadText(path).text, t.text);
        }
    }

    void fileTextKeepsTheLinesOfTheSearch()
    {
        // The search counts lines by LF (CR LF included); a lone CR or a paragraph separator
        // would open a text block of its own and move every highlight below it.
        QTemporaryDir dir;
        QVERIFY(testutil::writeFile(dir.filePath("mixed.txt"),
                                    "one\rtwo\nthree\xE2\x80\xA9" "four\r\nfive alpha\n"));
        const FileTextLoader::Result loaded = loadText(dir.filePath("mixed.txt"));
        QPlainTextEdit edit;
        edit.setPlainText(loaded.text);
        QTextDocument* document = edit.document();
        QCOMPARE(document->findBlockByNumber(0).text(), QStringLiteral("one two"));
        QCOMPARE(document->findBlockByNumber(1).text(), QStringLiteral("three four"));
        QCOMPARE(document->findBlockByNumber(2).text(), QStringLiteral("five alpha"));
    }
};

QTEST_MAIN(TestMatchPreview)
#include "tst_matchpreview.moc"
