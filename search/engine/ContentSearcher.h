// ContentSearcher: whether a file's text matches a request's contents pattern (`find`, for the
// candidate checks of a file search) and which lines match where (`findAll`, for the match
// preview). Documents go first through the converters registered for their extension; when
// none applies or all fail, the file itself is read as text.
//
// Decisions of this implementation:
// - Settings snapshot: setSettings builds a new immutable record (options and converter map)
//   and publishes it under a small lock; every find/findAll takes the record current when it
//   starts and keeps it to the end, so the options dialog can change the settings while
//   searches run.
// - Converter lookup ignores the case of the extension ("Report.PDF" uses the PDF converter);
//   the disabled extensions and disabled filter ids are compared ignoring case as well.
// - Every file is opened once, as a ContentFile: only regular files (links followed) are opened
//   for reading at all, and the converters, the filters, the helper program and the scan all
//   read that one descriptor, never the path again. So a FIFO, socket or device is never
//   opened or read (a search can never block on one, nor arm or reset a device), a name
//   swapped meanwhile changes nothing, and names that are not UTF-8 are read like any other.
//   The match preview keeps the descriptor of the text it was given (TempFileHolder::text).
// - Counting: when a counter is given, the whole text is read and every match of every term is
//   counted (also in file scope and for regular expressions), not only those up to the first
//   matching line.
// - Matching: the text is read in blocks of 512 KiB as UTF-8 (as it is when it is UTF-8, else
//   decoded with its codec and encoded block by block) and matched on its bytes by
//   ContentScanner, with the answers of reading it line by line through SearchExpression, for
//   every kind of pattern (literals, whole words, either case, regular expressions, Boolean
//   expressions, line and file scope, counts). No line is ever held whole, and findAll decodes
//   only the lines that hold a term. A pattern of more than 64 terms is read line by line
//   through SearchExpression (at most 256 Ki characters of a line at a time).
// - Converted text always goes to a file in the work folder, never into memory, and is kept
//   there while the document is unchanged (ConvertedTextCache): a document is converted once,
//   not on every search. The preview's holder refers to a kept text without removing it.
// - Memory: each check holds the scanner's buffer (about 1.1 MiB, once per thread) and, on a
//   line with broken UTF-8 searched with a regular expression or a term judged on decoded
//   text, at most about 8 MiB more. Documents converted inside this process (the document
//   filters, the HTML, EPUB and Mobipocket converters) hold at most 192 MiB at once, all
//   searches together: each conversion first takes its converter's bound (96 or 32 MiB) and
//   waits, polling the cancel flag, while that much is not free. The PDF program and the helper
//   program convert in processes of their own.
// - What a search passes over (binary files, files that cannot be read, documents that cannot
//   be converted or give no text) is counted (ContentSearchStats) and logged once per search
//   by the file search; a check made without counters (the preview, a single file) logs it.
// - A conversion that succeeds without any text is logged ("No text in %1"). A file whose
//   converters all failed is read as text only when its bytes are no document container
//   (a compound file, a zip archive, RTF, PDF, a Palm database): the bytes of a damaged
//   document are never searched as its text ("%1 could not be converted; ..." is logged),
//   while a plain text saved under a document's name still is.
// - Codec names: "UTF16-BE" means big-endian UTF-16; "UTF-16" is read by its byte-order mark
//   and as little-endian without one (what this system's converters write); other names go to
//   QTextCodec::codecForName.
#pragma once

#include "core/ContentFile.h"
#include "core/ContentSearchOptions.h"
#include "search/engine/ContentQuery.h"

#include <QMap>
#include <QMutex>
#include <QString>

#include <memory>
#include <vector>

class ConvertedTextCache;
struct ContentSearchStats;
class EPUBConverter;
class FileSearchRequest;
class Helper64Client;
class HtmlConverter;
class IFilter64Converter;
class IFilterConverter;
class MobiConverter;
class PDFConverter;
class QIODevice;
class QTextCodec;
class TempFileHolder;
class ToPlainTextConverter;

