#include "core/ontopbas.h"

#include "platform/desktop.h"

void SetOnTop(QWidget *window, bool onTop)
{
    Desktop::setStayOnTop(window, onTop);
}
