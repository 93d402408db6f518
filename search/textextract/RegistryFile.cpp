#include "search/textextract/RegistryFile.h"

#include "core/FileUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

const QChar kSep = QLatin1Char('\\');

QStringList splitPath(const QString& keyPath)
{
    return keyPath.split(kSep, Qt::SkipEmptyParts);
}

QString skippedKeyMarker()
{
    // Never a real lower-case key path: marks "values below belong to a skipped key".
    return QStringLiteral("\x01skipped");
}

// Reads a quoted string starting at text[pos] == '"'. Returns false when it is not closed.
bool readQuoted(const QString& text, int* pos, QString* out)
{
    out->clear();
    int i = *pos + 1;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            out->append(text.at(i + 1));
            i += 2;
            continue;
        }
        if (c == QLatin1Char('"')) {
            *pos = i + 1;
            return true;
        }
        out->append(c);
        ++i;
    }
    return false;
}

QMutex machineMutex;
std::shared_ptr<const IRegistry> machineRegistry;

} // namespace

QString RegistryFile::normalise(const QString& keyPath)
{
    return splitPath(keyPath).join(kSep).toLower();
}

bool RegistryFile::load(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray bytes = f.readAll();
    // Registry editors write version-5 files as UTF-16LE with a byte-order mark.
    if (bytes.startsWith("\xFF\xFE"))
        return loadText(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                           (bytes.size() - 2) / 2),
                        error);
    return loadText(QString::fromUtf8(bytes), error);
}

bool RegistryFile::loadText(const QString& text, QString* error)
{
    QString all = text;
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    all.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = all.split(QLatin1Char('\n'));

    bool headerSeen = false;
    QString currentKey = skippedKeyMarker();
    QString pending;
    int lineNo = 0;
    for (const QString& raw : lines) {
        ++lineNo;
        QString line = raw.trimmed();
        if (!pending.isEmpty()) {
            line = pending + line;
            pending.clear();
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            if (line == QLatin1String("REGEDIT4")
                || line == QLatin1String("Windows Registry Editor Version 5.00")) {
                headerSeen = true;
                continue;
            }
            if (error)
                *error = QStringLiteral("line %1: missing REGEDIT4 header").arg(lineNo);
            return false;
        }
        if (line.endsWith(kSep) && !line.startsWith(QLatin1Char('['))) {
            line.chop(1);
            pending = line;
            continue;
        }
        QString lineError;
        if (!parseLine(line, &currentKey, &lineError)) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(lineNo).arg(lineError);
            return false;
        }
    }
    if (!headerSeen) {
        if (error)
            *error = QStringLiteral("missing REGEDIT4 header");
        return false;
    }
    return true;
}

bool RegistryFile::parseLine(const QString& line, QString* currentKey, QString* error)
{
    if (line.startsWith(QLatin1Char('['))) {
        if (!line.endsWith(QLatin1Char(']'))) {
            *error = QStringLiteral("unterminated key name");
            return false;
        }
        QString path = line.mid(1, line.size() - 2);
        const bool remove = path.startsWith(QLatin1Char('-'));
        if (remove)
            path.remove(0, 1);
        QStringList parts = splitPath(path);
        if (parts.isEmpty()) {
            *currentKey = skippedKeyMarker();
            return true;
        }
        const QString root = parts.takeFirst();
        if (root.compare(QLatin1String("HKEY_LOCAL_MACHINE"), Qt::CaseInsensitive) != 0
            && root.compare(QLatin1String("HKLM"), Qt::CaseInsensitive) != 0) {
            *currentKey = skippedKeyMarker();
            return true;
        }
        const QString lower = parts.join(kSep).toLower();
        if (remove) {
            removeKey(lower);
            *currentKey = skippedKeyMarker();
        } else {
            createKey(lower, parts);
            *currentKey = lower;
        }
        return true;
    }

    QString name;
    int pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        pos = 1;
    } else if (line.startsWith(QLatin1Char('"'))) {
        if (!readQuoted(line, &pos, &name)) {
            *error = QStringLiteral("unterminated value name");
            return false;
        }
    } else {
        *error = QStringLiteral("unrecognised line");
        return false;
    }
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('=')) {
        *error = QStringLiteral("'=' expected");
        return false;
    }
    ++pos;
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (*currentKey == skippedKeyMarker())
        return true;
    Key& key = keys_[*currentKey];
    const QString lowerName = name.toLower();
    if (pos < line.size() && line.at(pos) == QLatin1Char('-')) {
        key.values.remove(lowerName);
        return true;
    }
    Value value;
    if (pos < line.size() && line.at(pos) == QLatin1Char('"')) {
        if (!readQuoted(line, &pos, &value.data)) {
            *error = QStringLiteral("unterminated string value");
            return false;
        }
    } else {
        value.data = line.mid(pos);
        value.isString = false;
    }
    key.values.insert(lowerName, value);
    return true;
}

