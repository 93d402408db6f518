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
// - Plain text files read as UTF-8 (or as the Latin-1 locale codec) with a pattern of ASCII
//   literals are tested on their raw bytes (ByteScanner: large reads, vectorised search, no
//   per-line strings) with exactly the answers of the line-by-line route; everything else
//   (converted documents, UTF-16, regular expressions, non-ASCII terms) takes the
//   line-by-line route through QTextStream and SearchExpression; for such a pattern a plain
//   text file is first tested block by block with the matcher, and only a file in which some
//   term occurs is read line by line (ContentQuery).
// - A conversion that succeeds without any text is logged ("No text in %1"). A file whose
//   converters all failed is read as text only when its bytes are no document container
//   (a compound file, a zip archive, RTF, PDF, a Palm database): the bytes of a damaged
//   document are never searched as its text ("%1 could not be converted; ..." is logged),
//   while a plain text saved under a document's name still is.
// - Codec names: "UTF16-BE" means big-endian UTF-16; "UTF-16" is read by its byte-order mark
//   and as little-endian without one (what this system's converters write); other names go to
//   QTextCodec::codecForName.
#pragma once

#include "core/ContentSearchOptions.h"
#include "search/engine/ContentQuery.h"

#include <QMap>
#include <QMutex>
#include <QString>

#include <memory>
#include <vector>

class ContentFile;
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
    bool find(const Snapshot& snap, const ContentQuery& query, const FileSearchRequest* request,
              const QString& path, int* matchCount);

    // Fills `holder` with every line holding a term, the line count and the path of the text
    // read; returns whether the whole text matches.
    bool findAll(const FileSearchRequest* request, const QString& path, TempFileHolder* holder);

    PDFConverter* pdf() const { return pdfConverter; }

    // Codec for a converter's or the detection's encoding name (see above); null for "".
    static QTextCodec* codecForEncoding(const QString& name, QIODevice* device);

private:
    // True (and logged) when `document` is a document container (ToPlainTextConverter::
    // isDocumentContainer): its conversion failed, and its bytes are not its text.
    static bool isUnconvertedDocument(const ContentFile& document);
    bool convertWith(const Snapshot& snap, const ContentFile& document, QString* outPath,
                     QIODevice* output, const bool* cancelFlag, QString* encodingOut);
    int scanRawFile(const Snapshot& snap, const ContentQuery& query,
                    const FileSearchRequest* request, const ContentFile& file, int* matchCount);
    bool scanText(const Snapshot& snap, const ContentQuery& query, QIODevice* device,
                  const QString& displayPath, const QString& encoding,
                  const FileSearchRequest* request, TempFileHolder* holder, int* counter);

    PDFConverter* pdfConverter = nullptr;
    IFilterConverter* ifilterConverter = nullptr;
    IFilter64Converter* ifilter64Converter = nullptr;
    HtmlConverter* htmlConverter = nullptr;
    EPUBConverter* epubConverter = nullptr;
    MobiConverter* mobiConverter = nullptr;

    mutable QMutex snapshotMutex;
    SnapshotPtr current;
};
