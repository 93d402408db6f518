// The readers of the Office 97-2003 binary documents and of RTF: each takes the document's
// bytes from a device and hands its text to a TextSink, paragraph by paragraph.
//
// - readPowerPoint: the text atoms (TextCharsAtom, TextBytesAtom) of every record of the
//   "PowerPoint Document" stream that the current edit still uses (the persist directories
//   of the user edits, newest first), so slides, notes, handouts and masters alike; the
//   header and footer texts and the comments' texts (CString atoms in their containers, which
//   sit in the data of the slides' binary tags).
//   Without a usable edit chain every record of the stream is read in order.
// - readWord: the whole character stream of the "WordDocument" stream through the piece
//   table (CLX in the table stream): the main text, footnotes, headers and footers,
//   comments, endnotes and text boxes, in that order. Field codes are left out and field
//   results kept; special characters (notes' reference marks, pictures, separators) are
//   dropped; paragraph, cell, line and page ends end a paragraph.
// - readExcel: every cell of every sheet of a BIFF2 to BIFF8 workbook (the "Workbook" or
//   "Book" stream of a compound file, or a bare BIFF stream as Excel 2 to 4 wrote them), one
//   paragraph per row, the cells joined by tabs, each as shown: numbers and dates through
//   their cell's number format (NumberFormat), strings from the shared-string table or the
//   cell, the text results of formulas, TRUE/FALSE, error values; the texts of text boxes
//   and comments (TXO records; before BIFF8, NOTE records) and each sheet's page header and
//   footer (without their codes) where they come.
// - readRtf: RTF with its code pages (\ansicpg, the fonts' \fcharset and \cpg), \'hh bytes,
//   \u escapes with their \uc fallback skipped, the special characters, fields' results,
//   and footnotes, comments, headers and footers (after the main text). Picture data,
//   objects' data, font, colour and style tables and other hidden destinations are skipped.
//
// Results: Ok (text handed over, possibly none), NotThisFormat (the bytes are not this
// format), Encrypted (the document is protected by a password), Damaged (the structure is
// broken before any text was found), Stopped (the sink said stop: see its stopReason()).
// Every count and offset of the input is checked; nothing the document says makes a reader
// loop without end or take memory beyond the document's size and the sink's bound.
#pragma once

#include "search/textextract/TextSink.h"

class QIODevice;

namespace BinaryDocuments {

enum class Result { Ok, NotThisFormat, Encrypted, Damaged, Stopped };

Result readPowerPoint(QIODevice* device, TextSink& sink);
Result readWord(QIODevice* device, TextSink& sink);
Result readExcel(QIODevice* device, TextSink& sink);
Result readRtf(QIODevice* device, TextSink& sink);

} // namespace BinaryDocuments
