// MessageFrame: one message between the two instances of the program, and its byte form.
//
// The instances talk over local sockets (see InstanceChannel). Each message keeps the number
// and the payload it has in the program's window-message protocol and travels as one frame:
//
//   [u32 id][u32 payload length][payload]            (little-endian)
//
// Payloads:
// - kCopyData (74): [u32 code][data]. The data is what the copy record carries: a text is its
//   UTF-16LE units followed by one zero unit (codes 0, new search, and 2, open a file); the
//   argument list (code 1) is every argument in UTF-16LE followed by one zero unit, so an
//   argument may hold any character but zero ("|" included) and an empty argument stays an
//   empty item. The data length tells where the list ends.
// - kActivate (1025), kSendArguments (1026), kQueryEndSession (17), kEndSession (22): empty.
// - kProcessId (1027): [u32 process id].
// - kReply (0): [i32 result], the receiver's answer to every frame it read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct MessageFrame
{
    enum Id : quint32 {
        kReply = 0,
        kQueryEndSession = 17,
        kEndSession = 22,
        kCopyData = 74,
        kActivate = 1024 + 1,
        kSendArguments = 1024 + 2,
        kProcessId = 1024 + 3
    };
    // Codes of kCopyData.
    // kShowInFolder: the user instance shows a file in its folder (selected) for a root instance.
    enum CopyDataCode : quint32 { kNewSearch = 0, kArguments = 1, kOpenFile = 2, kShowInFolder = 3 };

    // Frames larger than this are refused by the reader (a frame is a path or an argument list).
    static constexpr quint32 kMaxPayload = 1024 * 1024;
    static constexpr int kHeaderSize = 8;

    quint32 id = 0;
    QByteArray payload;

    // The frame's bytes.
    QByteArray encode() const;
    static QByteArray encode(quint32 id, const QByteArray& payload);

    // Payload builders.
    static QByteArray copyDataPayload(quint32 code, const QByteArray& data);
    static QByteArray processIdPayload(quint32 pid);
    static QByteArray replyPayload(qint32 result);
    static QByteArray textData(const QString& text);
    static QByteArray listData(const QStringList& items);

    // Payload readers; false for a payload of the wrong shape.
    static bool readCopyData(const QByteArray& payload, quint32& code, QByteArray& data);
    static bool readUInt32(const QByteArray& payload, quint32& value);
    // The text up to the first zero unit; false when the data has an odd length or no zero unit.
    static bool readText(const QByteArray& data, QString& text);
    // The list written by listData; false when the data is not a whole number of zero-ended
    // items.
    static bool readList(const QByteArray& data, QStringList& items);
};
