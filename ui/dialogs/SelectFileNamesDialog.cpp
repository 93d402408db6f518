#include "ui/dialogs/SelectFileNamesDialog.h"

#include "ui_SelectFileNamesDialog.h"

namespace {

const QChar bullet(0x2022);

} // namespace

SelectFileNamesDialog::SelectFileNamesDialog(int mode, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SelectFileNamesDialog)
    , mode_(mode)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    if (mode == ContentsText) {
        ui->header->setTexts(tr("Select contents text"),
                             tr("Here you can specify what text to search in file contents.") + QLatin1Char('\n')
                                 + bullet + QLatin1Char(' ') + tr("Enter each text string on a separate line.")
                                 + QLatin1Char('\n') + bullet + QLatin1Char(' ')
                                 + tr("File satisfies the criteria if its line matches at least one expression in "
                                      "include list and doesn't match any expression in exclude list."));
        ui->includeLabel->setText(tr("Include text:"));
        ui->excludeLabel->setText(tr("Exclude text:"));
    } else {
        ui->header->setTexts(tr("Select file names"),
                             tr("Here you can specify what file names to search for.") + QLatin1Char('\n') + bullet
                                 + QLatin1Char(' ') + tr("Enter each file name on a separate line.")
                                 + QLatin1Char('\n') + bullet + QLatin1Char(' ')
                                 + tr("File name satisfies the criteria if it matches at least one expression in "
                                      "include list and doesn't match any expression in exclude list."));
        ui->includeLabel->setText(tr("Include file names:"));
        ui->excludeLabel->setText(tr("Exclude file names:"));
    }

    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SelectFileNamesDialog::~SelectFileNamesDialog()
{
    delete ui;
}

void SelectFileNamesDialog::setIncludeList(const QStringList& list)
{
    ui->includeTextEdit->setPlainText(list.join(QLatin1Char('\n')));
}

void SelectFileNamesDialog::setExcludeList(const QStringList& list)
{
    ui->excludeTextEdit->setPlainText(list.join(QLatin1Char('\n')));
}

QStringList SelectFileNamesDialog::includeList() const
{
    return linesOf(ui->includeTextEdit);
}

QStringList SelectFileNamesDialog::excludeList() const
{
    return linesOf(ui->excludeTextEdit);
}

QStringList SelectFileNamesDialog::linesOf(const QTextEdit* edit)
{
    QString text = edit->toPlainText();
    // Defence in depth: an object that reached the document some other way never becomes a
    // character of an expression.
    text.remove(QChar(QChar::ObjectReplacementCharacter));
    text.remove(QLatin1Char('\r'));
    return text.split(QLatin1Char('\n'));
}