RegistryFile::Key* RegistryFile::createKey(const QString& lowerPath, const QStringList& spelled)
{
    // Make every ancestor, linking each to its parent.
    QString path;
    Key* parent = &keys_[QString()];
    for (const QString& part : spelled) {
        const QString lowerPart = part.toLower();
        path = path.isEmpty() ? lowerPart : path + kSep + lowerPart;
        if (!parent->subkeys.contains(lowerPart))
            parent->subkeys.insert(lowerPart, part);
        Key& key = keys_[path];
        if (key.name.isEmpty())
            key.name = part;
        parent = &key;
    }
    Q_ASSERT(path == lowerPath);
    return parent;
}

void RegistryFile::removeKey(const QString& lowerPath)
{
    if (lowerPath.isEmpty() || !keys_.contains(lowerPath))
        return;
    const QString prefix = lowerPath + kSep;
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it.key() == lowerPath || it.key().startsWith(prefix))
            it = keys_.erase(it);
        else
            ++it;
    }
    const int cut = lowerPath.lastIndexOf(kSep);
    const QString parent = cut < 0 ? QString() : lowerPath.left(cut);
    auto p = keys_.find(parent);
    if (p != keys_.end())
        p->subkeys.remove(lowerPath.mid(cut + 1));
}

long RegistryFile::openKey(const QString& keyPath) const
{
    return keys_.contains(normalise(keyPath)) ? ErrorSuccess : ErrorFileNotFound;
}

long RegistryFile::enumKey(const QString& keyPath, int index, QString* name) const
{
    auto it = keys_.constFind(normalise(keyPath));
    if (it == keys_.constEnd())
        return ErrorFileNotFound;
    if (index < 0 || index >= it->subkeys.size())
        return ErrorNoMoreItems;
    *name = *std::next(it->subkeys.constBegin(), index);
    return ErrorSuccess;
}

long RegistryFile::queryValue(const QString& keyPath, const QString& valueName,
                              QString* value) const
{
    auto it = keys_.constFind(normalise(keyPath));
    if (it == keys_.constEnd())
        return ErrorFileNotFound;
    auto v = it->values.constFind(valueName.toLower());
    if (v == it->values.constEnd())
        return ErrorFileNotFound;
    if (!v->isString)
        return ErrorUnsupportedType;
    *value = v->data;
    return ErrorSuccess;
}

std::shared_ptr<const IRegistry> RegistryFile::machine()
{
    QMutexLocker lock(&machineMutex);
    if (!machineRegistry) {
        auto reg = std::make_shared<RegistryFile>();
        reg->load(executableDirectory() + QLatin1Char('/') + inProcessFileName());
        machineRegistry = reg;
    }
    return machineRegistry;
}

void RegistryFile::setMachine(std::shared_ptr<const IRegistry> registry)
{
    QMutexLocker lock(&machineMutex);
    machineRegistry = std::move(registry);
}
