#pragma once

#include "engine/common/streaminfo.h"

#include <QString>

#include <dvdread/ifo_types.h>

#include <array>
#include <cstdint>
#include <vector>

struct dvd_reader_s;

// What a disc's IFO files say, read once when a disc is opened: titles with
// their chapters, angles, stored lengths and streams, and the menus of each
// title set. The navigation thread learns the same things from the VM as it
// plays; this is what the GUI and the command-line modes can answer from
// without touching the drive again.
struct TitleInfo {
    int title = 0;    // 1-based, disc-wide
    int titleSet = 0; // VTS number
    int vtsTitle = 0; // title number inside its VTS
    int chapters = 0;
    int angles = 1;
    int64_t duration90k = 0; // the stored length of the title's program chains
    QString unreadable;      // why the title cannot be played; empty when it can
    std::vector<AudioStreamInfo> audio;
    std::vector<SubpictureStreamInfo> subpictures;
};

struct TitleSetInfo {
    int number = 0;
    bool readable = false;
    bool wide = false;        // 16:9 titles
    int framesPerSecond = 25; // 25 PAL, 30 NTSC
    std::array<bool, 8>
        menus{}; // [menu id] present: 3 root, 4 subpicture, 5 audio, 6 angle, 7 chapter
};

struct DiscInfo {
    QString discId; // 32 lowercase hex digits
    int discSide = 1;
    bool hasTitleMenu = false;
    int framesPerSecond = 25;
    int allowedRegions = 0xFF; // bit r-1: the disc plays in region r
    std::vector<TitleSetInfo> titleSets;
    std::vector<TitleInfo> titles;

    const TitleInfo *title(int number) const;
    bool anyTitleReadable() const;
    const TitleSetInfo *titleSet(int number) const;
};

// Reads the IFO files through an open libdvdread handle. Throws AppError when
// the video manager cannot be read; the titles of a title set that cannot be
// read are marked unreadable, with the reason.
DiscInfo readDiscInfo(dvd_reader_s *reader, const QString &sourceName);

// A BCD playback time of the IFO files in 90 kHz ticks; 0 when malformed.
int64_t dvdTimeTo90k(const dvd_time_t &time);

// The text of an audio format code.
QString audioFormatName(int formatCode);

// An audio stream as its attributes (in the IFO files or from the VM)
// describe it.
AudioStreamInfo audioStreamInfo(int stream, const audio_attr_t &attr);
