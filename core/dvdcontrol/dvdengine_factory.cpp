#include "core/dvdcontrol/dvdcontrolinstance.h"
#include "core/errors.h"

// FIXME: replaced by the libdvdnav engine.
std::unique_ptr<DvdControl> createRealDvdControl()
{
    throw AppError(ErrorNumbers::kUnexpected, QStringLiteral("The DVD engine is not built in."));
}
