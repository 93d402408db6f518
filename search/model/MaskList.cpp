#include "search/model/MaskList.h"

namespace {

const QChar quote(0x22);
const QChar backslash(0x5C);

QString quoteEntry(const QString& entry)
{
    QString out = entry;
    out.replace(quote, QString(backslash) + quote);
    if (out.startsWith(QLatin1Char('!')) || out.contains(QLatin1Char(';')))
        out = quote + out + quote;
    return out;
}

} // namespace

void parseMaskList(const QString& text, QStringList* includes, QStringList* excludes)
{
    QStringList entries;
    bool inQuotes = false;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == quote) {
            if (i == 0 || text.at(i - 1) != backslash)
                inQuotes = !inQuotes;
        } else if (c == QLatin1Char(';') && !inQuotes) {
            entries.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    entries.append(text.mid(start));

    QStringList in;
    QStringList out;
    for (QString entry : qAsConst(entries)) {
        if (entry.isEmpty())
            continue;
        bool exclusion = false;
        if (entry.startsWith(QLatin1Char('!'))) {
            exclusion = true;
            entry.remove(0, 1);
        }
        if (entry.startsWith(quote))
            entry.remove(0, 1);
        if (entry.endsWith(quote) && (entry.size() == 1 || entry.at(entry.size() - 2) != backslash))
            entry.chop(1);
        entry.replace(QString(backslash) + quote, QString(quote));
        if (entry.isEmpty())
            continue;
        (exclusion ? out : in).append(entry);
    }
    if (includes)
        *includes = in;
    if (excludes)
        *excludes = out;
}

QString joinMaskList(const QStringList& includes, const QStringList& excludes)
{
    QStringList parts;
    for (const QString& entry : includes) {
        if (!entry.isEmpty())
            parts.append(quoteEntry(entry));
    }
    for (const QString& entry : excludes) {
        if (!entry.isEmpty())
            parts.append(QLatin1Char('!') + quoteEntry(entry));
    }
    return parts.join(QLatin1Char(';'));
}
