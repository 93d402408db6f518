// The frames of the two local sockets: the helper program's replies (Helper64Protocol: frames,
// the filter list, leading numbers) and the instance channel's frames (FrameReader,
// MessageFrame payloads), fed in pieces the way a socket delivers them.
#include "app/instance/FrameReader.h"
#include "app/instance/MessageFrame.h"
#include "fuzzutil.h"
#include "search/textextract/Helper64Protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 1)
        return 0;
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    const int piece = 1 + data[0] % 64;

    // Helper frames.
    QByteArray buffer;
    for (int at = 0; at < bytes.size(); at += piece) {
        buffer += bytes.mid(at, piece);
        Helper64Protocol::validHeader(buffer);
        QString message;
        bool bad = false;
        while (Helper64Protocol::takeFrame(buffer, &message, &bad)) {
            Helper64Protocol::parseIFilters(message);
            Helper64Protocol::leadingNumber(message);
        }
        if (bad)
            break;
    }
    const QString text = QString::fromUtf8(bytes);
    Helper64Protocol::parseIFilters(text);
    Helper64Protocol::leadingNumber(text);

    // Instance frames.
    FrameReader reader;
    for (int at = 0; at < bytes.size() && !reader.failed(); at += piece) {
        reader.append(bytes.mid(at, piece));
        MessageFrame frame;
        while (reader.next(frame)) {
            quint32 code = 0;
            QByteArray payload;
            if (MessageFrame::readCopyData(frame.payload, code, payload)) {
                QString s;
                QStringList items;
                MessageFrame::readText(payload, s);
                MessageFrame::readList(payload, items);
            }
            quint32 value = 0;
            MessageFrame::readUInt32(frame.payload, value);
        }
    }
    return 0;
}
