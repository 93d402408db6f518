#include "app/instance/MessageFrame.h"

#include <QtEndian>

namespace {

void appendUInt32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian<quint32>(value, buffer);
    bytes.append(buffer, 4);
}

void appendUtf16(QByteArray& bytes, const QString& text)
{
    for (const QChar c : text) {
        char unit[2];
        qToLittleEndian<quint16>(c.unicode(), unit);
        bytes.append(unit, 2);
    }
    bytes.append('\0').append('\0');
}

} // namespace

QByteArray MessageFrame::encode() const
{
    return encode(id, payload);
}

QByteArray MessageFrame::encode(quint32 id, const QByteArray& payload)
{
    QByteArray bytes;
    bytes.reserve(kHeaderSize + payload.size());
    appendUInt32(bytes, id);
    appendUInt32(bytes, static_cast<quint32>(payload.size()));
    bytes.append(payload);
    return bytes;
}

QByteArray MessageFrame::copyDataPayload(quint32 code, const QByteArray& data)
{
    QByteArray bytes;
    appendUInt32(bytes, code);
    bytes.append(data);
    return bytes;
}

QByteArray MessageFrame::processIdPayload(quint32 pid)
{
    QByteArray bytes;
    appendUInt32(bytes, pid);
    return bytes;
}

QByteArray MessageFrame::replyPayload(qint32 result)
{
    QByteArray bytes;
    appendUInt32(bytes, static_cast<quint32>(result));
    return bytes;
}

QByteArray MessageFrame::textData(const QString& text)
{
    QByteArray bytes;
    appendUtf16(bytes, text);
    return bytes;
}

QByteArray MessageFrame::listData(const QStringList& items)
{
    QByteArray bytes;
    for (const QString& item : items)
        appendUtf16(bytes, item);
    return bytes;
}

bool MessageFrame::readCopyData(const QByteArray& payload, quint32& code, QByteArray& data)
{
    if (payload.size() < 4)
        return false;
    code = qFromLittleEndian<quint32>(payload.constData());
    data = payload.mid(4);
    return true;
}

bool MessageFrame::readUInt32(const QByteArray& payload, quint32& value)
{
    if (payload.size() != 4)
        return false;
    value = qFromLittleEndian<quint32>(payload.constData());
    return true;
}

bool MessageFrame::readText(const QByteArray& data, QString& text)
{
    if (data.size() % 2 != 0)
        return false;
    const int units = data.size() / 2;
    QString result;
    for (int i = 0; i < units; ++i) {
        const quint16 unit = qFromLittleEndian<quint16>(data.constData() + 2 * i);
        if (unit == 0) {
            text = result;
            return true;
        }
        result.append(QChar(unit));
    }
    return false;
}

bool MessageFrame::readList(const QByteArray& data, QStringList& items)
{
    if (data.size() % 2 != 0)
        return false;
    const int units = data.size() / 2;
    QStringList result;
    QString current;
    for (int i = 0; i < units; ++i) {
        const quint16 unit = qFromLittleEndian<quint16>(data.constData() + 2 * i);
        if (unit == 0) {
            result << current;
            current.clear();
        } else {
            current.append(QChar(unit));
        }
    }
    if (!current.isEmpty())
        return false; // the last item has no zero unit
    items = result;
    return true;
}
