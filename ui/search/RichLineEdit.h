// RichLineEdit: the line edit of the expression fields, which shows the Boolean operators
// "and", "or" and "not" in the highlight format of its combo box while the user types.
//
// QLineEdit itself lays out, paints, scrolls and edits the text (so emoji, combining marks,
// right-to-left text, input methods, HiDPI, the platform's cursor flash time and the X11
// primary selection all behave as in every other field). The highlighting reaches QLineEdit's
// text layout as format ranges carried by an input-method event with TextFormat attributes and
// no preedit text; the ranges are computed again and re-sent after every text change. While an
// input method shows preedit text, its own formats stand and ours are not sent; they come back
// as soon as the preedit is committed or cancelled.
//
// The operators are whole words, case sensitive (a word character is a letter, a digit or "_",
// so the "or" of "x-or" is an operator, "android" and "AND" hold none). Only the first format of
// the list is used; an empty list means plain text.
//
// Linux decision: the field keeps the palette of the desktop theme (light or dark) instead of
// forcing black on white.
#pragma once

#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QTextCharFormat>

class StringMatcher;

class RichLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    // `formats` belongs to the combo box and outlives the line edit.
    explicit RichLineEdit(const QList<QTextCharFormat>& formats, QWidget* parent = nullptr);
    ~RichLineEdit() override;

    // The operator ranges (start, length in UTF-16 units) in `text`, in text order.
    static QList<QPair<int, int>> keywordRanges(const QString& text);
    // The ranges currently shown in the highlight format (empty without a format).
    QList<QPair<int, int>> highlightRanges() const { return ranges_; }
    bool preeditActive() const { return preeditActive_; }

public slots:
    // Scrolls the field back to its first character when the text does not fit.
    void resetLeftMost();
    // Lays the highlighting out again (text or formats changed).
    void updateInternal();

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void onTextChanged();

    const QList<QTextCharFormat>& formats_;
    QList<QPair<int, int>> ranges_;
    bool preeditActive_ = false;
    bool inInputMethodEvent_ = false;
    bool sendingFormats_ = false;
};
