// The expression field shows the operators in the highlight format: whole words, case
// sensitive, following every edit, without disturbing cursor, selection or input methods.
#include "ui/search/RichComboBox.h"
#include "ui/search/RichLineEdit.h"
#include "ui/search/SearchFieldModel.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QtTest>

using Ranges = QList<QPair<int, int>>;

namespace {

QTextCharFormat boldFormat()
{
    QTextCharFormat format;
    QFont font;
    font.setWeight(QFont::Bold);
    format.setFont(font);
    format.setForeground(Qt::darkRed);
    return format;
}

QImage render(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

// Types text as key events carrying it (QTest::keyClicks takes ASCII only).
void typeText(QWidget* widget, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

} // namespace

class TestRichComboBox : public QObject
{
    Q_OBJECT

private slots:
    void operatorsAreWholeCaseSensitiveWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ranges>("ranges");
        QTest::newRow("or before and") << "a or b and c" << Ranges{{2, 2}, {7, 3}};
        QTest::newRow("inside a word") << "android" << Ranges{};
        QTest::newRow("upper case") << "AND" << Ranges{};
        QTest::newRow("after a hyphen") << "x-or" << Ranges{{2, 2}};
        QTest::newRow("not first") << "not x" << Ranges{{0, 3}};
        QTest::newRow("prefix of a word") << "nothing or" << Ranges{{8, 2}};
        QTest::newRow("underscore is a word character") << "_or or_" << Ranges{};
        QTest::newRow("after an emoji") << QString::fromUtf8("\xF0\x9F\x98\x80 or b") << Ranges{{3, 2}};
        QTest::newRow("combining mark") << QString::fromUtf8("e\xCC\x81 and") << Ranges{{3, 3}};
        QTest::newRow("empty") << "" << Ranges{};
    }

    void operatorsAreWholeCaseSensitiveWords()
    {
        QFETCH(QString, text);
        QFETCH(Ranges, ranges);
        QCOMPARE(RichLineEdit::keywordRanges(text), ranges);

        RichComboBox combo;
        combo.setEditText(text);
        QVERIFY(combo.richLineEdit()->highlightRanges().isEmpty()); // no format, no highlighting
        combo.setHighlightFormats(boldFormat());
        QCOMPARE(combo.richLineEdit()->highlightRanges(), ranges);
        combo.clearHighlightFormats();
        QVERIFY(combo.richLineEdit()->highlightRanges().isEmpty());
    }

    void theFormatIsPaintedAndFollowsEveryEdit()
    {
        RichComboBox plain;
        plain.resize(220, 28);
        plain.setEditText(QStringLiteral("a or b"));

        RichComboBox set;
        set.resize(220, 28);
        set.setHighlightFormats(boldFormat());
        set.setEditText(QStringLiteral("a or b"));

        // The same text reached by typing and deleting: the formats moved with the text.
        RichComboBox typed;
        typed.resize(220, 28);
        typed.setHighlightFormats(boldFormat());
        QTest::keyClicks(typed.lineEdit(), QStringLiteral("zz a or b"));
        typed.lineEdit()->setCursorPosition(0);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(typed.lineEdit(), Qt::Key_Delete);
        QCOMPARE(typed.currentText(), QStringLiteral("a or b"));
        typed.lineEdit()->setCursorPosition(set.lineEdit()->cursorPosition());

        QVERIFY(render(&plain) != render(&set));
        QCOMPARE(render(&typed), render(&set));

        set.clearHighlightFormats();
        QCOMPARE(render(&set), render(&plain));
    }

    void formatsLeaveCursorAndSelectionAlone()
    {
        RichComboBox combo;
        combo.setEditText(QStringLiteral("cat or dog and bird"));
        QLineEdit* edit = combo.lineEdit();
        edit->setSelection(2, 6);
        const int cursor = edit->cursorPosition();
        combo.setHighlightFormats(boldFormat());
        QCOMPARE(edit->selectionStart(), 2);
        QCOMPARE(edit->selectedText(), QStringLiteral("t or d"));
        QCOMPARE(edit->cursorPosition(), cursor);
        QCOMPARE(combo.currentText(), QStringLiteral("cat or dog and bird"));
        QVERIFY(!edit->isUndoAvailable()); // sending formats is no edit
    }

    void preeditTextKeepsTheInputMethodsFormats()
    {
        RichComboBox combo;
        combo.setHighlightFormats(boldFormat());
        RichLineEdit* edit = combo.richLineEdit();
        combo.setEditText(QStringLiteral("a or "));
        QCOMPARE(edit->highlightRanges(), (Ranges{{2, 2}}));

        QList<QInputMethodEvent::Attribute> attributes;
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, 2, underline);
        QInputMethodEvent preedit(QStringLiteral("no"), attributes);
        QApplication::sendEvent(edit, &preedit);
        QVERIFY(edit->preeditActive());
        QCOMPARE(edit->text(), QStringLiteral("a or "));

        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("not"));
        QApplication::sendEvent(edit, &commit);
        QVERIFY(!edit->preeditActive());
        QCOMPARE(edit->text(), QStringLiteral("a or not"));
        QCOMPARE(edit->highlightRanges(), (Ranges{{2, 2}, {5, 3}}));
    }

    void emojiAndSurrogatesDoNotBreakEditing()
    {
        RichComboBox combo;
        combo.resize(160, 28);
        combo.setHighlightFormats(boldFormat());
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        typeText(combo.lineEdit(), emoji);
        QTest::keyClicks(combo.lineEdit(), QStringLiteral(" or "));
        typeText(combo.lineEdit(), emoji);
        QTest::keyClicks(combo.lineEdit(), QStringLiteral("and"));
        QCOMPARE(combo.currentText(), emoji + QStringLiteral(" or ") + emoji + QStringLiteral("and"));
        QCOMPARE(combo.richLineEdit()->highlightRanges(), RichLineEdit::keywordRanges(combo.currentText()));
        QVERIFY(!render(&combo).isNull());
        // Backspace through everything, one grapheme at a time, and walk the cursor over it.
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(combo.lineEdit(), Qt::Key_Left);
            QTest::keyClick(combo.lineEdit(), Qt::Key_End);
            QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
            QCOMPARE(combo.richLineEdit()->highlightRanges(), RichLineEdit::keywordRanges(combo.currentText()));
            render(&combo);
        }
        QVERIFY(combo.currentText().isEmpty());
    }

    void choosingAnItemScrollsBackToTheStart()
    {
        SearchFieldModel model;
        model.setEntries({QStringLiteral("short"),
                          QStringLiteral("a very long expression that does not fit into the field at all")});
        RichComboBox combo;
        combo.resize(90, 28);
        combo.setModel(&model);
        combo.setCurrentIndex(0);
        QTest::keyClick(&combo, Qt::Key_Down); // the user chooses the next entry
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(combo.lineEdit()->cursorPosition(), 0);
        QTest::keyClick(&combo, Qt::Key_Up);
        QCOMPARE(combo.lineEdit()->cursorPosition(), 5); // a text that fits keeps its cursor

        // Typing on and recording the text moves the current row, but the cursor stays put.
        combo.lineEdit()->setText(QStringLiteral("another long expression typed by the user"));
        const int end = combo.lineEdit()->text().size();
        model.addEntry(QStringLiteral("first"));
        model.addEntry(combo.currentText());
        QCOMPARE(combo.currentText(), QStringLiteral("another long expression typed by the user"));
        QCOMPARE(combo.lineEdit()->cursorPosition(), end);
    }

    void mouseSelectionGoesToThePrimarySelection()
    {
        QClipboard* clipboard = QApplication::clipboard();
        if (!clipboard->supportsSelection())
            QSKIP("this platform has no primary selection");
        RichComboBox combo;
        combo.resize(200, 28);
        combo.setHighlightFormats(boldFormat());
        combo.setEditText(QStringLiteral("word or other"));
        QLineEdit* edit = combo.lineEdit();
        const int y = edit->height() / 2;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, y), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(edit->width() - 4, y), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(edit->width() - 4, y), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(edit, &release);
        QVERIFY(edit->hasSelectedText());
        QTRY_COMPARE(clipboard->text(QClipboard::Selection), edit->selectedText());
    }
};

QTEST_MAIN(TestRichComboBox)
#include "tst_richcombobox.moc"
