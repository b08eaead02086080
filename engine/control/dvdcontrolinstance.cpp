#include "engine/control/dvdcontrolinstance.h"

#include <utility>

namespace
{
// Owned through install and release only: nothing destroys the control after
// main() has returned, when the application object is gone.
DvdControl *&instance()
{
    static DvdControl *control = nullptr;
    return control;
}
} // namespace

DvdControl *dvdControl()
{
    if (!instance())
        instance() = createRealDvdControl().release();
    return instance();
}

void installDvdControl(std::unique_ptr<DvdControl> control)
{
    delete std::exchange(instance(), control.release());
}

void releaseDvdControl()
{
    delete std::exchange(instance(), nullptr);
}
