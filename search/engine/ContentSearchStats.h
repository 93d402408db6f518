// ContentSearchStats: what the contents checks of one search passed over, counted instead of
// logged file by file (a search of a whole disk skips hundreds of thousands of binary files:
// one log line each would be tens of megabytes). The file search logs one summary line when
// its checks end; the preview, which reads one file, still logs what befalls it.
//
// The counters are atomic: every check thread of the search adds to them.
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

struct ContentSearchStats
{
    std::atomic<int> binary{0};       // skipped as binary ("skip BINARY")
    std::atomic<int> unreadable{0};   // could not be opened or read
    std::atomic<int> notConverted{0}; // documents whose conversion failed, not read as text
    std::atomic<int> noText{0};       // documents converted to no text at all

    // "Contents of search 12: 3 binary files skipped, 1 file could not be read, ..."; empty
    // when every counter is 0.
    QString summary(int requestId) const
    {
        QStringList parts;
        auto add = [&parts](int n, const char* one, const char* many) {
            if (n > 0)
                parts << QString::fromLatin1(n == 1 ? one : many).arg(n);
        };
        add(binary, "%1 binary file skipped", "%1 binary files skipped");
        add(unreadable, "%1 file could not be read", "%1 files could not be read");
        add(notConverted, "%1 document could not be converted", "%1 documents could not be converted");
        add(noText, "%1 document without text", "%1 documents without text");
        if (parts.isEmpty())
            return QString();
        return QStringLiteral("Contents of search %1: %2").arg(requestId).arg(parts.join(QStringLiteral(", ")));
    }
};
