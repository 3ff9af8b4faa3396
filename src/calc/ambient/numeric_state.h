// The main window's calculation on numbers: the state of moist air from double inputs in the chosen
// units, with the window's acceptance rules and the window's doubles, but without forming a text. An
// input is accepted exactly when the window accepts its shortest round-trip text, every result is the
// number behind the text the window shows (the value the batch's full numbers write), and a refused
// input is refused for the same reason with the same limits.
//
// Use:
//   NumericSetup setup;                       // relative humidity, pressure, IAPWS, metric units
//   setup.humidity = FindQuantity("dew_point");
//   const NumericCalculation calculation(setup);
//   NumericState state;
//   calculation.Compute(25, 101.325, 12.5, state);
//   if (!state.refusal) use(state.values[6]);  // kQuantities row order, in the selected units
#pragma once

#include "calc/ambient/ambient_inputs.h"
#include "calc/ambient/ambient_state.h"
#include "calc/units/quantities.h"
#include "calc/units/refusal.h"
#include "core/properties.h"

#include <array>
#include <optional>
#include <string_view>

namespace humidora {

/// What stays the same from state to state: the given humidity parameter, pressure or altitude, the
/// formulation and the units.
struct NumericSetup
{
    const Quantity* humidity = FindQuantity("relative_humidity"); ///< one of the eight humidity rows
    bool altitude_given = false; ///< the altitude is given, else the pressure
    SaturationMethod method = kIapws;
    std::array<int, 16> selections = kMetricSelection; ///< item index of each unit list, Combo1..Combo16
};

/// One state: why it was refused, or every value.
struct NumericState
{
    /// Why the window would refuse these inputs; nothing for an accepted state. An input's `text` is its
    /// shortest round-trip text ("nan" for a value that is not finite, refused as not a number).
    std::optional<Refusal> refusal;
    /// The sixteen quantities in kQuantities row order, in the selected units: each given input as it
    /// came, each computed value the number behind the window's text. NaN where the window shows a text
    /// that is not a number (NotANumberText) and, for a refused state, everywhere.
    std::array<double, 16> values {};
    /// The state record the window keeps after the same run (SI units); meaningful when accepted. Its dew
    /// point is NaN where the window keeps an earlier run's (beyond the reach of the property routines).
    AmbientState state;
    double wet_bulb = 0; ///< K; the wet bulb, which the record does not keep
};

/// The text the window shows in row `row` where NumericState::values holds NaN in an accepted state: "<
/// min" for a dew point beyond the reach of the property routines, "Out of Range" for an altitude outside
/// its limits; empty for every other row.
std::string_view NotANumberText(std::size_t row);

/// The calculation for one setup, prepared once (its units and the limits of the ambient inputs) and then
/// run for any number of states, from any number of threads.
class NumericCalculation
{
public:
    /// Throws std::invalid_argument for a quantity that is not a humidity parameter or a unit index that
    /// its list does not hold.
    explicit NumericCalculation(const NumericSetup& setup = {});

    /// The state from the temperature, the pressure (or the altitude) and the humidity parameter, each in
    /// its selected unit. Never throws; a refused state leaves `state.state` unspecified.
    void Compute(double temperature, double pressure_or_altitude, double humidity, NumericState& state) const;
    NumericState Compute(double temperature, double pressure_or_altitude, double humidity) const;

    const NumericSetup& setup() const { return setup_; }
    /// The unit item selected for row `row` of kQuantities.
    const UnitItem& unit(std::size_t row) const { return *units_[row]; }
    /// The values of the minimum and maximum labels of the temperature, the pressure and the altitude in
    /// their units, in that order: constants of the setup.
    const std::array<double, 6>& ambient_limits() const { return ambient_limits_; }

private:
    NumericSetup setup_;
    std::array<const UnitItem*, 16> units_ {};
    std::array<double, 6> ambient_limits_ {};
};

/// The selections of a saved or typed set of inputs (AmbientInputs) as a setup, for comparing the two.
NumericSetup NumericSetupOf(const AmbientInputs& inputs);

} // namespace humidora
