// Settings: the process-wide store of user settings, the INI file "settings.ini" in the data
// folder (QSettings' own INI encoding of each value type).
//
// Every setting has a numeric id (enum Id, the numbers are fixed), a key in the file and a
// default. The constructor registers them and writes the default of every key that is not in
// the file yet, so a new file receives every key. List settings are QSettings arrays
// ("<group>/size", then "<group>/<n>/<field>" from 1):
//   "ExcludePaths"        path (string), active (bool)      trash and version-control folders
//   "FileCategories"      name (string), extensions (";")  five default categories
//   "FileColumns"         type (int), width (int)           empty
//   "IndexDrives", "NoIndexDrives"   value: volume serial, lower-case hex, no prefix/padding
//   "IFilters/DisabledExtensions", "IFilters/DisabledExtensions64",
//   "IFilters/DisabledFilters"        value (string)
// The default exclude paths and categories are written on their first read when their
// "size" entry is absent; an array saved empty stays empty.
//
// The store also caches the two lists of installed IFilters (in-process and helper), refreshed
// by updateIFilterMaps from an IFilterListSource.
//
// Lifecycle: start-up creates it with instanceWithFile(<data folder>/settings.ini) before
// anything reads a setting; everyone else uses instance(); the main window calls
// destroyInstance() on exit (QSettings writes pending changes to the file then).
//
// Thread safety: all operations may be called from any thread (see SettingsBase); the
// singleton pointer is guarded too. Do not call destroyInstance while other threads still use
// the store.
//
// Linux decisions: paths use "/"; the default database folder (DBPath) is the session user's
// generic data location + "/Tallowquist Pro" (UserFiles::dataLocation), in a root instance
// too, so both instances write the same default. Where a root instance really keeps its index
// files is decided by the index (root's own folder unless DBPath is root's alone). The default category "Music" lists
// "m3u" and "m4a" as two extensions (";"), since the filter splits at ";" only.
// The default exclude paths are the Linux trash folders (the session user's home trash
// "<data location>/Trash", and ".Trash" and ".Trash-<uid>" on other volumes) and the metadata
// folders of git, Mercurial, Subversion and Bazaar. "Document" lists every extension whose text
// the content search reads, "Executable" the scripts, programs and installable packages that
// an extension tells. No document filter is switched off by default. All three are defaults
// only: a settings file that holds the lists keeps them.
#pragma once

#include "core/ContentSearchOptions.h"
#include "core/ExcludePath.h"
#include "core/FileCategory.h"
#include "core/FileColumnEntry.h"
#include "core/IFilterListSource.h"
#include "core/IFilterMap.h"
#include "core/IndexingSettings.h"
#include "core/SettingsBase.h"

#include <QList>
#include <QString>
#include <QStringList>

class Settings : public SettingsBase
{
    Q_OBJECT

public:
    // Setting ids (the numbers are part of the design and never change) with their keys.
    enum Id {
        AutoDetectEncoding = 0,          // "AutoDetectEncoding", true
        SkipBinary = 1,                  // "SkipBinary", true
        UseBuiltInPDF = 2,               // "UseBuiltInPDF", true
        AutoAddFixed = 3,                // "AutoAddFixed", true
        AutoAddRemovable = 4,            // "AutoAddRemovable", false
        DisabledFilters = 5,             // "IFilters/DisabledFilters", four CLSIDs (string list)
        RunInBackground = 6,             // "RunInBackground", true
        RunInBackgroundHintShown = 7,    // "RunInBackgroundHintShown", false
        DefaultDialogDir = 8,            // "DefaultDialogDir", ""
        Language = 9,                    // "Language", ""
        DBPath = 10,                     // "DBPath", <generic data location>/Tallowquist Pro
        ShowFilterBar = 11,              // "ShowFilterBar", true
        ShowMaximumMatches = 12,         // "ShowMaximumMatches", 100
        ShowAdvancedOptions = 13,        // "ShowAdvancedOptions", false
        WordWrap = 14,                   // "WordWrap", false
        ShowFullMatchedLine = 15,        // "ShowFullMatchedLine", false
        PreviewCharsBeforeMatch = 16,    // "PreviewCharsBeforeMatch", 50
        PreviewCharsAfterMatch = 17,     // "PreviewCharsAfterMatch", 50
        HighlightColor = 18,             // "HighlightColor", "0xEFCB05"
        SaveAllTabs = 19,                // "SaveAllTabs", false
        AutoCompletePath = 20,           // "AutoCompletePath", true
        SortColumn = 21,                 // "SortColumn", 0
        MainWindowSize = 22,             // "MainWindow/Size", QSize(930, 550)
        MainWindowPos = 23,              // "MainWindow/Pos", QPoint(470, 270)
        MainWindowMaximized = 24,        // "MainWindow/Maximized", invalid QVariant
        MainWindowLastLeftPaneWidth = 25,// "MainWindow/LastLeftPaneWidth", 200
        SearchWindowVisible = 26,        // "SearchWindow/Visible", true
        SearchWindowPos = 27,            // "SearchWindow/Pos", QPoint(0, 0)
        SearchWindowSize = 28,           // "SearchWindow/Size", QSize(0, 0)
        SearchWindowArea = 29,           // "SearchWindow/Area", 1
        SearchWindowFloating = 30,       // "SearchWindow/Floating", false
        CommandToolbarVisible = 31,      // "CommandToolbar/Visible", 4
        CommandToolbarArea = 32,         // "CommandToolbar/Area", 4
        InstantToolbarVisible = 33,      // "InstantToolbar/Visible", 4
        InstantToolbarArea = 34,         // "InstantToolbar/Area", 4
        DebugAssertLogging = 35          // "Debug/AssertLogging", true
    };

