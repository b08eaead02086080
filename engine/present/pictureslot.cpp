#include "engine/present/pictureslot.h"

// The listener runs under the lock, so that once it is cleared no thread is
// still calling it.
void PictureSlot::publish(ShownPicture picture)
{
    std::lock_guard lock(mutex_);
    if (picture.valid())
        ++published_;
    picture_ = std::move(picture);
    if (listener_)
        listener_();
}

void PictureSlot::clear()
{
    publish({});
}

ShownPicture PictureSlot::latest() const
{
    std::lock_guard lock(mutex_);
    return picture_;
}

uint64_t PictureSlot::published() const
{
    std::lock_guard lock(mutex_);
    return published_;
}

void PictureSlot::setListener(std::function<void()> listener)
{
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}
