// Smoke program: the whole chain from a request to its results, as the window will drive it.
// Writes a small tree, initialises the engine (folder walking, no index), runs a name search
// and a contents search through the façade and prints what it found.
#include "core/Logger.h"
#include "search/engine/FileSearcher.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestSmoke : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

    QStringList runSearch(FileSearcher& searcher, FileSearchRequest& request)
    {
        ResultStore results;
        QSignalSpy finished(&searcher, &FileSearcher::findFinished);
        searcher.find(&request, &results);
        if (!finished.wait(20000))
            return {QStringLiteral("<timed out>")};
        QStringList found;
        for (const QString& path : testutil::storedPaths(results))
            found << path.mid(tmp.path().size());
        found.sort();
        qInfo().noquote() << "  found:" << found.join(QStringLiteral(", "));
        return found;
    }

private slots:
    void searchesByNameAndContents()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.path() + QStringLiteral("/Tallowquist Pro.log"));
        QVERIFY(testutil::writeFile(tmp.path() + QStringLiteral("/tree/report 2026.txt"), "quarterly figures\n"));
        QVERIFY(testutil::writeFile(tmp.path() + QStringLiteral("/tree/notes/report-draft.md"), "nothing here\n"));
        QVERIFY(testutil::writeFile(tmp.path() + QStringLiteral("/tree/notes/todo.txt"), "send the quarterly figures\n"));

        FileSearcher searcher(tmp.path() + QStringLiteral("/work"), 0);
        QSignalSpy initialised(&searcher, &FileSearcher::initFinished);
        ContentSearchOptions options;
        options.autoDetectEncoding = true;
        options.skipBinary = true;
        searcher.init(IndexingSettings(), options);
        QVERIFY(initialised.count() == 1 || initialised.wait(5000));

        qInfo("Name search for \"report\":");
        FileSearchRequest byName;
        byName.fileName = QStringLiteral("report");
        byName.includePaths << tmp.path() + QStringLiteral("/tree");
        QCOMPARE(runSearch(searcher, byName),
                 QStringList({QStringLiteral("/tree/notes/report-draft.md"), QStringLiteral("/tree/report 2026.txt")}));

        qInfo("Contents search for \"quarterly\" in *.txt:");
        FileSearchRequest byContents;
        byContents.fileName = QStringLiteral("*.txt");
        byContents.contents = QStringLiteral("quarterly");
        byContents.includePaths << tmp.path() + QStringLiteral("/tree");
        QCOMPARE(runSearch(searcher, byContents),
                 QStringList({QStringLiteral("/tree/notes/todo.txt"), QStringLiteral("/tree/report 2026.txt")}));
    }
};

QTEST_MAIN(TestSmoke)
#include "tst_smoke.moc"
