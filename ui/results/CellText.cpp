#include "ui/results/CellText.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <algorithm>

namespace CellText {

QString sizeText(qint64 bytes)
{
    const qint64 kilobytes = bytes / 1024;
    if (kilobytes == 0)
        return QString::number(bytes) + QLatin1Char(' ')
            + QCoreApplication::translate("FileTable", "B", "Bytes (short)");
    QString digits = QString::number(kilobytes);
    for (int pos = digits.length() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    return digits + QLatin1Char(' ') + QCoreApplication::translate("FileTable", "KB");
}

QList<QPair<int, int>> nameMatchRanges(const QString& name, const QList<QPair<int, int>>& ranges)
{
    // Clamp to the name, drop empty ranges, order by start and merge overlapping ones.
    QList<QPair<int, int>> clean; // (start, end)
    for (const auto& r : ranges) {
        const int start = std::max(0, r.first);
        const int end = std::min(name.length(), r.first + r.second);
        if (end > start)
            clean.append({start, end});
    }
    std::sort(clean.begin(), clean.end());
    QList<QPair<int, int>> merged;
    for (const auto& r : qAsConst(clean)) {
        if (!merged.isEmpty() && r.first <= merged.last().second)
            merged.last().second = std::max(merged.last().second, r.second);
        else
            merged.append(r);
    }
    if (merged.size() == 1 && merged.first().first == 0 && merged.first().second == name.length())
        return {};
    for (auto& r : merged)
        r.second -= r.first;
    return merged;
}

QString visibleText(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return shown;
}

QString pathText(const QString& folder, const QStringList& includePaths)
{
    if (includePaths.size() != 1)
        return folder;
    const QString include = QDir::cleanPath(includePaths.first());
    const QString clean = QDir::cleanPath(folder);
    const QString prefix = include.endsWith(QLatin1Char('/')) ? include : include + QLatin1Char('/');
    if (include.isEmpty() || !clean.startsWith(prefix) || clean.length() == prefix.length())
        return folder;
    return clean.mid(prefix.length());
}

QString typeText(const QString& name, bool isDir)
{
    if (isDir)
        return QString();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString timeText(const QDateTime& time)
{
    return time.isValid() ? QLocale::system().toString(time, QLocale::ShortFormat) : QString();
}

} // namespace CellText
