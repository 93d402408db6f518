// The form state map: object name of a form widget -> its value as text, the way each search
// tab keeps the parameters of the shared search form and the saved tabs file stores them.
//
// Capturing visits every descendant widget depth-first in child order (a widget before its
// children) and records the combo boxes (current text), check boxes ("1"/"0"), line edits
// (text) and date edits (Julian day number in decimal) that have an object name other than
// "qt_spinbox_lineedit"; a later widget of the same name overwrites an earlier one. Widgets
// without a name (the line edits inside editable combo boxes) are not recorded.
//
// Applying walks the map in key order; the first descendant with the entry's name takes the
// value: an editable combo box as its edit text, another combo box selects the item of that
// text, a check box is checked exactly for "1", a line edit takes the text, a date edit the
// date of the Julian day (a value that is not a number gives day 0, which the edit clamps to its
// minimum date). Entries that name no such widget are skipped.
//
// A non-editable combo box stores the translated text of its item. When a stored text is no
// item of the combo box, its untranslated source texts (given by the caller per combo box)
// are tried, so a tab saved under English keeps its options under another language.
#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

class QWidget;

using FormStateMap = QMap<QString, QString>;

void captureFormState(const QWidget* root, FormStateMap& state);

// `sourceTexts`: object name of a non-editable combo box -> its items' untranslated texts in
// item order.
void applyFormState(QWidget* root, const FormStateMap& state,
                    const QHash<QString, QStringList>& sourceTexts = {});
