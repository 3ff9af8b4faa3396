// The texts of the seven humidity parameters a run computes: unit conversion, decimals, and the precision
// in which each shown value is held.
#include "calc/ambient_phases.h"
#include "calc/number_text.h"
#include "calc/units.h"

#include <cmath>

namespace humidora::ambient {

std::optional<std::string> HumidityRatioText(double W, std::string_view unit)
{
    if (unit == "(kg moisture)/(kg dry air)" || unit == "(lb moisture)/(lb dry air)")
        return NumberText(Finite(W), 7);
    if (unit == "(g moisture)/(kg dry air)")
        return NumberText(Finite(W * 1000), 4);
    return std::nullopt;
}

void WriteHumidityRatio(AmbientControls& controls, double W)
{
    const std::string& unit = controls.Combo6.text();
    if (auto text = HumidityRatioText(W, unit))
        controls.Text3.Show(unit == "(g moisture)/(kg dry air)" ? W * 1000 : W, std::move(*text));
}

void WriteRelativeHumidity(AmbientControls& controls, double phi)
{
    if (controls.Combo5.text() == "%")
        controls.Text4.Show(phi * 100, NumberText(Finite(phi * 100), 3));
}

void WriteDewPoint(AmbientControls& controls, double dew_point_K)
{
    // The thousandfold value is rounded to an integer first (halves to even), then written with 3
    // decimals: the dew point reaches its digits by another rounding than the wet bulb.
    const std::string& unit = controls.Combo3.text();
    double thousandfold = 0;
    if (unit == "K")
        thousandfold = dew_point_K * 1000;
    else if (unit == "C")
        thousandfold = (dew_point_K - kCelsiusOffset) * 1000;
    else if (unit == "R")
        thousandfold = dew_point_K * 1000 * 9 / 5;
    else if (unit == "F")
        thousandfold = ((dew_point_K - kCelsiusOffset) * 1.8 + 32) * 1000;
    else
        return;
    const double whole = std::nearbyint(Finite(thousandfold));
    controls.Text5.Show(thousandfold / 1000, NumberText(whole * 0.001, 3));
}

void WriteDewPointBelowMinimum(AmbientControls& controls)
{
    controls.Text5.text = "< min";
}

void WriteWetBulb(AmbientControls& controls, double wet_bulb_K)
{
    const std::string& unit = controls.Combo4.text();
    double shown = 0;
    if (unit == "K")
        shown = wet_bulb_K;
    else if (unit == "C")
        shown = wet_bulb_K - kCelsiusOffset;
    else if (unit == "R")
        shown = 9 * wet_bulb_K / 5;
    else if (unit == "F")
        shown = (wet_bulb_K - kCelsiusOffset) * 1.8 + 32;
    else
        return;
    controls.Text6.Show(shown, NumberText(Finite(shown), 3));
}

void WriteAbsoluteHumidity(AmbientControls& controls, float rho_kg_m3)
{
    const std::string& unit = controls.Combo7.text();
    if (unit == "(kg moisture)/m^3")
        controls.Text7.Show(rho_kg_m3, NumberText(Finite(rho_kg_m3), 6, Precision::Single));
    else if (unit == "(g moisture)/m^3")
        controls.Text7.Show(Single(double(rho_kg_m3) * 1000),
            NumberText(Single(double(rho_kg_m3) * 1000), 3, Precision::Single));
    else if (unit == "(lb moisture)/ft^3")
        controls.Text7.Show(rho_kg_m3 * kPoundPerCubicFootPerKgPerCubicMetre,
            NumberText(Finite(rho_kg_m3 * kPoundPerCubicFootPerKgPerCubicMetre), 6));
}

void WriteMoleFraction(AmbientControls& controls, double x)
{
    if (controls.Combo8.text() == "%")
        controls.Text8.Show(x * 100, FixedText(Finite(x * 100), FixedPattern::OptionalDigit));
}

void WriteMassFraction(AmbientControls& controls, double w)
{
    if (controls.Combo9.text() == "%")
        controls.Text9.Show(w * 100, FixedText(Finite(w * 100), FixedPattern::OptionalDigit));
}

void WritePartialPressure(AmbientControls& controls, float vapour_pressure_Pa)
{
    const auto unit = FindPressureUnit(controls.Combo11.text());
    if (!unit)
        return;
    // In the units whose shown value is itself held in single precision the quotient is narrowed first.
    const double p_v = vapour_pressure_Pa;
    const bool single = unit->key == "Pa" || unit->key == "kPa" || unit->key == "mBar";
    const double shown = single ? Single(p_v / unit->pascal_per_unit) : Finite(p_v / unit->pascal_per_unit);
    controls.Text11.Show(
        shown, NumberText(shown, unit->decimals, single ? Precision::Single : Precision::Double));
}

} // namespace humidora::ambient
