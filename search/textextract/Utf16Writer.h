// Utf16Writer: collects UTF-16LE bytes and hands them to a device in large writes, at most
// `room` bytes of text (writeRaw's bytes, a file's mark, not counted); what a write brings past
// that is dropped (never half a surrogate pair) and the writer is full.
#pragma once

#include "search/textextract/TextLimits.h"

#include <QByteArray>
#include <QChar>
#include <QIODevice>
#include <QString>
#include <QtEndian>

class Utf16Writer
{
public:
    Utf16Writer(QIODevice* device, qint64 room)
        : device_(device)
        , room_(room)
    {
        buffer_.reserve(kFlushSize + 4096);
    }

    void write(const QString& text) { write(text.constData(), text.size()); }
    void write(const QChar* text, int length)
    {
        const qint64 fit =
            TextLimits::unitsThatFit(reinterpret_cast<const char16_t*>(text), length, room_);
        if (fit < length) {
            full_ = true;
            length = int(fit);
        }
        room_ -= qint64(length) * 2;
        const int old = buffer_.size();
        buffer_.resize(old + length * 2);
        char* out = buffer_.data() + old;
        for (int i = 0; i < length; ++i)
            qToLittleEndian<quint16>(text[i].unicode(), out + 2 * i);
        if (buffer_.size() >= kFlushSize)
            flush();
    }
    void writeRaw(const char* bytes, int length)
    {
        buffer_.append(bytes, length);
        if (buffer_.size() >= kFlushSize)
            flush();
    }
    bool flush()
    {
        if (!buffer_.isEmpty()) {
            if (device_->write(buffer_) != buffer_.size())
                ok_ = false;
            buffer_.clear();
        }
        return ok_;
    }
    bool ok() const { return ok_; }
    bool full() const { return full_; }
    qint64 room() const { return room_; }

private:
    static constexpr int kFlushSize = 64 * 1024;
    QIODevice* device_;
    QByteArray buffer_;
    qint64 room_;
    bool ok_ = true;
    bool full_ = false;
};
