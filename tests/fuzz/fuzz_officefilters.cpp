// The in-process filters of Office Open XML (docx, xlsx, pptx) and OpenDocument (odt, ods,
// odp). The first byte picks the kind; the rest are the XML members, separated by a 0 byte,
// written into a zip archive under the names the kind reads (so the fuzzer works on the XML and
// not on the zip container), together with the member by which the filter recognises the kind
// (word/document.xml, xl/workbook.xml, ppt/presentation.xml, content.xml) when the input does
// not give it. With the top bit set the bytes are the file itself.
//
// The seeds are real documents (tests/fuzz/seeds/fuzz_officefilters): files written by an office
// suite, in both forms (the raw file, and its members split out).
#include "core/ContentFile.h"
#include "search/textextract/OfficeXmlFilter.h"
#include "search/textextract/OpenDocumentFilter.h"
#include "fuzzutil.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <memory>

namespace {

bool writeZip(const QString& path, const QStringList& names, const QList<QByteArray>& members)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (int i = 0; i < names.size(); ++i) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(names.at(i))))
            return false;
        f.write(members.value(i));
        f.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 1)
        return 0;
    const int kind = data[0] % 4;
    const QByteArray rest = fuzz::bytesOf(data + 1, size - 1);
    const QString path = fuzz::scratch() + QStringLiteral("/doc.zip");
    static const QStringList names[] = {
        {QStringLiteral("word/document.xml"), QStringLiteral("word/footnotes.xml"),
         QStringLiteral("word/endnotes.xml")},
        {QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/worksheets/sheet1.xml"),
         QStringLiteral("xl/worksheets/sheet2.xml"), QStringLiteral("xl/workbook.xml")},
        {QStringLiteral("ppt/slides/slide1.xml"), QStringLiteral("ppt/slides/slide2.xml"),
         QStringLiteral("ppt/presentation.xml")},
        {QStringLiteral("content.xml"), QStringLiteral("mimetype")},
    };
    bool written;
    if (data[0] & 0x80) {
        written = fuzz::writeFile(path, rest);
    } else {
        // The kind's marker member is always there (empty when the input stops before it).
        QList<QByteArray> members = rest.split('\0');
        while (members.size() < names[kind].size())
            members.append(QByteArray());
        written = writeZip(path, names[kind], members);
    }
    if (!written)
        return 0;
    const ContentFile document = ContentFile::open(path);
    std::unique_ptr<IFilter> filter;
    if (kind == 3)
        filter.reset(new OpenDocumentFilter(document));
    else
        filter.reset(new OfficeXmlFilter(document));
    FilterControl control;
    control.maxTextBytes = 4 << 20;
    if (!filterSucceeded(filter->init(0, control)))
        return 0;
    char16_t buffer[1024];
    for (int chunks = 0; chunks < 100000; ++chunks) {
        FilterChunk chunk;
        if (!filterSucceeded(filter->getChunk(&chunk)))
            break;
        for (;;) {
            quint32 count = 1024;
            const FilterResult r = filter->getText(&count, buffer);
            if (!filterSucceeded(r) || count > 1024)
                break;
            if (r == FILTER_S_LAST_TEXT)
                break;
        }
    }
    return 0;
}
