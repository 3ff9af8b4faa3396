// What the user enters and chooses in the main window: the record that brings the window back to a state
// exactly (a saved calculation, the command line, a state point). Computed values are not part of it.
#pragma once

#include "calc/units/ambient_controls.h"

#include <array>
#include <string>

namespace humidora {

/// The unit system whose check mark is set.
enum class UnitSystem
{
    Metric,
    British,
    Customized
};

struct AmbientInputs
{
    bool iapws = true; ///< formulation: IAPWS, else Hyland-Wexler
    UnitSystem system = UnitSystem::Metric;
    std::array<int, 16> selections = kMetricSelection; ///< item index of Combo1..Combo16
    bool altitude_given = false;                       ///< Option9 selected (else Option8)
    int humidity_option = 2;                           ///< the selected humidity option: 1..7 or 10
    std::string temperature = "25";                    ///< Text1
    std::string pressure = "101.325";                  ///< Text2 when the pressure is given
    std::string altitude;                              ///< Text10 when the altitude is given
    std::string humidity = "50";                       ///< the box of humidity_option

    bool operator==(const AmbientInputs&) const = default;
};

} // namespace humidora
