// The filter registry files, the registry scan, the in-process filters (Office Open XML and
// OpenDocument, documents generated here with QuaZip) and the text files extraction writes.
#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/ExternalProgramFilter.h"
#include "search/textextract/IFilterConverter.h"
#include "search/textextract/ParagraphFilter.h"
#include "search/textextract/RegistryFile.h"
#include "testutil.h"
#include "tests/textextract/docgen.h"
#include "tests/textextract/utf16files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

using Members = QList<QPair<QString, QByteArray>>;

namespace {

const QString kIID = QStringLiteral("{89BCB740-6119-101A-BCB7-00DD010655AF}");

// A zip of small members and one member of `head`, more than the unpacking bound of filler
// text (compressing to almost nothing), then `tail`.
bool writeBomb(const QString& path, const QList<QPair<QString, QByteArray>>& small,
               const QString& bigName, const QByteArray& head, const QByteArray& tail)
{
    if (!docgen::writeZip(path, small))
        return false;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdAdd))
        return false;
    QuaZipFile f(&zip);
    if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(bigName)))
        return false;
    f.write(head);
    const QByteArray block(1 << 20, 'a');
    for (qint64 written = 0; written <= ParagraphFilter::kMaxUnpackedBytes; written += block.size())
        f.write(block);
    f.write(tail);
    f.close();
    zip.close();
    return zip.getZipError() == 0;
}

QByteArray wordDocument(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<w:body>" + body + "</w:body></w:document>";
}

QByteArray odfContent(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-content"
           " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
           " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
           " xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
           "<office:body>" + body + "</office:body></office:document-content>";
}

// A workbook of `strings` shared strings of `length` characters each and one row of
// `references` cells naming the first.
Members sharedStringBook(int length, int references, int strings)
{
    QByteArray table = "<sst>";
    for (int i = 0; i < strings; ++i)
        table += "<si><t>" + QByteArray(length, char('w' + i % 3)) + "</t></si>";
    table += "</sst>";
    QByteArray row = "<worksheet><sheetData><row>";
    for (int i = 0; i < references; ++i)
        row += "<c t=\"s\"><v>0</v></c>";
    row += "</row></sheetData></worksheet>";
    return Members{{"xl/workbook.xml", "<workbook/>"}, {"xl/sharedStrings.xml", table},
                   {"xl/worksheets/sheet1.xml", row}};
}

// A text document of one paragraph of `runs` runs, each "a" and a million spaces.
Members spaceRuns(int runs)
{
    QByteArray paragraph = "<office:text><text:p>";
    for (int i = 0; i < runs; ++i)
        paragraph += "a<text:s text:c=\"1000000\"/>";
    paragraph += "</text:p></office:text>";
    return Members{{"content.xml", odfContent(paragraph)}};
}

// A registry mapping one extension to one filter module.
QString registryText(const QString& ext, const QString& module, const QString& filterName)
{
    return QStringLiteral("REGEDIT4\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.%1\\PersistentHandler]\n"
                          "@=\"{aaaa}\"\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{aaaa}\\PersistentAddinsRegistered\\%4]\n"
                          "@=\"{ffff}\"\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{ffff}]\n"
                          "@=\"%3\"\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{ffff}\\InprocServer32]\n"
                          "@=\"%2\"\n")
        .arg(ext, module, filterName, kIID);
}

} // namespace

using utf16files::logText;
using utf16files::readText;

