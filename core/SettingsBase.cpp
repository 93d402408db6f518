#include "core/SettingsBase.h"

#include "core/SettingsFile.h"

#include <QEvent>

#include <algorithm>

namespace {

QString entryKey(const QString& group, int index, const QString& field)
{
    return group + QLatin1Char('/') + QString::number(index + 1) + QLatin1Char('/') + field;
}

} // namespace

SettingsBase::SettingsBase(const QString& fileName, QObject* parent)
    : SettingsBase(std::make_unique<SettingsFile>(fileName), parent)
{
}

SettingsBase::SettingsBase(std::unique_ptr<SettingsFile> file, QObject* parent)
    : QSettings(file->stagePath(), QSettings::IniFormat, parent), file_(std::move(file))
{
}

SettingsBase::~SettingsBase()
{
    // The last write-back, while the copy still exists.
    sync();
}

QString SettingsBase::fileName() const
{
    return file_->path();
}

void SettingsBase::registerKey(int id, const QString& key, const QVariant& defaultValue)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    keys_.insert(id, KeyEntry{key, defaultValue});
}

QString SettingsBase::key(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const auto it = keys_.constFind(id);
    return it == keys_.constEnd() ? QString() : it->key;
}

bool SettingsBase::hasArray(const QString& key) const
{
    return QSettings::contains(key + QStringLiteral("/1/value")) || QSettings::contains(key + QStringLiteral("/size"));
}

bool SettingsBase::contains(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const QString k = key(id);
    if (k.isEmpty())
        return false;
    return QSettings::contains(k) || hasArray(k);
}

QVariant SettingsBase::value(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const auto it = keys_.constFind(id);
    if (it == keys_.constEnd())
        return QVariant();
    const QString& k = it->key;
    if (QSettings::contains(k))
        return QSettings::value(k);
    if (hasArray(k))
        return readStringArray(k);
    return it->defaultValue;
}

void SettingsBase::setValue(int id, const QVariant& value)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const QString k = key(id);
    // QSettings refuses an empty key anyway; an unknown id stores nothing.
    if (k.isEmpty())
        return;
    QSettings::setValue(k, value);
}

QVariant SettingsBase::defaultValue(int id) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const auto it = keys_.constFind(id);
    return it == keys_.constEnd() ? QVariant() : it->defaultValue;
}

int SettingsBase::arraySize(const QString& group) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const int size = QSettings::value(group + QStringLiteral("/size")).toInt();
    if (size <= 0)
        return 0;
    // Highest entry number present under the group ("<group>/<n>/<field>").
    const QString prefix = group + QLatin1Char('/');
    int highest = 0;
    const QStringList keys = allKeys();
    for (const QString& k : keys) {
        if (!k.startsWith(prefix))
            continue;
        const int slash = k.indexOf(QLatin1Char('/'), prefix.size());
        if (slash < 0)
            continue;
        bool ok = false;
        const int n = k.midRef(prefix.size(), slash - prefix.size()).toInt(&ok);
        if (ok && n > highest)
            highest = n;
    }
    return std::min(size, highest);
}

QVariant SettingsBase::arrayField(const QString& group, int index, const QString& field) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return QSettings::value(entryKey(group, index, field));
}

void SettingsBase::beginArrayRewrite(const QString& group, int count)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    // Removing first also clears a plain value stored under the same key.
    QSettings::remove(group);
    QSettings::setValue(group + QStringLiteral("/size"), count);
}

void SettingsBase::setArrayField(const QString& group, int index, const QString& field, const QVariant& value)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    QSettings::setValue(entryKey(group, index, field), value);
}

QList<QVariantList> SettingsBase::readRecords(const QString& group, const QStringList& fields) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    QList<QVariantList> rows;
    const int n = arraySize(group);
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        QVariantList row;
        row.reserve(fields.size());
        for (const QString& field : fields)
            row.append(arrayField(group, i, field));
        rows.append(row);
    }
    return rows;
}

void SettingsBase::writeRecords(const QString& group, const QStringList& fields, const QList<QVariantList>& rows)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    beginArrayRewrite(group, rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        for (int f = 0; f < fields.size(); ++f)
            setArrayField(group, i, fields.at(f), rows.at(i).value(f));
    }
}

bool SettingsBase::hasArraySize(const QString& group) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return QSettings::contains(group + QStringLiteral("/size"));
}

QStringList SettingsBase::readStringArray(const QString& group) const
{
    QStringList list;
    const QList<QVariantList> rows = readRecords(group, {QStringLiteral("value")});
    for (const QVariantList& row : rows)
        list.append(row.at(0).toString());
    return list;
}

void SettingsBase::writeStringArray(const QString& group, const QStringList& list)
{
    QList<QVariantList> rows;
    for (const QString& value : list)
        rows.append(QVariantList{value});
    writeRecords(group, {QStringLiteral("value")}, rows);
}

void SettingsBase::remove(const QString& key)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    QSettings::remove(key);
}

void SettingsBase::sync()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    file_->refresh();
    QSettings::sync();
    file_->publish();
}

bool SettingsBase::event(QEvent* event)
{
    // QSettings writes changes back from an event posted to itself; that write must not run
    // while another thread is inside the store.
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (event->type() != QEvent::UpdateRequest)
        return QSettings::event(event);
    file_->refresh();
    const bool handled = QSettings::event(event);
    file_->publish();
    return handled;
}
