#include "engine/source/librarylog.h"

#include <cstdarg>
#include <cstdio>

namespace
{

QString format(const char *text, va_list args)
{
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, text, args);
    return QString::fromLocal8Bit(buffer).trimmed();
}

void readerLog(void *log, dvd_logger_level_t level, const char *text, va_list args)
{
    if (log)
        static_cast<LibraryLog *>(log)->add(level == DVD_LOGGER_LEVEL_ERROR, format(text, args));
}

void navigatorLog(void *log, dvdnav_logger_level_t level, const char *text, va_list args)
{
    if (log)
        static_cast<LibraryLog *>(log)->add(level == DVDNAV_LOGGER_LEVEL_ERROR, format(text, args));
}

const dvd_logger_cb kReaderCallbacks{readerLog};
const dvdnav_logger_cb kNavigatorCallbacks{navigatorLog};

} // namespace

void LibraryLog::add(bool isError, const QString &line)
{
    if (!isError || line.isEmpty())
        return;
    std::lock_guard lock(mutex_);
    lastError_ = line;
}

QString LibraryLog::lastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

const dvd_logger_cb *LibraryLog::readerCallbacks()
{
    return &kReaderCallbacks;
}

const dvdnav_logger_cb *LibraryLog::navigatorCallbacks()
{
    return &kNavigatorCallbacks;
}
