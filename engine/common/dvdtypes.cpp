#include "engine/common/dvdtypes.h"

#include <algorithm>
#include <cmath>

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
