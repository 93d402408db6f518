// SettingsBase: a QSettings INI file whose settings are read and written by numeric id.
//
// Every id is registered with its key in the file and its default. A value is looked up under
// the key; a key may also hold a QSettings array (an "IFilters/DisabledFilters" list that the
// user saved): `value` then returns that array's "value" fields as a QStringList.
//
// Arrays use QSettings' array layout: "<group>/size" holds the count and entry i (from 1)
// holds "<group>/<i>/<field>". They are read and written through explicit keys rather than
// beginReadArray/beginWriteArray, so no group state is ever left on the object.
//
// Thread safety: every operation declared here and in Settings takes one recursive lock, and
// so does QSettings' deferred write-back (event()). The inherited QSettings members
// (value(QString), beginGroup, ...) are NOT guarded: go through the id-based operations,
// remove() and sync() declared below. The id-based `value`, `setValue` and `contains` hide
// QSettings' key-based ones on purpose.
//
// The file itself is kept by SettingsFile: QSettings works on a private copy, and every
// write-back (sync, the deferred one, the last one when the store is destroyed) saves that copy
// as the real file without following links, mode 0600, as the session user. fileName() is the
// real file's name.
//
// Nothing here writes to the log: the store is opened before the log exists, and the first
// call of Logger::instance fixes the log's path.
#pragma once

#include <QMap>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <mutex>

class SettingsFile;

class SettingsBase : public QSettings
{
    Q_OBJECT

public:
    // Opens `fileName` in QSettings' INI format. A missing or unreadable file gives an empty
    // store; the folder of the file is created when the first change is written back.
    explicit SettingsBase(const QString& fileName, QObject* parent = nullptr);
    ~SettingsBase() override;

    // The settings file (empty for a store in memory).
    QString fileName() const;

    // Registers (or replaces) the key and default of an id.
    void registerKey(int id, const QString& key, const QVariant& defaultValue);
    // The key of an id; empty for an id that was never registered.
    QString key(int id) const;

    // True when the id's key holds a value, or an array (also an empty one) is stored under
    // it. False for an id that was never registered.
    bool contains(int id) const;
    // The stored value as QSettings returns it (INI values of simple types come back as
    // strings: use toBool/toInt); the stored array as a QStringList; else the default. An id
    // that was never registered gives an invalid QVariant.
    QVariant value(int id) const;
    // Stores `value` under the id's key. Does nothing for an id that was never registered.
    void setValue(int id, const QVariant& value);
    // The registered default; invalid for an id that was never registered.
    QVariant defaultValue(int id) const;

    // A string array: the "value" field of every entry.
    QStringList readStringArray(const QString& group) const;
    // Replaces the array (and any plain value stored under the same key) with `list`.
    void writeStringArray(const QString& group, const QStringList& list);

    // Removes a key and everything under it (for example a whole array group).
    void remove(const QString& key);
    // Writes pending changes to the file and reloads changes made by other processes.
    void sync();

protected:
    bool event(QEvent* event) override;

    // Array records for the list settings of Settings; call with the lock held or not (the
    // lock is recursive).
    //
    // Every entry of the array `group` (arraySize of them) as the values of `fields`, in field
    // order; a missing field is an invalid QVariant.
    QList<QVariantList> readRecords(const QString& group, const QStringList& fields) const;
    // Replaces the array `group` (and any plain value under the same key) with one entry per
    // row, each row giving the values of `fields` in field order.
    void writeRecords(const QString& group, const QStringList& fields, const QList<QVariantList>& rows);
    // Whether "<group>/size" is stored (an array saved empty counts).
    bool hasArraySize(const QString& group) const;

    mutable std::recursive_mutex mutex_;

private:
    SettingsBase(std::unique_ptr<SettingsFile> file, QObject* parent);

    struct KeyEntry
    {
        QString key;
        QVariant defaultValue;
    };

    bool hasArray(const QString& key) const;

    // The number of entries to read: the stored "size", but never more than the highest
    // entry number actually present, so a damaged size (negative, not a number, two billion)
    // can neither be trusted into a huge loop nor produce phantom entries past the last one.
    int arraySize(const QString& group) const;
    // Field of entry `index` (from 0); an invalid QVariant when missing.
    QVariant arrayField(const QString& group, int index, const QString& field) const;
    // Removes the group, then writes "size" = `count`. Fill entries with setArrayField.
    void beginArrayRewrite(const QString& group, int count);
    void setArrayField(const QString& group, int index, const QString& field, const QVariant& value);

    QMap<int, KeyEntry> keys_;
    std::unique_ptr<SettingsFile> file_;
};