class ContentSearcher
{
public:
    ContentSearcher(Helper64Client* client, const QString& workFolder);
    ~ContentSearcher();
    ContentSearcher(const ContentSearcher&) = delete;
    ContentSearcher& operator=(const ContentSearcher&) = delete;

    // Publishes new options and the converter map built from them.
    void setSettings(const ContentSearchOptions& options);

    // The converters tried for an extension, in order (empty when none).
    std::vector<ToPlainTextConverter*> convertersFor(const QString& extension) const;

    // Tries the converters for the path's extension; on success *encodingOut is the successful
    // converter's encoding.
    bool convert(const ContentFile& document, QString* outPath, QIODevice* output,
                 const bool* cancelFlag, QString* encodingOut);

    // True when the file's text matches the request's contents expression. `matchCount` is
    // null or a counter that receives every match. `query` is the request's compiled pattern
    // (ContentQuery::fromRequest); the overload without it compiles the pattern itself.
    bool find(const FileSearchRequest* request, const QString& path, int* matchCount);
    bool find(const ContentQuery& query, const FileSearchRequest* request, const QString& path,
              int* matchCount);

    // The settings in force (options and converter map); a search takes it once and hands it
    // to every check, so that all its checks see the same settings.
    struct Snapshot
    {
        ContentSearchOptions options;
        QMap<QString, std::vector<ToPlainTextConverter*>> converterMap;
    };
    using SnapshotPtr = std::shared_ptr<const Snapshot>;
    SnapshotPtr snapshot() const;
    // `stats`: when given (by a search), what is passed over is counted there instead of logged
    // file by file.
    bool find(const Snapshot& snap, const ContentQuery& query, const FileSearchRequest* request,
              const QString& path, int* matchCount, ContentSearchStats* stats = nullptr);

    // Fills `holder` with every line holding a term, the line count and the path of the text
    // read; returns whether the whole text matches.
    bool findAll(const FileSearchRequest* request, const QString& path, TempFileHolder* holder);

    PDFConverter* pdf() const { return pdfConverter; }

    // Codec for a converter's or the detection's encoding name (see above); null for "".
    static QTextCodec* codecForEncoding(const QString& name, QIODevice* device);

private:
    // True (and logged) when `document` is a document container (ToPlainTextConverter::
    // isDocumentContainer): its conversion failed, and its bytes are not its text.
    static bool isUnconvertedDocument(const ContentFile& document, ContentSearchStats* stats);
    bool convertWith(const Snapshot& snap, const ContentFile& document, QString* outPath,
                     QIODevice* output, const bool* cancelFlag, QString* encodingOut,
                     ContentSearchStats* stats);
    // The text a document is read as: its own bytes (no converter: Own; every converter
    // failed: Failed), an empty text, or a converted text (kept by the cache, or a temporary
    // file to remove after use).
    struct Text
    {
        enum Kind { Own, Failed, Empty, Converted, Unreadable } kind = Own;
        ContentFile file;
        QString encoding;
        QString path;
        QString temporary;
    };
    Text obtainText(const Snapshot& snap, const ContentFile& document, const bool* cancelFlag,
                    ContentSearchStats* stats);
    // Reads `text` (the document or its converted text; `encoding` the converter's, or empty
    // for the detection) and matches it.
    bool scan(const Snapshot& snap, const ContentQuery& query, const FileSearchRequest* request,
              const ContentFile& text, const QString& encoding, int* counter, TempFileHolder* holder,
              ContentSearchStats* stats = nullptr);
    bool scanText(const Snapshot& snap, const ContentQuery& query, QIODevice* device,
                  const QString& displayPath, const QString& encoding,
                  const FileSearchRequest* request, TempFileHolder* holder, int* counter);

    PDFConverter* pdfConverter = nullptr;
    IFilterConverter* ifilterConverter = nullptr;
    IFilter64Converter* ifilter64Converter = nullptr;
    HtmlConverter* htmlConverter = nullptr;
    EPUBConverter* epubConverter = nullptr;
    MobiConverter* mobiConverter = nullptr;

    std::unique_ptr<ConvertedTextCache> textCache;
    mutable QMutex snapshotMutex;
    SnapshotPtr current;
};
