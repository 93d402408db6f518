// FrameReader: cuts the byte stream of one connection into MessageFrames.
//
// Bytes are appended as they arrive; next() hands out each complete frame in order. A frame
// that announces more than MessageFrame::kMaxPayload bytes puts the reader into the failed
// state for good (the connection is then dropped), so a peer cannot make us buffer without
// bound.
#pragma once

#include "app/instance/MessageFrame.h"

#include <QByteArray>

class FrameReader
{
public:
    void append(const QByteArray& bytes);
    // Takes the next complete frame; false when none is complete yet (or the reader failed).
    bool next(MessageFrame& frame);
    bool failed() const { return failed_; }
    // Bytes received but not yet handed out.
    int pendingBytes() const { return buffer_.size(); }

private:
    QByteArray buffer_;
    bool failed_ = false;
};
