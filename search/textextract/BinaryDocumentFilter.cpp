#include "search/textextract/BinaryDocumentFilter.h"

#include "search/textextract/BinaryDocumentReaders.h"
#include "search/textextract/CompoundFile.h"

#include "core/ContentFile.h"

namespace {

// Hands each paragraph to the filter's queue.
class QueueSink : public TextSink
{
public:
    QueueSink(const FilterControl& limits, std::function<void(const QString&)> deliver)
        : TextSink(limits)
        , put(std::move(deliver))
    {
    }

protected:
    void take(const QString& text) override { put(text); }

private:
    std::function<void(const QString&)> put;
};

using Reader = BinaryDocuments::Result (*)(QIODevice*, TextSink&);

} // namespace

FilterResult BinaryDocumentFilter::init(quint32, const FilterControl& ctl)
{
    ContentFileDevice device;
    if (!device.setFile(document))
        return FILTER_E_ACCESS;
    return initFrom(&device, ctl);
}

FilterResult BinaryDocumentFilter::initFrom(QIODevice* device, const FilterControl& ctl)
{
    using BinaryDocuments::Result;
    clearParagraphs();
    control = ctl;
    QueueSink sink(ctl, [this](const QString& text) {
        QString paragraph = text;
        endParagraph(paragraph);
    });

    const QByteArray head = device->peek(8);
    std::vector<Reader> readers;
    if (head.startsWith("{\\rtf")) {
        readers = {BinaryDocuments::readRtf};
    } else if (CompoundFile::hasSignature(head)) {
        // The registered kind first, then the other two.
        const Reader word = BinaryDocuments::readWord, excel = BinaryDocuments::readExcel,
                     powerPoint = BinaryDocuments::readPowerPoint;
        if (kind == Kind::Excel)
            readers = {excel, word, powerPoint};
        else if (kind == Kind::PowerPoint)
            readers = {powerPoint, word, excel};
        else
            readers = {word, excel, powerPoint};
    } else if (kind == Kind::Excel) {
        readers = {BinaryDocuments::readExcel}; // a bare BIFF stream of Excel 2 to 4
    } else {
        return FILTER_E_UNKNOWNFORMAT;
    }

    Result result = Result::NotThisFormat;
    for (Reader reader : readers) {
        if (!device->seek(0))
            return E_FAIL;
        result = reader(device, sink);
        if (result != Result::NotThisFormat)
            break;
    }
    switch (result) {
    case Result::Ok:
        return S_OK;
    case Result::NotThisFormat:
        return FILTER_E_UNKNOWNFORMAT;
    case Result::Encrypted:
        clearParagraphs();
        return FILTER_E_PASSWORD;
    case Result::Damaged:
        return sink.paragraphs() > 0 ? S_OK : E_FAIL;
    case Result::Stopped:
        if (sink.stopReason() != S_OK) {
            clearParagraphs();
            return sink.stopReason();
        }
        return S_OK; // the text reached its bound: kept up to there
    }
    return E_FAIL;
}
