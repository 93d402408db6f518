// The search form: the request it fills, the state it captures and applies, one findClicked
// per Return, the operator menu and list dialogs, histories and language changes.
#include "ui/search/SearchWindow.h"

#include "core/Settings.h"
#include "search/model/ExpressionLexer.h"
#include "search/model/FileSearchRequest.h"
#include "tests/ui/uitestutil.h"
#include "ui/dialogs/SelectFileNamesDialog.h"
#include "ui/dialogs/SelectPathsDialog.h"
#include "ui/search/RichComboBox.h"
#include "ui/search/SearchFieldModel.h"
#include "ui/search/SearchFormScrollArea.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QMainWindow>
#include <QCompleter>
#include <QFileSystemModel>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

namespace {

const QStringList stateKeys{
    "caseSensitiveContentsCheckBox", "caseSensitiveNameCheckBox", "contentsCheckBox", "contentsComboBox",
    "contentsFormatComboBox", "contentsScopeComboBox", "dateCheckBox", "directoryCheckBox", "directoryComboBox",
    "fileNameComboBox", "fileNameFormatComboBox", "includeSubfoldersCheckBox", "maxDateEdit", "maxSizeLineEdit",
    "minDateEdit", "minSizeLineEdit", "showAdvancedCheckBox", "sizeCheckBox", "sizeComboBox"};

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

    Settings* settings = nullptr;
    uitest::ScriptedPrompter* prompter = nullptr;
    SearchWindow* form = nullptr;

