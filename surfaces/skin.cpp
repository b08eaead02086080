#include "surfaces/skin.h"

// The resources live in a static library: referring to them here links them in.
static void initialiseResources()
{
    Q_INIT_RESOURCE(controlbar);
}

namespace Skin
{

QImage controlBar(int scale)
{
    initialiseResources();
    return QImage(scale >= 2 ? QStringLiteral(":/controlbar/controlbar@2x.bmp")
                             : QStringLiteral(":/controlbar/controlbar.bmp"));
}

QPixmap discLogo(qreal devicePixelRatio)
{
    initialiseResources();
    if (devicePixelRatio <= 1.0)
        return QPixmap(QStringLiteral(":/controlbar/dvdlogo.png"));
    QPixmap logo(QStringLiteral(":/controlbar/dvdlogo@2x.png"));
    logo.setDevicePixelRatio(2.0);
    return logo;
}

} // namespace Skin
