// The read-only properties dialog: one file, a link described and not followed, several paths,
// and the size and permission texts.
#include "testutil.h"
#include "ui/dialogs/FilePropertiesDialog.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestFilePropertiesDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void describesFilesLinksAndSeveralPaths()
    {
        const QString file = dir_.path() + QStringLiteral("/props/data.txt");
        QVERIFY(testutil::writeFile(file, QByteArray(1536, 'x')));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        const QString link = dir_.path() + QStringLiteral("/props/link");
        QVERIFY(QFile::link(file, link));

        QWidget parent;
        QWidget* shown = FilePropertiesDialog::open({file}, &parent);
        auto* dialog = qobject_cast<FilePropertiesDialog*>(shown);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(dialog->parentWidget(), &parent);
        QCOMPARE(dialog->value(QStringLiteral("nameValue")), QStringLiteral("data.txt"));
        QCOMPARE(dialog->value(QStringLiteral("folderValue")),
                 dir_.path() + QStringLiteral("/props"));
        QCOMPARE(dialog->value(QStringLiteral("permissionsValue")), QStringLiteral("-rw-r-----"));
        QVERIFY(dialog->value(QStringLiteral("sizeValue")).contains(QLocale().toString(1536)));
        delete dialog;

        FilePropertiesDialog linkDialog({link});
        QCOMPARE(linkDialog.value(QStringLiteral("linkValue")), file); // described, not followed
        QCOMPARE(linkDialog.value(QStringLiteral("permissionsValue")),
                 QStringLiteral("lrwxrwxrwx"));

        FilePropertiesDialog several({file, link, dir_.path() + QStringLiteral("/elsewhere")});
        QCOMPARE(several.value(QStringLiteral("countValue")), QStringLiteral("3"));
        QCOMPARE(several.value(QStringLiteral("folderValue")), QStringLiteral("Various folders"));
        QVERIFY(several.value(QStringLiteral("sizeValue")).contains(QLocale().toString(1536)));
    }

    void sizeAndPermissionTexts()
    {
        // A size below one KiB is said once, not "374 bytes (374 bytes)".
        QCOMPARE(FilePropertiesDialog::sizeText(374), QStringLiteral("374 bytes"));
        QCOMPARE(FilePropertiesDialog::sizeText(0), QStringLiteral("0 bytes"));
        QCOMPARE(FilePropertiesDialog::sizeText(1536),
                 QLocale().formattedDataSize(1536) + QStringLiteral(" (") +
                     QLocale().toString(1536) + QStringLiteral(" bytes)"));

        QCOMPARE(FilePropertiesDialog::permissionText(S_IFDIR | 01777),
                 QStringLiteral("drwxrwxrwt"));
        QCOMPARE(FilePropertiesDialog::permissionText(S_IFREG | 04644),
                 QStringLiteral("-rwSr--r--"));
    }
};

QTEST_MAIN(TestFilePropertiesDialog)
#include "tst_filepropertiesdialog.moc"