    template <typename T>
    T* w(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    RichComboBox* nameField() { return w<RichComboBox>("fileNameComboBox"); }
    QComboBox* pathField() { return w<QComboBox>("directoryComboBox"); }
    RichComboBox* contentsField() { return w<RichComboBox>("contentsComboBox"); }
    bool shown(const char* name) { return w<QWidget>(name)->isVisibleTo(form); }
    void clickCheck(const char* name) { w<QCheckBox>(name)->click(); }
    FileSearchRequest request()
    {
        FileSearchRequest r;
        form->searchParams(r);
        return r;
    }

private slots:
    void init()
    {
        settings = Settings::instance();
        settings->setValue(Settings::ShowAdvancedOptions, false);
        settings->setValue(Settings::DefaultDialogDir, QString());
        for (auto* model : {SearchFieldModel::fileNameHistory(), SearchFieldModel::pathHistory(),
                            SearchFieldModel::contentsHistory(), SearchFieldModel::instantFileNameHistory()})
            model->clear();
        prompter = new uitest::ScriptedPrompter;
        form = new SearchWindow(settings, prompter);
    }

    void cleanup()
    {
        delete form;
        delete prompter;
    }

    void theConstructorAppliesTheVisibilityRules()
    {
        QCOMPARE(form->objectName(), QStringLiteral("SearchWindow"));
        for (const char* hidden : {"directoryComboBox", "selectPathsButton", "contentsComboBox", "minDateEdit",
                                   "dateLabel", "minSizeLineEdit", "sizeComboBox", "advancedNameFrame",
                                   "advancedPathFrame", "advancedContentFrame", "progressBar"})
            QVERIFY2(!shown(hidden), hidden);
        QVERIFY(shown("fileNameComboBox") && shown("findButton"));
        QCOMPARE(w<QPushButton>("selectNamesButton")->text(), QStringLiteral("..."));
        QVERIFY(w<QPushButton>("selectNamesButton")->icon().isNull());
        QCOMPARE(w<QComboBox>("sizeComboBox")->currentIndex(), 1);
        QVERIFY(w<QCheckBox>("includeSubfoldersCheckBox")->isChecked());
        QVERIFY(nameField()->highlightFormats().isEmpty());
    }

    void folderCompletionReadsFoldersOffTheGuiThread()
    {
        QCompleter* completer = pathField()->lineEdit()->completer();
        QVERIFY(completer);
        QVERIFY(qobject_cast<QFileSystemModel*>(completer->model())); // asynchronous, never QDirModel
        QVERIFY(!nameField()->lineEdit()->completer());
        QVERIFY(!contentsField()->lineEdit()->completer());

        settings->setValue(Settings::AutoCompletePath, false);
        SearchWindow plain(settings, prompter);
        settings->setValue(Settings::AutoCompletePath, true);
        QVERIFY(!plain.findChild<QComboBox*>(QStringLiteral("directoryComboBox"))->lineEdit()->completer());
    }

    void aStartPathTurnsTheFolderListOn()
    {
        SearchWindow other(settings, prompter, nullptr, QStringLiteral("/srv/data"));
        QVERIFY(other.findChild<QCheckBox*>(QStringLiteral("directoryCheckBox"))->isChecked());
        QCOMPARE(other.findChild<QComboBox*>(QStringLiteral("directoryComboBox"))->currentText(),
                 QStringLiteral("/srv/data"));
        QVERIFY(other.findChild<QWidget*>(QStringLiteral("directoryComboBox"))->isVisibleTo(&other));
    }

    void stateRoundTripsEveryWidget()
    {
        FormStateMap initial;
        form->captureState(initial);
        QCOMPARE(initial.keys(), stateKeys);
        QCOMPARE(initial.value("includeSubfoldersCheckBox"), QStringLiteral("1"));
        QCOMPARE(initial.value("sizeCheckBox"), QStringLiteral("0"));
        QCOMPARE(initial.value("sizeComboBox"), QStringLiteral("KB"));
        QCOMPARE(initial.value("minDateEdit"),
                 QString::number(w<QDateEdit>("minDateEdit")->date().toJulianDay()));

        clickCheck("showAdvancedCheckBox");
        nameField()->setEditText(QStringLiteral("report or memo"));
        w<QComboBox>("fileNameFormatComboBox")->setCurrentIndex(3);
        clickCheck("caseSensitiveNameCheckBox");
        clickCheck("directoryCheckBox");
        pathField()->setEditText(QStringLiteral("/home;!/home/tmp"));
        clickCheck("includeSubfoldersCheckBox");
        clickCheck("contentsCheckBox");
        contentsField()->setEditText(QStringLiteral("needle"));
        w<QComboBox>("contentsFormatComboBox")->setCurrentIndex(2);
        w<QComboBox>("contentsScopeComboBox")->setCurrentIndex(1);
        clickCheck("caseSensitiveContentsCheckBox");
        clickCheck("dateCheckBox");
        w<QDateEdit>("minDateEdit")->setDate(QDate(2020, 2, 29));
        w<QDateEdit>("maxDateEdit")->setDate(QDate(2024, 12, 31));
        clickCheck("sizeCheckBox");
        w<QLineEdit>("minSizeLineEdit")->setText(QStringLiteral("10"));
        w<QLineEdit>("maxSizeLineEdit")->setText(QStringLiteral("2048"));
        w<QComboBox>("sizeComboBox")->setCurrentIndex(2);

        FormStateMap state;
        form->captureState(state);
        QCOMPARE(state.keys(), stateKeys);
        QCOMPARE(state.value("minDateEdit"), QString::number(QDate(2020, 2, 29).toJulianDay()));
        QCOMPARE(state.value("fileNameFormatComboBox"), QStringLiteral("Boolean"));
        QCOMPARE(state.value("contentsScopeComboBox"), QStringLiteral("Line"));
        QCOMPARE(state.value("directoryComboBox"), QStringLiteral("/home;!/home/tmp"));
        QCOMPARE(state.value("caseSensitiveNameCheckBox"), QStringLiteral("1"));
        QCOMPARE(state.value("includeSubfoldersCheckBox"), QStringLiteral("0"));

        // A fresh form takes the whole state and shows it, controls laid out.
        SearchWindow other(settings, prompter);
        other.applyState(state);
        FormStateMap again;
        other.captureState(again);
        QCOMPARE(again, state);
        QVERIFY(other.findChild<QWidget*>(QStringLiteral("contentsComboBox"))->isVisibleTo(&other));
        QVERIFY(other.findChild<QWidget*>(QStringLiteral("advancedNameFrame"))->isVisibleTo(&other));
        QCOMPARE(other.findChild<RichComboBox*>(QStringLiteral("fileNameComboBox"))->highlightFormats().size(), 1);

        // And the state it had before.
        other.applyState(initial);
        other.captureState(again);
        QCOMPARE(again, initial);
        QVERIFY(!other.findChild<QWidget*>(QStringLiteral("contentsComboBox"))->isVisibleTo(&other));
    }

    void applyingSkipsWhatItCannotUse()
    {
        form->applyState({});
        FormStateMap state{{"fileNameFormatComboBox", "Teilzeichenfolge"}, {"noSuchWidget", "1"},
                           {"findButton", "1"}, {"minDateEdit", "not a number"}, {"dateCheckBox", "yes"}};
        w<QComboBox>("fileNameFormatComboBox")->setCurrentIndex(2);
        clickCheck("dateCheckBox");
        form->applyState(state);
        QCOMPARE(w<QComboBox>("fileNameFormatComboBox")->currentIndex(), 2);
        QVERIFY(!w<QCheckBox>("dateCheckBox")->isChecked()); // only "1" checks
        QCOMPARE(w<QDateEdit>("minDateEdit")->date(), w<QDateEdit>("minDateEdit")->minimumDate());
        QVERIFY(!shown("minDateEdit"));
    }

    void aStateSavedUnderEnglishKeepsItsOptionsInAnotherLanguage()
    {
        // As a translation would show them.
        auto* types = w<QComboBox>("fileNameFormatComboBox");
        const QStringList translated{"Teilzeichenfolge", "Ganzes Wort", "Regulärer Ausdruck", "Boolesch"};
        for (int i = 0; i < 4; ++i)
            types->setItemText(i, translated.at(i));
        w<QComboBox>("sizeComboBox")->setItemText(2, QStringLiteral("MiB"));
        form->applyState({{"fileNameFormatComboBox", "Regex"}, {"sizeComboBox", "MB"}});
        QCOMPARE(types->currentIndex(), 2);
        QCOMPARE(w<QComboBox>("sizeComboBox")->currentIndex(), 2);
        form->applyState({{"fileNameFormatComboBox", "Boolesch"}});
        QCOMPARE(types->currentIndex(), 3);
    }

    void oneFindClickedPerReturn()
    {
        QSignalSpy spy(form, &SearchWindow::findClicked);
        clickCheck("directoryCheckBox");
        clickCheck("sizeCheckBox");
        clickCheck("dateCheckBox");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        int expected = 0;
        for (QWidget* target : std::initializer_list<QWidget*>{
                 nameField()->lineEdit(), pathField()->lineEdit(), w<QLineEdit>("minSizeLineEdit"),
                 w<QDateEdit>("minDateEdit"), w<QCheckBox>("contentsCheckBox"), w<QPushButton>("selectPathsButton"),
                 form}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            ++expected;
            QCOMPARE(spy.size(), expected);
        }
        QTest::keyClick(nameField()->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(spy.size(), expected);
        w<QPushButton>("findButton")->click();
        QCOMPARE(spy.size(), expected + 1);
        QVERIFY(SearchFieldModel::fileNameHistory()->entries().isEmpty()); // Return adds no item
    }

    void requestFromTheWidgets()
    {
        nameField()->setEditText(QStringLiteral("*.txt"));
        pathField()->setEditText(QStringLiteral("/home"));
        contentsField()->setEditText(QStringLiteral("needle"));
        FileSearchRequest r = request();
        QCOMPARE(r.fileName, QStringLiteral("*.txt"));
        QVERIFY(r.includePaths.isEmpty());          // "In directory" is off
        QVERIFY(r.contents.isEmpty());              // "In contents" is off
        QCOMPARE(r.minSize, -1LL);
        QVERIFY(!r.minDate.isValid());

        clickCheck("directoryCheckBox");
        clickCheck("contentsCheckBox");
        w<QCheckBox>("includeSubfoldersCheckBox")->setChecked(false); // hidden with the advanced options
        w<QComboBox>("contentsScopeComboBox")->setCurrentIndex(1);
        r = request();
        QCOMPARE(r.includePaths, QStringList{QStringLiteral("/home")});
        QVERIFY(r.includeSubfolders);
        QCOMPARE(r.contents, QStringLiteral("needle"));
        QVERIFY(r.lineScope);
        clickCheck("showAdvancedCheckBox");
        QVERIFY(!request().includeSubfolders);

        clickCheck("dateCheckBox");
        r = request();
        QCOMPARE(r.minDate, QDate::currentDate());
        QCOMPARE(r.maxDate, QDate::currentDate());
    }

    void sizesAreWholeNumbersTimesTheUnit()
    {
        clickCheck("sizeCheckBox");
        QVERIFY(shown("minSizeLineEdit"));
        auto* min = w<QLineEdit>("minSizeLineEdit");
        auto* max = w<QLineEdit>("maxSizeLineEdit");
        auto* unit = w<QComboBox>("sizeComboBox");
        min->setText(QStringLiteral("10"));
        QCOMPARE(request().minSize, 10240LL);
        QCOMPARE(request().maxSize, -1LL);
        min->setText(QStringLiteral("2"));
        unit->setCurrentIndex(3);
        QCOMPARE(request().minSize, 2147483648LL);
        unit->setCurrentIndex(0);
        QCOMPARE(request().minSize, 2LL);

        // Typing: the field takes digits only, so "1.5" cannot become a bound of 0.
        min->clear();
        QTest::keyClicks(min, QStringLiteral("1.5x"));
        QCOMPARE(min->text(), QStringLiteral("15"));

        // Beyond the 64-bit range: the largest value, never a wrapped negative one.
        unit->setCurrentIndex(3);
        max->setText(QStringLiteral("99999999999"));
        QCOMPARE(request().maxSize, std::numeric_limits<qint64>::max());
        max->setText(QStringLiteral("123456789012345678901234567890"));
        QCOMPARE(request().maxSize, std::numeric_limits<qint64>::max());
        QCOMPARE(SearchWindow::sizeInBytes(QStringLiteral("8589934591"), 3), 9223372035781033984LL);
        // A stored text that is no decimal integer reads as 0.
        QCOMPARE(SearchWindow::sizeInBytes(QStringLiteral("1.5"), 2), 0LL);
        QCOMPARE(SearchWindow::sizeInBytes(QStringLiteral("abc"), 1), 0LL);
        QCOMPARE(SearchWindow::sizeInBytes(QString(), 1), -1LL);
    }

    void booleanModeNeedsTheAdvancedOptions()
    {
        auto* types = w<QComboBox>("fileNameFormatComboBox");
        auto* button = w<QPushButton>("selectNamesButton");
        types->setCurrentIndex(3);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(nameField()->highlightFormats().isEmpty());
        QCOMPARE(request().nameSyntax, 3);

        clickCheck("showAdvancedCheckBox");
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
        for (int i = 0; i < 5; ++i)
            form->updateControls();
        QCOMPARE(nameField()->highlightFormats().size(), 1); // cleared, then set
        QCOMPARE(nameField()->highlightFormats().first().fontWeight(), int(QFont::Bold));

        types->setCurrentIndex(2);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(button->icon().isNull());
        QVERIFY(nameField()->highlightFormats().isEmpty());
    }

    void operatorsAreInsertedWithBlanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("result");
        QTest::newRow("empty field") << "" << 0 << "Not" << "not ";
        QTest::newRow("end of a word") << "abc" << 3 << "Or" << "abc or ";
        QTest::newRow("on the blank after a word") << "abc def" << 3 << "And" << "abc and def";
        QTest::newRow("after a blank") << "abc " << 4 << "Or" << "abc or ";
        QTest::newRow("start of a word") << "abc" << 0 << "Not" << "not abc";
    }

    void operatorsAreInsertedWithBlanks()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, choice);
        QFETCH(QString, result);
        clickCheck("showAdvancedCheckBox");
        w<QComboBox>("fileNameFormatComboBox")->setCurrentIndex(3);
        nameField()->setEditText(text);
        nameField()->lineEdit()->setCursorPosition(cursor);
        prompter->menuChooser = [&](QMenu* menu) { return uitest::findAction(menu, choice); };
        w<QPushButton>("selectNamesButton")->click();
        QCOMPARE(prompter->kinds(), QStringList{QStringLiteral("menu")});
        QCOMPARE(nameField()->currentText(), result);
    }

    void aDismissedMenuChangesNothing()
    {
        clickCheck("showAdvancedCheckBox");
        clickCheck("contentsCheckBox");
        w<QComboBox>("contentsFormatComboBox")->setCurrentIndex(3);
        contentsField()->setEditText(QStringLiteral("abc"));
        w<QPushButton>("selectContentsButton")->click();
        QCOMPARE(prompter->kinds(), QStringList{QStringLiteral("menu")});
        QCOMPARE(contentsField()->currentText(), QStringLiteral("abc"));
    }

    void theNameListDialogSpeaksTheLexersGrammar()
    {
        nameField()->setEditText(QStringLiteral("a ; b;!x"));
        QStringList seenIncludes;
        QStringList seenExcludes;
        prompter->dialogHandler = [&](QDialog* dialog) {
            auto* names = qobject_cast<SelectFileNamesDialog*>(dialog);
            seenIncludes = names->includeList();
            seenExcludes = names->excludeList();
            return int(QDialog::Accepted);
        };
        w<QPushButton>("selectNamesButton")->click();
        QCOMPARE(seenIncludes, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(seenExcludes, QStringList{QStringLiteral("x")});
        QCOMPARE(nameField()->currentText(), QStringLiteral("a ; b;!x")); // unchanged lists: text as written

        prompter->dialogHandler = [&](QDialog* dialog) {
            auto* names = qobject_cast<SelectFileNamesDialog*>(dialog);
            names->setIncludeList({QStringLiteral("notes;2024"), QString(), QStringLiteral("b")});
            names->setExcludeList({QStringLiteral("x")});
            return int(QDialog::Accepted);
        };
        w<QPushButton>("selectNamesButton")->click();
        const QString text = nameField()->currentText();
        QCOMPARE(text, QStringLiteral("notes\\;2024;b;!x"));
        ExpressionLexer lexer;
        ExpressionTokens tokens;
        QStringList terms;
        lexer.tokenize(text, 0, tokens, terms);
        QCOMPARE(terms, (QStringList{QStringLiteral("notes;2024"), QStringLiteral("b"), QStringLiteral("x")}));

        prompter->dialogHandler = [](QDialog* dialog) {
            qobject_cast<SelectFileNamesDialog*>(dialog)->setIncludeList({QStringLiteral("other")});
            return int(QDialog::Rejected);
        };
        w<QPushButton>("selectNamesButton")->click();
        QCOMPARE(nameField()->currentText(), text);
    }

    void theContentsListDialogHasItsTitle()
    {
        clickCheck("contentsCheckBox");
        QString title;
        int mode = -1;
        prompter->dialogHandler = [&](QDialog* dialog) {
            title = dialog->windowTitle();
            mode = qobject_cast<SelectFileNamesDialog*>(dialog)->mode();
            return int(QDialog::Rejected);
        };
        w<QPushButton>("selectContentsButton")->click();
        QCOMPARE(title, QStringLiteral("Select contents text"));
        QCOMPARE(mode, 1);
    }

    void theFolderListDialogKeepsTheMaskListForm()
    {
        clickCheck("directoryCheckBox");
        pathField()->setEditText(QStringLiteral("/home/a;!/home/a/tmp"));
        QStringList seenIncludes;
        QStringList seenExcludes;
        prompter->dialogHandler = [&](QDialog* dialog) {
            auto* paths = qobject_cast<SelectPathsDialog*>(dialog);
            seenIncludes = paths->includePaths();
            seenExcludes = paths->excludePaths();
            return int(QDialog::Accepted);
        };
        w<QPushButton>("selectPathsButton")->click();
        QCOMPARE(seenIncludes, QStringList{QStringLiteral("/home/a")});
        QCOMPARE(seenExcludes, QStringList{QStringLiteral("/home/a/tmp")});
        QCOMPARE(pathField()->currentText(), QStringLiteral("/home/a;!/home/a/tmp"));

        prompter->dialogHandler = [&](QDialog* dialog) {
            auto* paths = qobject_cast<SelectPathsDialog*>(dialog);
            paths->setIncludePaths({QStringLiteral("/srv/x;y"), QString(), QStringLiteral("/srv/b")});
            return int(QDialog::Accepted);
        };
        w<QPushButton>("selectPathsButton")->click();
        QCOMPARE(pathField()->currentText(), QStringLiteral("\"/srv/x;y\";/srv/b;!/home/a/tmp"));
        const FileSearchRequest r = request();
        QCOMPARE(r.includePaths, (QStringList{QStringLiteral("/srv/x;y"), QStringLiteral("/srv/b")}));
    }

    void historiesFollowTheCheckBoxesAndSaveTwenty()
    {
        nameField()->setEditText(QStringLiteral("name"));
        pathField()->setEditText(QStringLiteral("/path"));
        contentsField()->setEditText(QStringLiteral("text"));
        form->addToHistory();
        QCOMPARE(SearchFieldModel::fileNameHistory()->entries(), QStringList{QStringLiteral("name")});
        QVERIFY(SearchFieldModel::pathHistory()->entries().isEmpty());
        QVERIFY(SearchFieldModel::contentsHistory()->entries().isEmpty());
        clickCheck("directoryCheckBox");
        clickCheck("contentsCheckBox");
        form->addToHistory();
        QCOMPARE(SearchFieldModel::pathHistory()->entries(), QStringList{QStringLiteral("/path")});
        QCOMPARE(SearchFieldModel::contentsHistory()->entries(), QStringList{QStringLiteral("text")});
        QCOMPARE(nameField()->currentText(), QStringLiteral("name"));

        QStringList many;
        for (int i = 0; i < 25; ++i)
            many << QStringLiteral("entry %1").arg(i);
        SearchFieldModel::instantFileNameHistory()->setEntries(many);
        SearchWindow::saveHistory(settings);
        QCOMPARE(settings->readStringArray(QStringLiteral("InstantFileNameHistory")), many.mid(0, 20));
        QCOMPARE(settings->readStringArray(QStringLiteral("PathHistory")), QStringList{QStringLiteral("/path")});

        SearchFieldModel::instantFileNameHistory()->clear();
        SearchFieldModel::fileNameHistory()->clear();
        SearchWindow::loadHistory(settings);
        QCOMPARE(SearchFieldModel::instantFileNameHistory()->entries(), many.mid(0, 20));
        QCOMPARE(SearchFieldModel::fileNameHistory()->entries(), QStringList{QStringLiteral("name")});
        QCOMPARE(nameField()->currentText(), QStringLiteral("name"));
    }

    void clearingAHistoryKeepsTheTypedText()
    {
        SearchFieldModel::fileNameHistory()->setEntries({QStringLiteral("old"), QStringLiteral("older")});
        nameField()->setEditText(QStringLiteral("typed"));
        SearchFieldModel::fileNameHistory()->clear();
        QCOMPARE(nameField()->currentText(), QStringLiteral("typed"));
        QCOMPARE(nameField()->count(), 0);
    }

    void aLanguageChangeKeepsHistoriesTextsAndIndices()
    {
        SearchFieldModel::fileNameHistory()->setEntries({QStringLiteral("one"), QStringLiteral("two")});
        SearchFieldModel::pathHistory()->setEntries({QStringLiteral("/p")});
        nameField()->setEditText(QStringLiteral("typed name"));
        pathField()->setEditText(QStringLiteral("/typed"));
        w<QComboBox>("fileNameFormatComboBox")->setCurrentIndex(1);
        w<QComboBox>("contentsScopeComboBox")->setCurrentIndex(1);
        w<QComboBox>("sizeComboBox")->setCurrentIndex(3);
        form->setFindButtonText(QStringLiteral("Stop"));
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(form, &change);
        QCOMPARE(SearchFieldModel::fileNameHistory()->rowCount(), 2);
        QCOMPARE(SearchFieldModel::pathHistory()->rowCount(), 1);
        QCOMPARE(nameField()->count(), 2);
        QCOMPARE(nameField()->currentText(), QStringLiteral("typed name"));
        QCOMPARE(pathField()->currentText(), QStringLiteral("/typed"));
        QCOMPARE(w<QComboBox>("fileNameFormatComboBox")->currentIndex(), 1);
        QCOMPARE(w<QComboBox>("contentsScopeComboBox")->currentIndex(), 1);
        QCOMPARE(w<QComboBox>("sizeComboBox")->currentIndex(), 3);
        QCOMPARE(w<QPushButton>("findButton")->text(), QStringLiteral("Stop"));
        QCOMPARE(w<QPushButton>("selectNamesButton")->text(), QStringLiteral("..."));
    }

    void resetKeepsSubfoldersScopeAndAdvanced()
    {
        clickCheck("showAdvancedCheckBox");
        clickCheck("includeSubfoldersCheckBox");
        w<QComboBox>("contentsScopeComboBox")->setCurrentIndex(1);
        clickCheck("directoryCheckBox");
        clickCheck("sizeCheckBox");
        nameField()->setEditText(QStringLiteral("x"));
        w<QComboBox>("sizeComboBox")->setCurrentIndex(3);
        form->reset();
        QVERIFY(nameField()->currentText().isEmpty());
        QVERIFY(!w<QCheckBox>("directoryCheckBox")->isChecked());
        QVERIFY(!shown("directoryComboBox"));
        QCOMPARE(w<QComboBox>("sizeComboBox")->currentIndex(), 1);
        QVERIFY(!w<QCheckBox>("includeSubfoldersCheckBox")->isChecked());
        QCOMPARE(w<QComboBox>("contentsScopeComboBox")->currentIndex(), 1);
        QVERIFY(w<QCheckBox>("showAdvancedCheckBox")->isChecked());
    }

    // In its dock the form keeps the width it was given whatever the user opens: the size
    // range, the folder and contents fields, the advanced options, the dates; nor does the
    // window grow (the form scrolls when it is taller than the dock).
    void theFormKeepsItsWidthInItsDock()
    {
        QMainWindow window;
        auto* dock = new QDockWidget(QStringLiteral("Search Parameters"), &window);
        auto* area = new SearchFormScrollArea(dock);
        auto* docked = new SearchWindow(settings, prompter, area);
        area->setForm(docked);
        dock->setWidget(area);
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        window.setCentralWidget(new QWidget(&window));
        window.resize(1100, 650);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(docked->width() > 0);
        const int width = area->width();
        QVERIFY2(width < 360, qPrintable(QString::number(width)));
        const QSize windowSize = window.size();
        for (const char* box : {"sizeCheckBox", "directoryCheckBox", "contentsCheckBox", "showAdvancedCheckBox",
                                "dateCheckBox"}) {
            docked->findChild<QCheckBox*>(QLatin1String(box))->click();
            QTest::qWait(0); // no wait: processes the events of the click
            QCoreApplication::sendPostedEvents();
            QCOMPARE(area->width(), width);
            QCOMPARE(window.size(), windowSize);
        }
        // Everything open is taller than the dock here: the form scrolls instead.
        QTRY_VERIFY(area->verticalScrollBar()->isVisible());
        QVERIFY(docked->x() + docked->width() <= area->viewport()->width());
        // Every field stays usable at that width: none is squeezed below a few characters.
        for (const char* field : {"minSizeLineEdit", "maxSizeLineEdit", "directoryComboBox", "minDateEdit"}) {
            QWidget* widget = docked->findChild<QWidget*>(QLatin1String(field));
            QVERIFY2(widget->width() >= widget->fontMetrics().horizontalAdvance(QStringLiteral("00000")), field);
        }
    }

    void progressAndSmallSetters()
    {
        auto* bar = w<QProgressBar>("progressBar");
        form->setProgress(500, 300);
        QCOMPARE(bar->maximum(), 500);
        QCOMPARE(bar->value(), 300);
        QVERIFY(shown("progressBar"));
        form->hideProgress();
        QVERIFY(!shown("progressBar"));

        QSignalSpy names(form, &SearchWindow::fileNameChanged);
        QTest::keyClicks(nameField()->lineEdit(), QStringLiteral("ab"));
        QCOMPARE(names.size(), 2);
        QCOMPARE(names.last().at(0).toString(), QStringLiteral("ab"));
        QCOMPARE(form->fileName(), QStringLiteral("ab"));

        QVERIFY(form->sizeHint().isValid());
        form->setSizeHint(QSize(300, 500));
        QCOMPARE(form->sizeHint(), QSize(300, 500));
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
