#pragma once

#include <QString>

#include <dvdnav/dvdnav.h>
#include <dvdread/dvd_reader.h>

#include <mutex>

// Collects what libdvdread and libdvdnav report, instead of letting them
// print to the terminal, and keeps the last error line so that a failure can
// say why the library gave up.
class LibraryLog
{
public:
    void add(bool isError, const QString &line);
    QString lastError() const;

    // Callback tables to pass to DVDOpen2 / dvdnav_open2 with this log as
    // their private handle.
    static const dvd_logger_cb *readerCallbacks();
    static const dvdnav_logger_cb *navigatorCallbacks();

private:
    mutable std::mutex mutex_;
    QString lastError_;
};
