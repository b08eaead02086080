#include "engine/control/dvdcontrolinstance.h"

namespace
{
std::unique_ptr<DvdControl> &instance()
{
    static std::unique_ptr<DvdControl> control;
    return control;
}
} // namespace

DvdControl *dvdControl()
{
    if (!instance())
        instance() = createRealDvdControl();
    return instance().get();
}

void installDvdControl(std::unique_ptr<DvdControl> control)
{
    instance() = std::move(control);
}

void releaseDvdControl()
{
    instance().reset();
}
