// ParagraphFilter: the chunk and text side of the filters that serve a document paragraph by
// paragraph. Each paragraph is one text chunk ending a paragraph (CHUNK_EOP); getText hands
// its text out in portions of the caller's buffer size.
//
// Paragraphs come from a queue, which a filter either fills completely in init
// (ExternalProgramFilter) or lets getChunk fill on demand from XML members of a zip archive
// (addMember): getChunk reads the members' tokens only until the next paragraph is complete,
// so a large document never sits in memory whole. Nor does a long paragraph: once the one
// being read holds kMaxPieceUnits units, its text so far is served as a chunk without a break
// (CHUNK_NO_BREAK) and the paragraph goes on in the next chunk; its last piece ends the
// paragraph. (Such a piece of a paragraph that holds another one nested in it is served when
// it is reached, so the order of the two changes only in paragraphs that long.) While
// reading, getChunk polls the control given to init: E_ABORT when cancelled, FILTER_E_TIMEOUT when the time limit ran out; a
// malformed member ends the chunks with E_FAIL (the paragraphs before it have been served).
//
// A small archive can unpack to gigabytes (a "zip bomb"), and QXmlStreamReader hands out a text
// node as one token however long it is. So every member is read through a device that stops
// after kMaxUnpackedBytes unpacked bytes per document (all members together): reaching the
// bound reads as a malformed member, so the text before it is kept and memory stays bounded.
// For the same reason a member ends (reads as malformed) where a run of bytes without "<" (one
// text node) grows past kMaxTextRunBytes: the XML reader never holds a larger one.
// Likewise elements nested deeper than kMaxElementDepth (the XML reader keeps a record of every
// open element, a thousand times the size of "<a>") make a member malformed.
#pragma once

#include "search/textextract/IFilter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ContentFile;
class ContentFileDevice;
class QuaZip;
class QuaZipFile;
class QXmlStreamReader;

class ParagraphFilter : public IFilter
{
public:
    ParagraphFilter();
    ~ParagraphFilter() override;

    // Unpacked bytes read from one document's archive at most.
    static constexpr qint64 kMaxUnpackedBytes = qint64(128) * 1024 * 1024;
    // Open elements of one member at most (real documents stay far below).
    static constexpr int kMaxElementDepth = 512;
    // Bytes of one text node at most (a run of bytes without "<").
    static constexpr qint64 kMaxTextRunBytes = qint64(16) * 1024 * 1024;
    // Units of one paragraph held at most before its beginning is served.
    static constexpr int kMaxPieceUnits = 64 * 1024;

    FilterResult getChunk(FilterChunk* chunk) override;
    FilterResult getText(quint32* count, char16_t* buffer) override;

protected:
    using TokenHandler = std::function<void(QXmlStreamReader&)>;

    // Forgets earlier state, keeps the control and opens the document as a zip archive
    // (member names UTF-8), read through its descriptor.
    bool openArchive(const ContentFile& document, const FilterControl& control);
    // Forgets earlier state, keeps the control and makes the document itself the one member
    // (a flat XML document): addMember with any name then reads it. `document` must stay open
    // while the filter is used.
    bool openPlainFile(const ContentFile& document, const FilterControl& control);
    bool hasMember(const QString& name);
    // Members whose name is `prefix` + a number + `suffix`, in ascending number order.
    QStringList numberedMembers(const QString& prefix, const QString& suffix);
    // Reads a whole member now (init-time data such as shared strings). S_OK,
    // FILTER_E_ACCESS (missing or unreadable), E_FAIL (malformed), E_ABORT, FILTER_E_TIMEOUT.
    FilterResult parseWhole(const QString& name, const TokenHandler& handler);
    // Queues a member whose tokens getChunk feeds to `handler`, which hands the paragraphs it
    // completes to endParagraph (and long ones to servePieceIfLong as they grow). Missing
    // members are skipped.
    void addMember(const QString& name, const TokenHandler& handler);

    // Queues `text` as the end of a paragraph (all of it when no piece was served) and
    // clears it.
    void endParagraph(QString& text);
    // Queues the paragraph being read as a piece without a break, and clears it, once it
    // holds kMaxPieceUnits units.
    void servePieceIfLong(QString& text);
    // Appends `more` to the paragraph being read, serving pieces as it grows long.
    void appendText(QString& text, const QStringRef& more);
    // Forgets the paragraphs not yet served.
    void clearParagraphs();

    FilterControl control;

private:
    void reset(const FilterControl& control);
    FilterResult readMore();
    // The next token of `reader`; false when the member is malformed or nested too deep.
    static bool nextToken(QXmlStreamReader& reader, int* depth);
    FilterResult poll();
    void closeMember();

    struct Member
    {
        QString name;
        TokenHandler handler;
    };
    struct Piece
    {
        QString text;
        bool endsParagraph;
    };
    QList<Piece> pieces; // complete paragraphs and pieces of paragraphs not yet served
    class BoundedMember;
    std::unique_ptr<ContentFileDevice> archive;
    std::unique_ptr<QuaZip> zip;
    const ContentFile* plain = nullptr; // the document itself is the member (openPlainFile)
    std::unique_ptr<BoundedMember> file;
    std::unique_ptr<QXmlStreamReader> xml;
    QList<Member> members; // still to read; the first is being read while `xml` is set
    int tokens = 0;
    int depth = 0; // open elements of the member being read by getChunk
    qint64 unpackedLeft = kMaxUnpackedBytes; // budget of the archive's unpacked bytes
    quint32 chunkId = 0;
    QString current; // the paragraph being served
    int textPos = -1; // units of `current` handed out; -1 before the first chunk
};
