#include "ui/search/ExpressionFieldActions.h"

#include "ui/common/Prompter.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/search/ExpressionList.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

bool insertOperatorFromMenu(Prompter* prompter, QWidget* menuParent, QPushButton* button, QComboBox* field)
{
    QMenu menu(menuParent);
    for (const char* name : {"And", "Or", "Not"})
        menu.addAction(QString::fromLatin1(name));
    QAction* chosen = prompter->execMenu(&menu, button->mapToGlobal(QPoint(0, button->height())));
    if (!chosen)
        return false;
    QLineEdit* edit = field->lineEdit();
    const QString text = edit->text();
    const int p = edit->cursorPosition();
    const bool blankBefore = p == 0 || text.at(p - 1) == QLatin1Char(' ');
    const bool blankAfter = p < text.size() && text.at(p) == QLatin1Char(' ');
    QString insertion = blankBefore ? QString() : QStringLiteral(" ");
    insertion += chosen->text().toLower();
    if (!blankAfter)
        insertion += QLatin1Char(' ');
    edit->insert(insertion);
    field->setFocus();
    return true;
}

bool editExpressionListInDialog(Prompter* prompter, QWidget* parent, QComboBox* field, int mode,
                                const char* windowTitle, const char* titleContext)
{
    QStringList includes;
    QStringList excludes;
    splitExpressionList(field->currentText(), &includes, &excludes);
    SelectFileNamesDialog dialog(mode, parent);
    if (windowTitle)
        dialog.setWindowTitle(QCoreApplication::translate(titleContext, windowTitle));
    dialog.setIncludeList(includes);
    dialog.setExcludeList(excludes);
    if (prompter->execDialog(&dialog) != QDialog::Accepted)
        return false;
    const QStringList newIncludes = dialog.includeList();
    const QStringList newExcludes = dialog.excludeList();
    if (normalizedExpressionList(newIncludes) != includes || normalizedExpressionList(newExcludes) != excludes)
        field->setEditText(joinExpressionList(newIncludes, newExcludes));
    return true;
}
