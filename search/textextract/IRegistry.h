// IRegistry: read access to the machine's registry of document filters.
//
// The filter scan and the filter loader walk keys below HKEY_LOCAL_MACHINE (for example
// "Software\Classes\.docx\PersistentHandler") and read their default values. This interface is all
// they need; RegistryFile serves it from our own registry files, tests inject their own.
//
// Key paths use "\" between key names: that is the registry's own key syntax, not a file path.
// Key names are compared ignoring case; subkeys enumerate in ascending order ignoring case.
// Results are the registry's error codes (0 success).
#pragma once

#include <QString>

class IRegistry
{
public:
    static constexpr long ErrorSuccess = 0;
    static constexpr long ErrorFileNotFound = 2;
    static constexpr long ErrorNoMoreItems = 259;
    static constexpr long ErrorUnsupportedType = 1630;

    virtual ~IRegistry() = default;

    // ErrorSuccess when the key exists, else ErrorFileNotFound.
    virtual long openKey(const QString& keyPath) const = 0;
    // The name (as spelled in the registry) of subkey `index` of `keyPath`; ErrorNoMoreItems
    // past the last one, ErrorFileNotFound when the key does not exist.
    virtual long enumKey(const QString& keyPath, int index, QString* name) const = 0;
    // A string value of a key; an empty `valueName` is the key's default value. The whole
    // value is returned, whatever its length.
    virtual long queryValue(const QString& keyPath, const QString& valueName,
                            QString* value) const = 0;
};
