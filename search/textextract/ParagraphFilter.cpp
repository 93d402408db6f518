#include "search/textextract/ParagraphFilter.h"

#include <algorithm>
#include <cstring>

FilterResult ParagraphFilter::getChunk(FilterChunk* chunk)
{
    if (current + 1 >= paragraphs.size()) {
        current = paragraphs.size();
        return FILTER_E_END_OF_CHUNKS;
    }
    ++current;
    textPos = 0;
    chunk->idChunk = quint32(current + 1);
    chunk->breakType = CHUNK_EOP;
    chunk->flags = CHUNK_TEXT;
    return S_OK;
}

FilterResult ParagraphFilter::getText(quint32* count, char16_t* buffer)
{
    if (current < 0 || current >= paragraphs.size()) {
        *count = 0;
        return FILTER_E_NO_MORE_TEXT;
    }
    const QString& text = paragraphs.at(current);
    const int left = text.size() - textPos;
    if (left <= 0) {
        *count = 0;
        return FILTER_E_NO_MORE_TEXT;
    }
    const int n = int(std::min<quint32>(*count, quint32(left)));
    std::memcpy(buffer, text.utf16() + textPos, size_t(n) * sizeof(char16_t));
    textPos += n;
    *count = quint32(n);
    return textPos >= text.size() ? FILTER_S_LAST_TEXT : S_OK;
}

#include <QXmlStreamReader>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <map>

FilterResult ParagraphFilter::parseMember(QuaZip& zip, const QString& name,
                                          const FilterControl& control,
                                          const std::function<void(QXmlStreamReader&)>& handler)
{
    if (!zip.setCurrentFile(name))
        return FILTER_E_ACCESS;
    QuaZipFile member(&zip);
    if (!member.open(QIODevice::ReadOnly))
        return FILTER_E_ACCESS;
    QXmlStreamReader xml(&member);
    int tokens = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError())
            break;
        handler(xml);
        if (++tokens % 4096 == 0) {
            if (control.canceled())
                return E_ABORT;
            if (control.deadline.hasExpired())
                return FILTER_E_TIMEOUT;
        }
    }
    if (xml.hasError())
        return E_FAIL;
    return S_OK;
}

QStringList ParagraphFilter::numberedMembers(QuaZip& zip, const QString& prefix,
                                             const QString& suffix)
{
    std::map<qulonglong, QString> found;
    const QStringList names = zip.getFileNameList();
    for (const QString& n : names) {
        if (!n.startsWith(prefix) || !n.endsWith(suffix) || n.size() <= prefix.size() + suffix.size())
            continue;
        bool ok = false;
        const qulonglong number =
            n.mid(prefix.size(), n.size() - prefix.size() - suffix.size()).toULongLong(&ok);
        if (ok)
            found.emplace(number, n);
    }
    QStringList result;
    for (const auto& entry : found)
        result << entry.second;
    return result;
}

bool ParagraphFilter::openArchive(QuaZip& zip)
{
    paragraphs.clear();
    current = -1;
    zip.setFileNameCodec("UTF-8");
    return zip.open(QuaZip::mdUnzip);
}
