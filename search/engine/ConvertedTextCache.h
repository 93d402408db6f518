// ConvertedTextCache: the text converted from documents, kept in the private working folder
// and used again while the document is unchanged, so that a PDF (or any document) is converted
// once, not on every search.
//
// An entry is a text file "<key>.<encoding>" in "<work folder>/text-cache" (created owner-only),
// where <key> is the SHA-1 of: the converters that were tried for the extension (and the PDF
// program), the program's build, the document's path, and its device, inode, size, change
// time and modification time (nanoseconds) as the opened document reports them. Any change to
// the document (its ctime moves with every write or rename, and nobody can set it back), a
// different converter or a new build of the program gives another key. <encoding> is "utf16be",
// "utf16" or "detect" (the converter's encoding() "UTF16-BE", "UTF-16" or empty). A failed
// conversion is not kept (it may have failed for a passing reason: a cancelled search, a busy
// helper), so the document is converted again next time.
//
// Bounds: a text larger than kMaxEntryBytes is not kept; the entries hold at most
// kMaxTotalBytes (and kMaxEntries files) in all; the least recently used go first. The index of
// the entries is kept in memory, read from the folder on first use.
//
// Entries are handed out as open ContentFiles: an entry removed meanwhile (evicted by another
// thread) stays readable through its descriptor. Thread-safe.
#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

class ContentFile;

class ConvertedTextCache
{
public:
    static constexpr qint64 kMaxEntryBytes = qint64(32) << 20;
    static constexpr qint64 kMaxTotalBytes = qint64(256) << 20;
    static constexpr int kMaxEntries = 4096;

    // `workFolder` empty: nothing is kept. The bounds may be set smaller (tests).
    explicit ConvertedTextCache(const QString& workFolder, qint64 maxEntryBytes = kMaxEntryBytes,
                                qint64 maxTotalBytes = kMaxTotalBytes, int maxEntries = kMaxEntries);

    enum class Lookup { Missing, Text };
    // The key of `document` converted by the converters named `chain`.
    static QByteArray keyOf(const ContentFile& document, const QString& chain);

    // A text kept for `key`: opened into *text with its encoding name.
    Lookup find(const QByteArray& key, ContentFile* text, QString* encoding);
    // Keeps the converted file at `path` (moved into the cache) with the converter's encoding;
    // the path given is then gone. False when it is not kept (too large, or moving it failed:
    // the file then stays where it is).
    bool keep(const QByteArray& key, const QString& path, const QString& encoding);
    // Where the text of `key` is kept (after a keep), for the preview's holder.
    QString pathOf(const QByteArray& key, const QString& encoding) const;

    QString folder() const { return folder_; }

private:
    struct Entry
    {
        QString suffix; // "utf16be", "utf16", "detect"
        qint64 bytes = 0;
        quint64 lastUse = 0;
    };
    // The cache folder exists and is ours alone (made when missing).
    bool folderLocked();
    void loadLocked();
    void evictLocked();
    QString fileOf(const QByteArray& key, const QString& suffix) const;

    QString folder_;
    const qint64 maxEntryBytes;
    const qint64 maxTotalBytes;
    const int maxEntries;
    QMutex mutex;
    bool loaded = false;
    QHash<QByteArray, Entry> entries;
    qint64 totalBytes = 0;
    quint64 useCounter = 0;
};
