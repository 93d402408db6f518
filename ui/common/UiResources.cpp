#include "ui/common/UiResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce()
{
    Q_INIT_RESOURCE(tallowquist);
}

void initUiResources()
{
    static const bool done = (initResourcesOnce(), true);
    Q_UNUSED(done);
}

QIcon applicationIcon()
{
    initUiResources();
    return QIcon(QStringLiteral(":/images/tallowquist-pro.svg"));
}
