// Name matching throughput: one expression against 1,000,000 UTF-8 names held in one buffer,
// as the name index holds them. Prints the time per pass for the allocation-free UTF-8 path
// and, for comparison, for decoding every name into a QString first.
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

namespace {

struct Names
{
    QByteArray bytes;            // NUL-terminated names one after another
    std::vector<int> offsets;
    std::vector<int> lengths;
};

Names makeNames(int count)
{
    static const char* words[] = {"report", "budget", "invoice", "photo", "IMG", "notes", "draft",
                                  "final", "Annual", "summary", "data", "backup", "copy", "old",
                                  "project", "readme", "main", "test", "lib", "config"};
    static const char* exts[] = {".txt", ".pdf", ".jpg", ".cpp", ".h", ".docx", ".tmp", ""};
    static const char* wide[] = {"Übersicht", "写真", "ファイル", "résumé", "Ελλάδα"};
    QRandomGenerator random(1);
    Names names;
    names.bytes.reserve(count * 24);
    for (int i = 0; i < count; ++i) {
        QByteArray name;
        const int parts = 1 + int(random.bounded(3));
        for (int p = 0; p < parts; ++p) {
            if (p)
                name += random.bounded(2) ? "_" : " ";
            if (random.bounded(10) == 0)
                name += wide[random.bounded(5)];
            else
                name += words[random.bounded(20)];
        }
        name += QByteArray::number(random.bounded(1000));
        name += exts[random.bounded(8)];
        names.offsets.push_back(names.bytes.size());
        names.lengths.push_back(name.size());
        names.bytes += name;
        names.bytes += '\0';
    }
    return names;
}

void run(const Names& names, const char* label, const QString& pattern, int syntax, bool caseSensitive)
{
    FileSearchRequest request;
    request.fileName = pattern;
    request.nameSyntax = syntax;
    request.nameCase = caseSensitive;
    const MatchOptions options = request.matchOptions(true);
    const int count = int(names.offsets.size());

    double best = 1e9;
    int hits = 0;
    for (int pass = 0; pass < 5; ++pass) {
        SearchExpression expression(pattern, options);
        QElapsedTimer timer;
        timer.start();
        hits = 0;
        const char* base = names.bytes.constData();
        for (int i = 0; i < count; ++i)
            hits += expression.matchUtf8(base + names.offsets[size_t(i)], names.lengths[size_t(i)]) == 1;
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }

    SearchExpression expression(pattern, options);
    QElapsedTimer timer;
    timer.start();
    int decodedHits = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(names.bytes.constData() + names.offsets[size_t(i)],
                                               names.lengths[size_t(i)]);
        decodedHits += expression.match(name) == 1;
    }
    const double decoded = timer.nsecsElapsed() / 1e6;
    std::printf("%-44s utf8 %7.1f ms  decoded %7.1f ms  hits %d%s\n", label, best, decoded, hits,
                hits == decodedHits ? "" : "  (MISMATCH)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    const Names names = makeNames(count);
    std::printf("%d names, %d bytes\n", count, names.bytes.size());
    run(names, "substring, case-insensitive: report", QStringLiteral("report"), 0, false);
    run(names, "substring, case-sensitive: report", QStringLiteral("report"), 0, true);
    run(names, "substring, case-insensitive: 写真", QString::fromUtf8("写真"), 0, false);
    run(names, "list: report budget; invoice; !tmp", QStringLiteral("report budget; invoice; !tmp"), 0, false);
    run(names, "whole word: data", QStringLiteral("data"), 1, false);
    run(names, "wildcard: *.pdf", QStringLiteral("*.pdf"), 0, false);
    run(names, "boolean: (report or budget) and not tmp", QStringLiteral("(report or budget) and not tmp"), 3, false);
    run(names, "regex: ^img[0-9]+", QStringLiteral("^img[0-9]+"), 2, false);
    // A pasted list of names: every distinct set of found terms costs one script run (and
    // beyond the script engine's depth limit, one reverse Polish evaluation).
    for (const int alternatives : {1000, 6000}) {
        QStringList list;
        for (int i = 0; i < alternatives; ++i)
            list << QStringLiteral("report%1").arg(i);
        const QByteArray label =
            QByteArray("list: ") + QByteArray::number(alternatives) + " alternatives";
        run(names, label.constData(), list.join(QStringLiteral("; ")), 0, false);
    }
    return 0;
}
