#include "search/textextract/EPUBConverter.h"

#include "core/ContentFile.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "search/textextract/HtmlConverter.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryFile>
#include <QUrl>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <limits>

namespace {

const QString kTag = QStringLiteral("EPUBConverter");

// Bounds on what a book makes us decompress (a small archive can announce gigabytes):
// container.xml and the package are at most kMaxXmlMember bytes each; the content documents
// together at most max(kMinContentBudget, kContentRatio x the archive's size) bytes, each
// one counted at no less than kMinMemberCharge so that a spine repeating one tiny document
// is bounded too. The sizes are those of the archive's directory, which the unzipping never
// reads beyond.
constexpr qint64 kMaxXmlMember = 16 * 1024 * 1024;
constexpr qint64 kMinContentBudget = 64 * 1024 * 1024;
constexpr qint64 kContentRatio = 20;
constexpr qint64 kMinMemberCharge = 4096;

// Decompressed size of the archive's current member, as its directory states it.
qint64 currentMemberSize(QuaZip& zip)
{
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info))
        return -1;
    return info.uncompressedSize > quint64(std::numeric_limits<qint64>::max())
               ? std::numeric_limits<qint64>::max()
               : qint64(info.uncompressedSize);
}

// The member name for an href that is not found as written: URL-decoded, without fragment,
// with "." and ".." resolved against the package folder.
QString resolvedMember(const QString& baseFolder, const QString& href)
{
    QString decoded = QUrl::fromPercentEncoding(href.toUtf8());
    const int hash = decoded.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        decoded.truncate(hash);
    if (decoded.isEmpty())
        return QString();
    QString joined = QDir::cleanPath(QStringLiteral("/") + baseFolder + decoded);
    return joined.mid(1);
}

// Opens the book's archive on `input`, which stays open (it is the caller's or the
// converter's).
bool openArchive(QuaZip& zip, QIODevice* input)
{
    zip.setIoDevice(input);
    zip.setAutoClose(false);
    zip.setFileNameCodec("UTF-8");
    if (!zip.open(QuaZip::mdUnzip)) {
        TQ_LOG_WARNING("EPUBConverter",
                       QStringLiteral("zip.open() failed, error %1").arg(zip.getZipError()));
        return false;
    }
    return true;
}

// The package document's path, from "META-INF/container.xml".
bool readContainer(QuaZip& zip, QString* packagePath, const bool* cancelFlag)
{
    if (!zip.setCurrentFile(QStringLiteral("META-INF/container.xml"))) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("container.xml not found"));
        return false;
    }
    const qint64 size = currentMemberSize(zip);
    if (size < 0 || size > kMaxXmlMember) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("Parsing container.xml failed"));
        return false;
    }
    QuaZipFile member(&zip);
    if (!member.open(QIODevice::ReadOnly)) {
        TQ_LOG_WARNING(
            "EPUBConverter",
            QStringLiteral("Failed to open container.xml, error %1").arg(member.getZipError()));
        return false;
    }
    if (!EPUBConverter::parseContainerXml(&member, packagePath, cancelFlag) ||
        packagePath->isEmpty()) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("Parsing container.xml failed"));
        return false;
    }
    return true;
}

// The spine's hrefs, from the package document.
bool readPackage(QuaZip& zip, const QString& packagePath, QStringList* spine,
                 const bool* cancelFlag)
{
    if (!zip.setCurrentFile(packagePath)) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("%1 not found").arg(packagePath));
        return false;
    }
    const qint64 size = currentMemberSize(zip);
    if (size < 0 || size > kMaxXmlMember) {
        TQ_LOG_WARNING("EPUBConverter",
                       QStringLiteral("%1 is too large (%2 bytes)").arg(packagePath).arg(size));
        return false;
    }
    QuaZipFile member(&zip);
    if (!member.open(QIODevice::ReadOnly)) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("Failed to open %1, error %2")
                                            .arg(packagePath)
                                            .arg(member.getZipError()));
        return false;
    }
    EPUBConverter::parseOpf(&member, spine, cancelFlag);
    return true;
}

// Makes the member a spine's href names the archive's current one: as written, relative to
// the package's folder, else read as a URL.
bool selectItem(QuaZip& zip, const QString& baseFolder, const QString& href)
{
    // An itemref without an XHTML item has an empty href: nothing to read (QuaZip takes an
    // empty name as "no current member" and reports success).
    bool found = !href.isEmpty() && zip.setCurrentFile(baseFolder + href);
    if (!found && !href.isEmpty()) {
        const QString resolved = resolvedMember(baseFolder, href);
        found = !resolved.isEmpty() && zip.setCurrentFile(resolved);
    }
    if (!found)
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("content item not found"));
    return found;
}

} // namespace

EPUBConverter::EPUBConverter(HtmlConverter* htmlConverter) : htmlConverter(htmlConverter)
{
}

QString EPUBConverter::encoding() const
{
    return htmlConverter->encoding();
}

bool EPUBConverter::parseContainerXml(QIODevice* device, QString* packagePath,
                                      const bool* cancelFlag)
{
    QXmlStreamReader xml(device);
    while (!xml.atEnd() && !xml.hasError()) {
        if (isCanceled(cancelFlag))
            throw FileSearchCancelException("Convert canceled", kTag, __LINE__);
        if (xml.readNext() == QXmlStreamReader::StartElement
            && xml.name() == QLatin1String("rootfile")) {
            *packagePath = xml.attributes().value(QLatin1String("full-path")).toString();
            return true;
        }
    }
    return false;
}

