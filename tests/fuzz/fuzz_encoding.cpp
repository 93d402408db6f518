// The encoding guess of plain texts (EncodingDetection: marks, UTF-16 with and without 0
// bytes, UTF-8, uchardet's guess) over any bytes; the guess must name a codec or one of the
// fixed answers.
#include "search/model/EncodingDetection.h"
#include "fuzzutil.h"

#include <QBuffer>
#include <QTextCodec>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    QByteArray bytes = fuzz::bytesOf(data, size);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const QString guess = detectEncoding(&in);
    if (!guess.isEmpty() && guess != QLatin1String("BINARY") && !QTextCodec::codecForName(guess.toLatin1()))
        std::abort(); // a name no reader can use
    return 0;
}
