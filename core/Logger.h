// Logger: the one diagnostic log of the process.
//
// A UTF-16 little-endian text file (no byte-order mark) of one record per line:
//   "HH:m:s:mmm <thread id>\t<LEVEL>\t<tag>\t<message>\r\n"
// Every record is formatted completely before the mutex is taken; only the append and the
// flush run under it, so records from different threads never interleave.
//
// Linux decisions:
// - Several processes (the user instance, the elevated main instance, the helper) open the same
//   log, so the file is opened in append mode (O_APPEND: each record lands whole at the end).
//   Only the process that becomes the main instance empties it, through truncate(); so starting
//   the program twice in a row leaves only the second run's records.
// - The log is opened through UserFiles (as the session user in a root instance, with every
//   missing folder level created), only as a regular file and never through a link at its
//   name; a FIFO or device leaves the logger mute.
// - The thread id is the kernel thread id (gettid).
// - The text is built as a QString and written as UTF-16LE code units; wchar_t (32-bit here)
//   is never reinterpreted. 8-bit tags and C-string messages are read as Latin-1 (each byte
//   widened to one UTF-16 unit).
// - The folder of the log is the part of the path before its last "/". The path is in the
//   lossless form of FileNameCodec.
// - Each process writes at most kMaxBytesPerRun bytes into the log between its start (or its
//   truncate) and its end: a flood of records (a failing loop, a whole-disk search that logs
//   per file) must not fill the user's disk. The record that would pass the bound is replaced
//   by one notice record saying so; every later record of the process is dropped, before it is
//   even formatted.
#pragma once

#include <QString>
#include <QByteArray>
#include "core/HandleHolder.h"

#include <atomic>
#include <mutex>
#include <string>

class Logger
{
public:
    enum Level { Info = 0, Warning = 1, Error = 2, Debug = 3 };

    // Returns the process-wide logger. The first call creates it with `path`; later calls
    // ignore the argument (pass an empty string).
    static Logger& instance(const QString& path = QString());

    void write(int level, const char* tag, const std::wstring& message);
    void writeQString(int level, const char* tag, const QString& message);
    void writeCString(int level, const char* tag, const char* message);

    // True once the process-wide logger exists (its first instance() call has returned).
    static bool isOpen();

    // Folder of the log file (text before the last "/"), empty when the path has none.
    QString logDirectory() const;
    QString filePath() const;

    // Empties the file. Called once by the process that becomes the main instance. The bytes
    // this process may still write are counted again from 0.
    void truncate();

    // Bytes one process writes into the log at most (16 MiB: about 80,000 records).
    static constexpr qint64 kMaxBytesPerRun = qint64(16) << 20;

    // The record text for a given time, thread id, level, tag and message, without I/O.
    static QString formatRecord(int hour, int minute, int second, int msec, qint64 threadId,
                                int level, const char* tag, const QString& message);

    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

private:
    explicit Logger(const QString& path);
    void append(const QString& record);

    std::mutex mutex_;
    qint64 written_ = 0;             // bytes this process wrote since its start or truncate
    std::atomic<bool> full_{false}; // the bound was reached: records are dropped
    QString path_;
    QString logDirectory_;
    HandleHolder fd_;
};

// The one way to write a record: every other source logs through these macros, never through
// Logger::instance().write*() (a test of the suite checks that). TQ_LOG takes a level chosen at
// run time.
#define TQ_LOG(level, tag, msg) Logger::instance().writeQString(level, tag, msg)
#define TQ_LOG_INFO(tag, msg) Logger::instance().writeQString(Logger::Info, tag, msg)
#define TQ_LOG_WARNING(tag, msg) Logger::instance().writeQString(Logger::Warning, tag, msg)
#define TQ_LOG_ERROR(tag, msg) Logger::instance().writeQString(Logger::Error, tag, msg)
#define TQ_LOG_DEBUG(tag, msg) Logger::instance().writeQString(Logger::Debug, tag, msg)
