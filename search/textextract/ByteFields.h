// ByteFields: numbers read from the bytes of an untrusted document. A field that would reach
// past the end of the bytes (or start before them) reads as 0, so a damaged count or offset
// never makes a reader touch memory outside the document.
#pragma once

#include <QByteArray>
#include <QtEndian>

namespace ByteFields {

inline quint16 le16(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

inline quint32 le32(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

inline quint16 be16(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromBigEndian<quint16>(b.constData() + at) : 0;
}

inline quint32 be32(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromBigEndian<quint32>(b.constData() + at) : 0;
}

} // namespace ByteFields
