#include "engine/control/dvdcontrolinstance.h"

#include <cmath>

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

TimeCode TimeCode::fromSeconds(double seconds, int framesPerSecond)
{
    if (!(seconds > 0))
        seconds = 0;
    const auto whole = static_cast<long long>(std::floor(seconds));
    TimeCode code;
    code.hours = int(std::min<long long>(whole / 3600, 255));
    code.minutes = int((whole / 60) % 60);
    code.seconds = int(whole % 60);
    code.frames = int((seconds - double(whole)) * framesPerSecond);
    return code;
}
