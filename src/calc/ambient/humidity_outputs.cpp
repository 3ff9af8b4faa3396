// The texts of the seven humidity parameters a run computes: unit conversion, decimals, and the precision
// in which each shown value is held.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"

#include <cmath>

namespace humidora::ambient {

std::optional<std::string> HumidityRatioText(double W, std::string_view unit)
{
    const std::optional<UnitItem> item = FindUnit(kHumidityRatioUnits, unit);
    if (!item)
        return std::nullopt;
    return NumberText(Finite(item->FromBase(W)), item->decimals);
}

void WriteInUnit(ValueBox& box, const UnitList& list, std::span<const UnitItem> units, double value)
{
    if (const std::optional<UnitItem> unit = FindUnit(units, list.text())) {
        const double shown = unit->FromBase(value);
        box.Show(shown, NumberText(Finite(shown), unit->decimals));
    }
}

void WriteHumidityRatio(AmbientControls& controls, double W)
{
    WriteInUnit(controls.Text3, controls.Combo6, kHumidityRatioUnits, W);
}

void WriteRelativeHumidity(AmbientControls& controls, double phi)
{
    WriteInUnit(controls.Text4, controls.Combo5, kRelativeHumidityUnits, phi);
}

void WriteDewPoint(AmbientControls& controls, double dew_point_K)
{
    // The thousandfold value is rounded to an integer first (halves to even), then written with 3
    // decimals: the dew point reaches its digits by another rounding than the wet bulb.
    const std::optional<double> thousandfold = DewPointThousandfold(controls.Combo3.text(), dew_point_K);
    if (!thousandfold)
        return;
    const double whole = std::nearbyint(Finite(*thousandfold));
    controls.Text5.Show(*thousandfold / 1000, NumberText(whole * 0.001, 3));
}

void WriteDewPointBelowMinimum(AmbientControls& controls)
{
    controls.Text5.text = "< min";
}

void WriteWetBulb(AmbientControls& controls, double wet_bulb_K)
{
    if (const std::optional<double> shown = TemperatureFromKelvin(controls.Combo4.text(), wet_bulb_K))
        controls.Text6.Show(*shown, NumberText(Finite(*shown), 3));
}

namespace {

// True when `unit` is one of the units in which a box holds its shown value in single precision.
bool HeldInSingle(const UnitItem& unit, std::initializer_list<const UnitItem*> single_units)
{
    for (const UnitItem* single : single_units) {
        if (single->key == unit.key)
            return true;
    }
    return false;
}

// `shown` into `box` with the decimals of `unit`, held in single precision where `single`.
void ShowHeld(ValueBox& box, double shown, const UnitItem& unit, bool single)
{
    if (single) {
        const float held = Single(shown);
        box.Show(held, NumberText(held, unit.decimals, Precision::Single));
    } else {
        box.Show(shown, NumberText(Finite(shown), unit.decimals));
    }
}

} // namespace

bool AbsoluteHumidityHeldInSingle(const UnitItem& unit)
{
    // The metric values are held in single precision, the British one is not.
    return HeldInSingle(unit, { &kAbsoluteHumidityUnits[0], &kAbsoluteHumidityUnits[1] });
}

bool PartialPressureHeldInSingle(const UnitItem& unit)
{
    return HeldInSingle(unit, { &kPressureUnits[0], &kPressureUnits[1], &kPressureUnits[3] });
}

void WriteAbsoluteHumidity(AmbientControls& controls, float rho_kg_m3)
{
    if (const std::optional<UnitItem> unit = FindUnit(kAbsoluteHumidityUnits, controls.Combo7.text()))
        ShowHeld(controls.Text7, unit->FromBase(rho_kg_m3), *unit, AbsoluteHumidityHeldInSingle(*unit));
}

void WriteMoleFraction(AmbientControls& controls, double x)
{
    if (const std::optional<UnitItem> unit = FindUnit(kWaterFractionUnits, controls.Combo8.text())) {
        const double shown = unit->FromBase(x);
        controls.Text8.Show(shown, FixedText(Finite(shown), FixedPattern::OptionalDigit));
    }
}

void WriteMassFraction(AmbientControls& controls, double w)
{
    if (const std::optional<UnitItem> unit = FindUnit(kWaterFractionUnits, controls.Combo9.text())) {
        const double shown = unit->FromBase(w);
        controls.Text9.Show(shown, FixedText(Finite(shown), FixedPattern::OptionalDigit));
    }
}

void WritePartialPressure(AmbientControls& controls, float vapour_pressure_Pa)
{
    // In the units whose shown value is itself held in single precision the quotient is narrowed first.
    if (const std::optional<UnitItem> unit = FindPressureUnit(controls.Combo11.text()))
        ShowHeld(
            controls.Text11, unit->FromBase(vapour_pressure_Pa), *unit, PartialPressureHeldInSingle(*unit));
}

} // namespace humidora::ambient
