#include "engine/control/dvdcontrolinstance.h"
#include "engine/control/dvdengine.h"

std::unique_ptr<DvdControl> createRealDvdControl()
{
    return std::make_unique<DvdEngine>();
}
