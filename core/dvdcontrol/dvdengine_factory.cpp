#include "core/dvdcontrol/dvdcontrolinstance.h"
#include "core/dvdcontrol/dvdengine.h"

std::unique_ptr<DvdControl> createRealDvdControl()
{
    return std::make_unique<DvdEngine>();
}
