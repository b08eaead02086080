#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <mutex>

// The picture on screen, handed from the presentation thread to the view:
// the latest one wins, and the listener (the view's repaint request) hears
// of each.
struct ShownPicture {
    QImage image;      // composed, at the subpicture plane size (720 wide)
    bool wide = false; // 16:9 display aspect, else 4:3
    bool valid() const { return !image.isNull(); }
    // The picture's width on screen for its height.
    int displayWidth() const { return wide ? image.height() * 16 / 9 : image.height() * 4 / 3; }
};

class PictureSlot
{
public:
    void publish(ShownPicture picture);
    void clear();
    ShownPicture latest() const;
    // Pictures published so far, clears not counted: tells a new picture on
    // screen from the same one painted again.
    uint64_t published() const;
    void setListener(std::function<void()> listener);

private:
    mutable std::mutex mutex_;
    ShownPicture picture_;
    uint64_t published_ = 0;
    std::function<void()> listener_;
};
