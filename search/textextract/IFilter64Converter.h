// IFilter64Converter: the converter that has the helper program "helper64" turn a document
// into a text file (Helper64Client::convert, which hands the helper the document's descriptor). The reply "TIMEOUT" is logged and counts as a
// failure; an empty reply is a failure; any other reply is the text file's path (already
// checked by the client to lie in the working folder), which the caller then owns. A request
// cancelled before its turn at the helper is not sent and fails.
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

class Helper64Client;

class IFilter64Converter : public ToPlainTextConverter
{
public:
    explicit IFilter64Converter(Helper64Client* helper)
        : client(helper)
    { }

    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    // Empty: the file starts with a byte-order mark.
    QString encoding() const override;

private:
    Helper64Client* client; // not owned
};
