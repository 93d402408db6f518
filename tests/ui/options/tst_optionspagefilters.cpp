// The "File handlers" page: which rows it shows, switching filters off and on through the
// context menu, extensions shared by two filters, both filter lists kept across a switch of
// the shown list, and what is saved.
#include "ui/options/FilterListModel.h"
#include "ui/options/OptionsPageFilters.h"

#include "core/Settings.h"
#include "tests/ui/uitestutil.h"

#include <QFrame>
#include <QHeaderView>
#include <QTranslator>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kOffice = QStringLiteral("{0476e93b-9cb3-4c24-b273-4a47794a9511}");
const QString kOdf = QStringLiteral("{73a92838-1120-432e-ae6e-2d912035cda5}");
const QString kHtml = QStringLiteral("{e0ca5340-4534-11cf-b952-00aa0051fe20}");
const QString kNameless = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
const QString kPdf = QStringLiteral("{aaaaaaaa-0000-0000-0000-000000000001}");
const QString kWord = QStringLiteral("{aaaaaaaa-0000-0000-0000-000000000002}");

IFilterInfo filter(const QString& clsid, const QString& name, const QStringList& extensions)
{
    IFilterInfo info;
    info.clsid = clsid.toStdWString();
    info.name = name.toStdWString();
    for (const QString& e : extensions)
        info.extensions.push_back(e.toStdWString());
    return info;
}

class FakeFilters : public IFilterListSource
{
public:
    IFilterMap listIFilters32() override
    {
        return {filter(kOffice, QStringLiteral("Office Open XML filter"), {"docx", "xlsx", "pptx"}),
                filter(kOdf, QStringLiteral("OpenDocument filter"), {"odt", "ods"}),
                filter(kHtml, QStringLiteral("HTML filter"), {"htm", "html"}),
                filter(kNameless, QString(), {"xyz"})};
    }
    IFilterMap listIFilters64() override
    {
        return {filter(kPdf, QStringLiteral("PDF filter"), {"pdf"}),
                filter(kWord, QStringLiteral("Word filter"), {"doc", "htm"})};
    }
};

// The rows as shown (sorted): "extension|name|checked".
QStringList shownRows(const OptionsPageFilters& page)
{
    QStringList rows;
    QAbstractItemModel* m = page.table()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        rows << m->index(r, 0).data().toString() + QLatin1Char('|') +
                    m->index(r, 1).data().toString() + QLatin1Char('|') +
                    (m->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked
                         ? QStringLiteral("on")
                         : QStringLiteral("off"));
    }
    return rows;
}

QModelIndex shownIndex(const OptionsPageFilters& page, const QString& extension,
                       const QString& name = QString())
{
    QAbstractItemModel* m = page.table()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        if (m->index(r, 0).data().toString() == extension &&
            (name.isEmpty() || m->index(r, 1).data().toString() == name))
            return m->index(r, 0);
    }
    return QModelIndex();
}

void setChecked(OptionsPageFilters& page, const QString& extension, bool on,
                const QString& name = QString())
{
    const QModelIndex index = shownIndex(page, extension, name);
    QVERIFY2(index.isValid(), qPrintable(extension));
    QVERIFY(page.table()->model()->setData(index, on ? Qt::Checked : Qt::Unchecked,
                                           Qt::CheckStateRole));
}

// Opens the context menu over the row of `extension` (or off every row) and chooses `action`.
void contextMenu(OptionsPageFilters& page, uitest::ScriptedPrompter& prompter,
                 const QString& extension, const QString& action, bool* enabled = nullptr)
{
    prompter.menuChooser = [action, enabled](QMenu* menu) -> QAction* {
        QAction* a = uitest::findAction(menu, action);
        if (enabled)
            *enabled = a && a->isEnabled();
        return a && a->isEnabled() ? a : nullptr;
    };
    QPoint position(5, page.table()->viewport()->height() - 2);
    if (!extension.isEmpty())
        position = page.table()->visualRect(shownIndex(page, extension)).center();
    page.onFilterContextMenu(position);
}

} // namespace

class TestOptionsPageFilters : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Settings* settings = nullptr;

