// The product's name, version and web address: one place for every window, document and front end.
#pragma once

#include <string_view>

namespace humidora {

inline constexpr std::string_view kProductName = "Humidora";
inline constexpr std::string_view kProductVersion = "1.1";
/// "Humidora 1.1": the name the windows, menus and documents show.
inline constexpr std::string_view kProductTitle = "Humidora 1.1";
/// The maker's web address, shown on the web button and in the main window's title. A reserved example
/// domain until the project has a domain of its own.
inline constexpr std::string_view kWebAddress = "www.humidora.example";

} // namespace humidora