class TestIFilterConverter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tmp;
    QString docs;
    QString work;
    RegistryFile inProcess; // the shipped in-process registrations

    QString extract(const IRegistry& reg, const QString& path, const bool* cancel = nullptr,
                    int limit = 0, qint64 maxTextBytes = TextLimits::kMaxTextBytes)
    {
        return QString::fromStdWString(extractIFilterText(reg, ContentFile::open(path), work.toStdWString(),
                                                          cancel, limit, maxTextBytes));
    }
    RegistryFile shipped(const QString& name)
    {
        RegistryFile reg;
        QString error;
        if (!reg.load(testutil::programDir() + QLatin1Char('/') + name, &error))
            qWarning() << error;
        return reg;
    }
    QStringList workFiles() { return QDir(work).entryList(QDir::Files); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        Logger::instance(tmp.filePath(QStringLiteral("test.log")));
        docs = tmp.filePath(QStringLiteral("docs"));
        work = tmp.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(docs));
        inProcess = shipped(RegistryFile::inProcessFileName());
    }
    void cleanup()
    {
        for (const QString& f : workFiles())
            QFile::remove(work + QLatin1Char('/') + f);
    }

    void registrySyntax()
    {
        RegistryFile reg;
        QString error;
        QVERIFY(!reg.loadText(QStringLiteral("[HKEY_LOCAL_MACHINE\\A]\n@=\"x\"\n"), &error));
        QVERIFY(error.contains(QLatin1String("REGEDIT4")));

        const QString longName(700, QLatin1Char('n'));
        QVERIFY2(reg.loadText(QStringLiteral(
                     "\xFEFFREGEDIT4\r\n"
                     "; comment\r\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Beta]\r\n"
                     "@=\"quote \\\"q\\\" and back\\\\slash\"\r\n"
                     "\"Count\"=dword:00000002\r\n"
                     "\"Long\"=\"%1\"\r\n"
                     "\"Gone\"=\"x\"\r\n"
                     "\"Gone\"=-\r\n"
                     "\"Bin\"=hex:01,02,\\\r\n"
                     "  03,04\r\n"
                     "[HKLM\\SOFTWARE\\classes\\alpha]\r\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Gamma\\Sub]\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Classes\\Delta]\r\n"
                     "@=\"user\"\r\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.Zeta]\r\n"
                     "[-HKEY_LOCAL_MACHINE\\Software\\Classes\\Gamma]\r\n").arg(longName), &error),
                 qPrintable(error));

        // A version-5 export in UTF-16LE.
        {
            const QString text = QString::fromUtf8("Windows Registry Editor Version 5.00\r\n"
                                                   "[HKEY_LOCAL_MACHINE\\K]\r\n@=\"gr\xC3\xBC\xC3\x9F\"\r\n");
            QByteArray bytes("\xFF\xFE");
            bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            const QString file = tmp.filePath(QStringLiteral("export.reg"));
            QVERIFY(testutil::writeFile(file, bytes));
            RegistryFile exported;
            QVERIFY(exported.load(file, &error));
            QString v;
            QCOMPARE(exported.queryValue(QStringLiteral("k"), QString(), &v), 0L);
            QCOMPARE(v, QString::fromUtf8("gr\xC3\xBC\xC3\x9F"));
            QVERIFY(!exported.load(tmp.filePath(QStringLiteral("missing.reg")), &error));
        }

        // Enumeration sorted ignoring case, names as first spelled; removed keys gone.
        QStringList names;
        QString name;
        for (int i = 0; reg.enumKey(QStringLiteral("software\\CLASSES"), i, &name) == 0; ++i)
            names << name;
        QCOMPARE(names, (QStringList{".Zeta", "alpha", "Beta"}));
        QCOMPARE(reg.enumKey(QStringLiteral("Software\\Classes"), 3, &name), IRegistry::ErrorNoMoreItems);
        QCOMPARE(reg.openKey(QStringLiteral("Software\\Classes\\Gamma\\Sub")), IRegistry::ErrorFileNotFound);
        QCOMPARE(reg.openKey(QStringLiteral("Software\\Classes\\Delta")), IRegistry::ErrorFileNotFound);
        QCOMPARE(reg.enumKey(QStringLiteral("Nope"), 0, &name), IRegistry::ErrorFileNotFound);

        QString value;
        QCOMPARE(reg.queryValue(QStringLiteral("SOFTWARE\\Classes\\beta"), QString(), &value), 0L);
        QCOMPARE(value, QStringLiteral("quote \"q\" and back\\slash"));
        QCOMPARE(reg.queryValue(QStringLiteral("Software\\Classes\\Beta"), QStringLiteral("long"), &value), 0L);
        QCOMPARE(value, longName); // whole value, far beyond 260 bytes
        QCOMPARE(reg.queryValue(QStringLiteral("Software\\Classes\\Beta"), QStringLiteral("Count"), &value),
                 IRegistry::ErrorUnsupportedType);
        QCOMPARE(reg.queryValue(QStringLiteral("Software\\Classes\\Beta"), QStringLiteral("Gone"), &value),
                 IRegistry::ErrorFileNotFound);
        QCOMPARE(reg.queryValue(QStringLiteral("Software\\Classes\\Beta"), QStringLiteral("Bin"), &value),
                 IRegistry::ErrorUnsupportedType);
        QCOMPARE(reg.queryValue(QStringLiteral("Software\\Classes\\alpha"), QString(), &value),
                 IRegistry::ErrorFileNotFound);
    }

    void registryScan()
    {
        const QString longName(400, QLatin1Char('L'));
        RegistryFile reg;
        QString error;
        QVERIFY2(reg.loadText(QStringLiteral(
            "REGEDIT4\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.b1\\PersistentHandler]\n@=\"{BBB}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.A1\\PersistentHandler]\n@=\"{bbb}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.a2\\PersistentHandler]\n@=\"{aaa}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.empty\\PersistentHandler]\n@=\"\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.nohandler]\n@=\"x\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\nodot\\PersistentHandler]\n@=\"{aaa}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.c\\PersistentHandler]\n@=\"{ccc}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\.d\\PersistentHandler]\n@=\"{ddd}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{AAA}\\PersistentAddinsRegistered\\%1]\n@=\"{F1}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{bbb}\\PersistentAddinsRegistered\\%1]\n@=\"{F1}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{ccc}\\PersistentAddinsRegistered\\%1]\n@=\"{F2}\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{F1}]\n@=\"%2\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{F1}\\InprocServer32]\n@=\"tqfilter-ooxml\"\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{F2}]\n@=\"no module\"\n").arg(kIID, longName),
                              &error), qPrintable(error));
        const std::list<IFilterInfo> list = getIFiltersFromRegistry(reg);
        // {aaa} before {bbb} (map order of lower-cased handlers); {ccc} lacks a module, {ddd}
        // lacks the filter key; the long display name survives whole.
        QCOMPARE(int(list.size()), 2);
        const IFilterInfo& first = list.front();
        QCOMPARE(QString::fromStdWString(first.clsid), QStringLiteral("{F1}"));
        QCOMPARE(QString::fromStdWString(first.name), longName);
        QCOMPARE(first.extensions, (std::list<std::wstring>{L"a2"}));
        QCOMPARE(list.back().extensions, (std::list<std::wstring>{L"A1", L"b1"}));

        QVERIFY(getIFiltersFromRegistry(RegistryFile()).empty());

        // The debug lines carry the registry's own error code.
        struct Denied : IRegistry
        {
            const IRegistry& inner;
            explicit Denied(const IRegistry& r) : inner(r) {}
            long openKey(const QString& key) const override
            {
                return key.contains(QLatin1String("PersistentAddinsRegistered")) ? 5 : inner.openKey(key);
            }
            long enumKey(const QString& key, int index, QString* name) const override
            {
                return inner.enumKey(key, index, name);
            }
            long queryValue(const QString& key, const QString& value, QString* out) const override
            {
                return inner.queryValue(key, value, out);
            }
        };
        for (int i = 0; i < 4; ++i) // {aaa} {bbb} {ccc} {ddd}
            QTest::ignoreMessage(QtDebugMsg, "RegOpenKeyEx failed, error 5");
        QVERIFY(getIFiltersFromRegistry(Denied(reg)).empty());

        // The shipped registrations.
        const std::list<IFilterInfo> inproc = getIFiltersFromRegistry(inProcess);
        QCOMPARE(int(inproc.size()), 3);
        auto extensionsOf = [](const std::list<IFilterInfo>& filters) {
            std::list<std::wstring> all;
            for (const IFilterInfo& i : filters)
                all.insert(all.end(), i.extensions.begin(), i.extensions.end());
            all.sort();
            return all;
        };
        QCOMPARE(extensionsOf(inproc),
                 (std::list<std::wstring>{L"docm", L"docx", L"dotm", L"dotx", L"fodp", L"fods", L"fodt", L"htm",
                                          L"html", L"odp", L"ods", L"odt", L"otp", L"ots", L"ott", L"potm",
                                          L"potx", L"ppsm", L"ppsx", L"pptm", L"pptx", L"sxc", L"sxi", L"sxw",
                                          L"xht", L"xhtml", L"xlsm", L"xlsx", L"xltx", L"xml"}));
        const std::list<IFilterInfo> helper = getIFiltersFromRegistry(shipped(RegistryFile::helperFileName()));
        QCOMPARE(int(helper.size()), 3);
        QCOMPARE(extensionsOf(helper),
                 (std::list<std::wstring>{L"doc", L"dot", L"pot", L"pps", L"ppt", L"rtf", L"xls", L"xlt"}));
    }

    // Each document type through the shipped registry: paragraphs, runs, tabs, breaks, what is
    // left out, order of parts; the text file lies in the work folder, for the owner only.
    void documents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Members>("members");
        QTest::addColumn<QString>("text");
        QTest::newRow("docx") << "Report.DOCX" << Members{
            {"[Content_Types].xml", "<Types/>"},
            {"word/document.xml", wordDocument(
                "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                "<w:r><w:t>Hello</w:t></w:r><w:r><w:tab/><w:t xml:space=\"preserve\"> w\xC3\xB6rld</w:t></w:r></w:p>"
                "<w:p/>"
                "<w:p><w:r><w:t>line</w:t><w:br/><w:t>two&#13;cr</w:t></w:r>"
                "<w:del><w:r><w:delText>deleted</w:delText></w:r></w:del>"
                "<w:r><w:instrText>PAGE</w:instrText></w:r>"
                "<w:r><w:drawing><w:txbxContent><w:p><w:r><w:t>box</w:t></w:r></w:p></w:txbxContent></w:drawing></w:r>"
                "<w:r><w:t>\xF0\x9F\x98\x80 end</w:t></w:r></w:p>")},
            {"word/footnotes.xml", wordDocument("<w:footnote><w:p><w:r><w:t>note</w:t></w:r></w:p></w:footnote>")}}
            << QString::fromUtf8("Hello\t w\xC3\xB6rld\r\n\r\nbox\r\nline\ntwo\ncr\xF0\x9F\x98\x80 end\r\nnote\r\n");
        QTest::newRow("xlsx") << "book.xlsx" << Members{
            {"xl/workbook.xml", "<workbook/>"},
            {"xl/sharedStrings.xml",
             "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
             "<si><t>Name</t></si><si><r><t>Ri</t></r><r><t>ch</t></r><rPh><t>PHON</t></rPh></si></sst>"},
            {"xl/worksheets/sheet10.xml",
             "<worksheet><sheetData><row><c t=\"s\"><v>1</v></c></row></sheetData></worksheet>"},
            {"xl/worksheets/sheet2.xml",
             "<worksheet><sheetData><row><c t=\"s\"><v>0</v></c><c><f>SUM(A1)</f><v>42.5</v></c>"
             "<c t=\"inlineStr\"><is><t>inline</t></is></c><c t=\"s\"><v>99</v></c></row>"
             "<row></row></sheetData></worksheet>"}}
            << "Name\t42.5\tinline\r\nRich\r\n";
        QTest::newRow("pptx") << "deck.pptx" << Members{
            {"ppt/presentation.xml", "<p:presentation xmlns:p=\"p\"/>"},
            {"ppt/slides/slide11.xml", "<p:sld xmlns:p=\"p\" xmlns:a=\"a\"><a:p><a:r><a:t>last</a:t></a:r></a:p></p:sld>"},
            {"ppt/slides/slide2.xml", "<p:sld xmlns:p=\"p\" xmlns:a=\"a\"><a:p><a:r><a:t>first</a:t></a:r>"
                                      "<a:br/><a:r><a:t>more</a:t></a:r></a:p></p:sld>"}}
            << "first\nmore\r\nlast\r\n";
        QTest::newRow("odt") << "letter.odt" << Members{
            {"mimetype", "application/vnd.oasis.opendocument.text"},
            {"content.xml", odfContent(
                "<office:text><text:h>Title</text:h>"
                "<text:p>  a  <text:span>b</text:span>\n c<text:s text:c=\"3\"/>d<text:tab/>e"
                "<text:line-break/>f<office:annotation><dc:creator>Ann</dc:creator>"
                "<text:p>remark</text:p></office:annotation>"
                "<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>foot</text:p>"
                "</text:note-body></text:note></text:p>"
                "</office:text>")}}
            << "Title\r\nremark\r\nfoot\r\na b c   d\te\nf\r\n";
        // White space at a paragraph's end collapses away; spaces written out stay.
        QTest::newRow("odt paragraph ends") << "trailing.odt" << Members{
            {"content.xml", odfContent("<office:text><text:p>a <text:s text:c=\"2\"/></text:p>"
                                       "<text:p>b \n </text:p></office:text>")}}
            << "a   \r\nb\r\n";
        // Spaces of text:s elements in a row are capped at 1024.
        QTest::newRow("odt space runs") << "spaces.odt" << Members{
            {"content.xml", odfContent("<office:text><text:p>a<text:s text:c=\"5000\"/>b<text:s text:c=\"800\"/>"
                                       "<text:s text:c=\"800\"/>c<text:s text:c=\"3\"/></text:p></office:text>")}}
            << "a" + QString(1024, ' ') + "b" + QString(1024, ' ') + "c   \r\n";
        // A paragraph longer than a piece, and a row of long cells, come out whole.
        QTest::newRow("docx long paragraph") << "long.docx" << Members{
            {"word/document.xml", wordDocument("<w:p><w:r><w:t>" + QByteArray(150000, 'x') + "</w:t></w:r><w:r><w:t>"
                                               + QByteArray(50000, 'y') + "</w:t></w:r></w:p>"
                                               "<w:p><w:r><w:t>next</w:t></w:r></w:p>")}}
            << QString(150000, 'x') + QString(50000, 'y') + "\r\nnext\r\n";
        QTest::newRow("xlsx long row") << "long.xlsx" << sharedStringBook(30000, 5, 1)
            << (QString(30000, 'w') + '\t').repeated(5).chopped(1) + "\r\n";
        // A cell holds 32,767 characters at most.
        QTest::newRow("xlsx long cell") << "cell.xlsx" << sharedStringBook(40000, 1, 1)
            << QString(32767, 'w') + "\r\n";
        QTest::newRow("ods") << "sheet.ods" << Members{
            {"content.xml", odfContent("<office:spreadsheet><table:table><table:table-row>"
                                       "<table:table-cell><text:p>one</text:p></table:table-cell>"
                                       "<table:table-cell><text:p>2</text:p></table:table-cell>"
                                       "</table:table-row></table:table></office:spreadsheet>")}}
            << "one\r\n2\r\n";
        QTest::newRow("odp") << "show.odp" << Members{
            {"content.xml", odfContent("<office:presentation><draw:page><draw:frame><draw:text-box>"
                                       "<text:p>slide</text:p></draw:text-box></draw:frame></draw:page>"
                                       "</office:presentation>")}}
            << "slide\r\n";
    }
    void documents()
    {
        QFETCH(QString, name);
        QFETCH(Members, members);
        QFETCH(QString, text);
        const QString path = docs + QLatin1Char('/') + name;
        QVERIFY(docgen::writeZip(path, members));
        const QString out = extract(inProcess, path);
        QVERIFY(!out.isEmpty());
        QCOMPARE(QFileInfo(out).path(), work);
        QVERIFY(QFileInfo(out).fileName().startsWith(QLatin1String("ifilter")));
        QCOMPARE(QFile::permissions(out) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        QCOMPARE(readText(out), text);
    }

    void failuresLeaveNothing()
    {
        const int logBefore = logText().size();

        // No filter for the type: silent.
        QVERIFY(testutil::writeFile(docs + QStringLiteral("/plain.txt"), "text"));
        QVERIFY(extract(inProcess, docs + QStringLiteral("/plain.txt")).isEmpty());
        QVERIFY(extract(inProcess, docs + QStringLiteral("/noext")).isEmpty());
        QCOMPARE(logText().size(), logBefore);

        // Not a zip: the init failure is logged.
        const QString bad = docs + QStringLiteral("/broken.docx");
        QVERIFY(testutil::writeFile(bad, "PK\x03\x04 not really"));
        QVERIFY(extract(inProcess, bad).isEmpty());
        QVERIFY(logText().mid(logBefore).contains(
            QStringLiteral("Failed to init ifilter for file %1, error 0x80004005").arg(bad)));

        // Malformed XML: the paragraphs before the fault are the text; an archive without
        // content is a failure.
        const QString malformed = docs + QStringLiteral("/malformed.odt");
        QVERIFY(docgen::writeZip(malformed, {{"content.xml", odfContent("<office:text><text:p>kept</text:p>"
                                                                "<text:p>cut</office:text>")}}));
        const QString partial = extract(inProcess, malformed);
        QCOMPARE(readText(partial), QStringLiteral("kept\r\n"));
        QFile::remove(partial);
        const QString hollow = docs + QStringLiteral("/hollow.odt");
        QVERIFY(docgen::writeZip(hollow, {{"mimetype", "application/vnd.oasis.opendocument.text"}}));
        QVERIFY(extract(inProcess, hollow).isEmpty());

        // An unknown module (logged at load), an empty document (BOM only).
        RegistryFile unknown;
        QVERIFY(unknown.loadText(registryText(QStringLiteral("odt"), QStringLiteral("tqfilter-none"), "x")));
        QVERIFY(extract(unknown, malformed).isEmpty());
        QVERIFY(logText().mid(logBefore).contains(
            QStringLiteral("Failed to load ifilter for file %1, error 0x80040154").arg(malformed)));
        QCOMPARE(workFiles(), QStringList());

        const QString empty = docs + QStringLiteral("/empty.docx");
        QVERIFY(docgen::writeZip(empty, {{"word/document.xml", wordDocument("")}}));
        const QString out = extract(inProcess, empty);
        QVERIFY(!out.isEmpty());
        QCOMPARE(testutil::readFile(out), QByteArray("\xFF\xFE"));
    }

    // A small archive whose member unpacks past the bound: reading stops there, the text before
    // it is kept, and the one giant text node never reaches memory whole.
    void zipBomb()
    {
        const QString path = docs + QStringLiteral("/bomb.docx");
        QVERIFY(writeBomb(path, {}, QStringLiteral("word/document.xml"),
                          wordDocument("<w:p><w:r><w:t>before</w:t></w:r></w:p><w:p><w:r><w:t>")
                              .chopped(int(strlen("</w:body></w:document>"))),
                          "</w:t></w:r></w:p><w:p><w:r><w:t>after</w:t></w:r></w:p></w:body></w:document>"));
        QVERIFY(QFileInfo(path).size() < ParagraphFilter::kMaxUnpackedBytes / 100);
        QString out;
        const long grownKiB = docgen::peakGrowthKiB([&] { out = extract(inProcess, path); });
        QCOMPARE(readText(out), QStringLiteral("before\r\n"));
        // The giant text node ends the member at 16 MiB: the XML reader never holds it whole.
        QVERIFY2(grownKiB < docgen::memoryBoundKiB(96 * 1024), qPrintable(QString::number(grownKiB)));
        // A text node just past that bound, far inside the unpacking bound, ends it too.
        const QString node = docs + QStringLiteral("/node.docx");
        QVERIFY(docgen::writeZip(node, {{"word/document.xml",
                                         wordDocument("<w:p><w:r><w:t>before</w:t></w:r></w:p><w:p><w:r><w:t>"
                                                      + QByteArray(ParagraphFilter::kMaxTextRunBytes + 1, 'n')
                                                      + "</w:t></w:r></w:p><w:p><w:r><w:t>after</w:t></w:r></w:p>")}}));
        const QString nodeOut = extract(inProcess, node);
        QCOMPARE(readText(nodeOut), QStringLiteral("before\r\n"));
        QFile::remove(nodeOut);
        QFile::remove(node);

        // The bound covers the whole archive: shared strings read at init count too.
        const QString xlsx = docs + QStringLiteral("/bomb.xlsx");
        QVERIFY(writeBomb(xlsx, {{"xl/workbook.xml", "<workbook/>"}},
                          QStringLiteral("xl/sharedStrings.xml"), "<sst><si><t>", "</t></si></sst>"));
        QVERIFY(extract(inProcess, xlsx).isEmpty());
        QVERIFY(logText().contains(QStringLiteral("Failed to init ifilter for file %1").arg(xlsx)));

        // Elements nested without end (each open one costs the XML reader far more than its
        // bytes): the member is malformed from the bound on. Nesting up to the bound is read.
        const QString nested = docs + QStringLiteral("/nested.odt");
        const auto depthDocument = [](int depth) {
            QByteArray open, close;
            for (int i = 0; i < depth; ++i) {
                open += "<text:span>";
                close += "</text:span>";
            }
            return odfContent("<office:text><text:p>before</text:p><text:p>" + open + "deep" + close
                              + "</text:p></office:text>");
        };
        QVERIFY(docgen::writeZip(nested, {{"content.xml", depthDocument(ParagraphFilter::kMaxElementDepth - 5)}}));
        const QString deepOut = extract(inProcess, nested);
        QCOMPARE(readText(deepOut), QStringLiteral("before\r\ndeep\r\n"));
        QFile::remove(deepOut);
        QVERIFY(docgen::writeZip(nested, {{"content.xml", depthDocument(2000000)}}));
        const QString cutOut = extract(inProcess, nested);
        QCOMPARE(readText(cutOut), QStringLiteral("before\r\n"));
        QFile::remove(cutOut);
        QCOMPARE(workFiles(), QStringList{QFileInfo(out).fileName()});
        QFile::remove(path);
        QFile::remove(xlsx);
    }

    // Small documents that ask for gigabytes of text: the text stops at the bound (1 MiB
    // here), is kept up to there, the cut is logged as a warning and the extraction succeeds.
    void textBombs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Members>("members");
        QTest::addColumn<QString>("start");
        // One shared string of 30,000 characters referenced by 100,000 cells of one row, and
        // a smaller one (200 references, 12 MB of text).
        for (int references : {200, 100000})
            QTest::newRow(qPrintable(QStringLiteral("xlsx %1 references").arg(references)))
                << "shared.xlsx" << sharedStringBook(30000, references, 1)
                << QString(30000, QLatin1Char('w')) + QStringLiteral("\tww");
        // A paragraph of 100,000 runs of a million spaces, and a smaller one.
        for (int runs : {1000, 100000})
            QTest::newRow(qPrintable(QStringLiteral("odt %1 runs of spaces").arg(runs)))
                << "spaces.odt" << spaceRuns(runs) << "a ";
    }
    void textBombs()
    {
        QFETCH(QString, name);
        QFETCH(Members, members);
        QFETCH(QString, start);
        const QString path = docs + QLatin1Char('/') + name;
        QVERIFY(docgen::writeZip(path, members));
        QVERIFY(QFileInfo(path).size() < 64 * 1024);
        const qint64 limit = 1 << 20;
        const int logSize = logText().size();
        QElapsedTimer timer;
        timer.start();
        const QString out = extract(inProcess, path, nullptr, 0, limit);
        QVERIFY(!out.isEmpty());
        QCOMPARE(QFileInfo(out).size(), 2 + limit); // the mark, then the text up to the bound
        QVERIFY(readText(out).startsWith(start));
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(logText().mid(logSize).contains(QStringLiteral("WARNING\tIFilterConvert\t")
                                                 + TextLimits::cutMessage(path, limit)),
                 qPrintable(logText().mid(logSize)));
        QFile::remove(out);
        QFile::remove(path);
    }

    // What the filters hold in memory stays bounded whatever the document asks for: one row
    // of 60 million characters, one paragraph of 80 million spaces, a shared-string table of
    // 60 million characters. (Peak growth, so an earlier test's peak can only hide growth.)
    void filterMemoryBounded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Members>("members");
        QTest::newRow("xlsx long row") << "row.xlsx" << sharedStringBook(30000, 2000, 1);
        QTest::newRow("xlsx large table") << "table.xlsx" << sharedStringBook(30000, 1, 2000);
        QTest::newRow("odt long paragraph") << "para.odt" << spaceRuns(20000);
    }
    void filterMemoryBounded()
    {
        QFETCH(QString, name);
        QFETCH(Members, members);
        const QString path = docs + QLatin1Char('/') + name;
        QVERIFY(docgen::writeZip(path, members));
        QString out;
        const long grownKiB = docgen::peakGrowthKiB([&] { out = extract(inProcess, path, nullptr, 0, 1 << 20); });
        QVERIFY(!out.isEmpty());
        QVERIFY2(grownKiB < 80 * 1024, qPrintable(QString::number(grownKiB)));
        QFile::remove(out);
        QFile::remove(path);
    }

    // A member whose deflate stream is damaged fails every read without reaching its end: the
    // extraction ends (a watchdog cancels it after 10 s, which must not be needed) with the
    // paragraphs read before the fault, for the member read at init and for a streamed one.
    void damagedMemberEnds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("converted");
        QByteArray paragraphs, strings;
        for (int i = 0; i < 4000; ++i) {
            paragraphs += "<text:p>paragraph " + QByteArray::number(i * 7919 % 10007) + "</text:p>";
            strings += "<si><t>string " + QByteArray::number(i * 7919 % 10007) + "</t></si>";
        }
        QTest::newRow("odt content") << "damaged.odt" << "content.xml"
                                     << odfContent("<office:text>" + paragraphs + "</office:text>") << true;
        QTest::newRow("xlsx shared strings") << "damaged.xlsx" << "xl/sharedStrings.xml"
                                             << "<sst>" + strings + "</sst>" << false;
    }
    void damagedMemberEnds()
    {
        QFETCH(QString, name);
        QFETCH(QString, member);
        QFETCH(QByteArray, body);
        QFETCH(bool, converted);
        const QString path = docs + QLatin1Char('/') + name;
        QVERIFY(docgen::writeZip(path, {{"xl/workbook.xml", "<workbook/>"}, {member, body}}));
        // Damage the middle of the member's compressed bytes (it is the archive's last member,
        // so they end where the central directory begins).
        QByteArray bytes = testutil::readFile(path);
        const int central = bytes.lastIndexOf("PK\x01\x02");
        const int data = bytes.lastIndexOf("PK\x03\x04", central) + 30 + member.size();
        QVERIFY(central > data + 100);
        for (int i = (data + central) / 2; i < (data + central) / 2 + 16; ++i)
            bytes[i] = char(0xFF);
        QVERIFY(testutil::writeFile(path, bytes));

        bool canceled = false;
        docgen::Watchdog watchdog(&canceled, 10000);
        const QString out = extract(inProcess, path, &canceled);
        QVERIFY2(!watchdog.stop(), "the extraction did not end by itself");
        QCOMPARE(!out.isEmpty(), converted);
        if (converted) {
            QVERIFY(readText(out).startsWith(QStringLiteral("paragraph 0\r\nparagraph 7919\r\n")));
            QFile::remove(out);
        }
        QFile::remove(path);
    }

    void cancellation()
    {
        const QString path = docs + QStringLiteral("/many.docx");
        QByteArray body;
        for (int i = 0; i < 50; ++i)
            body += "<w:p><w:r><w:t>paragraph</w:t></w:r></w:p>";
        QVERIFY(docgen::writeZip(path, {{"word/document.xml", wordDocument(body)}}));
        const bool canceled = true;
        QVERIFY(extract(inProcess, path, &canceled).isEmpty());
        QCOMPARE(workFiles(), QStringList()); // the partial file is removed

        // External programs: killed on cancel and on the time limit; a failing exit is a failure.
        QVERIFY(testutil::writeFile(docs + QStringLiteral("/x.rtf"), "{\\rtf1 x}"));
        FilterControl control;
        const ContentFile rtfFile = ContentFile::open(docs + QStringLiteral("/x.rtf"));
        ExternalProgramFilter slow(QStringLiteral("sh"), {"-c", "sleep 20"}, rtfFile);
        control.deadline = QDeadlineTimer(200);
        QElapsedTimer t;
        t.start();
        QCOMPARE(slow.init(0, control), FILTER_E_TIMEOUT);
        control.deadline = QDeadlineTimer(QDeadlineTimer::Forever);
        control.cancelFlag = &canceled;
        QCOMPARE(slow.init(0, control), E_ABORT);
        QVERIFY(t.elapsed() < 10000);
        ExternalProgramFilter failing(QStringLiteral("sh"), {"-c", "echo partial; exit 3"}, rtfFile);
        QCOMPARE(failing.init(0, FilterControl()), E_FAIL);
        // A program that writes lines for ever: stopped once its text passes the bound (1 MiB
        // here), the text up to there kept and served in lines.
        ExternalProgramFilter runaway(QStringLiteral("sh"), {"-c", "yes 'runaway line'"}, rtfFile);
        FilterControl bounded;
        bounded.maxTextBytes = 1 << 20;
        t.restart();
        QCOMPARE(runaway.init(0, bounded), S_OK);
        QVERIFY(t.elapsed() < 15000); // stopped at the bound, not at its end
        qint64 units = 0;
        FilterChunk chunk;
        char16_t buffer[64];
        while (runaway.getChunk(&chunk) == S_OK) {
            QCOMPARE(chunk.breakType, CHUNK_EOP);
            quint32 count = 64;
            QCOMPARE(runaway.getText(&count, buffer), FILTER_S_LAST_TEXT);
            QCOMPARE(QString::fromUtf16(buffer, int(count)), QStringLiteral("runaway line"));
            units += count + 2;
        }
        QVERIFY2(units * 2 > bounded.maxTextBytes && units * 2 < 4 * bounded.maxTextBytes,
                 qPrintable(QString::number(units)));
        ExternalProgramFilter missing(QStringLiteral("no-such-program-here"), {}, rtfFile);
        QCOMPARE(missing.init(0, FilterControl()), REGDB_E_CLASSNOTREG);

        // A program named by a registry ("tqfilter-exec:"), run in process: its output is the text.
        RegistryFile exec;
        QVERIFY(exec.loadText(registryText(QStringLiteral("rtf"), QStringLiteral("tqfilter-exec:/bin/cat"), "c")));
        QCOMPARE(readText(extract(exec, docs + QStringLiteral("/x.rtf"), nullptr, 60)), QStringLiteral("{\\rtf1 x}\r\n"));
    }

    // The production path: the converter over the shipped registry, real documents.
    void converterProductionPath()
    {
        auto reg = std::make_shared<RegistryFile>();
        QVERIFY(reg->load(testutil::programDir() + QLatin1Char('/') + RegistryFile::inProcessFileName()));
        RegistryFile::setMachine(reg);
        QVERIFY(!getIFiltersFromRegistry().empty());

        IFilterConverter converter;
        converter.setWorkFolder(work);
        QCOMPARE(converter.encoding(), QString());
        const QString docx = docs + QStringLiteral("/real.docx");
        QVERIFY(docgen::writeZip(docx, {{"word/document.xml",
                                 wordDocument("<w:p><w:r><w:t>Quarterly figures</w:t></w:r></w:p>")}}));
        QString out;
        QVERIFY(converter.convert(ContentFile::open(docx), nullptr, &out, nullptr, QString(), nullptr));
        QCOMPARE(readText(out), QStringLiteral("Quarterly figures\r\n"));
        const QString odt = docs + QStringLiteral("/real.odt");
        QVERIFY(docgen::writeZip(odt, {{"content.xml", odfContent("<office:text><text:p>Minutes</text:p></office:text>")}}));
        QVERIFY(converter.convert(ContentFile::open(odt), nullptr, &out, nullptr, QString(), nullptr));
        QCOMPARE(readText(out), QStringLiteral("Minutes\r\n"));
        QString none;
        QVERIFY(!converter.convert(ContentFile::open(docs + QStringLiteral("/x.rtf")), nullptr, &none, nullptr, QString(), nullptr));
        QVERIFY(none.isEmpty());
        // Without an installed registry the process-wide one is read from the executable's
        // folder, which holds no registrations here.
        RegistryFile::setMachine(nullptr);
        QVERIFY(getIFiltersFromRegistry().empty());
        QVERIFY(!converter.convert(ContentFile::open(docx), nullptr, &none, nullptr, QString(), nullptr));
    }
};

QTEST_GUILESS_MAIN(TestIFilterConverter)
#include "tst_ifilterconverter.moc"
