#include "ui/dialogs/FilePropertiesDialog.h"

#include "core/FileUtils.h"
#include "core/FileNameCodec.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QVBoxLayout>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString userName(uid_t uid)
{
    if (const struct passwd* entry = ::getpwuid(uid))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    if (const struct group* entry = ::getgrgid(gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

QString timeText(const struct timespec& time)
{
    const QDateTime dateTime = QDateTime::fromMSecsSinceEpoch(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000);
    return QLocale().toString(dateTime, QLocale::LongFormat);
}

} // namespace

FilePropertiesDialog::FilePropertiesDialog(const QStringList& paths, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(paths.size() == 1 ? tr("Properties of %1").arg(pathFileName(paths.first())) : tr("Properties"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (paths.size() == 1) {
        const QString path = paths.first();
        struct stat st;
        const bool known = ::lstat(FileNameCodec::encode(path).constData(), &st) == 0;
        addRow(tr("Name:"), QStringLiteral("nameValue"), pathFileName(path));
        addRow(tr("Folder:"), QStringLiteral("folderValue"), pathDirectory(path).isEmpty() ? QStringLiteral("/") : pathDirectory(path));
        if (!known) {
            addRow(tr("Type:"), QStringLiteral("typeValue"), tr("The file does not exist."));
            return;
        }
        const QMimeDatabase database;
        QString type;
        if (S_ISLNK(st.st_mode))
            type = tr("Symbolic link");
        else if (S_ISDIR(st.st_mode))
            type = database.mimeTypeForName(QStringLiteral("inode/directory")).comment();
        else
            type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
        addRow(tr("Type:"), QStringLiteral("typeValue"), type);
        addRow(tr("Size:"), QStringLiteral("sizeValue"), sizeText(st.st_size));
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(FileNameCodec::encode(path).constData(), target, sizeof target);
            addRow(tr("Link target:"), QStringLiteral("linkValue"), n > 0 ? FileNameCodec::decode(target, int(n)) : QString());
        }
        addRow(tr("Modified:"), QStringLiteral("modifiedValue"), timeText(st.st_mtim));
        addRow(tr("Accessed:"), QStringLiteral("accessedValue"), timeText(st.st_atim));
        addRow(tr("Owner:"), QStringLiteral("ownerValue"), userName(st.st_uid) + QLatin1Char(':') + groupName(st.st_gid));
        addRow(tr("Permissions:"), QStringLiteral("permissionsValue"), permissionText(st.st_mode));
        return;
    }

    qint64 total = 0;
    QString folder = paths.isEmpty() ? QString() : pathDirectory(paths.first());
    for (const QString& path : paths) {
        struct stat st;
        if (::lstat(FileNameCodec::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
            total += st.st_size;
        if (pathDirectory(path) != folder)
            folder = tr("Various folders");
    }
    addRow(tr("Items:"), QStringLiteral("countValue"), QString::number(paths.size()));
    addRow(tr("Folder:"), QStringLiteral("folderValue"), folder);
    addRow(tr("Size of the files:"), QStringLiteral("sizeValue"), sizeText(total));
}

QWidget* FilePropertiesDialog::open(const QStringList& paths, QWidget* parent)
{
    auto* dialog = new FilePropertiesDialog(paths, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

void FilePropertiesDialog::addRow(const QString& label, const QString& objectName, const QString& text)
{
    auto* value = new QLabel(text, this);
    value->setObjectName(objectName);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setTextFormat(Qt::PlainText);
    form_->addRow(label, value);
}

QString FilePropertiesDialog::value(const QString& objectName) const
{
    const QLabel* label = findChild<QLabel*>(objectName);
    return label ? label->text() : QString();
}

QString FilePropertiesDialog::permissionText(unsigned mode)
{
    QString text;
    if (S_ISDIR(mode))
        text += QLatin1Char('d');
    else if (S_ISLNK(mode))
        text += QLatin1Char('l');
    else if (S_ISCHR(mode))
        text += QLatin1Char('c');
    else if (S_ISBLK(mode))
        text += QLatin1Char('b');
    else if (S_ISFIFO(mode))
        text += QLatin1Char('p');
    else if (S_ISSOCK(mode))
        text += QLatin1Char('s');
    else
        text += QLatin1Char('-');
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        text += (mode & (0400u >> i)) ? QLatin1Char(letters[i]) : QLatin1Char('-');
    // set-user-id, set-group-id and sticky bits replace the execute letters
    auto special = [&](int index, unsigned bit, char withExecute, char withoutExecute) {
        if (mode & bit)
            text[index] = text.at(index) == QLatin1Char('-') ? QLatin1Char(withoutExecute) : QLatin1Char(withExecute);
    };
    special(3, S_ISUID, 's', 'S');
    special(6, S_ISGID, 's', 'S');
    special(9, S_ISVTX, 't', 'T');
    return text;
}

QString FilePropertiesDialog::sizeText(qint64 bytes)
{
    const QLocale locale;
    // Below one KiB the rounded size would only repeat the exact one.
    if (bytes < 1024)
        return tr("%n bytes", nullptr, int(bytes));
    // The plural form of a language follows the last digits of the number (a million and
    // more reads as "many" everywhere), so the count handed to tr() stays within an int.
    const int pluralCount = bytes < 1000000 ? int(bytes) : int(1000000 + bytes % 1000000);
    return tr("%1 (%2 bytes)", nullptr, pluralCount).arg(locale.formattedDataSize(bytes), locale.toString(bytes));
}
