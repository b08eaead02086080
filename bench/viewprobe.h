#pragma once

// Watches the control's view from the outside: every paint that puts a
// picture on screen is reported, with the count of pictures shown so far
// (a new count is a new picture) and the position of the picture.

#include "core/dvdcontrol/dvdengine.h"
#include "core/dvdcontrol/dvdview.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <functional>

namespace bench
{

class ViewProbe : public QObject
{
public:
    using Listener = std::function<void(uint64_t picture, double presentedSeconds)>;

    ViewProbe(DvdEngine &engine, Listener listener)
        : engine_(engine), view_(qobject_cast<DvdView *>(engine.view())),
          listener_(std::move(listener))
    {
        view_->installEventFilter(this);
    }
    ~ViewProbe() override
    {
        if (view_)
            view_->removeEventFilter(this);
    }

    // The view as a top-level window of the given size, shown.
    void showWindow(int width, int height)
    {
        view_->resize(width, height);
        view_->show();
    }
    int paintedPictures() const { return painted_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == view_ && event->type() == QEvent::Paint && !view_->pictureRect().isEmpty()) {
            ++painted_;
            listener_(engine_.picturesShown(), engine_.presentedSeconds());
        }
        return false;
    }

private:
    DvdEngine &engine_;
    QPointer<DvdView> view_;
    Listener listener_;
    int painted_ = 0;
};

} // namespace bench
