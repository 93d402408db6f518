// FileNameCodec: lossless conversion between file-name bytes and QString.
//
// Names on Linux are bytes and need not be UTF-8. Valid UTF-8 decodes normally; every byte of an
// invalid sequence becomes the lone surrogate U+DC00 + byte (the "surrogate escape"
// convention), and encode() reverses it exactly. Paths travel through the application as
// QStrings in this form; whatever hands a path to the kernel encodes it with encode(), not
// QFile::encodeName (which turns such bytes into U+FFFD and back into other bytes).
// A lone surrogate that is no escape (only possible in text that never came from decode()) is
// written as the bytes of U+FFFD, as toUtf8 does.
#pragma once

#include <QByteArray>
#include <QString>

class FileNameCodec
{
public:
    static QString decode(const char* bytes, int length);
    static QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }
    static QByteArray encode(const QString& name);
};
