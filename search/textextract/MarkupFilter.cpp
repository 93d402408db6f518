#include "search/textextract/MarkupFilter.h"

#include "core/ContentFile.h"
#include "search/model/EncodingDetection.h"
#include "search/textextract/HtmlConverter.h"

#include <QBuffer>

FilterResult MarkupFilter::init(quint32, const FilterControl& ctl)
{
    clearParagraphs();
    control = ctl;
    ContentFileDevice input;
    if (!input.setFile(document))
        return FILTER_E_ACCESS;

    // Without a declaration or a mark the text's own bytes tell its encoding.
    QString encoding;
    const QByteArray head = input.peek(1024);
    if (HtmlConverter::declaredEncoding(QString::fromLatin1(head)).isEmpty()) {
        encoding = detectEncoding(&input);
        if (encoding == QLatin1String("BINARY"))
            return FILTER_E_UNKNOWNFORMAT;
        if (encoding.isEmpty())
            encoding = QStringLiteral("UTF-8");
        input.seek(0);
    }

    const bool isXml = document.path().endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
    QBuffer text;
    text.open(QIODevice::ReadWrite);
    HtmlConverter converter;
    qint64 budget = ctl.maxTextBytes;
    bool cut = false;
    try {
        if (!converter.convertWithin(
                document, &input, nullptr, &text, encoding, ctl.cancelFlag, &budget, &cut,
                isXml ? HtmlConverter::Markup::Xml : HtmlConverter::Markup::Html))
            return E_FAIL;
    } catch (...) {
        return E_ABORT; // cancelled
    }
    // One paragraph per line, taken from the converter's UTF-16 text without copying it whole.
    QByteArray bytes = text.buffer();
    text.close();
    const auto* units = reinterpret_cast<const char16_t*>(bytes.constData());
    const int count = bytes.size() / 2;
    for (int from = 0; from < count;) {
        int end = from;
        while (end < count && !(units[end] == u'\r' && end + 1 < count && units[end + 1] == u'\n'))
            ++end;
        QString paragraph = QString::fromUtf16(units + from, end - from);
        endParagraph(paragraph);
        from = end + 2;
    }
    return S_OK;
}
