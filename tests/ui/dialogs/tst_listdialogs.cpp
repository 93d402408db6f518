// The name/text list dialog and the folder list dialog return their lines exactly, take plain
// text only, move the focus on Tab, and browse for folders through the prompter.
#include "ui/dialogs/DialogHeader.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/dialogs/SelectPathsDialog.h"

#include "core/Settings.h"
#include "tests/ui/uitestutil.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class TestListDialogs : public QObject
{
    Q_OBJECT

private:
    Settings* settings() { return Settings::instance(); }

private slots:
    void init() { settings()->setValue(Settings::DefaultDialogDir, QString()); }

    void namesComeBackLineByLine()
    {
        SelectFileNamesDialog dialog(SelectFileNamesDialog::FileNames);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog.includeList(), QStringList{QString()}); // an empty edit is one empty entry
        dialog.setIncludeList({QStringLiteral("a"), QString(), QStringLiteral("b")});
        dialog.setExcludeList({QStringLiteral("x")});
        QCOMPARE(dialog.includeList(), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
        QCOMPARE(dialog.excludeList(), QStringList{QStringLiteral("x")});
        // Blanks, semicolons and quotes are ordinary characters of a line.
        dialog.setIncludeList({QStringLiteral(" a b ;\"c\"")});
        QCOMPARE(dialog.includeList(), QStringList{QStringLiteral(" a b ;\"c\"")});
    }

    void modesSetTitlesLabelsAndHeader_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("include");
        QTest::addColumn<QString>("exclude");
        QTest::newRow("names") << 0 << "Select file names" << "Include file names:" << "Exclude file names:";
        QTest::newRow("text") << 1 << "Select contents text" << "Include text:" << "Exclude text:";
    }

    void modesSetTitlesLabelsAndHeader()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, include);
        QFETCH(QString, exclude);
        SelectFileNamesDialog dialog(mode);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select file names"));
        auto* header = dialog.findChild<DialogHeader*>(QStringLiteral("header"));
        QCOMPARE(header->title(), title);
        const QStringList lines = header->description().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).startsWith(QChar(0x2022)) && lines.at(2).startsWith(QChar(0x2022)));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("includeLabel"))->text(), include);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("excludeLabel"))->text(), exclude);
    }

    void okAcceptsAndCancelRejects()
    {
        SelectFileNamesDialog dialog(0);
        auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        dialog.open();
        box->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.open();
        box->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void pastedPicturesAndTablesBecomePlainText()
    {
        SelectFileNamesDialog dialog(0);
        auto* edit = dialog.findChild<QTextEdit*>(QStringLiteral("includeTextEdit"));
        QVERIFY(!edit->acceptRichText());
        auto* mime = new QMimeData;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        mime->setImageData(image);
        mime->setHtml(QStringLiteral("<table><tr><td>one</td><td><img src=\"x.png\"></td></tr></table><b>two</b>"));
        mime->setText(QStringLiteral("one\ntwo"));
        QApplication::clipboard()->setMimeData(mime);
        edit->paste();
        const QStringList lines = dialog.includeList();
        QCOMPARE(lines, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        for (const QString& line : lines)
            QVERIFY(!line.contains(QChar(QChar::ObjectReplacementCharacter)));
    }

    void tabMovesTheFocusInBothDialogs()
    {
        SelectFileNamesDialog names(0);
        names.show();
        QVERIFY(QTest::qWaitForWindowActive(&names));
        auto* include = names.findChild<QTextEdit*>(QStringLiteral("includeTextEdit"));
        include->setFocus();
        QTest::keyClick(include, Qt::Key_Tab);
        QVERIFY(include->toPlainText().isEmpty());
        QCOMPARE(QApplication::focusWidget(), names.findChild<QTextEdit*>(QStringLiteral("excludeTextEdit")));

        uitest::ScriptedPrompter prompter;
        SelectPathsDialog paths(settings(), &prompter);
        paths.show();
        QVERIFY(QTest::qWaitForWindowActive(&paths));
        auto* folders = paths.findChild<QPlainTextEdit*>(QStringLiteral("includeTextEdit"));
        folders->setFocus();
        QTest::keyClicks(folders, QStringLiteral("/tmp"));
        QTest::keyClick(folders, Qt::Key_Tab);
        QCOMPARE(paths.includePaths(), QStringList{QStringLiteral("/tmp")});
        QVERIFY(QApplication::focusWidget() != folders);
    }

    void browsingAppendsAndRemembersTheFolder()
    {
        uitest::ScriptedPrompter prompter;
        prompter.directoryAnswers << QStringLiteral("/srv/one") << QStringLiteral("/srv/Two words")
                                  << QStringLiteral("/var/x");
        SelectPathsDialog dialog(settings(), &prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select folders"));
        QCOMPARE(dialog.findChild<DialogHeader*>(QStringLiteral("header"))->title(), QStringLiteral("Select folders"));
        auto* includeButton = dialog.findChild<QPushButton*>(QStringLiteral("browseIncludeButton"));
        auto* excludeButton = dialog.findChild<QPushButton*>(QStringLiteral("browseExcludeButton"));
        includeButton->click();
        includeButton->click();
        excludeButton->click();
        QCOMPARE(dialog.includePaths(), (QStringList{QStringLiteral("/srv/one"), QStringLiteral("/srv/Two words")}));
        QCOMPARE(dialog.excludePaths(), QStringList{QStringLiteral("/var/x")});
        QCOMPARE(prompter.asked.size(), 3);
        QCOMPARE(prompter.asked.at(0).text, QString());             // first start: the empty setting
        QCOMPARE(prompter.asked.at(1).text, QStringLiteral("/srv/one")); // then the last chosen one
        QCOMPARE(prompter.asked.at(2).text, QStringLiteral("/srv/Two words"));
        QCOMPARE(settings()->value(Settings::DefaultDialogDir).toString(), QStringLiteral("/var/x"));
    }

    void aCancelledBrowseChangesNothing()
    {
        settings()->setValue(Settings::DefaultDialogDir, QStringLiteral("/home"));
        uitest::ScriptedPrompter prompter; // no answers: every browse is cancelled
        SelectPathsDialog dialog(settings(), &prompter);
        dialog.setIncludePaths({QStringLiteral("/a"), QString(), QStringLiteral("/b")});
        dialog.findChild<QPushButton*>(QStringLiteral("browseIncludeButton"))->click();
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("directory")});
        QCOMPARE(prompter.asked.at(0).text, QStringLiteral("/home"));
        QCOMPARE(dialog.includePaths(), (QStringList{QStringLiteral("/a"), QString(), QStringLiteral("/b")}));
        QCOMPARE(dialog.excludePaths(), QStringList{QString()});
        QCOMPARE(settings()->value(Settings::DefaultDialogDir).toString(), QStringLiteral("/home"));
    }
};

QTEST_MAIN(TestListDialogs)
#include "tst_listdialogs.moc"
