// The about window's picture: drawn at build time by make_about_picture from the product's own property
// routines and embedded in the library humidora_assets as a Qt resource. Link humidora_assets and load
// the picture from AboutPicturePath().
#pragma once

#include <QString>

namespace humidora {

/// Size of the about picture in pixels.
inline constexpr int kAboutPictureWidth = 348;
inline constexpr int kAboutPictureHeight = 341;

/// Resource path of the about picture, ":/humidora/about.png".
QString AboutPicturePath();

} // namespace humidora
