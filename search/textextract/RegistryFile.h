// RegistryFile: a registry read from our own registry files (REGEDIT4 text syntax).
//
// Format (the registry editor's export format, which is also how filter packages describe
// their registrations):
//   REGEDIT4                                   first non-blank line ("Windows Registry Editor
//                                              Version 5.00" is accepted too)
//   ; comment
//   [HKEY_LOCAL_MACHINE\Software\Classes\.docx] a key (parents are created implicitly)
//   @="text"                                   the default value
//   "Name"="text"                              a named string value; \\ and \" are escapes
//   "Name"=dword:00000001                      other types are kept but not served as strings
//   "Name"=-  /  [-HKEY_LOCAL_MACHINE\...]     remove a value / a key with its subkeys
// Lines ending in "\" continue on the next line (long hex values). Only HKEY_LOCAL_MACHINE
// (also written HKLM) is kept; keys of other roots are skipped. Key and value names are
// compared ignoring case and keep their first spelling. Files are read as UTF-8, or as
// UTF-16LE when they start with its byte-order mark.
//
// The process-wide "machine" registry is the one the filter scan and the filter loader use by
// default: the program loads "ifilters.reg" beside its executable (the in-process filters),
// the helper program installs "ifilters64.reg" beside itself (the filters it hosts) with
// setMachine. Tests install their own.
#pragma once

#include "search/textextract/IRegistry.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

class RegistryFile : public IRegistry
{
public:
    // File names of the shipped registrations, beside the executables.
    static QString inProcessFileName() { return QStringLiteral("ifilters.reg"); }
    static QString helperFileName() { return QStringLiteral("ifilters64.reg"); }

    RegistryFile() = default;

    // Reads a file and merges it into this registry. False (and a message in *error) when the
    // file cannot be read or lacks the header; keys read before a failure stay.
    bool load(const QString& path, QString* error = nullptr);
    // Merges registry text.
    bool loadText(const QString& text, QString* error = nullptr);

    long openKey(const QString& keyPath) const override;
    long enumKey(const QString& keyPath, int index, QString* name) const override;
    long queryValue(const QString& keyPath, const QString& valueName,
                    QString* value) const override;

    // The process-wide registry. Until setMachine is called it is loaded once from
    // inProcessFileName() in the executable's folder (empty when that file is missing).
    static std::shared_ptr<const IRegistry> machine();
    static void setMachine(std::shared_ptr<const IRegistry> registry);

private:
    struct Value
    {
        QString data;
        bool isString = true;
    };
    struct Key
    {
        QString name;                   // as first spelled
        QMap<QString, QString> subkeys; // lower-case name -> spelled name
        QMap<QString, Value> values;    // lower-case name ("" default) -> value
    };

    static QString normalise(const QString& keyPath);
    Key* createKey(const QString& lowerPath, const QStringList& spelledParts);
    void removeKey(const QString& lowerPath);
    bool parseLine(const QString& line, QString* currentKey, QString* error);

    QMap<QString, Key> keys_; // lower-case path below HKEY_LOCAL_MACHINE -> key
};
