// ParagraphFilter: the chunk and text side of filters that read a whole document into a list
// of paragraphs during init. Each paragraph is one text chunk ending a paragraph (CHUNK_EOP);
// getText hands its text out in portions of the caller's buffer size.
#pragma once

#include "search/textextract/IFilter.h"

#include <QString>
#include <QStringList>

#include <functional>

class QuaZip;
class QXmlStreamReader;

class ParagraphFilter : public IFilter
{
public:
    FilterResult getChunk(FilterChunk* chunk) override;
    FilterResult getText(quint32* count, char16_t* buffer) override;

protected:
    // Forgets earlier paragraphs and opens the archive for reading (member names UTF-8).
    bool openArchive(QuaZip& zip);
    // Runs `handler` on every token of the XML member `name` of an open archive. The handler
    // returns false to stop. Polls the control every few thousand tokens.
    // S_OK, FILTER_E_ACCESS (member missing or unreadable), E_FAIL (malformed XML), E_ABORT
    // (cancelled) or FILTER_E_TIMEOUT.
    static FilterResult parseMember(QuaZip& zip, const QString& name, const FilterControl& control,
                                    const std::function<void(QXmlStreamReader&)>& handler);
    // Archive members whose name is `prefix` + a number + `suffix`, in ascending number order.
    static QStringList numberedMembers(QuaZip& zip, const QString& prefix, const QString& suffix);

    QStringList paragraphs; // filled by init
    int current = -1;       // index of the current chunk
    int textPos = 0;        // units of the current paragraph already handed out
};
