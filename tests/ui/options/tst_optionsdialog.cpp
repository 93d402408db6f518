// The options dialog: its pages and their loading, what OK writes (and only when a box changed),
// the volume lists with volumes that are not mounted, the file database folder guard, the
// exclude table's editing, the elevated start off the GUI thread, and OK going on past a
// failing step.
#include "ui/options/ExcludePathModel.h"
#include "ui/options/OptionsDialog.h"
#include "ui/options/OptionsPageFilters.h"
#include "ui/options/VolumeListModel.h"

#include "core/FileSearchException.h"
#include "core/Settings.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "scopedinstance.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMutex>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <thread>

#include <atomic>
#include <optional>

namespace {

VolumeDescription volume(const QString& mountPoint, quint32 serial, bool fixed)
{
    VolumeDescription v;
    v.mountPoint = mountPoint;
    v.fsType = QStringLiteral("ext4");
    v.serial = serial;
    v.indexable = true;
    v.fixed = fixed;
    return v;
}

template <typename T>
T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// A mount table that cannot be read.
class UnreadableVolumes : public ScriptedVolumeLayer
{
public:
    QList<VolumeDescription> volumes() override
    {
        throw FileSearchException(QStringLiteral("no mount table"), QStringLiteral("test"), 1);
    }
};

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Settings* settings = nullptr;
    ScriptedVolumeLayer layer;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer;
    uitest::ScriptedPrompter* prompter = nullptr;
    OptionsEnvironment env;
    IndexingSettings engineSettings;
    int creates = 0;
    int deletes = 0;
    QMutex elevatedMutex;
    QStringList elevated;
    int elevationCode = 0;
    std::atomic<bool> elevatedOnGuiThread{false};

    OptionsDialog* makeDialog(int row = 0, std::function<void()> clear = {})
    {
        return new OptionsDialog(nullptr, nullptr, row, settings, prompter, std::move(clear), env);
    }

    QStringList elevatedCalls()
    {
        QMutexLocker lock(&elevatedMutex);
        return elevated;
    }

private slots:
    void initTestCase()
    {
        settings = Settings::instanceWithFile(dir.filePath(QStringLiteral("settings.ini")));
        installedLayer.emplace(&layer);
    }

    void cleanupTestCase()
    {
        installedLayer.reset();
        delete prompter; // the last function's prompter (each init replaces the one before)
        prompter = nullptr;
    }

    void init()
    {
        for (const QString& mp :
             {QStringLiteral("/"), QStringLiteral("/media/usb"), QStringLiteral("/broken")})
            layer.removeVolume(mp);
        layer.addVolume(volume(QStringLiteral("/"), 0x1111, true));
        layer.addVolume(volume(QStringLiteral("/media/usb"), 0x2222, false));
        layer.addVolume(volume(QStringLiteral("/broken"), 0, true));

        delete prompter;
        prompter = new uitest::ScriptedPrompter;
        creates = deletes = 0;
        elevated.clear();
        elevatedOnGuiThread = false;

        const QString base =
            dir.filePath(QStringLiteral("case%1").arg(QRandomGenerator::global()->generate()));
        engineSettings = IndexingSettings();
        engineSettings.indexDrives = {0x1111, 0x9999};
        engineSettings.noIndexDrives = {0x7777};
        engineSettings.autoAddFixed = true;
        engineSettings.autoAddRemovable = false;
        engineSettings.dbPath = base + QStringLiteral("/idx");
        settings->setValue(Settings::DBPath, engineSettings.dbPath);
        settings->setIndexOptions(engineSettings);
        settings->setExcludePaths(
            {{QStringLiteral(".svn"), true}, {QStringLiteral("/tmp"), false}});
        for (int id :
             {Settings::RunInBackground, Settings::SaveAllTabs, Settings::AutoDetectEncoding,
              Settings::SkipBinary, Settings::UseBuiltInPDF, Settings::DefaultDialogDir})
            settings->setValue(id, settings->defaultValue(id));

        env = OptionsEnvironment();
        env.isAdmin = true;
        env.helperListOffered = false;
        StartupRegistration::Locations l;
        l.autostartFolder = base + QStringLiteral("/autostart");
        l.applicationsFolder = base + QStringLiteral("/applications");
        l.serviceMenusFolder = base + QStringLiteral("/kio/servicemenus");
        l.fileManagerActionsFolder = base + QStringLiteral("/file-manager/actions");
        l.nemoActionsFolder = base + QStringLiteral("/nemo/actions");
        l.thunarActionsFile = base + QStringLiteral("/Thunar/uca.xml");
        l.programFile = QStringLiteral("/opt/tq/tallowquist-pro");
        env.registration = StartupRegistration(l);
        elevationCode = 0;
        env.runElevated = [this](const QString& program, const QString& arguments, int* exitCode) {
            if (QThread::currentThread() == qApp->thread())
                elevatedOnGuiThread = true;
            QMutexLocker lock(&elevatedMutex);
            elevated << program + QLatin1Char(' ') + arguments;
            *exitCode = elevationCode;
            return elevationCode == 0 || elevationCode == 1;
        };
        env.isSkipUacTaskEnabled = [] { return false; };
        env.createSkipUacTask = [this] { ++creates; };
        env.deleteSkipUacTask = [this] { ++deletes; };
        env.indexingSettings = [this] { return engineSettings; };
        env.indexedCounts = [] {
            return QMap<QString, int>{{QStringLiteral("/"), 1200000},
                                      {QStringLiteral("/media/usb"), 999}};
        };
    }

