// ToPlainTextConverter: the abstract document-to-text converter.
//
// Every converter of the text extraction (PDF, EPUB, HTML, Mobipocket and the two IFilter
// converters) implements it. The content searcher owns one of each, picks them by file
// extension and reads the text they produce.
//
// Contract of convert():
// - `document`: the document, opened for reading (ContentFile). Converters read its bytes
//   through its descriptor (or hand the descriptor to the program that converts it) and never
//   open its path; the path is only the document's name in messages. A document that is not
//   open cannot be converted ("Failed to open %1").
// - `input`: an open device holding the bytes to convert instead of the document's own (the
//   EPUB and Mobipocket converters hand the HTML converter a member of the book), or null.
// - `outPath`: where a converter that wrote a text file stores the file's path; the caller
//   owns that file from then on and deletes it. May be null when `output` is given.
// - `output`: an open device to write the text into instead of a file, or null. Only the HTML,
//   EPUB and Mobipocket converters use it; the others always write a file.
// - `inputEncoding`: the input's text-codec name when the caller knows it, else empty.
// - `cancelFlag`: address of the request's cancellation flag (may be null; for a request's
//   std::atomic<bool> `canceled` pass cancelFlagOf(request.canceled)). Converters poll it and
//   then return false or throw FileSearchCancelException("Convert canceled").
// - Result: true when the text is available (in *outPath, or in `output` when *outPath stays
//   empty); false when this converter could not convert the document.
//
// Converters are used concurrently from the thread pool: convert() must be reentrant.
// A converter that fails or is cancelled removes the partial text file it created itself;
// *outPath is only set on success.
//
// The text one document gives is bounded (TextLimits.h): a converter writes at most
// textLimit() bytes of text, keeps the text up to there, logs a warning and reports success.
//
// encoding() names the text encoding of the files the converter writes (a text-codec name);
// empty means the reader detects it.
#pragma once

#include "search/textextract/TextLimits.h"

#include <QString>

#include <atomic>

class ContentFile;
class ContentFileDevice;
class QIODevice;
class QTemporaryFile;

class ToPlainTextConverter
{
public:
    virtual ~ToPlainTextConverter();

    virtual bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                         QIODevice* output, const QString& inputEncoding,
                         const bool* cancelFlag) = 0;
    virtual QString encoding() const = 0;

    void setWorkFolder(const QString& folder) { workFolder = folder; }

    // Bytes of text written for one document at most (TextLimits::kMaxTextBytes unless a test
    // sets less). Set before the converter is used.
    void setTextLimit(qint64 bytes) { maxTextBytes = bytes; }
    qint64 textLimit() const { return maxTextBytes; }

    // Reads a cancellation flag written by another thread (null means "never cancelled").
    // The load is atomic so that a polling loop always sees the current value.
    static bool isCanceled(const bool* cancelFlag)
    {
        return cancelFlag && __atomic_load_n(cancelFlag, __ATOMIC_RELAXED);
    }

    // The flag argument for a request's `canceled` (a std::atomic<bool>): its one bool, which
    // isCanceled reads with the same atomic load the std::atomic uses.
    static const bool* cancelFlagOf(const std::atomic<bool>& flag)
    {
        static_assert(sizeof(std::atomic<bool>) == sizeof(bool)
                          && std::atomic<bool>::is_always_lock_free,
                      "std::atomic<bool> must be a plain lock-free bool");
        return reinterpret_cast<const bool*>(&flag);
    }

    // True when `head` (a file's first 68 bytes or more) starts a document container that
    // only a converter reads: a compound file (Office 97-2003), a zip archive (Office Open XML,
    // OpenDocument, EPUB), RTF, PDF, or a Palm database (Mobipocket; its type at 60).
    static bool isDocumentContainer(const QByteArray& head);

protected:
    // The folder for new text files: workFolder, created (owner-only) when missing; the
    // system's temporary folder while no work folder is set. Empty when it cannot be made.
    QString textFolder() const;

    // Creates and opens "<prefix>.XXXXXX" (owner-only, removed automatically until the caller
    // turns that off) in textFolder(). On failure logs a warning under `logTag`.
    bool openTextFile(QTemporaryFile* file, const QString& prefix, const char* logTag) const;

    // The bytes to read: `input` when given, else the document's, through `device`. Null
    // when the document is not open ("Failed to open %1" logged under `logTag`).
    static QIODevice* openDocument(const ContentFile& document, QIODevice* input,
                                   ContentFileDevice* device, const char* logTag);

    // Ends a conversion's output. `file` is the converter's own text file, or null when the
    // text went to the caller's device. When everything was `written` and the file's last
    // bytes reach the disk, the file is kept for the caller (its name in *outPath, no
    // automatic removal) and the result is true; else "Failed to write the text of %1"
    // (`path`) is logged under `logTag`, the file is removed and the result is false.
    static bool finishText(QTemporaryFile* file, bool written, QString* outPath,
                           const QString& path, const char* logTag);

    // Folder in which the converter writes its text files; empty until setWorkFolder.
    QString workFolder;
    qint64 maxTextBytes = TextLimits::kMaxTextBytes;
};
