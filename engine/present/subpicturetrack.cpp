#include "engine/present/subpicturetrack.h"

#include <dvdnav/dvdnav.h>

#include <limits>

SubpictureTrack::SubpictureTrack()
{
    // Until the disc sends its palette: the first entries of a grey ramp.
    uint32_t grey[16];
    for (uint32_t i = 0; i < 16; ++i)
        grey[i] = (16 + i * 14) << 16 | 0x8080;
    palette_ = paletteFromClut(grey);
}

void SubpictureTrack::setMode(const SubpictureMode &mode)
{
    if (mode.physical != mode_.physical)
        reset();
    mode_ = mode;
}

void SubpictureTrack::setPalette(const std::array<uint32_t, 16> &clut)
{
    palette_ = paletteFromClut(clut.data());
}

void SubpictureTrack::feed(const SubpictureData &data)
{
    assembler_.feed(data.bytes.data(), data.bytes.size(), data.pts);
    collect();
}

void SubpictureTrack::reset()
{
    assembler_.reset();
    units_.clear();
}

void SubpictureTrack::collect()
{
    while (std::optional<SubpictureUnit> unit = assembler_.take()) {
        // Without a timestamp a display starts as soon as it arrives.
        if (unit->startPts < 0)
            unit->startPts = std::numeric_limits<int64_t>::min();
        units_.push_back({nextId_++, std::make_shared<const SubpictureUnit>(std::move(*unit))});
    }
}

std::shared_ptr<const SubpictureUnit> SubpictureTrack::unitAt(int64_t pts)
{
    while (units_.size() > 1 && units_[1].unit->startPts <= pts)
        units_.pop_front();
    lastShown_ = 0;
    if (units_.empty() || units_.front().unit->startPts > pts)
        return nullptr;
    const SubpictureUnit &unit = *units_.front().unit;
    if ((unit.endPts >= 0 && pts >= unit.endPts) || unit.area.isEmpty())
        return nullptr;
    lastShown_ = units_.front().id;
    return units_.front().unit;
}

std::optional<ButtonHighlight> buttonHighlight(const NavMarker &marker, int button, bool action)
{
    if (!marker.hasButtons() || button < 1 || button > marker.pci.hli.hl_gi.btn_ns)
        return std::nullopt;
    pci_t pci = marker.pci;
    dvdnav_highlight_area_t area{};
    if (dvdnav_get_highlight_area(&pci, button, action ? 1 : 0, &area) != DVDNAV_STATUS_OK)
        return std::nullopt;
    return highlightFromPalette(QRect(QPoint(area.sx, area.sy), QPoint(area.ex, area.ey)),
                                area.palette);
}
