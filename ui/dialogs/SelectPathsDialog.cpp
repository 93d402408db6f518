#include "ui/dialogs/SelectPathsDialog.h"

#include "core/Settings.h"
#include "ui/common/Prompter.h"

#include "ui_SelectPathsDialog.h"

SelectPathsDialog::SelectPathsDialog(Settings* settings, Prompter* prompter, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SelectPathsDialog)
    , settings_(settings)
    , prompter_(prompter)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    const QChar bullet(0x2022);
    ui->header->setTexts(tr("Select folders"),
                         tr("Here you can specify in what folders to search.") + QLatin1Char('\n') + bullet
                             + QLatin1Char(' ') + tr("Enter each folder path on a separate line.")
                             + QLatin1Char('\n') + bullet + QLatin1Char(' ')
                             + tr("File satisfies the criteria if it is present in one of include folders and "
                                  "isn't present in any exclude folder."));

    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->browseIncludeButton, &QPushButton::clicked, this,
            [this] { onBrowseButtonClicked(ui->browseIncludeButton); });
    connect(ui->browseExcludeButton, &QPushButton::clicked, this,
            [this] { onBrowseButtonClicked(ui->browseExcludeButton); });
}

SelectPathsDialog::~SelectPathsDialog()
{
    delete ui;
}

void SelectPathsDialog::setIncludePaths(const QStringList& paths)
{
    ui->includeTextEdit->setPlainText(paths.join(QLatin1Char('\n')));
}

void SelectPathsDialog::setExcludePaths(const QStringList& paths)
{
    ui->excludeTextEdit->setPlainText(paths.join(QLatin1Char('\n')));
}

QStringList SelectPathsDialog::includePaths() const
{
    return linesOf(ui->includeTextEdit);
}

QStringList SelectPathsDialog::excludePaths() const
{
    return linesOf(ui->excludeTextEdit);
}

QStringList SelectPathsDialog::linesOf(const QPlainTextEdit* edit)
{
    QString text = edit->toPlainText();
    text.remove(QChar(QChar::ObjectReplacementCharacter));
    return text.split(QLatin1Char('\n'));
}

void SelectPathsDialog::onBrowseButtonClicked(QPushButton* button)
{
    const QString start = settings_->value(Settings::DefaultDialogDir).toString();
    const QString chosen = prompter_->existingDirectory(this, QString(), start);
    if (chosen.isEmpty())
        return;
    QPlainTextEdit* edit = button == ui->browseIncludeButton ? ui->includeTextEdit : ui->excludeTextEdit;
    if (edit->document()->isEmpty())
        edit->setPlainText(chosen);
    else
        edit->appendPlainText(chosen);
    settings_->setValue(Settings::DefaultDialogDir, chosen);
}
