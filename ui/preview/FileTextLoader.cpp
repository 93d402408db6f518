#include "ui/preview/FileTextLoader.h"

#include "core/ContentFile.h"
#include "search/model/EncodingDetection.h"

#include <QTextCodec>

namespace FileTextLoader {

Result load(const ContentFile* text, qint64 cap)
{
    Result result;
    if (!text || !text->isOpen())
        return result;
    ContentFileDevice file(*text);
    result.opened = true;
    result.fileSize = file.size();
    const QString encoding = detectEncoding(&file);
    file.seek(0);
    QByteArray bytes = file.read(cap);
    result.truncated = !file.atEnd() || result.fileSize > bytes.size();
    QTextCodec* codec = nullptr;
    if (!encoding.isEmpty() && encoding != QLatin1String("BINARY"))
        codec = QTextCodec::codecForName(encoding.toLatin1());
    if (!codec)
        codec = QTextCodec::codecForLocale();
    if (result.truncated && encoding.startsWith(QLatin1String("UTF-16")) && (bytes.size() & 1))
        bytes.chop(1);
    result.text = codec->toUnicode(bytes);
    // A byte-order mark is no part of the text.
    if (result.text.startsWith(QChar(0xFEFF)))
        result.text.remove(0, 1);
    // The search counts lines by LF alone (CR LF is one line end); a lone CR or a paragraph
    // separator would open a text block of its own and move every highlight below it. Each
    // becomes a blank, so positions within the line stay as the search gave them.
    QChar* c = result.text.data();
    const int n = result.text.size();
    for (int i = 0; i < n; ++i) {
        if ((c[i] == QLatin1Char('\r') && (i + 1 == n || c[i + 1] != QLatin1Char('\n')))
            || c[i] == QChar::ParagraphSeparator)
            c[i] = QLatin1Char(' ');
    }
    return result;
}

} // namespace FileTextLoader
