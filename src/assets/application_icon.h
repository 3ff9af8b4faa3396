// The application icon: the PNG renderings of humidora.svg, embedded as Qt resources of humidora_assets.
#pragma once

#include <QIcon>

namespace humidora {

/// The icon of every window, in all rendered sizes, so that Qt picks a real rendering (not a scaled
/// one) for each size and device pixel ratio.
QIcon ApplicationIcon();

} // namespace humidora
