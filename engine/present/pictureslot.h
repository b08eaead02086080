#pragma once

#include "engine/present/subpicturecompositor.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

struct AVFrame;

// A presented picture not yet converted to RGB nor composed. With no view
// showing the pictures and no tap asking for their images, playback still
// decodes and presents every picture on time but converts none, as a null
// video output does; whoever asks for the picture on screen later (a view
// shown, a copy of the picture) has it made then, once.
class DeferredPicture
{
public:
    DeferredPicture(std::shared_ptr<const AVFrame> frame, QSize plane, SubpictureOverlay overlay);
    // Converted and composed on first call; null when it cannot be converted.
    QImage image() const;
    // The same picture without its subpicture overlay.
    QImage plainImage() const;

private:
    std::shared_ptr<const AVFrame> frame_;
    QSize plane_;
    SubpictureOverlay overlay_;
    mutable std::once_flag made_;
    mutable QImage image_;
    mutable QImage plain_;
};

// The picture on screen, handed from the presentation thread to the view:
// the latest one wins, and the listener (the view's repaint request) hears
// of each but those left deferred.
struct ShownPicture {
    ShownPicture() = default;
    ShownPicture(QImage image, bool wide, std::shared_ptr<const DeferredPicture> deferred = {})
        : image(std::move(image)), wide(wide), deferred(std::move(deferred))
    {
    }

    QImage image;      // composed, at the subpicture plane size (720 wide)
    QImage plain;      // the same without subpictures (shares image's data when none is drawn)
    bool wide = false; // 16:9 display aspect, else 4:3
    int64_t pts = -1;  // of the decoded picture it shows
    // Instead of image, while nobody looks (PictureSlot::latest() makes it).
    std::shared_ptr<const DeferredPicture> deferred;
    bool valid() const { return !image.isNull() || deferred; }
    // The picture's width on screen for its height.
    int displayWidth() const { return wide ? image.height() * 16 / 9 : image.height() * 4 / 3; }
};

class PictureSlot
{
public:
    void publish(ShownPicture picture);
    void clear();
    // With its images made, if it was deferred.
    ShownPicture latest() const;
    // Pictures published so far, clears not counted: tells a new picture on
    // screen from the same one painted again.
    uint64_t published() const;
    void setListener(std::function<void()> listener);
    // Whether a view shows the pictures: if not, they may be left deferred.
    void setWatched(bool watched) { watched_.store(watched); }
    bool watched() const { return watched_.load(); }

private:
    mutable std::mutex mutex_;
    ShownPicture picture_;
    uint64_t published_ = 0;
    std::function<void()> listener_;
    std::atomic<bool> watched_{false};
};
