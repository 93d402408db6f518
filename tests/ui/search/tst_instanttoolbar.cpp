// The instant-search toolbar: one request per Return with the bar's settings, its own history,
// the operator menu and list dialog, and requests that nobody takes are freed.
#include "ui/search/InstantToolBar.h"

#include "tests/ui/uitestutil.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/search/RichComboBox.h"
#include "ui/search/SearchFieldModel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using RequestPointer = QSharedPointer<FileSearchRequest>;

class TestInstantToolBar : public QObject
{
    Q_OBJECT

    uitest::ScriptedPrompter* prompter = nullptr;
    InstantToolBar* bar = nullptr;

private slots:
    void init()
    {
        SearchFieldModel::instantFileNameHistory()->clear();
        prompter = new uitest::ScriptedPrompter;
        bar = new InstantToolBar(prompter);
    }

    void cleanup()
    {
        delete bar;
        delete prompter;
    }

    void returnStartsOneSearchWithTheBarsSettings()
    {
        QList<RequestPointer> requests;
        connect(bar, &InstantToolBar::startSearch, this, [&](RequestPointer r) { requests << r; });
        SearchFieldModel::instantFileNameHistory()->setEntries({QStringLiteral("a"), QStringLiteral("report")});
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
            ->setEditText(QStringLiteral("REPORT"));
        uitest::child<QComboBox>(bar, "instantFileNameFormatComboBox")->setCurrentIndex(1);
        uitest::child<QCheckBox>(bar, "instantCaseSensitiveCheckBox")->setChecked(true);
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Return);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0)->fileName, QStringLiteral("REPORT"));
        QCOMPARE(requests.at(0)->nameSyntax, 1);
        QVERIFY(requests.at(0)->nameCase);
        QVERIFY(requests.at(0)->includePaths.isEmpty());
        QCOMPARE(SearchFieldModel::instantFileNameHistory()->entries(),
                 (QStringList{QStringLiteral("REPORT"), QStringLiteral("a")}));
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("REPORT"));

        // Each request is a new one.
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Return);
        QCOMPARE(requests.size(), 2);
        QVERIFY(requests.at(1)->id != requests.at(0)->id);

        // Keypad Enter and other keys start nothing.
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(bar, Qt::Key_Escape);
        QCOMPARE(requests.size(), 2);
    }

    void anEmptyFieldSearchesButRecordsNothing()
    {
        QSignalSpy spy(bar, &InstantToolBar::startSearch);
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Return);
        QCOMPARE(spy.size(), 1);
        QVERIFY(spy.at(0).at(0).value<RequestPointer>()->fileName.isEmpty());
        QCOMPARE(SearchFieldModel::instantFileNameHistory()->rowCount(), 0);
    }

    void aRequestNobodyTakesIsFreed()
    {
        QWeakPointer<FileSearchRequest> watched;
        connect(bar, &InstantToolBar::startSearch, this, [&](RequestPointer r) { watched = r; });
        auto* tab = new QObject;
        int delivered = 0;
        connect(bar, &InstantToolBar::startSearch, tab, [&](RequestPointer) { ++delivered; }, Qt::QueuedConnection);
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Return);
        QVERIFY(!watched.isNull()); // the queued call still holds it
        delete tab;                 // the tab goes away before the call arrives
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 0);
        QVERIFY(watched.isNull());

        // Through a queued connection to a living receiver the request arrives intact.
        QObject receiver;
        QString got;
        connect(bar, &InstantToolBar::startSearch, &receiver, [&](RequestPointer r) { got = r->fileName; },
                Qt::QueuedConnection);
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
            ->setEditText(QStringLiteral("x"));
        QTest::keyClick(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                        Qt::Key_Return);
        QTRY_COMPARE(got, QStringLiteral("x"));
    }

    void booleanModeOffersOperators()
    {
        QPushButton* button = uitest::child<QPushButton>(bar, "instantSelectNamesButton");
        QCOMPARE(uitest::child<QComboBox>(bar, "instantFileNameFormatComboBox")->currentIndex(), 0);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
                    ->highlightFormats()
                    .isEmpty());

        uitest::child<QComboBox>(bar, "instantFileNameFormatComboBox")->setCurrentIndex(3);
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
        QCOMPARE(
            uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->highlightFormats().size(),
            1);

        prompter->menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Or")); };
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
            ->setEditText(QStringLiteral("abc"));
        button->click();
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("abc or "));

        prompter->menuChooser = [](QMenu* menu) { return uitest::findAction(menu, QStringLiteral("Not")); };
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->setEditText(QString());
        button->click();
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("not "));

        uitest::child<QComboBox>(bar, "instantFileNameFormatComboBox")->setCurrentIndex(2);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(button->icon().isNull());
        QVERIFY(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
                    ->highlightFormats()
                    .isEmpty());
    }

    void theListButtonEditsTheGroups()
    {
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
            ->setEditText(QStringLiteral("a;!b"));
        QStringList seen;
        prompter->dialogHandler = [&](QDialog* dialog) {
            auto* names = qobject_cast<SelectFileNamesDialog*>(dialog);
            seen = names->includeList() + names->excludeList();
            names->setIncludeList({QStringLiteral("a"), QStringLiteral("c;d")});
            return int(QDialog::Accepted);
        };
        uitest::child<QPushButton>(bar, "instantSelectNamesButton")->click();
        QCOMPARE(seen, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("a;c\\;d;!b"));

        prompter->dialogHandler = [](QDialog*) { return int(QDialog::Rejected); };
        uitest::child<QPushButton>(bar, "instantSelectNamesButton")->click();
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("a;c\\;d;!b"));
    }

    void aLanguageChangeKeepsTypeAndText()
    {
        QComboBox* types = uitest::child<QComboBox>(bar, "instantFileNameFormatComboBox");
        QCOMPARE(types->count(), 4);
        QCOMPARE(types->itemText(1), QStringLiteral("Whole word"));
        QCOMPARE(uitest::child<QCheckBox>(bar, "instantCaseSensitiveCheckBox")->text(),
                 QStringLiteral("Case sensitive"));
        types->setCurrentIndex(3);
        uitest::child<RichComboBox>(bar, "instantFileNameComboBox")
            ->setEditText(QStringLiteral("a or b"));
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(bar, &change);
        QCOMPARE(types->currentIndex(), 3);
        QCOMPARE(types->itemText(3), QStringLiteral("Boolean"));
        QCOMPARE(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->currentText(),
                 QStringLiteral("a or b"));
        QCOMPARE(
            uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->highlightFormats().size(),
            1);
    }

    void everyEditReportsTheFileName()
    {
        QSignalSpy spy(bar, &InstantToolBar::fileNameChanged);
        QTest::keyClicks(uitest::child<RichComboBox>(bar, "instantFileNameComboBox")->lineEdit(),
                         QStringLiteral("ab"));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.last().at(0).toString(), QStringLiteral("ab"));
    }
};

QTEST_MAIN(TestInstantToolBar)
#include "tst_instanttoolbar.moc"
