#include "surfaces/skin.h"

// The resources live in a static library: referring to them here links them in.
static void initialiseResources()
{
    Q_INIT_RESOURCE(controlbar);
}

namespace Skin
{

QImage controlBar()
{
    initialiseResources();
    return QImage(QStringLiteral(":/controlbar/controlbar.bmp"));
}

QPixmap discLogo()
{
    initialiseResources();
    return QPixmap(QStringLiteral(":/controlbar/dvdlogo.png"));
}

} // namespace Skin
