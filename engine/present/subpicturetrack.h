#pragma once

#include "engine/decode/subpicturedecoder.h"
#include "engine/demux/mediaitems.h"
#include "engine/present/subpicturecompositor.h"

#include <QRgb>

#include <array>
#include <deque>
#include <memory>
#include <optional>

// The subpicture stream being shown: its packets are reassembled and decoded
// as they arrive, and the display due at a picture's time is picked when the
// picture is composed. Ordinary displays show only while subtitles are on;
// forced ones (menu buttons, translated signs) always do.
class SubpictureTrack
{
public:
    SubpictureTrack();

    void setMode(const SubpictureMode &mode);
    void setPalette(const std::array<uint32_t, 16> &clut);
    void feed(const SubpictureData &data);
    void reset();

    // The display showing at pts, or nothing. Displays before it are dropped.
    std::shared_ptr<const SubpictureUnit> unitAt(int64_t pts);
    // Which display unitAt() last returned (0: none), to tell a change.
    uint64_t lastShown() const { return lastShown_; }
    // Whether the unit is to be drawn: forced, or subtitles are on.
    bool shows(const SubpictureUnit &unit) const { return unit.forced || mode_.visible; }
    const std::array<QRgb, 16> &palette() const { return palette_; }

private:
    void collect();

    SubpictureAssembler assembler_;
    struct Entry {
        uint64_t id = 0;
        std::shared_ptr<const SubpictureUnit> unit; // shared with pictures composed later
    };
    std::deque<Entry> units_;
    uint64_t nextId_ = 1;
    uint64_t lastShown_ = 0;
    std::array<QRgb, 16> palette_{};
    SubpictureMode mode_;
};

// The colours of a menu button as the NAV packet gives them, for the button
// selected (or, when action is set, being activated); nothing when the NAV
// packet has no such button.
std::optional<ButtonHighlight> buttonHighlight(const NavMarker &marker, int button, bool action);
