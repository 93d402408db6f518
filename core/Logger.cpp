#include "core/Logger.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"
#include "core/UserFiles.h"

#include <QDateTime>
#include <QDir>
#include <QTime>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const char* levelWord(int level)
{
    switch (level) {
    case Logger::Info: return "INFO";
    case Logger::Warning: return "WARNING";
    case Logger::Error: return "ERROR";
    case Logger::Debug: return "DEBUG";
    default: return "";
    }
}

qint64 currentThreadId()
{
    return static_cast<qint64>(::syscall(SYS_gettid));
}

std::atomic<bool> g_open{false};

// UTF-16 little-endian bytes, built without reinterpreting the host's wchar_t.
QByteArray utf16le(const QString& text)
{
    QByteArray bytes;
    bytes.resize(text.size() * 2);
    char* out = bytes.data();
    for (const QChar c : text) {
        const ushort u = c.unicode();
        *out++ = static_cast<char>(u & 0xFF);
        *out++ = static_cast<char>(u >> 8);
    }
    return bytes;
}

QString stampedRecord(int level, const char* tag, const QString& message)
{
    const QTime now = QTime::currentTime();
    return Logger::formatRecord(now.hour(), now.minute(), now.second(), now.msec(), currentThreadId(),
                                level, tag, message);
}

} // namespace

Logger& Logger::instance(const QString& path)
{
    // Start-up creates the logger on the main thread before any other thread exists; the
    // function-local static also makes a racing first use safe.
    static Logger logger(path);
    g_open.store(true, std::memory_order_release);
    return logger;
}

bool Logger::isOpen()
{
    return g_open.load(std::memory_order_acquire);
}

Logger::Logger(const QString& path)
    : path_(path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        logDirectory_ = path.left(slash);
    if (!path.isEmpty())
        fd_ = UserFiles::openForAppending(path);
}

Logger::~Logger() = default;

QString Logger::logDirectory() const
{
    return logDirectory_;
}

QString Logger::filePath() const
{
    return path_;
}

void Logger::truncate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_.isValid())
        (void)::ftruncate(fd_.handle(), 0);
    written_ = 0;
    full_ = false;
}

QString Logger::formatRecord(int hour, int minute, int second, int msec, qint64 threadId,
                             int level, const char* tag, const QString& message)
{
    QString record;
    record.reserve(32 + message.size());
    record += QStringLiteral("%1:%2:%3:%4 %5\t")
                  .arg(hour, 2, 10, QLatin1Char('0'))
                  .arg(minute)
                  .arg(second)
                  .arg(msec, 3, 10, QLatin1Char('0'))
                  .arg(threadId);
    record += QLatin1String(levelWord(level));
    record += QLatin1Char('\t');
    record += QLatin1String(tag ? tag : "");
    record += QLatin1Char('\t');
    record += message;
    record += QLatin1String("\r\n");
    return record;
}

void Logger::writeQString(int level, const char* tag, const QString& message)
{
    if (!fd_.isValid() || full_.load(std::memory_order_relaxed))
        return;
    append(stampedRecord(level, tag, message));
}

void Logger::write(int level, const char* tag, const std::wstring& message)
{
    writeQString(level, tag, QString::fromStdWString(message));
}

void Logger::writeCString(int level, const char* tag, const char* message)
{
    writeQString(level, tag, QString::fromLatin1(message ? message : ""));
}

void Logger::append(const QString& record)
{
    const QByteArray bytes = utf16le(record);
    std::lock_guard<std::mutex> lock(mutex_);
    if (full_)
        return;
    // Room is kept for the notice, so that it too stays within the bound.
    constexpr qint64 kNoticeRoom = 512;
    if (written_ + bytes.size() <= kMaxBytesPerRun - kNoticeRoom) {
        // A write failure is never reported to the caller.
        if (writeFully(fd_.handle(), bytes))
            written_ += bytes.size();
        return;
    }
    full_ = true;
    const QByteArray notice = utf16le(stampedRecord(
        Warning, "Logger",
        QStringLiteral("The log of this process reached its limit of %1 MiB; later records are not written.")
            .arg(kMaxBytesPerRun >> 20)));
    if (writeFully(fd_.handle(), notice))
        written_ += notice.size();
}
