#include "app/instance/FrameReader.h"

#include <QtEndian>

void FrameReader::append(const QByteArray& bytes)
{
    if (!failed_)
        buffer_.append(bytes);
}

bool FrameReader::next(MessageFrame& frame)
{
    if (failed_ || buffer_.size() < MessageFrame::kHeaderSize)
        return false;
    const quint32 id = qFromLittleEndian<quint32>(buffer_.constData());
    const quint32 length = qFromLittleEndian<quint32>(buffer_.constData() + 4);
    if (length > MessageFrame::kMaxPayload) {
        failed_ = true;
        buffer_.clear();
        return false;
    }
    if (static_cast<quint32>(buffer_.size()) - MessageFrame::kHeaderSize < length)
        return false;
    frame.id = id;
    frame.payload = buffer_.mid(MessageFrame::kHeaderSize, static_cast<int>(length));
    buffer_.remove(0, MessageFrame::kHeaderSize + static_cast<int>(length));
    return true;
}