    // The singleton, created on `path` when there is none (later calls ignore the path).
    static Settings* instanceWithFile(const QString& path);
    // The singleton. Called before start-up created it, it makes an unsaved in-memory store.
    static Settings* instance();
    // Deletes the singleton (writing pending changes) and clears the pointer.
    static void destroyInstance();

    ~Settings() override;

    // "ExcludePaths": writes the default list first when "ExcludePaths/size" is absent.
    QList<ExcludePath> excludePaths();
    void setExcludePaths(const QList<ExcludePath>& paths);

    // "FileCategories": writes the default list first when "FileCategories/size" is absent.
    QList<FileCategory> fileCategories();
    void setFileCategories(const QList<FileCategory>& categories);

    // "FileColumns", in stored order; the two list functions give one field of every entry.
    QList<FileColumnEntry> fileColumns() const;
    QList<int> fileColumnTypes() const;
    QList<int> fileColumnWidths() const;
    void setFileColumns(const QList<FileColumnEntry>& columns);

    // The string arrays of the IFilter options. disabledFilters reads id 5 through value(), so
    // it gives the default CLSIDs until the user saves a list.
    QStringList disabledExtensions() const;
    QStringList disabledExtensions64() const;
    QStringList disabledFilters() const;
    void setDisabledExtensions(const QStringList& extensions);
    void setDisabledExtensions64(const QStringList& extensions);
    void setDisabledFilters(const QStringList& clsids);

    // The content-search record: both IFilter lists, ids 5, 0, 1, 2 and the extension arrays.
    ContentSearchOptions contentSearchOptions() const;
    // The index record: both drive arrays, ids 3, 4, 10 and the active exclude paths (writing
    // the default exclude paths first when none are stored). Drive entries that are not a
    // 32-bit hexadecimal number are left out.
    IndexingSettings indexOptions();
    // Writes both drive arrays and ids 3, 4, 10. The exclude paths are written separately
    // with setExcludePaths.
    void setIndexOptions(const IndexingSettings& settings);

    // Replaces both cached IFilter lists with the source's answers (asked without the lock).
    void updateIFilterMaps(IFilterListSource& source);
    // Replaces both cached lists with lists read elsewhere (FileSearcher::readIFilterLists).
    void setIFilterMaps(IFilterMap list32, IFilterMap list64);
    // Copies of the cached lists (empty until updateIFilterMaps).
    IFilterMap ifilters32() const;
    IFilterMap ifilters64() const;
    // Display name of the first IFilter whose CLSID equals `clsid` ignoring case, looking
    // through the in-process list, then the helper's list; the CLSID itself when that name is
    // empty; an empty string when none matches.
    QString filterName(const QString& clsid) const;

private:
    explicit Settings(const QString& path);

    void registerAndWriteDefault(int id, const QString& key, const QVariant& defaultValue);
    QList<quint32> readDriveArray(const QString& group) const;
    void writeDriveArray(const QString& group, const QList<quint32>& drives);

    IFilterMap ifilters32_;
    IFilterMap ifilters64_;
};
