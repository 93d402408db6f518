#include "core/Settings.h"

#include "core/UserFileIdentity.h"
#include "core/UserFiles.h"

#include <QDir>
#include <QPoint>
#include <QSize>
#include <QStandardPaths>

#include <mutex>

#include <unistd.h>

namespace {

std::mutex g_instanceMutex;
Settings* g_instance = nullptr;

const QString kExcludePaths = QStringLiteral("ExcludePaths");
const QString kFileCategories = QStringLiteral("FileCategories");
const QString kFileColumns = QStringLiteral("FileColumns");
const QString kIndexDrives = QStringLiteral("IndexDrives");
const QString kNoIndexDrives = QStringLiteral("NoIndexDrives");
const QString kDisabledExtensions = QStringLiteral("IFilters/DisabledExtensions");
const QString kDisabledExtensions64 = QStringLiteral("IFilters/DisabledExtensions64");
const QString kDisabledFilters = QStringLiteral("IFilters/DisabledFilters");

const QStringList kExcludePathFields = {QStringLiteral("path"), QStringLiteral("active")};
const QStringList kFileCategoryFields = {QStringLiteral("name"), QStringLiteral("extensions")};
const QStringList kFileColumnFields = {QStringLiteral("type"), QStringLiteral("width")};

// The session user's data folder in both kinds of instance, so a root instance never writes its
// own home into the user's settings and the two instances agree on the default.
QString defaultDbPath()
{
    return QDir::toNativeSeparators(UserFiles::dataLocation()) + QStringLiteral("/Tallowquist Pro");
}

// The lists written on the first read of "FileCategories" and "ExcludePaths".
QList<FileCategory> defaultFileCategories()
{
    return {
        // Every kind of file whose text the content search reads, plain texts included.
        {QStringLiteral("Document"),
         QStringLiteral("azw;azw3;doc;docm;docx;dot;dotm;dotx;epub;fb2;fodp;fods;fodt;htm;html;ini;md;mobi;mth;"
                        "odp;ods;odt;otp;ots;ott;pdf;pot;potm;potx;pps;ppsm;ppsx;ppt;pptm;pptx;prc;rtf;sxc;sxi;"
                        "sxw;txt;wri;xht;xhtml;xls;xlsm;xlsx;xlt;xltx;xml")},
        // Programs and scripts, and the packages and self-installing archives that install
        // programs. A program without an extension (most of /usr/bin) cannot be told by its name.
        {QStringLiteral("Executable"),
         QStringLiteral("appimage;bash;bin;csh;deb;fish;ksh;pl;py;rb;rpm;run;sh;zsh")},
        {QStringLiteral("Picture"), QStringLiteral("bmp;gif;ico;jpeg;jpg;png;psd;tiff")},
        {QStringLiteral("Music"), QStringLiteral("flac;m3u;m4a;mid;mp3;ogg;wav;wma")},
        {QStringLiteral("Video"), QStringLiteral("3gp;avi;flv;mp4;mkv;mpg;mov;swf;wmv")},
    };
}

// The trash folders of the session user (the home trash, and the ".Trash" and ".Trash-<uid>"
// folders of other volumes) and the metadata folders of the version-control systems.
QList<ExcludePath> defaultExcludePaths()
{
    uid_t uid = ::getuid();
    UserFileIdentity::sessionUser(&uid, nullptr);
    return {
        {UserFiles::dataLocation() + QStringLiteral("/Trash"), true},
        {QStringLiteral(".Trash"), true},
        {QStringLiteral(".Trash-%1").arg(uid), true},
        {QStringLiteral(".git"), true},
        {QStringLiteral(".hg"), true},
        {QStringLiteral(".svn"), true},
        {QStringLiteral(".bzr"), true},
    };
}

QString findFilterName(const IFilterMap& map, const QString& clsid, bool* found)
{
    for (const IFilterInfo& info : map) {
        if (QString::fromStdWString(info.clsid).compare(clsid, Qt::CaseInsensitive) == 0) {
            *found = true;
            return info.name.empty() ? clsid : QString::fromStdWString(info.name);
        }
    }
    *found = false;
    return QString();
}

} // namespace

Settings* Settings::instanceWithFile(const QString& path)
{
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    if (!g_instance)
        g_instance = new Settings(path);
    return g_instance;
}

Settings* Settings::instance()
{
    return instanceWithFile(QString());
}

void Settings::destroyInstance()
{
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    delete g_instance;
    g_instance = nullptr;
}

void Settings::registerAndWriteDefault(int id, const QString& key, const QVariant& defaultValue)
{
    registerKey(id, key, defaultValue);
    if (!contains(id))
        SettingsBase::setValue(id, defaultValue);
}

