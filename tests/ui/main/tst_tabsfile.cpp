// The saved tabs file: exact bytes, the reading rules for damaged or foreign files, and the
// atomic replacement that leaves the old file when a write fails.
#include "ui/main/TabsFile.h"

#include "heapbytes.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <new>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The process's address space in bytes (the first field of /proc/self/statm, in pages).
static qint64 addressSpaceBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

class TabsFileTest : public QObject
{
    Q_OBJECT

    // Without root: a folder that cannot be written to.
    static void readOnlyFolderKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = TabsFile::path(dir.path());
        QVERIFY(TabsFile::write(path, 0, {{{"fileNameComboBox", "old"}}}));
        const QByteArray before = testutil::readFile(path);
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
        QString error;
        QVERIFY(!TabsFile::write(path, 0, {{{"fileNameComboBox", "new"}}}, &error));
        QVERIFY(!error.isEmpty());
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QCOMPARE(testutil::readFile(path), before);
    }


    // Fills the file system of `folder` with the file "filler".
    static void fillDisk(const QString& folder)
    {
        QFile filler(folder + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

private slots:
    void exactBytes()
    {
        FormStateMap first{{"fileNameComboBox", "*.txt"}, {"caseSensitiveNameCheckBox", "0"}, {"minDateEdit", "2460000"}};
        FormStateMap second{{"fileNameComboBox", "a \"b\" & <c>"}};
        const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<tabs current_tab=\"1\" version=\"1.0\">\n"
                                    "    <tab>\n"
                                    "        <caseSensitiveNameCheckBox value=\"0\"/>\n"
                                    "        <fileNameComboBox value=\"*.txt\"/>\n"
                                    "        <minDateEdit value=\"2460000\"/>\n"
                                    "    </tab>\n"
                                    "    <tab>\n"
                                    "        <fileNameComboBox value=\"a &quot;b&quot; &amp; &lt;c&gt;\"/>\n"
                                    "    </tab>\n"
                                    "</tabs>\n";
        QCOMPARE(TabsFile::toXml(1, {first, second}), expected);
    }

    void roundTrip()
    {
        QList<FormStateMap> tabs{{{"fileNameComboBox", "caf\u00e9 \U0001F600"}, {"directoryComboBox", "/a b/c"}},
                              {},
                              {{"contentsComboBox", "line1\nline2\ttab"}}};
        const SavedTabs read = TabsFile::fromXml(TabsFile::toXml(2, tabs));
        QCOMPARE(read.currentTab, 2);
        QCOMPARE(read.tabs, tabs);
    }

    void controlCharactersAreDropped()
    {
        // One pasted control character must not spoil the file: it is dropped, the rest stays.
        FormStateMap state{{"fileNameComboBox", QString("a") + QChar(0x01) + "b" + QChar(0xFFFF) + QChar(0xD800) + "c"},
                        {QString("bad name"), "x"}, {QString("9starts"), "y"}};
        const QByteArray xml = TabsFile::toXml(0, {state});
        const SavedTabs read = TabsFile::fromXml(xml);
        QCOMPARE(read.tabs.size(), 1);
        QCOMPARE(read.tabs.first(), (FormStateMap{{"fileNameComboBox", "abc"}}));
        QXmlStreamReader reader(xml);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    }

    void foreignOrDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("tabs");
        QTest::newRow("other root") << QByteArray("<tab><fileNameComboBox value=\"x\"/></tab>") << 0 << 0;
        QTest::newRow("empty tabs") << QByteArray("<tabs current_tab=\"3\" version=\"1.0\"/>") << 3 << 0;
        QTest::newRow("not a number") << QByteArray("<tabs current_tab=\"x\"><tab/></tabs>") << 0 << 1;
        QTest::newRow("truncated in the second tab")
            << QByteArray("<tabs current_tab=\"1\"><tab><a value=\"1\"/></tab><tab><b value=\"2\"/><c val") << 1 << 2;
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
        QTest::newRow("binary") << QByteArray("\x00\x01\x02garbage", 10) << 0 << 0;
    }
    void foreignOrDamagedFiles()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, current);
        QFETCH(int, tabs);
        const SavedTabs read = TabsFile::fromXml(xml);
        QCOMPARE(read.currentTab, current);
        QCOMPARE(read.tabs.size(), tabs);
    }

    void missingValueReadsAsEmpty()
    {
        const SavedTabs read = TabsFile::fromXml("<tabs><tab><fileNameComboBox/><x value=\"1\"/></tab></tabs>");
        QCOMPARE(read.tabs.value(0), (FormStateMap{{"fileNameComboBox", ""}, {"x", "1"}}));
    }

    // Entries are the tab's children only: an element inside an entry is no entry, and one named
    // "tab" there neither ends the tab nor starts another; an entry named "tab" is kept through a
    // save and a load.
    void elementsInsideAnEntryAreNoEntries()
    {
        const SavedTabs nested = TabsFile::fromXml(
            "<tabs current_tab=\"1\"><tab><u value=\"1\"><tab value=\"2\"/><w value=\"3\"/></u><v value=\"4\"/></tab>"
            "<tab><x value=\"5\"/></tab></tabs>");
        QCOMPARE(nested.tabs, (QList<FormStateMap>{{{"u", "1"}, {"v", "4"}}, {{"x", "5"}}}));
        const QList<FormStateMap> named{{{"tab", "2"}, {"z", "3"}}, {{"a", "1"}}};
        QCOMPARE(TabsFile::fromXml(TabsFile::toXml(0, named)).tabs, named);
        // Cut short inside an entry: the entries read so far.
        QCOMPARE(TabsFile::fromXml("<tabs><tab><a value=\"1\"/><u><tab>").tabs,
                 (QList<FormStateMap>{{{"a", "1"}, {"u", ""}}}));
    }

    // A file of a few hundred bytes is read with about as much memory: no buffer the size of the
    // largest file the reader takes (16 MiB) is made first. Without AddressSanitizer the address
    // space is limited to a few MiB more than the process has, so such a buffer cannot be made;
    // with it, the bytes asked of the allocator are counted.
    void smallFileIsReadWithLittleMemory()
    {
        QTemporaryDir dir;
        const QString path = TabsFile::path(dir.path());
        QVERIFY(TabsFile::write(path, 0, {{{"fileNameComboBox", "x"}, {"directoryComboBox", "/srv"}}}));
        SavedTabs saved;
        bool read = false;
        if (asanheap::available) {
            asanheap::install();
            const long long before = asanheap::live().load();
            asanheap::peak().store(before);
            read = TabsFile::read(path, saved);
            const long long grew = asanheap::peak().load() - before;
            QVERIFY2(grew < 1024 * 1024, qPrintable(QString::number(grew)));
        } else {
            struct rlimit old;
            QCOMPARE(::getrlimit(RLIMIT_AS, &old), 0);
            struct rlimit tight = old;
            tight.rlim_cur = rlim_t(addressSpaceBytes() + 4 * 1024 * 1024);
            QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
            bool outOfMemory = false;
            try {
                read = TabsFile::read(path, saved);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
            ::setrlimit(RLIMIT_AS, &old);
            QVERIFY2(!outOfMemory, "the read asked for more than 4 MiB");
        }
        QVERIFY(read);
        QCOMPARE(saved.tabs.value(0).value("directoryComboBox"), QStringLiteral("/srv"));
    }

    void writeCreatesFolderAndReadsBack()
    {
        QTemporaryDir dir;
        const QString path = TabsFile::path(dir.path() + "/a/b");
        QString error;
        QVERIFY2(TabsFile::write(path, 0, {{{"fileNameComboBox", "x"}}}, &error), qPrintable(error));
        SavedTabs read;
        QVERIFY(TabsFile::read(path, read));
        QCOMPARE(read.tabs.size(), 1);
        QVERIFY(!TabsFile::read(dir.path() + "/missing.xml", read));
    }

    void failedWriteKeepsTheOldFile()
    {
        // A write that runs out of space fails and leaves the old file whole (not truncated,
        // as writing in place would).
        if (!testutil::isRoot()) {
            readOnlyFolderKeepsTheOldFile();
            return;
        }
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        QCOMPARE(::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=64k"), 0);
        const QString path = TabsFile::path(dir.path());
        QVERIFY(TabsFile::write(path, 0, {{{"fileNameComboBox", "old"}}}));
        const QByteArray before = testutil::readFile(path);
        fillDisk(dir.path());
        QString error;
        QVERIFY(!TabsFile::write(path, 0, {{{"fileNameComboBox", QString(20000, 'n')}}}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testutil::readFile(path), before);
        ::umount(QFile::encodeName(dir.path()).constData());
    }

    void fullDiskSmallSaveFailsAndKeepsTheOldFile()
    {
        // A save small enough to sit in the file's buffer meets the full disk only when it is
        // flushed: it must fail and leave the old file, not leave an empty one and report success.
        if (!testutil::isRoot())
            QSKIP("needs root (mounts a tmpfs)");
        TQ_ENTER_PRIVATE_MOUNTS();
        QTemporaryDir dir;
        QCOMPARE(::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=64k"), 0);
        const QString path = TabsFile::path(dir.path());
        QVERIFY(TabsFile::write(path, 1, {{{"fileNameComboBox", "old"}}, {{"fileNameComboBox", "older"}}}));
        const QByteArray before = testutil::readFile(path);
        fillDisk(dir.path());
        QString error;
        QVERIFY(!TabsFile::write(path, 0, {{{"fileNameComboBox", "new"}}}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testutil::readFile(path), before);
        SavedTabs read;
        QVERIFY(TabsFile::read(path, read));
        QCOMPARE(read.tabs.size(), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "tabs.xml"}));
        ::umount(QFile::encodeName(dir.path()).constData());
    }

    void replacementIsAtomic()
    {
        // The file is replaced by a rename: a reader holding the old file keeps it whole, and
        // no temporary file is left beside it.
        QTemporaryDir dir;
        const QString path = TabsFile::path(dir.path());
        QVERIFY(TabsFile::write(path, 0, {{{"fileNameComboBox", "old"}}}));
        QFile held(path);
        QVERIFY(held.open(QIODevice::ReadOnly));
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        QVERIFY(TabsFile::write(path, 0, {{{"fileNameComboBox", "new"}}}));
        struct stat after;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QVERIFY(before.st_ino != after.st_ino);
        QVERIFY(held.readAll().contains("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tabs.xml"});
    }
};

QTEST_GUILESS_MAIN(TabsFileTest)
#include "tst_tabsfile.moc"