void EPUBConverter::parseOpf(QIODevice* device, QStringList* spine, const bool* cancelFlag)
{
    QXmlStreamReader xml(device);
    QMap<QString, QString> items;
    bool inSpine = false;
    while (!xml.atEnd() && !xml.hasError()) {
        if (isCanceled(cancelFlag))
            throw FileSearchCancelException("Convert canceled", kTag, __LINE__);
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringRef name = xml.name();
            const QXmlStreamAttributes attrs = xml.attributes();
            if (name == QLatin1String("item")) {
                if (attrs.value(QLatin1String("media-type")) == QLatin1String("application/xhtml+xml"))
                    items.insert(attrs.value(QLatin1String("id")).toString(),
                                 attrs.value(QLatin1String("href")).toString());
            } else if (name == QLatin1String("spine")) {
                inSpine = true;
            } else if (name == QLatin1String("itemref") && inSpine) {
                spine->append(items[attrs.value(QLatin1String("idref")).toString()]);
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("spine")) {
            inSpine = false;
        }
    }
}

bool EPUBConverter::convert(const ContentFile& document, QIODevice* input, QString* outPath,
                            QIODevice* output, const QString& inputEncoding,
                            const bool* cancelFlag)
{
    const QString& path = document.path();
    ContentFileDevice file;
    input = openDocument(document, input, &file, "EPUBConverter");
    if (!input)
        return false;
    QuaZip zip;
    QString packagePath;
    QStringList spine;
    if (!openArchive(zip, input) || !readContainer(zip, &packagePath, cancelFlag) ||
        !readPackage(zip, packagePath, &spine, cancelFlag))
        return false;
    const int slash = packagePath.lastIndexOf(QLatin1Char('/'));
    const QString baseFolder = slash >= 0 ? packagePath.left(slash + 1) : QString();

    QTemporaryFile textFile;
    if (!output) {
        if (!openTextFile(&textFile, QStringLiteral("epub"), "EPUBConverter"))
            return false;
        textFile.write("\xFF\xFE", 2);
    }
    QIODevice* out = output ? output : &textFile;
    bool writeFailed = false;
    const qint64 archiveSize = input->size();
    Budgets budgets;
    budgets.content =
        qMax(kMinContentBudget, qBound<qint64>(0, archiveSize, qint64(1) << 40) * kContentRatio);
    budgets.text = textLimit();

    try {
        for (const QString& href : qAsConst(spine)) {
            if (budgets.cut)
                break;
            if (isCanceled(cancelFlag))
                throw FileSearchCancelException("Convert canceled", kTag, __LINE__);
            if (!selectItem(zip, baseFolder, href))
                continue;
            if (!convertItem(document, zip, out, budgets, cancelFlag)) {
                writeFailed = true;
                break;
            }
        }
    } catch (...) {
        if (!output)
            textFile.remove();
        throw;
    }

    if (budgets.cut && !writeFailed)
        TQ_LOG_WARNING("EPUBConverter", TextLimits::cutMessage(path, textLimit()));
    return finishText(output ? nullptr : &textFile, !writeFailed, outPath, path, "EPUBConverter");
}

bool EPUBConverter::convertItem(const ContentFile& document, QuaZip& zip, QIODevice* out,
                                Budgets& budgets, const bool* cancelFlag)
{
    const qint64 size = currentMemberSize(zip);
    const qint64 charge = qMax(size, kMinMemberCharge);
    if (size < 0 || charge > budgets.content) {
        TQ_LOG_WARNING("EPUBConverter",
                       QStringLiteral("%1 skipped: the book's text exceeds its size limit")
                           .arg(zip.getCurrentFileName()));
        return true;
    }
    budgets.content -= charge;
    QuaZipFile member(&zip);
    if (!member.open(QIODevice::ReadOnly)) {
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("Failed to open %1, error %2")
                                            .arg(zip.getCurrentFileName())
                                            .arg(member.getZipError()));
        return true;
    }
    const qint64 before = out->pos();
    // With a device as input the HTML converter fails only when the output refuses its text:
    // the book's text would be cut short, so the conversion fails.
    bool written =
        htmlConverter->convertWithin(document, &member, nullptr, out, QStringLiteral("UTF-8"),
                                     cancelFlag, &budgets.text, &budgets.cut);
    out->waitForBytesWritten(-1);
    // A damaged member ends its text where reading failed; the chapters around it stay.
    if (member.getZipError() != UNZ_OK)
        TQ_LOG_WARNING("EPUBConverter", QStringLiteral("Failed to read %1, error %2")
                                            .arg(zip.getCurrentFileName())
                                            .arg(member.getZipError()));
    if (written && !budgets.cut && out->pos() != before) {
        // The separator counts against the text's bound too (whole or not at all).
        if (budgets.text < 8) {
            budgets.cut = true;
        } else {
            written = out->write("\r\0\n\0\r\0\n\0", 8) == 8;
            budgets.text -= 8;
        }
    }
    return written;
}
