#pragma once

#include "engine/demux/mediaitems.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The menu button the VM has selected, and whether it is being pressed.
struct ButtonState {
    int button = 0;
    bool action = false;
    bool operator==(const ButtonState &) const = default;
};

// What the navigation and presentation threads tell each other outside the
// media queue: the highlight to draw (it must show at once, also during a
// still), the NAV data of the picture on screen (button commands act on what
// the user sees), and which drain requests have reached the screen.
class PresentationLink
{
public:
    void setButtons(ButtonState state);
    ButtonState buttons() const;
    uint64_t buttonSerial() const { return buttonSerial_; }

    void setOnScreen(std::shared_ptr<const NavMarker> marker);
    std::shared_ptr<const NavMarker> onScreen() const;

    // Times normal speed while scanning forward through everything (0: not).
    void setScanRate(int rate) { scanRate_ = rate; }
    int scanRate() const { return scanRate_; }

    void acknowledgeDrain(uint64_t id);
    uint64_t drained() const { return drained_; }

    // Wakes the presentation thread (set to the media queue's wake) and the
    // navigation thread (set to the command queue's wake).
    void setWakers(std::function<void()> presenter, std::function<void()> navigator);

private:
    mutable std::mutex mutex_;
    ButtonState buttons_;
    std::atomic<uint64_t> buttonSerial_{0};
    std::shared_ptr<const NavMarker> onScreen_;
    std::atomic<uint64_t> drained_{0};
    std::atomic<int> scanRate_{0};
    std::function<void()> wakePresenter_;
    std::function<void()> wakeNavigator_;
};
