#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

class LibraryLog;
struct dvd_reader_s;

// Where a title can be read on after a block that cannot: the VOBUs of its
// program chain from the title set's address map, each tried by reading its
// NAV pack through a libdvdread handle of its own (libdvdnav's is busy
// reading). Positions count sectors of the program chain, as libdvdnav's
// sector search takes them. Opened on the first damage, on the navigation
// thread.
class ReadableVobus
{
public:
    explicit ReadableVobus(const QString &path);
    ~ReadableVobus();
    ReadableVobus(const ReadableVobus &) = delete;
    ReadableVobus &operator=(const ReadableVobus &) = delete;

    // The first VOBU past `position` of program chain `chain` of title set
    // `titleSet` whose NAV pack can be read; nothing when none is left.
    std::optional<uint32_t> nextAfter(int titleSet, int chain, uint32_t position);
    // How many programs the chain has; 0 when it cannot be told.
    int programs(int titleSet, int chain);

private:
    struct TitleSet;
    TitleSet *titleSet(int number);

    QString path_;
    std::unique_ptr<LibraryLog> log_;
    dvd_reader_s *reader_ = nullptr;
    std::map<int, std::unique_ptr<TitleSet>> sets_;
};
