#include "engine/present/pictureslot.h"

#include "engine/decode/pictureconverter.h"

#include <utility>

DeferredPicture::DeferredPicture(std::shared_ptr<const AVFrame> frame, QSize plane,
                                 SubpictureOverlay overlay)
    : frame_(std::move(frame)), plane_(plane), overlay_(std::move(overlay))
{
}

QImage DeferredPicture::image() const
{
    std::call_once(made_, [this] {
        if (!frame_)
            return;
        PictureConverter converter;
        QImage image = converter.convert(*frame_, plane_);
        plain_ = image;
        overlay_.drawOn(image);
        image_ = std::move(image);
    });
    return image_;
}

QImage DeferredPicture::plainImage() const
{
    image();
    return plain_;
}

// The listener runs under the lock, so that once it is cleared no thread is
// still calling it. A deferred picture is one no view shows: nothing to
// repaint.
void PictureSlot::publish(ShownPicture picture)
{
    std::lock_guard lock(mutex_);
    if (picture.valid())
        ++published_;
    const bool repaint = !picture.deferred;
    picture_ = std::move(picture);
    if (listener_ && repaint)
        listener_();
}

void PictureSlot::clear()
{
    publish({});
}

ShownPicture PictureSlot::latest() const
{
    ShownPicture picture;
    {
        std::lock_guard lock(mutex_);
        picture = picture_;
    }
    // Made outside the lock: the presentation thread publishes on meanwhile.
    if (picture.image.isNull() && picture.deferred) {
        picture.image = picture.deferred->image();
        picture.plain = picture.deferred->plainImage();
        picture.deferred.reset();
    }
    return picture;
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
