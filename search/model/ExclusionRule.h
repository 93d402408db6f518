// ExclusionRule: what a search's exclude entries leave out, one rule for the index and the
// walk, so that a request gets one answer whichever route serves it.
//
// - An entry that starts with "/" is a path: the object at that path and everything below it.
//   Compared as written and as its real path (links resolved), without a trailing "/"; names
//   on Linux are case sensitive, so the letter case counts.
// - An entry without "/" is a name: every object of that name, in any letter case
//   (QString::toLower), and everything below a folder of that name.
// - Any other entry ("build/tmp") is a run of whole names: a path holding those names one
//   after the other, in any letter case, and everything below it.
// - Empty entries exclude nothing; trailing "/" are ignored.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

class ExclusionRule
{
public:
    ExclusionRule() = default;
    explicit ExclusionRule(const QStringList& entries);

    bool isEmpty() const { return names_.isEmpty() && paths_.isEmpty() && runs_.isEmpty(); }
    bool hasNames() const { return !names_.isEmpty(); }
    // Entries that need the whole path of an object (paths and runs).
    bool needsPaths() const { return !paths_.isEmpty() || !runs_.isEmpty(); }

    // Does an entry leave out the object at `path` (any of its names, a path it is or lies
    // below, a run within it)?
    bool excludes(const QString& path) const;
    // Does an entry leave out the object `name` (UTF-8 bytes) at `path`, whose folder is not
    // left out itself? `path` is read only when needsPaths().
    bool excludesEntry(const char* name, int length, const QString& path) const;
    // Is `name` (UTF-8 bytes) one of the names?
    bool excludesName(const char* name, int length) const;

private:
    QSet<QByteArray> names_; // lower-cased UTF-8
    QStringList paths_;      // as written and real, without a trailing "/"
    QStringList runs_;       // lower-cased, each between "/"
};