private slots:
    void initTestCase()
    {
        settings = Settings::instanceWithFile(dir.filePath(QStringLiteral("settings.ini")));
        FakeFilters filters;
        settings->updateIFilterMaps(filters);
    }

    void init()
    {
        // The default switched-off list names the HTML filter's class id in another case.
        settings->setDisabledFilters({kHtml.toUpper()});
        settings->setDisabledExtensions({QStringLiteral("ODS")});
        settings->setDisabledExtensions64({QStringLiteral("doc")});
    }

    void rowsOfTheBuiltInList()
    {
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.initPage();
        QVERIFY(page.findChild<QFrame*>(QStringLiteral("archFrame"))->isHidden());
        // Sorted by extension; the switched-off filter has no rows (its id compared ignoring
        // case); "ODS" is stored in upper case and still unchecks "ods"; a filter without a
        // name shows its class id.
        QCOMPARE(shownRows(page),
                 (QStringList{"docx|Office Open XML filter|on", "ods|OpenDocument filter|off",
                              "odt|OpenDocument filter|on", "pptx|Office Open XML filter|on",
                              "xlsx|Office Open XML filter|on", "xyz|Filter for xyz|on"}));
        QCOMPARE(page.table()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Extension"));
        QCOMPARE(page.table()->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("Handler name"));
        QVERIFY(page.table()->columnWidth(0) >= 100);
    }

    // A language whose column titles are longer than the default widths gets them whole,
    // beside the sort arrow.
    void longColumnTitlesAreNotCut()
    {
        class LongTitles : public QTranslator
        {
        public:
            bool isEmpty() const override { return false; }
            QString translate(const char*, const char* source, const char*, int) const override
            {
                if (qstrcmp(source, "Extension") == 0)
                    return QStringLiteral("Kiterjesztés");
                if (qstrcmp(source, "Handler name") == 0)
                    return QStringLiteral("Szűrő neve");
                return QString();
            }
        } translator;
        QCoreApplication::installTranslator(&translator);
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.initPage();
        const QHeaderView* header = page.table()->horizontalHeader();
        QCOMPARE(page.table()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kiterjesztés"));
        QVERIFY(header->isSortIndicatorShown());
        for (int column = 0; column < 2; ++column)
            QVERIFY2(page.table()->columnWidth(column) >= header->sectionSizeHint(column),
                     qPrintable(QStringLiteral("%1: %2 < %3").arg(column).arg(page.table()->columnWidth(column))
                                    .arg(header->sectionSizeHint(column))));
        QCoreApplication::removeTranslator(&translator);
    }

    void enablingAFilterBringsItsRowsBackChecked()
    {
        settings->setDisabledExtensions({QStringLiteral("html")});
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.resize(400, 400);
        page.show();
        page.initPage();
        contextMenu(page, prompter, QStringLiteral("docx"), QStringLiteral("HTML filter"));
        // Each name on its own row, both extensions checked although "html" was unchecked.
        QVERIFY(shownRows(page).contains("htm|HTML filter|on"));
        QVERIFY(shownRows(page).contains("html|HTML filter|on"));
        QCOMPARE(shownRows(page).first(), QStringLiteral("docx|Office Open XML filter|on"));
        page.saveSettings();
        QCOMPARE(settings->disabledFilters(), QStringList());
        QCOMPARE(settings->disabledExtensions(), QStringList());
    }

    void disableActsOnTheRowUnderTheMouse()
    {
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.resize(400, 400);
        page.show();
        page.initPage();
        // The current row is a row of another filter.
        page.table()->setCurrentIndex(shownIndex(page, QStringLiteral("docx")));
        contextMenu(page, prompter, QStringLiteral("odt"), QStringLiteral("Disable filter"));
        // Every row of that filter went at once.
        QCOMPARE(shownRows(page),
                 (QStringList{"docx|Office Open XML filter|on", "pptx|Office Open XML filter|on",
                              "xlsx|Office Open XML filter|on", "xyz|Filter for xyz|on"}));
        // Off every row there is nothing to disable.
        bool enabled = true;
        contextMenu(page, prompter, QString(), QStringLiteral("Disable filter"), &enabled);
        QVERIFY(!enabled);
        QCOMPARE(page.table()->model()->rowCount(), 4);
        page.saveSettings();
        QCOMPARE(settings->disabledFilters(), (QStringList{kHtml.toUpper(), kOdf}));
    }

    void enableMenuShowsFiltersByNameOnly()
    {
        // An id no installed filter has is not offered (nothing to switch on); a filter without
        // a display name is named by its extensions, never by its class id.
        const QString unknown = QStringLiteral("{99999999-0000-0000-0000-000000000000}");
        settings->setDisabledFilters({unknown, kHtml, kNameless});
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.resize(400, 400);
        page.show();
        page.initPage();
        QStringList names;
        prompter.menuChooser = [&names](QMenu* menu) -> QAction* {
            for (QAction* a : menu->actions())
                if (a->menu())
                    for (QAction* inner : a->menu()->actions())
                        names << inner->text();
            return nullptr;
        };
        page.onFilterContextMenu(QPoint(1, 1));
        QCOMPARE(names, (QStringList{QStringLiteral("HTML filter"), QStringLiteral("Filter for xyz")}));
        // Only unknown ids switched off: no submenu at all.
        settings->setDisabledFilters({unknown});
        page.initPage();
        names.clear();
        bool submenu = false;
        prompter.menuChooser = [&submenu](QMenu* menu) -> QAction* {
            for (QAction* a : menu->actions())
                submenu = submenu || a->menu();
            return nullptr;
        };
        page.onFilterContextMenu(QPoint(1, 1));
        QVERIFY(!submenu);
    }

    void eachListHasItsOwnExtensions()
    {
        settings->setDisabledFilters({});
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, true);
        page.initPage();
        page.fillTable(false);
        // "htm" is handled in both lists: by the helper's Word filter and the built-in HTML filter.
        QCOMPARE(shownRows(page),
                 (QStringList{"doc|Word filter|off", "htm|Word filter|on", "pdf|PDF filter|on"}));
        page.fillTable(true);
        setChecked(page, QStringLiteral("htm"), false);
        QVERIFY(shownRows(page).contains("htm|HTML filter|off"));
        QVERIFY(shownRows(page).contains("html|HTML filter|on"));
        // Unchecking again does not store it twice; checking it brings it back.
        setChecked(page, QStringLiteral("htm"), false);
        page.saveSettings();
        QCOMPARE(settings->disabledExtensions(), (QStringList{"ODS", "htm"}));
        // The helper list's "htm" is its own setting.
        QCOMPARE(settings->disabledExtensions64(), QStringList{"doc"});
    }

    void twoHandlersOfOneExtensionToggleTogether()
    {
        IFilterMap builtIn = {filter(kHtml, QStringLiteral("HTML filter"), {"htm", "html"}),
                              filter(kWord, QStringLiteral("Word filter"), {"doc", "HTM"})};
        FilterListModel model;
        model.setFilters(builtIn, IFilterMap(), {}, {}, {});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(model.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(model.index(3, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked)); // "HTM"
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(model.disabledExtensions(), QStringList{"htm"});
        QVERIFY(model.setData(model.index(3, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model.disabledExtensions(), QStringList());
        QCOMPARE(model.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // Only the check box of column 0 can be changed.
        QVERIFY(!model.setData(model.index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable));
    }

    void bothListsKeepTheirEditsAndAreSaved()
    {
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, true);
        page.initPage();
        auto* builtIn = page.findChild<QRadioButton*>(QStringLiteral("radioButton32"));
        auto* helper = page.findChild<QRadioButton*>(QStringLiteral("radioButton64"));
        QVERIFY(!page.findChild<QFrame*>(QStringLiteral("archFrame"))->isHidden());
        QCOMPARE(builtIn->text(), QStringLiteral("Built-in"));
        QCOMPARE(helper->text(), QStringLiteral("Helper program"));
        QVERIFY(builtIn->isChecked());

        helper->click();
        QCOMPARE(shownRows(page),
                 (QStringList{"doc|Word filter|off", "htm|Word filter|on", "pdf|PDF filter|on"}));
        setChecked(page, QStringLiteral("pdf"), false);
        setChecked(page, QStringLiteral("doc"), true);
        builtIn->click();
        setChecked(page, QStringLiteral("docx"), false);
        helper->click();
        // The helper list's edits survived the switch.
        QCOMPARE(shownRows(page),
                 (QStringList{"doc|Word filter|on", "htm|Word filter|on", "pdf|PDF filter|off"}));
        builtIn->click();
        page.saveSettings();
        QCOMPARE(settings->disabledExtensions(), (QStringList{"ODS", "docx"}));
        QCOMPARE(settings->disabledExtensions64(), QStringList{"pdf"});
    }

    void withoutTheHelperOnlyTheBuiltInListIsWritten()
    {
        uitest::ScriptedPrompter prompter;
        OptionsPageFilters page(nullptr, settings, &prompter, false);
        page.initPage();
        setChecked(page, QStringLiteral("xlsx"), false);
        page.saveSettings();
        QCOMPARE(settings->disabledExtensions(), (QStringList{"ODS", "xlsx"}));
        QCOMPARE(settings->disabledExtensions64(), QStringList{"doc"});
    }

    void cancelWritesNothing()
    {
        uitest::ScriptedPrompter prompter;
        {
            OptionsPageFilters page(nullptr, settings, &prompter, true);
            page.initPage();
            setChecked(page, QStringLiteral("docx"), false);
            page.onDisableFilter(kOdf);
        }
        QCOMPARE(settings->disabledExtensions(), QStringList{"ODS"});
        QCOMPARE(settings->disabledFilters(), QStringList{kHtml.toUpper()});
    }
};

QTEST_MAIN(TestOptionsPageFilters)
#include "tst_optionspagefilters.moc"
