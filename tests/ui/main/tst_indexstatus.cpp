// The index status in the main window's status bar with an engine over scripted volumes:
// "Index: ready" exactly when every chosen volume is answered by the index; otherwise the text
// says what is walked or failed, the tooltip why.
#include "app/startup/ProgramExit.h"
#include "core/Logger.h"
#include "core/Settings.h"
#include "scopedinstance.h"
#include "search/engine/FileSearcher.h"
#include "tests/doubles/ScriptedJournalBackend.h"
#include "tests/doubles/ScriptedVolumeLayer.h"
#include "tests/ui/uitestutil.h"
#include "testutil.h"
#include "ui/common/VolumeStateText.h"
#include "ui/main/MainWindow.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

class IndexStatusTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    Settings* settings_ = nullptr;
    uitest::ScriptedPrompter prompter_;
    ScriptedVolumeLayer layer_;
    ScriptedJournalBackend journal_;
    std::optional<testutil::ScopedInstance<VolumeLayer>> installedLayer_;
    std::optional<testutil::ScopedInstance<JournalBackend>> installedJournal_;

    void addVolume(const QString& mp, quint32 serial, bool withJournal = true)
    {
        layer_.addVolume(ScriptedVolumeLayer::describe(mp, QStringLiteral("ext4"), serial, true));
        layer_.setFileId(mp, 2, true);
        layer_.setEntries(mp, {{100, 2, "file", false}});
        if (withJournal)
            journal_.setState(mp, JournalState{0x5000 + serial, 0, 10});
    }

    IndexingSettings indexing(const QList<quint32>& chosen) const
    {
        IndexingSettings s;
        s.indexDrives = chosen;
        s.autoAddFixed = false;
        s.dbPath = dir_.path() + "/data";
        return s;
    }

    static VolumeState state(const QString& mp, bool chosen, VolumeState::State st,
                             VolumeState::Reason reason = VolumeState::NoReason, const QString& error = QString())
    {
        VolumeState s;
        s.mountPoint = mp;
        s.chosen = chosen;
        s.state = st;
        s.reason = reason;
        s.error = error;
        return s;
    }

private slots:
    void initTestCase()
    {
        Logger::instance(dir_.path() + "/test.log");
        settings_ = Settings::instanceWithFile(dir_.path() + "/settings.ini");
        installedLayer_.emplace(&layer_);
        installedJournal_.emplace(&journal_);
    }

    void cleanupTestCase()
    {
        installedJournal_.reset();
        installedLayer_.reset();
        Settings::destroyInstance();
    }

    void texts()
    {
        QString tip;
        // Volumes not chosen do not count, walked or not.
        QCOMPARE(VolumeStateText::indexReady({state("/", true, VolumeState::State::Indexed),
                                              state("/home", true, VolumeState::State::Updating),
                                              state("/media/usb", false, VolumeState::State::Walked,
                                                    VolumeState::NotChosen)},
                                             &tip),
                 QStringLiteral("Index: ready"));
        QVERIFY(tip.isEmpty());
        QCOMPARE(VolumeStateText::indexReady({}, &tip), QStringLiteral("Index: ready"));
        QCOMPARE(VolumeStateText::indexReady({state("/", true, VolumeState::State::Indexed),
                                              state("/data", true, VolumeState::State::Failed,
                                                    VolumeState::NoReason, "disk error")},
                                             &tip),
                 QStringLiteral("Index: ready (/data failed)"));
        QCOMPARE(tip, QStringLiteral("Searched by walking them:\n/data: Failed: disk error"));
        QCOMPARE(VolumeStateText::indexReady(
                     {state("/a", true, VolumeState::State::Failed),
                      state("/b", true, VolumeState::State::Failed),
                      state("/c", true, VolumeState::State::Walked, VolumeState::MarkRefused),
                      state("/d", true, VolumeState::State::Loading)},
                     &tip),
                 QStringLiteral("Index: ready (2 volumes failed, 2 volumes walked)"));
        QCOMPARE(tip.count('\n'), 4);
    }

    // A real engine over scripted volumes: one indexed, one whose indexing fails, two whose
    // file systems refuse a whole-volume watch.
    void statusFollowsTheVolumes()
    {
        ProgramExit::reset();
        addVolume("/mnt/ok", 0x11);
        addVolume("/mnt/broken", 0x22, false);
        addVolume("/mnt/sub1", 0x33);
        addVolume("/mnt/sub2", 0x44);
        journal_.refuseWatch("/mnt/sub1");
        journal_.refuseWatch("/mnt/sub2");
        settings_->setIndexOptions(indexing({0x11}));
        auto engine = std::make_shared<FileSearcher>(dir_.path() + "/work", FileSearcher::UseIndex);
        auto window = std::make_unique<MainWindow>(QStringList{"tallowquist-pro"}, settings_, engine, &prompter_,
                                                   dir_.path());
        auto* label = window->findChild<QLabel*>("indexStatusLabel");
        engine->init(indexing({0x11}), ContentSearchOptions());
        QTRY_COMPARE_WITH_TIMEOUT(uitest::labelText(window.get(), "indexStatusLabel"),
                                  QStringLiteral("Index: ready"), 30000);

        engine->update(indexing({0x11, 0x22}));
        QTRY_COMPARE_WITH_TIMEOUT(uitest::labelText(window.get(), "indexStatusLabel"),
                                  QStringLiteral("Index: ready (/mnt/broken failed)"), 30000);
        QVERIFY(label);
        QCOMPARE(label->toolTip(), QStringLiteral("Searched by walking them:\n/mnt/broken: Failed: No journal on /mnt/broken"));

        engine->update(indexing({0x11, 0x22, 0x33, 0x44}));
        QTRY_COMPARE_WITH_TIMEOUT(
            uitest::labelText(window.get(), "indexStatusLabel"),
            QStringLiteral("Index: ready (/mnt/broken failed, 2 volumes walked)"), 30000);
        const QList<VolumeState> states = engine->volumeStates();
        QCOMPARE(states.size(), 4);
        QCOMPARE(states.at(2).mountPoint, QStringLiteral("/mnt/sub1"));
        QCOMPARE(int(states.at(2).state), int(VolumeState::State::Walked));
        QCOMPARE(int(states.at(2).reason), int(VolumeState::MarkRefused));

        // The failed volume is given its journal and chosen again: it is indexed and the text
        // follows; only the walked ones are left.
        journal_.setState("/mnt/broken", JournalState{0x5022, 0, 10});
        engine->update(indexing({0x11, 0x33, 0x44}));
        QTRY_COMPARE_WITH_TIMEOUT(uitest::labelText(window.get(), "indexStatusLabel"),
                                  QStringLiteral("Index: ready (2 volumes walked)"), 30000);
        engine->update(indexing({0x11, 0x22}));
        QTRY_COMPARE_WITH_TIMEOUT(uitest::labelText(window.get(), "indexStatusLabel"),
                                  QStringLiteral("Index: ready"), 30000);
        window.reset();
        engine.reset();
    }
};

QTEST_MAIN(IndexStatusTest)
#include "tst_indexstatus.moc"