Settings::Settings(const QString& path)
    : SettingsBase(path)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    // Registration order is the order in which defaults are written (it differs from the ids).
    registerAndWriteDefault(AutoDetectEncoding, QStringLiteral("AutoDetectEncoding"), true);
    registerAndWriteDefault(SkipBinary, QStringLiteral("SkipBinary"), true);
    registerAndWriteDefault(UseBuiltInPDF, QStringLiteral("UseBuiltInPDF"), true);
    registerAndWriteDefault(AutoAddFixed, QStringLiteral("AutoAddFixed"), true);
    registerAndWriteDefault(AutoAddRemovable, QStringLiteral("AutoAddRemovable"), false);
    registerAndWriteDefault(RunInBackground, QStringLiteral("RunInBackground"), true);
    registerAndWriteDefault(RunInBackgroundHintShown, QStringLiteral("RunInBackgroundHintShown"), false);
    registerAndWriteDefault(DefaultDialogDir, QStringLiteral("DefaultDialogDir"), QString());
    registerAndWriteDefault(Language, QStringLiteral("Language"), QString());
    registerAndWriteDefault(DBPath, QStringLiteral("DBPath"), defaultDbPath());
    registerAndWriteDefault(ShowFilterBar, QStringLiteral("ShowFilterBar"), true);
    registerAndWriteDefault(ShowAdvancedOptions, QStringLiteral("ShowAdvancedOptions"), false);
    registerAndWriteDefault(ShowMaximumMatches, QStringLiteral("ShowMaximumMatches"), 100);
    registerAndWriteDefault(WordWrap, QStringLiteral("WordWrap"), false);
    registerAndWriteDefault(PreviewCharsBeforeMatch, QStringLiteral("PreviewCharsBeforeMatch"), 50);
    registerAndWriteDefault(PreviewCharsAfterMatch, QStringLiteral("PreviewCharsAfterMatch"), 50);
    registerAndWriteDefault(ShowFullMatchedLine, QStringLiteral("ShowFullMatchedLine"), false);
    registerAndWriteDefault(HighlightColor, QStringLiteral("HighlightColor"), QStringLiteral("0xEFCB05"));
    registerAndWriteDefault(SaveAllTabs, QStringLiteral("SaveAllTabs"), false);
    registerAndWriteDefault(AutoCompletePath, QStringLiteral("AutoCompletePath"), true);
    registerAndWriteDefault(SortColumn, QStringLiteral("SortColumn"), 0);
    registerAndWriteDefault(DisabledFilters, kDisabledFilters, QStringList());
    // Room for the search form and every default column of a large result (row numbers and
    // scroll bar included) on a 1366x768 screen with a panel; centred on a 1920x1080 one, and
    // moved onto a smaller screen whole by the placement rules.
    registerAndWriteDefault(MainWindowSize, QStringLiteral("MainWindow/Size"), QSize(1240, 660));
    registerAndWriteDefault(MainWindowPos, QStringLiteral("MainWindow/Pos"), QPoint(340, 210));
    registerAndWriteDefault(MainWindowMaximized, QStringLiteral("MainWindow/Maximized"), QVariant());
    registerAndWriteDefault(MainWindowLastLeftPaneWidth, QStringLiteral("MainWindow/LastLeftPaneWidth"), 200);
    registerAndWriteDefault(SearchWindowVisible, QStringLiteral("SearchWindow/Visible"), true);
    registerAndWriteDefault(SearchWindowPos, QStringLiteral("SearchWindow/Pos"), QPoint(0, 0));
    registerAndWriteDefault(SearchWindowSize, QStringLiteral("SearchWindow/Size"), QSize(0, 0));
    registerAndWriteDefault(SearchWindowArea, QStringLiteral("SearchWindow/Area"), 1);
    registerAndWriteDefault(SearchWindowFloating, QStringLiteral("SearchWindow/Floating"), false);
    registerAndWriteDefault(CommandToolbarVisible, QStringLiteral("CommandToolbar/Visible"), 4);
    registerAndWriteDefault(CommandToolbarArea, QStringLiteral("CommandToolbar/Area"), 4);
    registerAndWriteDefault(InstantToolbarVisible, QStringLiteral("InstantToolbar/Visible"), 4);
    registerAndWriteDefault(InstantToolbarArea, QStringLiteral("InstantToolbar/Area"), 4);

    registerAndWriteDefault(DebugAssertLogging, QStringLiteral("Debug/AssertLogging"), true);
}

Settings::~Settings() = default;

QList<ExcludePath> Settings::excludePaths()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!hasArraySize(kExcludePaths))
        setExcludePaths(defaultExcludePaths());
    QList<ExcludePath> list;
    const QList<QVariantList> rows = readRecords(kExcludePaths, kExcludePathFields);
    for (const QVariantList& row : rows)
        list.append({row.at(0).toString(), row.at(1).toBool()});
    return list;
}

void Settings::setExcludePaths(const QList<ExcludePath>& paths)
{
    QList<QVariantList> rows;
    for (const ExcludePath& p : paths)
        rows.append({p.path, p.active});
    writeRecords(kExcludePaths, kExcludePathFields, rows);
}

QList<FileCategory> Settings::fileCategories()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!hasArraySize(kFileCategories))
        setFileCategories(defaultFileCategories());
    QList<FileCategory> list;
    const QList<QVariantList> rows = readRecords(kFileCategories, kFileCategoryFields);
    for (const QVariantList& row : rows)
        list.append({row.at(0).toString(), row.at(1).toString()});
    return list;
}

