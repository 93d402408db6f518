#include "search/model/ExclusionRule.h"

#include "core/FileNameCodec.h"

#include <climits>
#include <cstdlib>

namespace {

bool isWithin(const QString& path, const QString& folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path.startsWith(folder) && (path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/'));
}

QByteArray lowerName(const char* name, int length)
{
    QByteArray lower(name, length);
    bool ascii = true;
    for (char& c : lower) {
        if (uchar(c) >= 128) {
            ascii = false;
            break;
        }
        if (c >= 'A' && c <= 'Z')
            c = char(c + ('a' - 'A'));
    }
    return ascii ? lower : QString::fromUtf8(name, length).toLower().toUtf8();
}

} // namespace

ExclusionRule::ExclusionRule(const QStringList& entries)
{
    for (QString entry : entries) {
        while (entry.size() > 1 && entry.endsWith(QLatin1Char('/')))
            entry.chop(1);
        if (entry.isEmpty())
            continue;
        if (entry.startsWith(QLatin1Char('/'))) {
            if (!paths_.contains(entry))
                paths_.append(entry);
            if (char* real = ::realpath(FileNameCodec::encode(entry).constData(), nullptr)) {
                const QString resolved = FileNameCodec::decode(QByteArray(real));
                ::free(real);
                if (!paths_.contains(resolved))
                    paths_.append(resolved);
            }
        } else if (!entry.contains(QLatin1Char('/'))) {
            const QByteArray bytes = entry.toUtf8();
            names_.insert(lowerName(bytes.constData(), bytes.size()));
        } else {
            runs_.append(QLatin1Char('/') + entry.toLower() + QLatin1Char('/'));
        }
    }
}

bool ExclusionRule::excludesName(const char* name, int length) const
{
    return !names_.isEmpty() && names_.contains(lowerName(name, length));
}

bool ExclusionRule::excludes(const QString& path) const
{
    if (!names_.isEmpty()) {
        const QByteArray bytes = FileNameCodec::encode(path);
        int start = 0;
        while (start < bytes.size()) {
            int end = bytes.indexOf('/', start);
            if (end < 0)
                end = bytes.size();
            if (end > start && excludesName(bytes.constData() + start, end - start))
                return true;
            start = end + 1;
        }
    }
    for (const QString& excluded : paths_) {
        if (isWithin(path, excluded))
            return true;
    }
    if (!runs_.isEmpty()) {
        const QString lower = path.toLower() + QLatin1Char('/');
        for (const QString& run : runs_) {
            if (lower.contains(run))
                return true;
        }
    }
    return false;
}

bool ExclusionRule::excludesEntry(const char* name, int length, const QString& path) const
{
    if (excludesName(name, length))
        return true;
    for (const QString& excluded : paths_) {
        if (path == excluded)
            return true;
    }
    if (!runs_.isEmpty()) {
        const QString lower = path.toLower() + QLatin1Char('/');
        for (const QString& run : runs_) {
            if (lower.endsWith(run))
                return true;
        }
    }
    return false;
}
