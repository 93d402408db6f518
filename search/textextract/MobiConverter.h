// MobiConverter: text of Mobipocket and Kindle books (extensions "mobi", "azw", "azw3", "prc").
//
// Reads the Palm database container (78-byte header, then one 8-byte entry per record whose
// first four bytes are the record's offset, all big-endian), decompresses the book's text
// records into one HTML byte stream and hands it to the HTML converter with the encoding of
// the MOBI header (1252: "Windows-1252", anything else: "UTF-8").
//
// Record 0 holds the PalmDOC header (compression at 0, text record count at 8, encryption at
// 12) and the MOBI header (text encoding at 28, extra record data flags at 0xF2 when the MOBI
// header is long enough).
//
// Sound handling of real and damaged books:
// - The compression type is honoured: 1 (none) copies the record, 2 (PalmDOC) decompresses
//   it, 17480 (HUFF/CDIC) decodes it with the Huffman table of the HUFF record and the phrases
//   of the CDIC records (their first record's index and count at 0x80 and 0x84 of record 0;
//   a phrase that refers to itself, directly or not, ends the text); any other type gives no
//   text.
// - KF8 books (format version 8 at 0x24 of record 0, as in .azw3 files): the text records
//   hold the HTML flow followed by the style sheets; the flow's end comes from the FDST
//   record (its index at 0xC0), so only the HTML is read. The HTML is read with the
//   converter's HTML markup (all text outside "head"): a KF8 skeleton's body is empty and the
//   fragments that fill it follow it. Books holding both forms are read in their older form
//   (record 0 describes it).
// - Only the text records (1 to the text record count) are read; image and index records
//   that follow are never decoded as text.
// - Encrypted books (encryption type other than 0) give no text.
// - The trailing entries that the extra record data flags announce are cut from the end of
//   each text record before it is decoded.
// - Offsets past the end of the file, or not above the previous one, cut the record table
//   there; a record's size never reaches past the end of the file.
// A book that gives no text counts as converted with an empty text (true, no file written).
// A text record longer than 4096 bytes (after its trailing entries) ends the book text.
// The text records are read and decoded one at a time as the HTML converter reads on (a
// sequential stream), so memory stays small however many records a book announces; a
// cancellation seen between records ends the stream and raises "Convert canceled".
// The book's text ends at textLimit() bytes (TextLimits.h): kept up to there, the cut logged
// as a warning, the conversion a success.
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

#include <QByteArray>

class HtmlConverter;

class MobiConverter : public ToPlainTextConverter
{
public:
    explicit MobiConverter(HtmlConverter* htmlConverter);

    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    QString encoding() const override;

    // PalmDOC (LZ77) decompression of one record; the output stops once it holds 4096 bytes.
    static QByteArray decompressPalmDoc(const QByteArray& in);

    // Size of the trailing entries at the end of a text record, for the given extra record
    // data flags; never more than the record's size.
    static int trailingEntriesSize(const QByteArray& record, quint32 extraFlags);

private:
    HtmlConverter* htmlConverter;
};
