#include "ui/search/RichComboBox.h"

#include "ui/search/RichLineEdit.h"

RichComboBox::RichComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    edit_ = new RichLineEdit(formats);
    setLineEdit(edit_);
    // Only the user's choice of an item scrolls back: the current index also moves when the
    // history inserts or moves rows, and then the field must keep its cursor.
    connect(this, QOverload<int>::of(&QComboBox::activated), edit_, &RichLineEdit::resetLeftMost);
}

void RichComboBox::setHighlightFormats(const QTextCharFormat& format)
{
    formats.append(format);
    edit_->updateInternal();
}

void RichComboBox::clearHighlightFormats()
{
    formats.clear();
    edit_->updateInternal();
}

void RichComboBox::setBoldOperators(bool on, const QFont& base)
{
    formats.clear();
    if (on) {
        QFont bold = base;
        bold.setWeight(QFont::Bold);
        QTextCharFormat format;
        format.setFont(bold);
        formats.append(format);
    }
    edit_->updateInternal();
}
