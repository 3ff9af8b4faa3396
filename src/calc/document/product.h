// The product's name, version and web address: one place for every window, document and front end.
#pragma once

#include "calc/version.h"

#include <string_view>

namespace humidora {

inline constexpr std::string_view kProductName = "Humidora";
inline constexpr std::string_view kProductVersion = HUMIDORA_VERSION;
/// "Humidora 1.1" (name and version): the name the windows, menus and documents show.
inline constexpr std::string_view kProductTitle = "Humidora " HUMIDORA_VERSION;
/// The maker's web address, shown on the web button and in the main window's title.
inline constexpr std::string_view kWebAddress = HUMIDORA_WEB_ADDRESS;

} // namespace humidora