    void pagesLoadWhenShown()
    {
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::SearchPage));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        auto* list = child<QListWidget>(dialog.data(), "listWidget");
        QCOMPARE(list->count(), 4);
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        QCOMPARE(texts, (QStringList{"General", "Indexing", "Search", "File handlers"}));
        QCOMPARE(list->width(), 140);
        QVERIFY(!dialog->pagesLoaded());
        dialog->show();
        QVERIFY(dialog->pagesLoaded());
        // Only the chosen page is visible.
        QVERIFY(child<QCheckBox>(dialog.data(), "usePDFcheckBox")->isVisible());
        QVERIFY(!child<QCheckBox>(dialog.data(), "autoLaunchCheckBox")->isVisible());
        list->setCurrentRow(OptionsDialog::IndexingPage);
        QVERIFY(child<QTableView>(dialog.data(), "tableWidget")->isVisible());
        QVERIFY(!child<QCheckBox>(dialog.data(), "usePDFcheckBox")->isVisible());

        // Volumes by mount point, checked when their serial is indexed, counts grouped.
        QTRY_VERIFY(dialog->volumesLoaded());
        QAbstractItemModel* volumes = child<QTableView>(dialog.data(), "tableWidget")->model();
        QCOMPARE(volumes->headerData(2, Qt::Horizontal).toString(), QStringLiteral("State"));
        QCOMPARE(volumes->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Volume"));
        QCOMPARE(volumes->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("Objects count"));
        QCOMPARE(volumes->rowCount(), 3);
        QCOMPARE(volumes->index(0, 0).data().toString(), QStringLiteral("/"));
        QCOMPARE(volumes->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(volumes->index(0, 1).data().toString(), QStringLiteral("1 200 000"));
        QCOMPARE(volumes->index(2, 1).data().toString(), QStringLiteral("999"));
        QCOMPARE(volumes->index(1, 1).data().toString(), QString());
        QCOMPARE(volumes->index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(child<QLineEdit>(dialog.data(), "dbPathLineEdit")->text(), engineSettings.dbPath);
        QCOMPARE(child<QTableView>(dialog.data(), "excludeTable")->model()->rowCount(), 2);
    }

    void countsAreGroupedByThree()
    {
        QCOMPARE(VolumeListModel::formatCount(0), QStringLiteral("0"));
        QCOMPARE(VolumeListModel::formatCount(999), QStringLiteral("999"));
        QCOMPARE(VolumeListModel::formatCount(1000), QStringLiteral("1 000"));
        QCOMPARE(VolumeListModel::formatCount(1200000), QStringLiteral("1 200 000"));
        QCOMPARE(VolumeListModel::formatCount(Q_INT64_C(12345678901)),
                 QStringLiteral("12 345 678 901"));
    }

    void okWritesTheChosenOptions()
    {
        QScopedPointer<OptionsDialog> dialog(makeDialog());
        dialog->show();
        child<QCheckBox>(dialog.data(), "autoLaunchCheckBox")->setChecked(true);
        child<QCheckBox>(dialog.data(), "backgroundCheckBox")->setChecked(false);
        child<QCheckBox>(dialog.data(), "saveAllTabsCheckBox")->setChecked(true);
        child<QCheckBox>(dialog.data(), "detectEncodingCheckBox")->setChecked(false);
        child<QCheckBox>(dialog.data(), "skipBinaryCheckBox")->setChecked(false);
        child<QCheckBox>(dialog.data(), "usePDFcheckBox")->setChecked(false);
        dialog->onAccept();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(env.registration.isLaunchAtStartup());
        QCOMPARE(settings->value(Settings::RunInBackground).toBool(), false);
        QCOMPARE(settings->value(Settings::SaveAllTabs).toBool(), true);
        QCOMPARE(settings->value(Settings::AutoDetectEncoding).toBool(), false);
        QCOMPARE(settings->value(Settings::SkipBinary).toBool(), false);
        QCOMPARE(settings->value(Settings::UseBuiltInPDF).toBool(), false);
        QVERIFY(prompter->asked.isEmpty());

        // The next dialog shows the entry as on, and unchecking it removes it.
        QScopedPointer<OptionsDialog> again(makeDialog());
        again->show();
        QVERIFY(child<QCheckBox>(again.data(), "autoLaunchCheckBox")->isChecked());
        child<QCheckBox>(again.data(), "autoLaunchCheckBox")->setChecked(false);
        again->onAccept();
        QVERIFY(!QFileInfo::exists(env.registration.autostartFilePath()));
    }

    void skipUacTaskChangesOnlyWithItsBox()
    {
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::SearchPage));
        dialog->show();
        QVERIFY(!child<QCheckBox>(dialog.data(), "skipUACCheckBox")->isHidden());
        dialog->onAccept();
        QCOMPARE(creates + deletes, 0);

        QScopedPointer<OptionsDialog> second(makeDialog(OptionsDialog::SearchPage));
        second->show();
        child<QCheckBox>(second.data(), "skipUACCheckBox")->setChecked(true);
        second->onAccept();
        QCOMPARE(creates, 1);
        QCOMPARE(deletes, 0);

        env.isSkipUacTaskEnabled = [] { return true; };
        QScopedPointer<OptionsDialog> third(makeDialog());
        third->show();
        child<QCheckBox>(third.data(), "skipUACCheckBox")->setChecked(false);
        third->onAccept();
        QCOMPARE(deletes, 1);
    }

    void folderEntryAsRoot()
    {
        QScopedPointer<OptionsDialog> dialog(makeDialog());
        dialog->show();
        dialog->onAccept();
        QVERIFY(!env.registration.isShellIntegrated());
        QScopedPointer<OptionsDialog> second(makeDialog());
        second->show();
        child<QCheckBox>(second.data(), "integrateCheckBox")->setChecked(true);
        second->onAccept();
        QCOMPARE(
            testutil::readFile(env.registration.folderEntryFilePath()),
            StartupRegistration::folderEntry(QStringLiteral("/opt/tq/tallowquist-pro"),
                                             QStringLiteral("Search with Tallowquist Pro...")));
        QVERIFY(elevatedCalls().isEmpty());
    }

    void withoutRootTheElevatedProgramChangesTheFolderEntry()
    {
        env.isAdmin = false;
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::IndexingPage));
        dialog->show();
        // The notice stands in for the Indexing page, and the task box is gone.
        const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
        bool notice = false;
        for (QLabel* label : labels)
            notice =
                notice ||
                (label->isVisible() &&
                 label->text() == QStringLiteral("Indexing is unavailable when Tallowquist Pro is "
                                                 "running without root permissions."));
        QVERIFY(notice);
        QVERIFY(child<QCheckBox>(dialog.data(), "skipUACCheckBox")->isHidden());
        QVERIFY(!dialog->findChild<QLineEdit*>(QStringLiteral("dbPathLineEdit")));

        // Leaving the box as it was starts nothing.
        dialog->onAccept();
        QTest::qWait(50); // proves an absence: no elevated call follows
        QVERIFY(elevatedCalls().isEmpty());

        QScopedPointer<OptionsDialog> second(makeDialog());
        second->show();
        child<QCheckBox>(second.data(), "integrateCheckBox")->setChecked(true);
        second->onAccept();
        QCOMPARE(second->result(), int(QDialog::Accepted));
        QTRY_COMPARE(elevatedCalls(),
                     QStringList{"/opt/tq/tallowquist-pro -enable-shell-integration"});
        QVERIFY(!elevatedOnGuiThread);
        QVERIFY(!QFileInfo::exists(env.registration.folderEntryFilePath()));
        // Nothing of the index was written.
        QCOMPARE(settings->indexOptions().indexDrives, engineSettings.indexDrives);
        QCOMPARE(creates + deletes, 0);
        QTest::qWait(100); // proves an absence: no warning follows the call's return
        QVERIFY(!prompter->kinds().contains(QStringLiteral("warning"))); // it went through
    }

    // Without root, a change of the folder command that could not be made is told: the
    // password refused, the elevation impossible, the program failing as root.
    void withoutRootAFailedChangeIsTold_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("password refused") << 126 << "the password was not given or not accepted";
        QTest::newRow("not authorised") << 127 << "the password was not given or not accepted";
        QTest::newRow("no elevation") << -1 << "could not be started with root rights";
        QTest::newRow("failed as root") << 1 << "the log says why";
    }

    void withoutRootAFailedChangeIsTold()
    {
        QFETCH(int, code);
        QFETCH(QString, says);
        env.isAdmin = false;
        elevationCode = code;
        QScopedPointer<OptionsDialog> dialog(makeDialog());
        dialog->show();
        child<QCheckBox>(dialog.data(), "integrateCheckBox")->setChecked(true);
        dialog->onAccept();
        QTRY_VERIFY(prompter->kinds().contains(QStringLiteral("warning")));
        QVERIFY2(prompter->asked.last().text.contains(says), qPrintable(prompter->asked.last().text));
        if (code != 1)
            QVERIFY(prompter->asked.last().text.contains(QStringLiteral("tallowquist-pro -enable-shell-integration")));
    }

    void volumeLists_data()
    {
        QTest::addColumn<bool>("autoFixed");
        QTest::addColumn<bool>("autoRemovable");
        QTest::addColumn<QList<quint32>>("index");
        QTest::addColumn<QList<quint32>>("noIndex");
        // "/" unchecked, "/media/usb" checked; 0x9999 and 0x7777 are not mounted; "/broken" has
        // no serial.
        QTest::newRow("auto fixed")
            << true << false << QList<quint32>{0x2222, 0x9999} << QList<quint32>{0x1111, 0x7777};
        QTest::newRow("no auto") << false << false << QList<quint32>{0x2222, 0x9999}
                                 << QList<quint32>{0x7777};
        QTest::newRow("auto removable")
            << false << true << QList<quint32>{0x2222, 0x9999} << QList<quint32>{0x7777};
    }

    void volumeLists()
    {
        QFETCH(bool, autoFixed);
        QFETCH(bool, autoRemovable);
        QFETCH(QList<quint32>, index);
        QFETCH(QList<quint32>, noIndex);
        engineSettings.autoAddFixed = autoFixed;
        engineSettings.autoAddRemovable = autoRemovable;
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::IndexingPage));
        dialog->show();
        QTRY_VERIFY(dialog->volumesLoaded());
        QAbstractItemModel* volumes = child<QTableView>(dialog.data(), "tableWidget")->model();
        QVERIFY(volumes->setData(volumes->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(volumes->setData(volumes->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        dialog->onAccept();
        const IndexingSettings stored = settings->indexOptions();
        QCOMPARE(stored.indexDrives, index);
        QCOMPARE(stored.noIndexDrives, noIndex);
        QCOMPARE(stored.autoAddFixed, autoFixed);
    }

    // The mount table is read once, away from the GUI thread, "Reading volumes..." shown
    // meanwhile; each volume then shows how it is searched: indexed, walked and why (a disk
    // without stable file numbers has no check box), failed with the failure's text.
    void volumeStatesShownAndReadAwayFromTheGuiThread()
    {
        QList<std::function<void()>> held;
        env.runInBackground = [&held](std::function<void()> work) { held << work; };
        layer.addVolume(ScriptedVolumeLayer::describe(QStringLiteral("/media/ntfs"), QStringLiteral("fuseblk"), 0x3333, false));
        env.volumeStates = [] {
            VolumeState root;
            root.mountPoint = QStringLiteral("/");
            root.serial = 0x1111;
            root.chosen = true;
            root.state = VolumeState::State::Indexed;
            VolumeState broken;
            broken.mountPoint = QStringLiteral("/broken");
            broken.state = VolumeState::State::Walked;
            broken.reason = VolumeState::NoSerial;
            VolumeState usb;
            usb.mountPoint = QStringLiteral("/media/usb");
            usb.serial = 0x2222;
            usb.chosen = true;
            usb.state = VolumeState::State::Failed;
            usb.error = QStringLiteral("No journal on /media/usb");
            return QList<VolumeState>{root, broken, usb};
        };
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::IndexingPage));
        dialog->show();
        auto* label = child<QLabel>(dialog.data(), "volumesStatusLabel");
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("Reading volumes..."));
        QCOMPARE(dialog->volumeModel()->rowCount(), 0);
        QVERIFY(!dialog->volumesLoaded());
        QCOMPARE(held.size(), 1);
        std::thread reader(held.first());
        reader.join();
        QVERIFY(!dialog->volumesLoaded()); // handed back through the GUI thread's queue
        QTRY_VERIFY(dialog->volumesLoaded());
        QVERIFY(!label->isVisible());

        QAbstractItemModel* volumes = dialog->volumeModel();
        QStringList rows;
        for (int r = 0; r < volumes->rowCount(); ++r)
            rows << volumes->index(r, 0).data().toString() + QLatin1Char('|')
                    + volumes->index(r, 2).data().toString() + QLatin1Char('|')
                    + volumes->index(r, 0).data(Qt::CheckStateRole).toString();
        QCOMPARE(rows, QStringList({"/|Indexed|2", "/broken|Walked: its serial number cannot be read|0",
                                    "/media/ntfs|Walked: fuseblk has no stable file numbers|",
                                    "/media/usb|Failed: No journal on /media/usb|0"}));
        QCOMPARE(volumes->index(3, 2).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Failed: No journal on /media/usb"));
        QVERIFY(!(volumes->flags(volumes->index(2, 0)) & Qt::ItemIsUserCheckable));
        QVERIFY(!volumes->setData(volumes->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        layer.removeVolume(QStringLiteral("/media/ntfs"));
    }

    void unreadableVolumesKeepTheStoredChoice()
    {
        UnreadableVolumes unreadable;
        QScopedPointer<OptionsDialog> dialog;
        {
            const testutil::ScopedInstance<VolumeLayer> installed(&unreadable);
            dialog.reset(makeDialog(OptionsDialog::IndexingPage));
            dialog->show();
            QTRY_VERIFY(dialog->volumesLoaded()); // read on its own thread while installed
        }
        QCOMPARE(dialog->volumeModel()->rowCount(), 0);
        QCOMPARE(child<QLabel>(dialog.data(), "volumesStatusLabel")->text(),
                 QStringLiteral("The volumes cannot be listed; the log file tells why."));
        child<QCheckBox>(dialog.data(), "removableCheckBox")->setChecked(true);
        dialog->onAccept();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        // No volume was shown, so none lost its place in the lists.
        const IndexingSettings stored = settings->indexOptions();
        QCOMPARE(stored.indexDrives, engineSettings.indexDrives);
        QCOMPARE(stored.noIndexDrives, engineSettings.noIndexDrives);
        QVERIFY(stored.autoAddRemovable);
    }

    void indexSettingsOnlyWhenThePageWasLoaded()
    {
        // No engine with an index: the page stays empty and OK leaves the index settings alone.
        env.indexingSettings = nullptr;
        settings->setValue(Settings::AutoAddFixed, false);
        QScopedPointer<OptionsDialog> dialog(makeDialog());
        dialog->onAccept();
        QVERIFY(dialog->pagesLoaded());
        QVERIFY(!dialog->indexingPageLoaded());
        QCOMPARE(settings->indexOptions().indexDrives, engineSettings.indexDrives);
        QCOMPARE(settings->value(Settings::AutoAddFixed).toBool(), false);
        QCOMPARE(settings->excludePaths().size(), 2);
    }

    void databaseFolderGuard_data()
    {
        QTest::addColumn<QString>("newPath"); // "@" stands for the old folder
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("oldFilesRemoved");
        QTest::addColumn<QString>("stored");
        QTest::newRow("same") << "@" << true << false << "@";
        QTest::newRow("trailing slash") << "@/" << true << false << "@";
        QTest::newRow("dot segments") << "@/../idx/." << true << false << "@";
        QTest::newRow("moved") << "@-new" << true << true << "@-new";
        QTest::newRow("empty") << "" << false << false << "@";
        QTest::newRow("blank") << "  " << false << false << "@";
        QTest::newRow("relative") << "idx2" << false << false << "@";
        QTest::newRow("inside the old one") << "@/DB/x" << false << false << "@";
        QTest::newRow("holding the old one") << "@/.." << false << false << "@";
    }

    void databaseFolderGuard()
    {
        QFETCH(QString, newPath);
        QFETCH(bool, accepted);
        QFETCH(bool, oldFilesRemoved);
        QFETCH(QString, stored);
        const QString old = engineSettings.dbPath;
        QVERIFY(testutil::writeFile(old + QStringLiteral("/DB/1111"), "index"));
        QVERIFY(testutil::writeFile(old + QStringLiteral("/DB/1111.tmp3fa2"), "partial"));
        QVERIFY(testutil::writeFile(old + QStringLiteral("/DB/notes.txt"), "the user's own"));

        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::GeneralPage));
        dialog->show();
        child<QLineEdit>(dialog.data(), "dbPathLineEdit")
            ->setText(QString(newPath).replace(QLatin1Char('@'), old));
        child<QCheckBox>(dialog.data(), "saveAllTabsCheckBox")->setChecked(true);
        dialog->onAccept();
        QCOMPARE(dialog->result() == QDialog::Accepted, accepted);
        QCOMPARE(!QFileInfo::exists(old + QStringLiteral("/DB/1111")), oldFilesRemoved);
        QCOMPARE(!QFileInfo::exists(old + QStringLiteral("/DB/1111.tmp3fa2")), oldFilesRemoved);
        QVERIFY(QFileInfo::exists(old + QStringLiteral("/DB/notes.txt")));
        QCOMPARE(settings->value(Settings::DBPath).toString(),
                 QString(stored).replace(QLatin1Char('@'), old));
        if (!accepted) {
            // Refused before anything was written; the Indexing page is shown with a message.
            QCOMPARE(prompter->kinds(), QStringList{"warning"});
            QCOMPARE(settings->value(Settings::SaveAllTabs).toBool(), false);
            QCOMPARE(child<QListWidget>(dialog.data(), "listWidget")->currentRow(),
                     int(OptionsDialog::IndexingPage));
        } else {
            QVERIFY(prompter->asked.isEmpty());
        }
    }

    // A root instance working for a session user keeps its index files in a folder of root's
    // alone whatever DBPath says: moving DBPath between folders the user controls removes
    // nothing in them, index-like names included.
    void rootInstanceRemovesNothingInTheUsersFolders()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const QString old = engineSettings.dbPath;
        QVERIFY(testutil::writeFile(old + QStringLiteral("/DB/1111"), "the user's"));
        QVERIFY(testutil::writeFile(old + QStringLiteral("/DB/2222.tmp3fa2"), "the user's"));
        const testutil::SessionUserScope session(65534);
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::GeneralPage));
        dialog->show();
        child<QLineEdit>(dialog.data(), "dbPathLineEdit")->setText(old + QStringLiteral("-new"));
        dialog->onAccept();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(settings->value(Settings::DBPath).toString(), old + QStringLiteral("-new"));
        QCOMPARE(testutil::readFile(old + QStringLiteral("/DB/1111")), QByteArray("the user's"));
        QCOMPARE(testutil::readFile(old + QStringLiteral("/DB/2222.tmp3fa2")), QByteArray("the user's"));
    }

    void excludeTableEditing()
    {
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::IndexingPage));
        dialog->show();
        auto* table = child<QTableView>(dialog.data(), "excludeTable");
        // Nothing selected: Remove does nothing.
        child<QPushButton>(dialog.data(), "removeButton")->click();
        QCOMPARE(table->model()->rowCount(), 2);

        child<QPushButton>(dialog.data(), "addButton")->click();
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(table->currentIndex().row(), 2);
        auto* editor = table->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("/home/u/cache"));
        // OK with the editor still open takes its text.
        dialog->onAccept();
        const QList<ExcludePath> stored = settings->excludePaths();
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.at(2).path, QStringLiteral("/home/u/cache"));
        QVERIFY(stored.at(2).active);
        QCOMPARE(stored.at(1), (ExcludePath{QStringLiteral("/tmp"), false}));
        QCOMPARE(settings->indexOptions().excludePaths, (QStringList{".svn", "/home/u/cache"}));

        QScopedPointer<OptionsDialog> second(makeDialog(OptionsDialog::IndexingPage));
        second->show();
        auto* secondTable = child<QTableView>(second.data(), "excludeTable");
        secondTable->selectRow(0);
        child<QPushButton>(second.data(), "removeButton")->click();
        QCOMPARE(second->excludeModel()->paths().first().path, QStringLiteral("/tmp"));
    }

    void failingStepsDoNotStopTheOthers()
    {
        env.createSkipUacTask = [] {
            throw FileSearchException(QStringLiteral("cannot write the rule"),
                                      QStringLiteral("TaskScheduler"), 1);
        };
        // An autostart folder that cannot be made (a file stands in its way).
        StartupRegistration::Locations l = env.registration.locations();
        QVERIFY(testutil::writeFile(l.autostartFolder, "not a folder"));
        QScopedPointer<OptionsDialog> dialog(makeDialog());
        dialog->show();
        child<QCheckBox>(dialog.data(), "autoLaunchCheckBox")->setChecked(true);
        child<QCheckBox>(dialog.data(), "skipUACCheckBox")->setChecked(true);
        child<QCheckBox>(dialog.data(), "saveAllTabsCheckBox")->setChecked(true);
        child<QLineEdit>(dialog.data(), "dbPathLineEdit")
            ->setText(engineSettings.dbPath + QStringLiteral("2"));
        dialog->filtersPage()->onDisableFilter(QStringLiteral("{x}"));
        dialog->onAccept();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(settings->value(Settings::SaveAllTabs).toBool(), true);
        QCOMPARE(settings->value(Settings::DBPath).toString(),
                 engineSettings.dbPath + QStringLiteral("2"));
        QVERIFY(settings->disabledFilters().contains(QStringLiteral("{x}")));
        // One message names both failures.
        QCOMPARE(prompter->kinds(), QStringList{"warning"});
        QVERIFY(prompter->asked.first().text.contains(QStringLiteral("start at login")));
        QVERIFY(prompter->asked.first().text.contains(QStringLiteral("without the password prompt")));
    }

    void clearHistoryAsksFirstAndStays()
    {
        int cleared = 0;
        QScopedPointer<OptionsDialog> dialog(makeDialog(0, [&cleared] { ++cleared; }));
        dialog->show();
        child<QPushButton>(dialog.data(), "clearHistoryButton")->click();
        QCOMPARE(cleared, 0);
        QCOMPARE(prompter->asked.first().text,
                 QStringLiteral("Do you really want to clear search history?"));
        prompter->questionAnswers.enqueue(QMessageBox::Yes);
        child<QPushButton>(dialog.data(), "clearHistoryButton")->click();
        QCOMPARE(cleared, 1);
        QVERIFY(dialog->isVisible());
        dialog->reject();
        QCOMPARE(cleared, 1);
    }

    void browseSetsThePathAndTheDialogFolder()
    {
        settings->setValue(Settings::DefaultDialogDir, QStringLiteral("/srv"));
        QScopedPointer<OptionsDialog> dialog(makeDialog(OptionsDialog::IndexingPage));
        dialog->show();
        child<QPushButton>(dialog.data(), "browseButton")->click();
        QCOMPARE(prompter->asked.first().text, QStringLiteral("/srv")); // the start folder
        QCOMPARE(child<QLineEdit>(dialog.data(), "dbPathLineEdit")->text(), engineSettings.dbPath);
        prompter->directoryAnswers.enqueue(QStringLiteral("/srv/index"));
        child<QPushButton>(dialog.data(), "browseButton")->click();
        QCOMPARE(child<QLineEdit>(dialog.data(), "dbPathLineEdit")->text(),
                 QStringLiteral("/srv/index"));
        // Remembered at once, even when the dialog is cancelled.
        dialog->reject();
        QCOMPARE(settings->value(Settings::DefaultDialogDir).toString(),
                 QStringLiteral("/srv/index"));
        QCOMPARE(settings->value(Settings::DBPath).toString(), engineSettings.dbPath);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
