#include "engine/control/dvdcontrolinstance.h"
#include "engine/control/dvdengine.h"

std::unique_ptr<DvdControl> createRealDvdControl(RegionChooser chooser, const QString &bookmarkFile)
{
    auto engine = std::make_unique<DvdEngine>();
    engine->setRegionChooser(std::move(chooser));
    engine->setBookmarkFile(bookmarkFile);
    return engine;
}
