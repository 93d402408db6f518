// RichComboBox: an editable combo box whose line edit highlights the Boolean operators of the
// expression typed into it (see RichLineEdit). setHighlightFormats adds a format (only the first
// is used); clearHighlightFormats returns the field to plain text. Choosing another item
// (from the list or with the arrow keys) scrolls the field back to its first character; a
// current index that moves because the history gained or moved rows does not.
#pragma once

#include <QComboBox>
#include <QList>
#include <QTextCharFormat>

class RichLineEdit;

class RichComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit RichComboBox(QWidget* parent = nullptr);

    void setHighlightFormats(const QTextCharFormat& format);
    void clearHighlightFormats();
    // Clears the formats; when `on`, the one format becomes `base` in bold (weight 75).
    void setBoldOperators(bool on, const QFont& base);
    const QList<QTextCharFormat>& highlightFormats() const { return formats; }

    RichLineEdit* richLineEdit() const { return edit_; }

private:
    QList<QTextCharFormat> formats;
    RichLineEdit* edit_;
};