void Settings::setFileCategories(const QList<FileCategory>& categories)
{
    QList<QVariantList> rows;
    for (const FileCategory& c : categories)
        rows.append({c.name, c.extensions});
    writeRecords(kFileCategories, kFileCategoryFields, rows);
}

QList<FileColumnEntry> Settings::fileColumns() const
{
    QList<FileColumnEntry> list;
    const QList<QVariantList> rows = readRecords(kFileColumns, kFileColumnFields);
    for (const QVariantList& row : rows)
        list.append({row.at(0).toInt(), row.at(1).toInt()});
    return list;
}

QList<int> Settings::fileColumnTypes() const
{
    QList<int> types;
    const QList<FileColumnEntry> columns = fileColumns();
    for (const FileColumnEntry& c : columns)
        types.append(c.type);
    return types;
}

QList<int> Settings::fileColumnWidths() const
{
    QList<int> widths;
    const QList<FileColumnEntry> columns = fileColumns();
    for (const FileColumnEntry& c : columns)
        widths.append(c.width);
    return widths;
}

void Settings::setFileColumns(const QList<FileColumnEntry>& columns)
{
    QList<QVariantList> rows;
    for (const FileColumnEntry& c : columns)
        rows.append({c.type, c.width});
    writeRecords(kFileColumns, kFileColumnFields, rows);
}

QStringList Settings::disabledExtensions() const
{
    return readStringArray(kDisabledExtensions);
}

QStringList Settings::disabledExtensions64() const
{
    return readStringArray(kDisabledExtensions64);
}

QStringList Settings::disabledFilters() const
{
    return value(DisabledFilters).toStringList();
}

void Settings::setDisabledExtensions(const QStringList& extensions)
{
    writeStringArray(kDisabledExtensions, extensions);
}

void Settings::setDisabledExtensions64(const QStringList& extensions)
{
    writeStringArray(kDisabledExtensions64, extensions);
}

void Settings::setDisabledFilters(const QStringList& clsids)
{
    writeStringArray(kDisabledFilters, clsids);
}

QList<quint32> Settings::readDriveArray(const QString& group) const
{
    QList<quint32> drives;
    const QStringList values = readStringArray(group);
    for (const QString& value : values) {
        bool ok = false;
        const uint serial = value.toUInt(&ok, 16);
        // An entry that is not a 32-bit hexadecimal number names no volume: leave it out
        // rather than turning it into serial 0.
        if (ok)
            drives.append(serial);
    }
    return drives;
}

void Settings::writeDriveArray(const QString& group, const QList<quint32>& drives)
{
    QStringList values;
    for (quint32 serial : drives)
        values.append(QString::number(serial, 16));
    writeStringArray(group, values);
}

ContentSearchOptions Settings::contentSearchOptions() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ContentSearchOptions options;
    options.ifilters32 = ifilters32_;
    options.ifilters64 = ifilters64_;
    options.disabledFilters = value(DisabledFilters).toStringList();
    options.disabledExtensions = readStringArray(kDisabledExtensions);
    options.disabledExtensions64 = readStringArray(kDisabledExtensions64);
    options.autoDetectEncoding = value(AutoDetectEncoding).toBool();
    options.skipBinary = value(SkipBinary).toBool();
    options.useBuiltInPDF = value(UseBuiltInPDF).toBool();
    return options;
}

IndexingSettings Settings::indexOptions()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    IndexingSettings settings;
    settings.indexDrives = readDriveArray(kIndexDrives);
    settings.noIndexDrives = readDriveArray(kNoIndexDrives);
    settings.autoAddFixed = value(AutoAddFixed).toBool();
    settings.autoAddRemovable = value(AutoAddRemovable).toBool();
    settings.dbPath = value(DBPath).toString();
    const QList<ExcludePath> paths = excludePaths();
    for (const ExcludePath& p : paths) {
        if (p.active)
            settings.excludePaths.append(p.path);
    }
    return settings;
}

void Settings::setIndexOptions(const IndexingSettings& settings)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    writeDriveArray(kIndexDrives, settings.indexDrives);
    writeDriveArray(kNoIndexDrives, settings.noIndexDrives);
    SettingsBase::setValue(AutoAddFixed, settings.autoAddFixed);
    SettingsBase::setValue(AutoAddRemovable, settings.autoAddRemovable);
    SettingsBase::setValue(DBPath, settings.dbPath);
}

void Settings::updateIFilterMaps(IFilterListSource& source)
{
    // The scan and the helper request may take a while: ask first, then swap under the lock.
    setIFilterMaps(source.listIFilters32(), source.listIFilters64());
}

void Settings::setIFilterMaps(IFilterMap list32, IFilterMap list64)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ifilters32_.swap(list32);
    ifilters64_.swap(list64);
}

IFilterMap Settings::ifilters32() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return ifilters32_;
}

IFilterMap Settings::ifilters64() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return ifilters64_;
}

QString Settings::filterName(const QString& clsid) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    bool found = false;
    QString name = findFilterName(ifilters32_, clsid, &found);
    if (found)
        return name;
    name = findFilterName(ifilters64_, clsid, &found);
    return found ? name : QString();
}
