#include "ui/search/ExpressionList.h"

namespace {

const QChar backslash(0x5C);

// "\;" becomes ";" for display; every other character, escapes included, stays.
QString unescapeSemicolons(const QString& group)
{
    QString out;
    out.reserve(group.size());
    for (int i = 0; i < group.size(); ++i) {
        if (group.at(i) == backslash && i + 1 < group.size() && group.at(i + 1) == QLatin1Char(';')) {
            out.append(QLatin1Char(';'));
            ++i;
        } else {
            out.append(group.at(i));
        }
    }
    return out;
}

// Every ";" that is not already escaped becomes "\;".
QString escapeSemicolons(const QString& line)
{
    QString out;
    out.reserve(line.size() + 4);
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char(';') && (i == 0 || line.at(i - 1) != backslash))
            out.append(backslash);
        out.append(c);
    }
    return out;
}

} // namespace

void splitExpressionList(const QString& text, QStringList* includes, QStringList* excludes)
{
    QStringList in;
    QStringList out;
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && (text.at(i) != QLatin1Char(';') || (i > 0 && text.at(i - 1) == backslash)))
            continue;
        QString group = text.mid(start, i - start).trimmed();
        start = i + 1;
        if (group.isEmpty())
            continue;
        if (group.startsWith(QLatin1Char('!'))) {
            group = unescapeSemicolons(group.mid(1).trimmed());
            if (!group.isEmpty())
                out.append(group);
        } else {
            if (group.startsWith(QStringLiteral("\\!")))
                group.remove(0, 1);
            in.append(unescapeSemicolons(group));
        }
    }
    if (includes)
        *includes = in;
    if (excludes)
        *excludes = out;
}

QStringList normalizedExpressionList(const QStringList& lines)
{
    QStringList out;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            out.append(trimmed);
    }
    return out;
}

QString joinExpressionList(const QStringList& includes, const QStringList& excludes)
{
    QStringList groups;
    for (const QString& line : normalizedExpressionList(includes)) {
        QString group = escapeSemicolons(line);
        if (group.startsWith(QLatin1Char('!')))
            group.prepend(backslash);
        groups.append(group);
    }
    for (const QString& line : normalizedExpressionList(excludes))
        groups.append(QLatin1Char('!') + escapeSemicolons(line));
    return groups.join(QLatin1Char(';'));
}
