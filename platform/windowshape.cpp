#include "platform/windowshape.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <vector>

bool SetDeviceShape(QWidget *window, const QRegion &devicePixels)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // Under the offscreen platform the interface exists but has no connection.
    if (!x11 || !x11->connection() || !window->windowHandle() || devicePixels.isEmpty())
        return false;
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(size_t(devicePixels.rectCount()));
    for (const QRect &r : devicePixels)
        rects.push_back(
            {int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    xcb_connection_t *connection = x11->connection();
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED, xcb_window_t(window->winId()), 0, 0,
                         uint32_t(rects.size()), rects.data());
    xcb_flush(connection);
    return true;
}
