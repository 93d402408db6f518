// The actions of the list buttons beside the expression fields, shared by the search form and
// the instant-search toolbar.
#pragma once

class Prompter;
class QComboBox;
class QPushButton;
class QWidget;

// Opens the "And" / "Or" / "Not" menu under `button`; the chosen operator is inserted at the
// cursor of the field in lower case, with a blank before it unless one is there (the start of
// the text counts as one) and a blank after it unless one follows. Returns whether one was
// inserted (a dismissed menu changes nothing).
bool insertOperatorFromMenu(Prompter* prompter, QWidget* menuParent, QPushButton* button, QComboBox* field);

// Opens the name list dialog (SelectFileNamesDialog `mode`, an optional window title) over the
// groups of the field's expression; on OK the field takes the joined lists, unless they came
// back unchanged (then the text stays as the user wrote it). Returns whether it was accepted.
bool editExpressionListInDialog(Prompter* prompter, QWidget* parent, QComboBox* field, int mode,
                                const char* windowTitle = nullptr, const char* titleContext = nullptr);
