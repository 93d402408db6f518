#include "ui/dialogs/FilePropertiesDialog.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/SystemUtils.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QVBoxLayout>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Shown in a value until the reading has answered.
const QString kPending = QStringLiteral("\u2026");

// The account's and group's names, or their numbers when the databases have no entry.
QString ownerName(uid_t uid)
{
    const QByteArray name = accountName(uid);
    return name.isEmpty() ? QString::number(uid) : QString::fromLocal8Bit(name);
}

QString ownerGroupName(gid_t gid)
{
    const QByteArray name = groupName(gid);
    return name.isEmpty() ? QString::number(gid) : QString::fromLocal8Bit(name);
}

qint64 msecs(const struct timespec& time)
{
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

QString timeText(qint64 msecsSinceEpoch)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch), QLocale::LongFormat);
}

} // namespace

FilePropertiesDialog::FilePropertiesDialog(const QStringList& paths, QWidget* parent, Reader reader)
    : QDialog(parent)
    , paths_(paths)
    , reading_(new BackgroundJob(this))
{
    setWindowTitle(paths.size() == 1 ? tr("Properties of %1").arg(pathFileName(paths.first())) : tr("Properties"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // What the paths themselves say is shown at once; the rest waits for the reading.
    if (paths.size() == 1) {
        const QString& path = paths.first();
        addRow(tr("Name:"), QStringLiteral("nameValue"), pathFileName(path));
        addRow(tr("Folder:"), QStringLiteral("folderValue"),
               pathDirectory(path).isEmpty() ? QStringLiteral("/") : pathDirectory(path));
        addRow(tr("Type:"), QStringLiteral("typeValue"), kPending);
        addRow(tr("Size:"), QStringLiteral("sizeValue"), kPending);
        addRow(tr("Modified:"), QStringLiteral("modifiedValue"), kPending);
        addRow(tr("Accessed:"), QStringLiteral("accessedValue"), kPending);
        addRow(tr("Owner:"), QStringLiteral("ownerValue"), kPending);
        addRow(tr("Permissions:"), QStringLiteral("permissionsValue"), kPending);
    } else {
        QString folder = paths.isEmpty() ? QString() : pathDirectory(paths.first());
        for (const QString& path : paths) {
            if (pathDirectory(path) != folder) {
                folder = tr("Various folders");
                break;
            }
        }
        addRow(tr("Items:"), QStringLiteral("countValue"), QString::number(paths.size()));
        addRow(tr("Folder:"), QStringLiteral("folderValue"), folder);
        addRow(tr("Size of the files:"), QStringLiteral("sizeValue"), kPending);
    }

    if (!reader) {
        reader = [](const QStringList& list, const BackgroundJob::Control& control) {
            QVector<Facts> facts;
            facts.reserve(list.size());
            for (const QString& path : list) {
                if (control.cancelled())
                    break;
                facts.append(readFacts(path, list.size() == 1));
            }
            return facts;
        };
    }
    // The work owns copies of what it reads: the dialog may be gone before it ends.
    reading_->start<QVector<Facts>>(
        [reader = std::move(reader), list = paths_](const BackgroundJob::Control& control) {
            return reader(list, control);
        },
        [this](QVector<Facts>& facts) { showFacts(facts); });
}

QWidget* FilePropertiesDialog::open(const QStringList& paths, QWidget* parent)
{
    auto* dialog = new FilePropertiesDialog(paths, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

void FilePropertiesDialog::done(int result)
{
    reading_->cancel();
    QDialog::done(result);
}

FilePropertiesDialog::Facts FilePropertiesDialog::readFacts(const QString& path, bool full)
{
    Facts facts;
    const QByteArray encoded = FileNameCodec::encode(path);
    struct stat st;
    if (::lstat(encoded.constData(), &st) != 0)
        return facts;
    facts.exists = true;
    facts.mode = st.st_mode;
    facts.size = st.st_size;
    if (!full)
        return facts;
    facts.modifiedMs = msecs(st.st_mtim);
    facts.accessedMs = msecs(st.st_atim);
    facts.owner = ownerName(st.st_uid) + QLatin1Char(':') + ownerGroupName(st.st_gid);
    const QMimeDatabase database;
    if (S_ISLNK(st.st_mode)) {
        facts.type = tr("Symbolic link");
        char target[4096];
        const ssize_t n = ::readlink(encoded.constData(), target, sizeof target);
        if (n > 0)
            facts.linkTarget = FileNameCodec::decode(target, int(n));
    } else if (S_ISDIR(st.st_mode)) {
        facts.type = database.mimeTypeForName(QStringLiteral("inode/directory")).comment();
    } else {
        facts.type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
    }
    return facts;
}

void FilePropertiesDialog::showFacts(const QVector<Facts>& facts)
{
    if (paths_.size() != 1) {
        qint64 total = 0;
        for (const Facts& one : facts) {
            if (one.exists && S_ISREG(one.mode))
                total += one.size;
        }
        setValue(QStringLiteral("sizeValue"), sizeText(total));
        return;
    }
    if (facts.isEmpty())
        return;
    const Facts& one = facts.first();
    if (!one.exists) {
        setValue(QStringLiteral("typeValue"), tr("The file does not exist."));
        // Nothing else is known: only the name, the folder and this line stay.
        while (form_->rowCount() > 3)
            form_->removeRow(3);
        adjustSize();
        return;
    }
    setValue(QStringLiteral("typeValue"), one.type);
    setValue(QStringLiteral("sizeValue"), sizeText(one.size));
    if (S_ISLNK(one.mode))
        addRow(tr("Link target:"), QStringLiteral("linkValue"), one.linkTarget,
               4); // below the size
    setValue(QStringLiteral("modifiedValue"), timeText(one.modifiedMs));
    setValue(QStringLiteral("accessedValue"), timeText(one.accessedMs));
    setValue(QStringLiteral("ownerValue"), one.owner);
    setValue(QStringLiteral("permissionsValue"), permissionText(one.mode));
    adjustSize();
}

void FilePropertiesDialog::addRow(const QString& label, const QString& objectName,
                                  const QString& text, int at)
{
    auto* value = new QLabel(text, this);
    value->setObjectName(objectName);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setTextFormat(Qt::PlainText);
    form_->insertRow(at, label, value);
}

void FilePropertiesDialog::setValue(const QString& objectName, const QString& text)
{
    if (auto* label = findChild<QLabel*>(objectName))
        label->setText(text);
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
