#include "search/textextract/MarkupFilter.h"

#include "core/ContentFile.h"
#include "search/model/EncodingDetection.h"
#include "search/textextract/HtmlConverter.h"

#include <QBuffer>

FilterResult MarkupFilter::init(quint32, const FilterControl& ctl)
{
    clearParagraphs();
    control = ctl;
    ContentFileDevice file;
    if (!file.setFile(document))
        return FILTER_E_ACCESS;

    // Without a declaration or a mark the text's own bytes tell its encoding.
    QString encoding;
    const QByteArray head = file.peek(1024);
    if (HtmlConverter::declaredEncoding(QString::fromLatin1(head)).isEmpty()) {
        encoding = detectEncoding(&file);
        if (encoding == QLatin1String("BINARY"))
            return FILTER_E_UNKNOWNFORMAT;
        if (encoding.isEmpty())
            encoding = QStringLiteral("UTF-8");
        file.seek(0);
    }

    const bool xml = document.path().endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
    QBuffer text;
    text.open(QIODevice::ReadWrite);
    HtmlConverter converter;
    qint64 budget = ctl.maxTextBytes;
    bool cut = false;
    try {
        if (!converter.convertWithin(document, &file, nullptr, &text, encoding, ctl.cancelFlag, &budget,
                                     &cut, xml ? HtmlConverter::Markup::Xml : HtmlConverter::Markup::Html))
            return E_FAIL;
    } catch (...) {
        return E_ABORT; // cancelled
    }
    const QByteArray& bytes = text.buffer();
    const QString all = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    for (const QString& line : all.split(QStringLiteral("\r\n"))) {
        QString paragraph = line;
        endParagraph(paragraph);
    }
    return S_OK;
}
