// Helper64Protocol: what the program and the helper program "helper64" say to each other.
//
// Transport: a connected pair of local (Unix domain) stream sockets made by the program before
// it starts the helper; the helper gets its end as its standard input, the program keeps the
// other. No socket file exists anywhere, so no other process can take the place of either side
// or be reached instead. The helper checks that the other end was made by the program that
// started it (SO_PEERCRED: its parent's pid), then sends one message unasked, its greeting
// "HELPER64\n" + the pipe id; the program counts the helper as connected only once that
// greeting has come (within its connect wait), as a named pipe's server does once the client
// has opened the pipe.
//
// Framing: every request and every reply is one message, [u32 byte length][UTF-16LE text],
// little-endian, no terminating zero. A length above kMaxMessageBytes or an odd length is a
// protocol error (the receiver drops the connection).
//
// Requests (one at a time; one reply each, except "EXIT"):
//   "CONVERT\n" + path   the document itself travels with the request as an open descriptor
//                        (SCM_RIGHTS, attached to the request's first bytes): the helper reads
//                        that descriptor and never opens the path, which only names the
//                        document (its extension chooses the filter; messages).
//                        reply: the path of the text file written (UTF-16LE with BOM, in the
//                        helper's working folder), "TIMEOUT", or "" on failure (also when no
//                        descriptor came with the request)
//   "GET_IFILTERS"       reply: the filters the helper hosts, in the line format below
//   "EXIT"               the helper ends; no reply
// Filter list format, lines separated by "\n": the number of filters N; then per filter its
// class id, its display name, the number of extensions M and M extensions (without dot).
// Numbers are decimal; reading takes the leading digits, anything else counts as 0.
#pragma once

#include "core/IFilterInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <list>

class Helper64Protocol
{
public:
    static constexpr qint64 kMaxMessageBytes = 64 * 1024 * 1024;

    // The helper's first message (see above).
    static QString greeting(const QString& pipeId) { return QStringLiteral("HELPER64\n") + pipeId; }

    // The framed message; empty (no frame at all) when the text is longer than
    // kMaxMessageBytes, which no receiver would accept.
    static QByteArray frame(const QString& message);
    // False when the buffer starts with a length no receiver accepts (too long or odd).
    static bool validHeader(const QByteArray& buffer);
    // Takes the first complete message off the front of `buffer`. Returns true and sets
    // *message when one was complete; false when more bytes are needed, or with *bad set when
    // the buffer does not start with a valid frame.
    static bool takeFrame(QByteArray& buffer, QString* message, bool* bad);

    // The process and user at the other end of a connected local socket (SO_PEERCRED); for a
    // socket pair, the process that made the pair.
    static bool peerCredentials(qintptr socketDescriptor, qint64* pid, uint* uid);

    // Sends the first bytes of `bytes` on the connected socket `socket` (non-blocking) with
    // `descriptor` attached; the number of bytes sent (at least 1 on success), -1 on failure.
    static qint64 sendWithDescriptor(int socket, const QByteArray& bytes, int descriptor);
    // Reads what the socket `socket` holds (non-blocking), appending the bytes to `buffer` and
    // the descriptors that came with them (close-on-exec) to `descriptors`, in order. The
    // bytes read; 0 when nothing was waiting; -1 at the end of the connection or on an error.
    static qint64 receiveWithDescriptors(int socket, QByteArray* buffer, QList<int>* descriptors);

    static QString formatIFilters(const std::list<IFilterInfo>& filters);
    // Reads at most the lines present: a reply cut short gives the filters complete in it.
    static std::list<IFilterInfo> parseIFilters(const QString& reply);
    // The value of the leading decimal digits of a line; 0 when there are none.
    static qint64 leadingNumber(const QString& line);
};
