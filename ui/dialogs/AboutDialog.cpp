#include "ui/dialogs/AboutDialog.h"

#include "core/SystemUtils.h"
#include "ui/common/Prompter.h"
#include "ui/common/UiResources.h"

#include "ui_AboutDialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

AboutDialog::AboutDialog(Prompter* prompter, QWidget* parent, const QString& programFolder)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
    , prompter_(prompter)
    , programFolder_(programFolder)
{
    initUiResources();
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(applicationIcon());

    ui->header->setImage(QImage(QStringLiteral(":/images/Logo.svg")));
    ui->versionLabel->setText(QStringLiteral("<b>%1 %2</b>").arg(productName(), version()));

    const QDateTime built = buildDateTime();
    const QString builtText = built.isValid()
        ? QLocale().toString(built, QLocale::ShortFormat)
        : QStringLiteral("?");
    ui->label->setText(tr("Build time: %1").arg(builtText) + QLatin1Char('\n')
                       + tr("Qt version: %1").arg(QString::fromLatin1(qVersion())));

    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->creditsButton, &QPushButton::clicked, this, &AboutDialog::showCredits);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QString AboutDialog::productName()
{
    return QStringLiteral("Tallowquist Pro");
}

QString AboutDialog::version()
{
    return QStringLiteral("1.4");
}

QString AboutDialog::readCredits(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromUtf8(bytes);
}

QString AboutDialog::creditsPath() const
{
    const QString folder = programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_;
    return folder + QStringLiteral("/Credits.txt");
}

void AboutDialog::showCredits()
{
    prompter_->information(this, tr("Credits"), readCredits(creditsPath()));
}
