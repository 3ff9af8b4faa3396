#include "assets/about_picture.h"

namespace humidora {

QString AboutPicturePath()
{
    return QStringLiteral(":/humidora/about.png");
}

} // namespace humidora
