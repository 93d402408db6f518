#include "core/Settings.h"
#include "core/UserFiles.h"
#include "core/PrivateFolders.h"
#include "core/UserFileIdentity.h"
#include "testutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPoint>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/fsuid.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FakeIFilterSource : public IFilterListSource
{
public:
    IFilterMap list32;
    IFilterMap list64;
    IFilterMap listIFilters32() override { return list32; }
    IFilterMap listIFilters64() override { return list64; }
};

IFilterInfo filter(const wchar_t* clsid, const std::wstring& name, std::list<std::wstring> extensions = {})
{
    return IFilterInfo{clsid, name, std::move(extensions)};
}

// No document filter is switched off until the user says so.
const QStringList kDefaultDisabledFilters;

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int fileCounter_ = 0;

    QString newPath() { return dir_.path() + QStringLiteral("/%1/settings.ini").arg(++fileCounter_); }

    // Closes any open store and opens the file (a new start of the program).
    static Settings* reopen(const QString& path)
    {
        Settings::destroyInstance();
        return Settings::instanceWithFile(path);
    }

    static QString fileText(const QString& path)
    {
        Settings::instance()->sync();
        return QString::fromLatin1(testutil::readFile(path));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir_.isValid());
    }

    void cleanup() { Settings::destroyInstance(); }

    void freshFileReceivesEveryKeyWithItsDefault()
    {
        // The folder does not exist yet: it is created with the file.
        const QString path = newPath();
        Settings* s = reopen(path);
        const QString dbPath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tallowquist Pro");
        const QString expected = QStringLiteral(
            "[General]\n"
            "AutoAddFixed=true\nAutoAddRemovable=false\nAutoCompletePath=true\nAutoDetectEncoding=true\n"
            "DBPath=%1\nDefaultDialogDir=\nHighlightColor=0xEFCB05\nLanguage=\n"
            "PreviewCharsAfterMatch=50\nPreviewCharsBeforeMatch=50\nRunInBackground=true\nRunInBackgroundHintShown=false\n"
            "SaveAllTabs=false\nShowAdvancedOptions=false\nShowFilterBar=true\nShowFullMatchedLine=false\n"
            "ShowMaximumMatches=100\nSkipBinary=true\nSortColumn=0\nUseBuiltInPDF=true\nWordWrap=false\n\n"
            "[CommandToolbar]\nArea=4\nVisible=4\n\n"
            "[Debug]\nAssertLogging=true\n\n"
            "[IFilters]\nDisabledFilters=@Invalid()\n\n"
            "[InstantToolbar]\nArea=4\nVisible=4\n\n"
            "[MainWindow]\nLastLeftPaneWidth=200\nMaximized=@Invalid()\nPos=@Point(340 210)\nSize=@Size(1240 660)\n\n"
            "[SearchWindow]\nArea=1\nFloating=false\nPos=@Point(0 0)\nSize=@Size(0 0)\nVisible=true\n").arg(dbPath);
        QCOMPARE(fileText(path), expected);

        // Typed values read back as the callers see them, also after a restart.
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(s->value(Settings::MainWindowSize).toSize(), QSize(1240, 660));
            QCOMPARE(s->value(Settings::MainWindowPos).toPoint(), QPoint(340, 210));
            QVERIFY(!s->value(Settings::MainWindowMaximized).isValid());
            QVERIFY(s->contains(Settings::MainWindowMaximized));
            QCOMPARE(s->disabledFilters(), kDefaultDisabledFilters);
            s = reopen(path);
        }
        QCOMPARE(fileText(path), expected);
    }

    void storedValuesAreNotOverwritten()
    {
        const QString path = newPath();
        QVERIFY(testutil::writeFile(path, "[General]\nShowMaximumMatches=7\nLanguage=de\n\n[MainWindow]\nMaximized=true\n"));
        Settings* s = reopen(path);
        QCOMPARE(s->value(Settings::ShowMaximumMatches).toInt(), 7);
        QCOMPARE(s->value(Settings::MainWindowMaximized).toBool(), true);
        const QString text = fileText(path);
        QVERIFY(text.contains(QStringLiteral("ShowMaximumMatches=7\n")));
        QVERIFY(text.contains(QStringLiteral("Maximized=true\n")));
        QVERIFY(text.contains(QStringLiteral("SortColumn=0\n")));
    }

    void unknownIdsReadNothingAndWriteNothing()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        const QString before = fileText(path);
        QVERIFY(!s->value(99).isValid());
        QVERIFY(!s->defaultValue(99).isValid());
        QVERIFY(!s->contains(99));
        QVERIFY(!s->contains(-1));
        s->setValue(99, 5);
        QCOMPARE(fileText(path), before);
        // The id of a registered key always reaches its own key.
        s->setValue(Settings::SortColumn, 6);
        QVERIFY(fileText(path).contains(QStringLiteral("SortColumn=6\n")));
    }

    void defaultListsAreWrittenOnFirstRead()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        QVERIFY(!fileText(path).contains(QStringLiteral("ExcludePaths")));
        QVERIFY(!fileText(path).contains(QStringLiteral("FileCategories")));

        // The trash folders of Linux (the session user's, at home and on other volumes) and the
        // version-control metadata folders.
        const QList<ExcludePath> excludes = {{UserFiles::dataLocation() + QStringLiteral("/Trash"), true},
                                             {QStringLiteral(".Trash"), true},
                                             {QStringLiteral(".Trash-%1").arg(::getuid()), true},
                                             {QStringLiteral(".git"), true},
                                             {QStringLiteral(".hg"), true},
                                             {QStringLiteral(".svn"), true},
                                             {QStringLiteral(".bzr"), true}};
        QCOMPARE(s->excludePaths(), excludes);
        const QString documents = QStringLiteral(
            "azw;azw3;doc;docm;docx;dot;dotm;dotx;epub;fb2;fodp;fods;fodt;htm;html;ini;md;mobi;mth;"
            "odp;ods;odt;otp;ots;ott;pdf;pot;potm;potx;pps;ppsm;ppsx;ppt;pptm;pptx;prc;rtf;sxc;sxi;"
            "sxw;txt;wri;xht;xhtml;xls;xlsm;xlsx;xlt;xltx;xml");
        const QList<FileCategory> categories = {
            {QStringLiteral("Document"), documents},
            {QStringLiteral("Executable"), QStringLiteral("appimage;bash;bin;csh;deb;fish;ksh;pl;py;rb;rpm;run;sh;zsh")},
            {QStringLiteral("Picture"), QStringLiteral("bmp;gif;ico;jpeg;jpg;png;psd;tiff")},
            // m3u and m4a are two extensions: the category filter splits at ";" only.
            {QStringLiteral("Music"), QStringLiteral("flac;m3u;m4a;mid;mp3;ogg;wav;wma")},
            {QStringLiteral("Video"), QStringLiteral("3gp;avi;flv;mp4;mkv;mpg;mov;swf;wmv")}};
        QCOMPARE(s->fileCategories(), categories);

        const QString text = fileText(path);
        QVERIFY(text.contains(QStringLiteral("4\\active=true\n4\\path=.git\n")));
        QVERIFY(text.contains(QStringLiteral("7\\path=.bzr\nsize=7\n")));
        QVERIFY(text.contains(QStringLiteral("[FileCategories]\n1\\extensions=\"%1\"\n1\\name=Document\n").arg(documents)));
        QVERIFY(text.contains(QStringLiteral("5\\name=Video\nsize=5\n")));

        s = reopen(path);
        QCOMPARE(s->excludePaths(), excludes);
        QCOMPARE(s->fileCategories(), categories);
        QVERIFY(s->fileColumns().isEmpty());
    }

    void listsSavedEmptyStayEmpty()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        s->setDisabledFilters({});
        s->setFileCategories({});
        s->setExcludePaths({});
        QVERIFY(s->contains(Settings::DisabledFilters));
        const QString text = fileText(path);
        QVERIFY(text.contains(QStringLiteral("[IFilters]\nDisabledFilters\\size=0\n")));
        QVERIFY(!text.contains(QStringLiteral("DisabledFilters={")));

        s = reopen(path);
        QVERIFY(s->disabledFilters().isEmpty());
        QVERIFY(s->contentSearchOptions().disabledFilters.isEmpty());
        QVERIFY(s->fileCategories().isEmpty());
        QVERIFY(s->excludePaths().isEmpty());
        QVERIFY(s->indexOptions().excludePaths.isEmpty());
        QVERIFY(!fileText(path).contains(QStringLiteral("{c3278e90")));
    }

    void disabledFiltersTurnFromPlainValueIntoArray()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        // A one-entry list must stay a list (QSettings would store it as a plain string).
        s->setDisabledFilters({QStringLiteral("{0000-A}")});
        QCOMPARE(s->disabledFilters(), QStringList{QStringLiteral("{0000-A}")});
        QVERIFY(fileText(path).contains(QStringLiteral("[IFilters]\nDisabledFilters\\1\\value={0000-A}\nDisabledFilters\\size=1\n")));
        s = reopen(path);
        QCOMPARE(s->value(Settings::DisabledFilters).toStringList(), QStringList{QStringLiteral("{0000-A}")});
        s->setDisabledFilters({QStringLiteral("{1}"), QStringLiteral("{2}")});
        QCOMPARE(s->disabledFilters(), (QStringList{QStringLiteral("{1}"), QStringLiteral("{2}")}));
        // The neighbouring arrays of the same group are separate.
        s->setDisabledExtensions({QStringLiteral("pdf")});
        s->setDisabledExtensions64({QStringLiteral("doc"), QStringLiteral("rtf")});
        QCOMPARE(s->disabledExtensions(), QStringList{QStringLiteral("pdf")});
        QCOMPARE(s->disabledExtensions64(), (QStringList{QStringLiteral("doc"), QStringLiteral("rtf")}));
        QCOMPARE(s->disabledFilters(), (QStringList{QStringLiteral("{1}"), QStringLiteral("{2}")}));
    }

    void driveSerialsAreLowerCaseHex()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        IndexingSettings in;
        in.indexDrives = {0x1A2B3C4Du, 0u, 0xFFFFFFFFu};
        in.noIndexDrives = {0xAu};
        in.autoAddFixed = false;
        in.autoAddRemovable = true;
        in.dbPath = QStringLiteral("/var/idx;a, b");
        in.excludePaths = QStringList{QStringLiteral("ignored")};
        s->setIndexOptions(in);
        const QString text = fileText(path);
        QVERIFY(text.contains(QStringLiteral("[IndexDrives]\n1\\value=1a2b3c4d\n2\\value=0\n3\\value=ffffffff\nsize=3\n")));
        QVERIFY(text.contains(QStringLiteral("[NoIndexDrives]\n1\\value=a\nsize=1\n")));

        s = reopen(path);
        const IndexingSettings out = s->indexOptions();
        QCOMPARE(out.indexDrives, in.indexDrives);
        QCOMPARE(out.noIndexDrives, in.noIndexDrives);
        QVERIFY(!out.autoAddFixed && out.autoAddRemovable);
        QCOMPARE(out.dbPath, in.dbPath);
        // Exclude paths are not part of setIndexOptions: the stored defaults remain.
        QCOMPARE(out.excludePaths.size(), 7);
        QVERIFY(out.excludePaths.contains(QStringLiteral(".git")));
    }

    void damagedDriveEntriesAreLeftOut()
    {
        const QString path = newPath();
        QVERIFY(testutil::writeFile(path,
            "[IndexDrives]\n1\\value=zz\n2\\value=\n3\\value=100000000\n4\\value=-1\n5\\value=1A2B3C4D\n6\\value=7\nsize=7\n"));
        Settings* s = reopen(path);
        QCOMPARE(s->indexOptions().indexDrives, (QList<quint32>{0x1A2B3C4Du, 7u}));
    }

    void damagedArraySizes()
    {
        const QString path = newPath();
        QVERIFY(testutil::writeFile(path,
            "[FileColumns]\n1\\type=3\n1\\width=120\n2\\type=7\nsize=2000000000\n\n"
            "[FileCategories]\n1\\name=A\n1\\extensions=a\nsize=-4\n\n"
            "[ExcludePaths]\n1\\path=/tmp\n3\\path=x\n3\\active=true\nsize=3\n\n"
            "[Hist]\n1\\value=x\nsize=abc\n"));
        Settings* s = reopen(path);
        QElapsedTimer timer;
        timer.start();
        // A huge size reads only the entries present; a missing field reads as 0.
        QCOMPARE(s->fileColumns(), (QList<FileColumnEntry>{{3, 120}, {7, 0}}));
        QCOMPARE(s->fileColumnTypes(), (QList<int>{3, 7}));
        QCOMPARE(s->fileColumnWidths(), (QList<int>{120, 0}));
        QVERIFY(timer.elapsed() < 5000);
        // A negative size is an empty list (present, so the defaults are not written).
        QVERIFY(s->fileCategories().isEmpty());
        // A missing entry inside the array reads as empty fields.
        QCOMPARE(s->excludePaths(), (QList<ExcludePath>{{QStringLiteral("/tmp"), false}, {QString(), false}, {QStringLiteral("x"), true}}));
        QCOMPARE(s->indexOptions().excludePaths, QStringList{QStringLiteral("x")});
        QVERIFY(s->readStringArray(QStringLiteral("Hist")).isEmpty());
        QVERIFY(s->readStringArray(QStringLiteral("NoSuchGroup")).isEmpty());
    }

    void textSurvivesTheIniEncoding()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        const QStringList tricky = {QString(), QStringLiteral(" b "), QStringLiteral("x;y"), QStringLiteral("p,q"),
                                    QStringLiteral("@Invalid()"), QStringLiteral("\u00e9\u65e5\U0001F600"), QStringLiteral("\"q\""),
                                    QStringLiteral("back\\slash"), QStringLiteral("line\nbreak"), QStringLiteral("a=b"),
                                    QStringLiteral("[Section]"), QStringLiteral("#not a comment")};
        s->writeStringArray(QStringLiteral("FileNameHistory"), tricky);
        QList<ExcludePath> excludes;
        for (int i = 0; i < tricky.size(); ++i)
            excludes.append({tricky.at(i), i % 2 == 0});
        s->setExcludePaths(excludes);
        s->setValue(Settings::DefaultDialogDir, QStringLiteral("/home/\u00fc/a;b, c"));
        // Rewriting with a shorter list leaves no stale entries behind.
        s->writeStringArray(QStringLiteral("PathHistory"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        s->writeStringArray(QStringLiteral("PathHistory"), {QStringLiteral("only")});

        s = reopen(path);
        QCOMPARE(s->readStringArray(QStringLiteral("FileNameHistory")), tricky);
        QCOMPARE(s->excludePaths(), excludes);
        QCOMPARE(s->value(Settings::DefaultDialogDir).toString(), QStringLiteral("/home/\u00fc/a;b, c"));
        QCOMPARE(s->readStringArray(QStringLiteral("PathHistory")), QStringList{QStringLiteral("only")});
        QVERIFY(!fileText(path).contains(QStringLiteral("2\\value=2")));
        s->remove(QStringLiteral("PathHistory"));
        QVERIFY(s->readStringArray(QStringLiteral("PathHistory")).isEmpty());
        QVERIFY(!fileText(path).contains(QStringLiteral("[PathHistory]")));
    }

    void recordsFromTheStore()
    {
        const QString path = newPath();
        QVERIFY(testutil::writeFile(path,
            "[General]\nSkipBinary=false\n\n[ExcludePaths]\n1\\path=$Recycle.Bin\n1\\active=false\n2\\path=.svn\n2\\active=true\nsize=2\n"));
        Settings* s = reopen(path);
        QCOMPARE(s->indexOptions().excludePaths, QStringList{QStringLiteral(".svn")});

        ContentSearchOptions o = s->contentSearchOptions();
        QVERIFY(o.autoDetectEncoding && !o.skipBinary && o.useBuiltInPDF);
        QCOMPARE(o.disabledFilters, kDefaultDisabledFilters);
        QVERIFY(o.disabledExtensions.isEmpty() && o.ifilters32.empty());

        FakeIFilterSource source;
        source.list32 = {filter(L"{a}", L"A", {L"docx", L"xlsx"})};
        source.list64 = {filter(L"{b}", L"B"), filter(L"{c}", L"C", {L"pdf"})};
        s->updateIFilterMaps(source);
        s->setValue(Settings::UseBuiltInPDF, false);
        s->setDisabledExtensions64({QStringLiteral("pdf")});
        o = s->contentSearchOptions();
        QVERIFY(o.ifilters32 == source.list32);
        QVERIFY(o.ifilters64 == source.list64);
        QVERIFY(!o.useBuiltInPDF);
        QCOMPARE(o.disabledExtensions64, QStringList{QStringLiteral("pdf")});
        // A refresh replaces, never appends.
        source.list64.clear();
        s->updateIFilterMaps(source);
        QVERIFY(s->ifilters64().empty());
        QCOMPARE(s->ifilters32().size(), size_t(1));
    }

    void filterNames()
    {
        Settings* s = reopen(newPath());
        QCOMPARE(s->filterName(QStringLiteral("{f07f3920-7b8c-11cf-9be8-00aa004b9986}")), QString());
        FakeIFilterSource source;
        source.list32 = {filter(L"{f07f3920-7b8c-11cf-9be8-00aa004b9986}", L"Office 32"),
                         filter(L"{0a}", std::wstring()),
                         filter(L"{f07f3920-7b8c-11cf-9be8-00aa004b9986}", L"second")};
        source.list64 = {filter(L"{F07F3920-7B8C-11CF-9BE8-00AA004B9986}", L"Office 64"),
                         filter(L"{0b}", L"Gr\u00fc\u00dfe \U0001F600")};
        s->updateIFilterMaps(source);
        QCOMPARE(s->filterName(QStringLiteral("{F07F3920-7B8C-11CF-9BE8-00AA004B9986}")), QStringLiteral("Office 32"));
        // No name: the argument itself, as given.
        QCOMPARE(s->filterName(QStringLiteral("{0A}")), QStringLiteral("{0A}"));
        QCOMPARE(s->filterName(QStringLiteral("{0B}")), QStringLiteral("Gr\u00fc\u00dfe \U0001F600"));
        QCOMPARE(s->filterName(QStringLiteral("{0c}")), QString());
        QCOMPARE(s->filterName(QString()), QString());
    }

    void oneStorePerProcess()
    {
        const QString a = newPath();
        const QString b = newPath();
        Settings* s = reopen(a);
        QCOMPARE(Settings::instanceWithFile(b), s);
        QCOMPARE(Settings::instance(), s);
        QCOMPARE(s->fileName(), a);
        s->setValue(Settings::Language, QStringLiteral("cz"));
        Settings::destroyInstance();
        // Pending changes reach the file when the store is destroyed.
        QVERIFY(testutil::readFile(a).contains("Language=cz\n"));
        Settings* t = Settings::instanceWithFile(b);
        QCOMPARE(t->fileName(), b);
        QCOMPARE(t->value(Settings::Language).toString(), QString());
    }

    void storeUsedBeforeStartUpWritesNoFile()
    {
        // A caller that reaches the store before start-up opened it gets defaults in memory;
        // nothing lands in the working folder or anywhere else.
        Settings::destroyInstance();
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        Settings* s = Settings::instance();
        QVERIFY(s->fileName().isEmpty());
        QCOMPARE(s->value(Settings::ShowMaximumMatches).toInt(), 100);
        s->setValue(Settings::Language, QStringLiteral("fr"));
        QCOMPARE(s->value(Settings::Language).toString(), QStringLiteral("fr"));
        QCOMPARE(s->fileCategories().size(), 5);
        Settings::destroyInstance();
        QVERIFY(QDir::setCurrent(previous));
        QVERIFY(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    void readersAndWritersOnManyThreads()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        const QList<FileCategory> listA = {{QStringLiteral("A"), QStringLiteral("a")}, {QStringLiteral("A2"), QStringLiteral("a2")}};
        const QList<FileCategory> listB = {{QStringLiteral("B"), QStringLiteral("b;bb")}, {QStringLiteral("B2"), QStringLiteral("b2")},
                                           {QStringLiteral("B3"), QStringLiteral("b3")}};
        s->setFileCategories(listA);
        FakeIFilterSource sourceA, sourceB;
        sourceA.list32 = {filter(L"{x}", L"X")};
        sourceB.list32 = {filter(L"{x}", L"Y")};
        s->updateIFilterMaps(sourceA);

        std::atomic<bool> stop{false};
        std::atomic<int> torn{0};
        std::vector<QThread*> threads;
        for (int t = 0; t < 6; ++t) {
            threads.push_back(QThread::create([&] {
                while (!stop) {
                    const QList<FileCategory> c = s->fileCategories();
                    if (c != listA && c != listB)
                        ++torn;
                    const QString name = s->filterName(QStringLiteral("{X}"));
                    if (name != QLatin1String("X") && name != QLatin1String("Y"))
                        ++torn;
                    const IndexingSettings idx = s->indexOptions();
                    if (!idx.indexDrives.isEmpty() && idx.indexDrives != QList<quint32>{1u, 2u})
                        ++torn;
                    s->value(Settings::ShowMaximumMatches).toInt();
                    s->contentSearchOptions();
                }
            }));
        }
        threads.push_back(QThread::create([&] {
            for (int i = 0; i < 300; ++i) {
                s->setFileCategories(i % 2 ? listA : listB);
                s->setValue(Settings::ShowMaximumMatches, i);
                IndexingSettings idx;
                idx.indexDrives = {1u, 2u};
                s->setIndexOptions(idx);
                s->updateIFilterMaps(i % 2 ? sourceA : sourceB);
            }
            stop = true;
        }));
        for (QThread* th : threads)
            th->start();
        // The store's own write-back runs here, on its thread, meanwhile.
        while (!stop)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        for (QThread* th : threads) {
            th->wait();
            delete th;
        }
        QCOMPARE(torn.load(), 0);
        QCOMPARE(s->value(Settings::ShowMaximumMatches).toInt(), 299);
        s = reopen(path);
        QCOMPARE(s->fileCategories(), listA);
    }

    // A link planted at the settings path is replaced, never written through: the file it
    // points at keeps its bytes and mode. The settings file is this user's alone (0600).
    void linkAtTheSettingsPathIsNotFollowed()
    {
        const QString path = newPath();
        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(QDir().mkpath(folder));
        const QString victim = dir_.path() + QStringLiteral("/victim-%1").arg(fileCounter_);
        QVERIFY(testutil::writeFile(victim, "precious\n"));
        QVERIFY(::chmod(QFile::encodeName(victim).constData(), 0644) == 0);
        QVERIFY(QFile::link(victim, path));
        Settings* s = reopen(path);
        s->setValue(Settings::Language, QStringLiteral("de"));
        Settings::destroyInstance();
        QCOMPARE(testutil::readFile(victim), QByteArray("precious\n"));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(victim).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0644);
        QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        QVERIFY(S_ISREG(st.st_mode));
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QVERIFY(testutil::readFile(path).contains("Language=de\n"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("settings.ini")});
    }

    // A file created by an earlier version with a looser mode becomes 0600 at the next save.
    void existingFileBecomesPrivate()
    {
        const QString path = newPath();
        QVERIFY(testutil::writeFile(path, "[General]\nLanguage=it\n"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        Settings* s = reopen(path);
        QCOMPARE(s->value(Settings::Language).toString(), QStringLiteral("it"));
        s->setValue(Settings::Language, QStringLiteral("es"));
        s->sync();
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QVERIFY(testutil::readFile(path).contains("Language=es\n"));
    }

    // A root instance started for a user writes that user's settings as that user: the file
    // (and a folder it creates) belong to the user, and a link planted by the user at the path
    // leads nowhere, also not into a root-owned file.
    void rootWritesAsTheSessionUser()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(65534);
        const auto closeStore = qScopeGuard([] { Settings::destroyInstance(); });
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0711) == 0); // the user may pass
        const QString home = dir_.path() + QStringLiteral("/home-%1").arg(++fileCounter_);
        QVERIFY(QDir().mkpath(home));
        QVERIFY(::chown(QFile::encodeName(home).constData(), 65534, 65534) == 0);
        const QString path = home + QStringLiteral("/data/settings.ini");
        Settings* s = reopen(path);
        s->setValue(Settings::Language, QStringLiteral("pl"));
        s->sync();
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QVERIFY(::lstat(QFile::encodeName(home + QStringLiteral("/data")).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
        Settings::destroyInstance();

        const QString rootFile = dir_.path() + QStringLiteral("/root-owned-%1").arg(fileCounter_);
        QVERIFY(testutil::writeFile(rootFile, "root\n"));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(rootFile, path));
        s = reopen(path);
        s->setValue(Settings::Language, QStringLiteral("sv"));
        Settings::destroyInstance();
        QCOMPARE(testutil::readFile(rootFile), QByteArray("root\n"));
        QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        QVERIFY(S_ISREG(st.st_mode));
        QCOMPARE(int(st.st_uid), 65534);
        // This thread's file identity is root's again.
        QCOMPARE(::setfsuid(uid_t(-1)), 0);
    }

    // A root instance keeps its working copy of the settings where its session user cannot
    // reach it (a copy the user could swap for a link was written by root through that link),
    // and still writes the user's file as the user.
    void rootStagesTheSettingsOutOfTheUsersReach()
    {
        if (!testutil::isRoot())
            QSKIP("needs root");
        const testutil::SessionUserScope session(65534);
        const auto closeStore = qScopeGuard([] { Settings::destroyInstance(); });
        SessionAccount nobody;
        QVERIFY(SessionAccount::lookup(65534, &nobody));
        QVERIFY(::chmod(QFile::encodeName(dir_.path()).constData(), 0711) == 0);
        const QString home = dir_.path() + QStringLiteral("/home-%1").arg(++fileCounter_);
        QVERIFY(QDir().mkpath(home));
        QVERIFY(::chown(QFile::encodeName(home).constData(), 65534, 65534) == 0);
        const QString path = home + QStringLiteral("/data/settings.ini");
        Settings* s = reopen(path);
        const QString stage = static_cast<QSettings*>(s)->fileName();
        QVERIFY(!stage.isEmpty() && stage != path);
        QString why;
        QVERIFY2(PrivateFolders::isRootOnly(QFileInfo(stage).path(), &why), qPrintable(why));
        {
            UserFileIdentity asNobody(nobody);
            QVERIFY(asNobody.ok());
            QCOMPARE(::open(QFile::encodeName(stage).constData(), O_RDONLY), -1);
            QCOMPARE(::unlink(QFile::encodeName(stage).constData()), -1);
            QCOMPARE(::symlink("/etc/passwd", QFile::encodeName(stage + ".x").constData()), -1);
        }
        s->setValue(Settings::Language, QStringLiteral("pl"));
        s->sync();
        QVERIFY(testutil::readFile(path).contains("Language=pl"));
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
        // The default index folder written for the user is the user's data folder, not root's.
        QCOMPARE(s->value(Settings::DBPath).toString(), QStringLiteral("/nonexistent/.local/share/Tallowquist Pro"));
        Settings::destroyInstance();
        QVERIFY(!QFileInfo::exists(QFileInfo(stage).path())); // the copy goes with the store
    }

    // A process killed in the middle of saving leaves the old or the new file whole.
    void killDuringSaveLeavesACompleteFile()
    {
        const QString path = newPath();
        Settings* s = reopen(path);
        s->sync();
        Settings::destroyInstance();
        QList<pid_t> children;
        for (int round = 0; round < 20; ++round) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            children << child;
            if (child == 0) {
                Settings* c = Settings::instanceWithFile(path);
                for (int i = 1;; ++i) {
                    c->setValue(Settings::DefaultDialogDir, QString(1000 + (i % 7) * 3000, QLatin1Char('a' + i % 26)));
                    c->sync();
                }
            }
            QThread::msleep(5 + round % 7 * 3); // a fixed wait: the child is killed at varied points of its writing
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QSettings check(path, QSettings::IniFormat);
            QCOMPARE(check.status(), QSettings::NoError);
            QCOMPARE(check.value(QStringLiteral("ShowMaximumMatches")).toInt(), 100);
            const QString dir = check.value(QStringLiteral("DefaultDialogDir")).toString();
            QVERIFY2(dir.isEmpty() || (dir.size() % 3000 == 1000 && dir.count(dir.at(0)) == dir.size()),
                     qPrintable(QString::number(dir.size())));
        }
        // The private copies the killed processes left are removed by the next store.
        reopen(path);
        Settings::destroyInstance();
        const QStringList left = QDir(QDir::tempPath()).entryList({QStringLiteral("tallowquist-settings-*")}, QDir::Dirs);
        for (const pid_t child : children)
            for (const QString& name : left)
                QVERIFY2(!name.startsWith(QStringLiteral("tallowquist-settings-%1-").arg(child)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
