// Helpers shared by the engine tests: the log's text, the content options they search with,
// sorted result paths, and waiting for a search's finished signal.
#pragma once

#include "core/ContentSearchOptions.h"
#include "core/Logger.h"
#include "search/engine/FileSearcher.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/ResultStore.h"
#include "storedresults.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QSignalSpy>

namespace enginetest {

// The whole log (UTF-16LE) as text.
inline QString logText()
{
    const QByteArray b = testutil::readFile(Logger::instance().filePath());
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData()), b.size() / 2);
}

inline ContentSearchOptions options()
{
    ContentSearchOptions o;
    o.autoDetectEncoding = true;
    o.skipBinary = true;
    o.useBuiltInPDF = true;
    return o;
}

inline QStringList paths(const ResultStore& results)
{
    QStringList out = testutil::storedPaths(results);
    out.sort();
    return out;
}

// Waits until `spy` has seen a signal whose first argument is `id`; false on time-out.
inline bool waitFor(QSignalSpy& spy, int id, int ms = 30000)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        for (const auto& args : spy)
            if (args.at(0).toInt() == id)
                return true;
        if (t.elapsed() > ms)
            return false;
        spy.wait(50);
    }
}

// Files `request` and returns the sorted paths found once it has finished.
inline QStringList search(FileSearcher& searcher, FileSearchRequest& request)
{
    QSignalSpy found(&searcher, &FileSearcher::findFinished);
    ResultStore results;
    searcher.find(&request, &results);
    return waitFor(found, request.id) ? paths(results) : QStringList{QStringLiteral("<time-out>")};
}

} // namespace enginetest
