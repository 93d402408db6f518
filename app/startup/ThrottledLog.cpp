#include "app/startup/ThrottledLog.h"

#include "core/Logger.h"

ThrottledLog::ThrottledLog(const char* tag, int intervalMs) : tag_(tag), intervalMs_(intervalMs)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { endInterval(); });
}

ThrottledLog::~ThrottledLog()
{
    endInterval();
}

void ThrottledLog::warn(const QString& line)
{
    if (!sinceLogged_.isValid() || sinceLogged_.elapsed() >= intervalMs_) {
        endInterval();
        TQ_LOG_WARNING(tag_, line);
        sinceLogged_.start();
        return;
    }
    ++held_;
    lastHeld_ = line;
    if (!timer_.isActive())
        timer_.start(int(qMax<qint64>(1, intervalMs_ - sinceLogged_.elapsed())));
}

void ThrottledLog::endInterval()
{
    timer_.stop();
    if (held_ == 0)
        return;
    TQ_LOG_WARNING(tag_, QStringLiteral("%1 more like this in the last second, the last: %2").arg(held_).arg(lastHeld_));
    held_ = 0;
    lastHeld_.clear();
    sinceLogged_.start();
}
