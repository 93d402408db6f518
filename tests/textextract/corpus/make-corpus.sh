#!/usr/bin/env bash
# Regenerates the document set under tests/textextract/corpus/files from the sources in
# tests/textextract/corpus/sources, with the tools that write those formats for real:
# LibreOffice (headless) for the office formats, Gnumeric for Excel 5/95 (which LibreOffice
# reads but no longer writes), pandoc for HTML, EPUB, FictionBook, DOCX, ODT and RTF, calibre
# for Mobipocket and KF8 books, iconv for the texts in legacy encodings, and python3 for the
# few files no tool of Debian writes (OpenOffice.org 1.x files, which LibreOffice reads but no longer
# writes; a bare Excel 4 sheet; Mobipocket books in the KF8 form and with
# HUFF/CDIC compression, damaged files). The files are committed: the tests never run this.
#
# Needs: libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui gnumeric
# pandoc calibre python3, which `scripts/install-deps --corpus` installs.
set -euo pipefail
cd "$(dirname "$0")"
src=sources
out=files
rm -rf "$out"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

lo() { # lo <filter-extension> <filter name> <source> <target>
    soffice --headless -env:UserInstallation=file://"$tmp"/profile \
        --convert-to "$1:$2" --outdir "$tmp" "$3" > /dev/null 2>&1
    mv "$tmp/$(basename "${3%.*}").$1" "$4" || echo "make-corpus: $4 not written ($2)" >&2
}

# Writer
w=$src/writer.fodt
lo odt writer8 $w $out/writer.odt
lo ott writer8_template $w $out/writer.ott
lo docx "MS Word 2007 XML" $w $out/writer.docx
lo docm "MS Word 2007 XML VBA" $w $out/writer.docm
lo dotx "MS Word 2007 XML Template" $w $out/writer.dotx
lo doc "MS Word 97" $w $out/writer.doc
lo dot "MS Word 97 Vorlage" $w $out/writer.dot
lo rtf "Rich Text Format" $w $out/writer.rtf
lo fodt "OpenDocument Text Flat XML" $w $out/writer.fodt
# A macro-enabled template is a docm whose main part is declared a template; readers go by
# the parts, so the docm's parts under the template's name stand for it.
cp $out/writer.docm $out/writer.dotm

# Calc
c=$src/calc.fods
lo ods calc8 $c $out/calc.ods
lo ots calc8_template $c $out/calc.ots
lo xlsx "Calc MS Excel 2007 XML" $c $out/calc.xlsx
lo xlsm "Calc MS Excel 2007 VBA XML" $c $out/calc.xlsm
lo xltx "Calc MS Excel 2007 XML Template" $c $out/calc.xltx
lo xls "MS Excel 97" $c $out/calc.xls
lo xlt "MS Excel 97 Vorlage/Template" $c $out/calc.xlt
lo fods "OpenDocument Spreadsheet Flat XML" $c $out/calc.fods
# Excel 5/95: Gnumeric writes it from LibreOffice's Excel 97 sheet. Its writer stores
# characters outside ASCII as UTF-16 (Excel 95 kept them in the workbook's code page) and
# leaves comments out, so this sheet's text is ASCII and its comment is not expected.
lo xls "MS Excel 97" $src/excel95.fods "$tmp/excel95-97.xls"
ssconvert --export-type=Gnumeric_Excel:excel_biff7 "$tmp/excel95-97.xls" $out/excel95.xls > /dev/null 2>&1

# Impress
i=$src/impress.fodp
lo odp impress8 $i $out/impress.odp
lo otp impress8_template $i $out/impress.otp
lo pptx "Impress MS PowerPoint 2007 XML" $i $out/impress.pptx
lo pptm "Impress MS PowerPoint 2007 XML VBA" $i $out/impress.pptm
lo ppsx "Impress MS PowerPoint 2007 XML AutoPlay" $i $out/impress.ppsx
lo potx "Impress MS PowerPoint 2007 XML Template" $i $out/impress.potx
lo ppt "MS PowerPoint 97" $i $out/impress.ppt
lo pps "MS PowerPoint 97 AutoPlay" $i $out/impress.pps
lo pot "MS PowerPoint 97 Vorlage" $i $out/impress.pot
lo fodp "OpenDocument Presentation Flat XML" $i $out/impress.fodp
# The macro-enabled show and template: the pptm's parts under their names (see dotm).
cp $out/impress.pptm $out/impress.ppsm
cp $out/impress.pptm $out/impress.potm

# pandoc
b=$src/book.md
pandoc -s $b -o $out/book.html
pandoc -s $b -t epub3 -o $out/book.epub
pandoc -s $b -t fb2 -o $out/book.fb2
pandoc -s $b -o $out/book.docx
pandoc -s $b -o $out/book.odt
pandoc -s $b -o $out/book.rtf
pandoc -s $b -t html4 -o $out/book.htm

# calibre: a Mobipocket book, a KF8 book, and a book holding both (from pandoc's EPUB).
ebook-convert $out/book.epub $out/book.mobi > /dev/null
ebook-convert $out/book.epub $out/book.azw3 > /dev/null
ebook-convert $out/book.epub "$tmp/both.mobi" --mobi-file-type both > /dev/null
mv "$tmp/both.mobi" $out/book-both.azw

# Hand-written markup
cp $src/page.html $src/page.xhtml $src/data.xml $out/

# Plain texts in the encodings people keep them in.
t=$src/texts
enc() { iconv -f UTF-8 -t "$2//TRANSLIT" "$t/$1.txt" > "$out/$1-$3.txt"; }
enc french ISO-8859-1 latin1
enc french WINDOWS-1252 cp1252
enc german ISO-8859-1 latin1
enc russian WINDOWS-1251 cp1251
enc russian KOI8-R koi8r
enc czech ISO-8859-2 latin2
enc czech WINDOWS-1250 cp1250
enc greek ISO-8859-7 iso8859-7
enc greek WINDOWS-1253 cp1253
enc turkish ISO-8859-9 iso8859-9
enc turkish WINDOWS-1254 cp1254
enc hebrew WINDOWS-1255 cp1255
enc arabic WINDOWS-1256 cp1256
enc japanese SHIFT_JIS shiftjis
enc japanese EUC-JP eucjp
enc chinese GB18030 gb18030
enc chinese GBK gbk
enc chinese-trad BIG5 big5
enc korean EUC-KR euckr
enc chinese UTF-16LE utf16le-nobom
cp "$t/russian.txt" "$out/russian-utf8.txt"

# Files no Debian tool writes, and damaged ones.
python3 "$src/handmade.py" "$out"
