#include "calc/windows/saturation_window.h"

#include "calc/units/number_text.h"
#include "calc/units/units.h"
#include "core/properties.h"

namespace humidora {
namespace {

// Results are rounded to this many decimals before they are written (pressures in Pa before the unit
// division, temperatures after the conversion out of kelvin).
constexpr int kResultDecimals = 8;

UnitList MakeList(std::span<const UnitItem> units)
{
    UnitList list;
    for (const UnitItem& unit : units)
        list.items.emplace_back(unit.key);
    return list;
}

std::string ResultText(double value)
{
    return PlainNumberText(value, 15);
}

} // namespace

SaturationControls::SaturationControls()
    : Combo1 { { std::string(kTemperatureName), std::string(kPressureName) }, -1 }
    , Combo2(MakeList(kTemperatureUnits))
    , Combo3(MakeList(kPressureUnits))
{
}

void SaturationWindow::Load()
{
    SelectMode(controls_.Combo1.IndexOf(kTemperatureName));
    SelectTemperatureUnit(controls_.Combo2.IndexOf(kCelsius.key));
    SelectPressureUnit(controls_.Combo3.IndexOf(kPressureUnits[1].key));
    controls_.Label1_background = kSaturationLabel1Background;
}

void SaturationWindow::SelectMode(int index)
{
    if (index < 0 || index >= static_cast<int>(controls_.Combo1.items.size()))
        return;
    controls_.Combo1.selected = index;
    if (controls_.Combo1.text() == kTemperatureName) {
        controls_.Label4 = kPressureName;
        controls_.Combo2_row = kSaturationInputUnitRow;
        controls_.Combo3_row = kSaturationOutputUnitRow;
    } else if (controls_.Combo1.text() == kPressureName) {
        controls_.Label4 = kTemperatureName;
        controls_.Combo2_row = kSaturationOutputUnitRow;
        controls_.Combo3_row = kSaturationInputUnitRow;
    }
    Recalculate();
}

void SaturationWindow::SelectTemperatureUnit(int index)
{
    if (index < 0 || index >= static_cast<int>(controls_.Combo2.items.size()))
        return;
    controls_.Combo2.selected = index;
    Recalculate();
}

void SaturationWindow::SelectPressureUnit(int index)
{
    if (index < 0 || index >= static_cast<int>(controls_.Combo3.items.size()))
        return;
    controls_.Combo3.selected = index;
    Recalculate();
}

void SaturationWindow::EditText1(const std::string& text)
{
    controls_.Text1 = text;
    if (IsNumberText(text))
        Recalculate();
    else
        WriteResults("Error");
}

void SaturationWindow::WriteResults(const std::string& text)
{
    controls_.Text2 = text;
    controls_.Text3 = text;
}

// While the window loads, a unit list may have no selection yet: an input in no unit is taken as 0,
// which lies outside both ranges, and results in no unit are not written at all.
void SaturationWindow::Recalculate()
{
    ++recalculations_;
    const double value = NumberValue(controls_.Text1);
    const std::optional<PressureUnit> pressure_unit = FindPressureUnit(controls_.Combo3.text());

    if (controls_.Combo1.text() == kTemperatureName) {
        const double temperature_K = TemperatureToKelvin(controls_.Combo2.text(), value).value_or(0);
        if (!(temperature_K >= kSaturationLowestTemperatureK
                && temperature_K <= kSaturationHighestTemperatureK)) {
            WriteResults("Out of Range");
            return;
        }
        const double iapws_Pa = SaturationPressure(temperature_K, kIapws);
        const double hyland_wexler_Pa = SaturationPressure(temperature_K, kHylandWexler);
        if (!pressure_unit)
            return;
        // The pressure is rounded in pascal; the quotient is written as it comes.
        controls_.Text2 = ResultText(pressure_unit->FromBase(RoundHalfEven(iapws_Pa, kResultDecimals)));
        controls_.Text3
            = ResultText(pressure_unit->FromBase(RoundHalfEven(hyland_wexler_Pa, kResultDecimals)));
    } else if (controls_.Combo1.text() == kPressureName) {
        const double pressure_Pa = pressure_unit ? pressure_unit->ToBase(value) : 0;
        if (!(pressure_Pa >= kSaturationLowestPressurePa && pressure_Pa <= kSaturationHighestPressurePa)) {
            WriteResults("Out of Range");
            return;
        }
        const double iapws_K = SaturationTemperature(pressure_Pa, kIapws);
        const double hyland_wexler_K = SaturationTemperature(pressure_Pa, kHylandWexler);
        const std::string_view unit = controls_.Combo2.text();
        const std::optional<double> iapws = TemperatureFromKelvin(unit, iapws_K);
        const std::optional<double> hyland_wexler = TemperatureFromKelvin(unit, hyland_wexler_K);
        if (!iapws || !hyland_wexler)
            return;
        controls_.Text2 = ResultText(RoundHalfEven(*iapws, kResultDecimals));
        controls_.Text3 = ResultText(RoundHalfEven(*hyland_wexler, kResultDecimals));
    }
}

} // namespace humidora
