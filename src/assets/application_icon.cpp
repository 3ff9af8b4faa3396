#include "assets/application_icon.h"

#include <QString>

namespace humidora {

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : { HUMIDORA_ICON_SIZES })
        icon.addFile(QStringLiteral(":/humidora/icons/humidora-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace humidora
