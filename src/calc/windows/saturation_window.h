// The saturation window's behaviour without any toolkit: the saturation pressure of water at a
// temperature, or its saturation temperature at a pressure, by both formulations side by side. A front
// end forwards the user's events here and shows controls(); the command line drives the same object.
#pragma once

#include "calc/units/ambient_controls.h"
#include "calc/units/units.h"

#include <array>
#include <optional>
#include <string>

namespace humidora {

/// Top of each of the window's seven rows, in twips from the top of the client area.
inline constexpr std::array<int, 7> kSaturationRowTop = { 120, 480, 960, 1560, 2040, 2520, 3000 };
/// The row (1..7) of the input unit and of the output unit.
inline constexpr int kSaturationInputUnitRow = 2;
inline constexpr int kSaturationOutputUnitRow = 5;

/// Label1's background once the window is loaded.
inline constexpr Rgb kSaturationLabel1Background = { 165, 162, 135 };

/// Temperature limits (K) and pressure limits (Pa) of the input, both ends included. The lower
/// temperature lies a little below 173.15 K so that -100 C, which converts to just under it, is accepted.
inline constexpr double kSaturationLowestTemperatureK = 173.1499;
inline constexpr double kSaturationHighestTemperatureK = 473.15;
inline constexpr double kSaturationLowestPressurePa = 0.0015;
inline constexpr double kSaturationHighestPressurePa = 1555000;

/// The controls of the saturation window, in the state the window is created with (before loading).
struct SaturationControls
{
    SaturationControls();

    UnitList Combo1;                           ///< mode: "Temperature", "Pressure"
    UnitList Combo2;                           ///< temperature units "C", "K", "F", "R"
    UnitList Combo3;                           ///< pressure units "Pa" .. "PSI"
    std::string Text1 = "100";                 ///< the input value
    std::string Text2;                         ///< IAPWS result (read-only)
    std::string Text3;                         ///< Hyland-Wexler result (read-only)
    std::string Label4 = "Pressure";           ///< name of the output quantity
    int Combo2_row = kSaturationInputUnitRow;  ///< row (1..7) in which Combo2 stands
    int Combo3_row = kSaturationOutputUnitRow; ///< row (1..7) in which Combo3 stands
    std::optional<Rgb> Label1_background;      ///< unset: the platform's standard label background

    bool operator==(const SaturationControls&) const = default;
};

class SaturationWindow
{
public:
    /// The window as created: lists filled, nothing selected, nothing computed.
    SaturationWindow() = default;

    /// Loading: "Temperature", "C" and "kPa" are selected in this order, each a selection event of its
    /// own (so the first two recalculations still find a unit list without selection), then Label1 gets
    /// its background.
    void Load();

    /// Selection of item `index` in Combo1 (mode), Combo2 (temperature unit) or Combo3 (pressure unit).
    /// The mode selection moves the unit lists and renames the output, then each of them recalculates.
    /// An index outside the list is ignored.
    void SelectMode(int index);
    void SelectTemperatureUnit(int index);
    void SelectPressureUnit(int index);

    /// The text of Text1 changes: a whole number recalculates, anything else puts "Error" into both
    /// result boxes.
    void EditText1(const std::string& text);

    const SaturationControls& controls() const { return controls_; }

    /// Number of recalculations since construction.
    long recalculations() const { return recalculations_; }

private:
    void Recalculate();
    void WriteResults(const std::string& text);

    SaturationControls controls_;
    long recalculations_ = 0;
};

} // namespace humidora
