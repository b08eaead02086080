#include "engine/present/presentationlink.h"

void PresentationLink::setButtons(ButtonState state)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        if (buttons_ == state)
            return;
        buttons_ = state;
        ++buttonSerial_;
        wake = wakePresenter_;
    }
    if (wake)
        wake();
}

ButtonState PresentationLink::buttons() const
{
    std::lock_guard lock(mutex_);
    return buttons_;
}

void PresentationLink::setOnScreen(std::shared_ptr<const NavMarker> marker)
{
    std::lock_guard lock(mutex_);
    onScreen_ = std::move(marker);
}

std::shared_ptr<const NavMarker> PresentationLink::onScreen() const
{
    std::lock_guard lock(mutex_);
    return onScreen_;
}

void PresentationLink::acknowledgeDrain(uint64_t id)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        drained_ = id;
        wake = wakeNavigator_;
    }
    if (wake)
        wake();
}

void PresentationLink::setWakers(std::function<void()> presenter, std::function<void()> navigator)
{
    std::lock_guard lock(mutex_);
    wakePresenter_ = std::move(presenter);
    wakeNavigator_ = std::move(navigator);
}
