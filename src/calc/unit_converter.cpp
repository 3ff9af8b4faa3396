#include "calc/unit_converter.h"

#include "calc/number_text.h"
#include "calc/saturation_window.h"
#include "calc/units.h"

#include <cmath>

namespace humidora {
namespace {

// Results are rounded to this many decimals, which also removes the error of a round trip through the
// base unit ("F" to "F" shows exactly the input).
constexpr int kResultDecimals = 10;

// How a unit relates to its base unit: b = x * factor (out: b / factor) or b = x / factor (out:
// b * factor). The temperatures have formulas of their own.
enum class Relation
{
    Times,
    Per,
    Temperature
};

struct Conversion
{
    std::string_view unit;
    Relation relation;
    double factor;
};

// The units that neither the pressure nor the length table holds. "btu/lb-R" equals "kcal/kg-K".
constexpr std::array<Conversion, 18> kOtherConversions = { {
    { "C", Relation::Temperature, 0 },
    { "K", Relation::Temperature, 0 },
    { "F", Relation::Temperature, 0 },
    { "R", Relation::Temperature, 0 },
    { "kg/m^3", Relation::Times, 1 },
    { "g/cm^3", Relation::Times, 1000 },
    { "lb/ft^3", Relation::Times, 16.01846 },
    { "J/kg-K", Relation::Times, 1 },
    { "kJ/kg-K", Relation::Times, 1000 },
    { "cal/kg-K", Relation::Times, 4.1868 },
    { "kcal/kg-K", Relation::Times, 4186.8 },
    { "btu/lb-R", Relation::Times, 4186.8 },
    { "m^3/kg (dry air)", Relation::Times, 1 },
    { "cm^3/g (dry air)", Relation::Per, 1000 },
    { "ft^3/lb (dry air)", Relation::Per, 16.01846 },
    { "kJ/kg (dry air)", Relation::Times, 1 },
    { "kcal/kg (dry air)", Relation::Times, 4.1868 },
    { "btu/lb (dry air)", Relation::Per, 0.42992 },
} };

std::optional<Conversion> FindConversion(std::string_view unit)
{
    if (const std::optional<PressureUnit> pressure = FindPressureUnit(unit))
        return Conversion { unit, Relation::Times, pressure->pascal_per_unit };
    if (const std::optional<AltitudeUnit> length = FindAltitudeUnit(unit))
        return Conversion { unit, Relation::Times, length->metre_per_unit };
    for (const Conversion& conversion : kOtherConversions) {
        if (conversion.unit == unit)
            return conversion;
    }
    return std::nullopt;
}

UnitList MakeList(const std::vector<std::string_view>& items)
{
    UnitList list;
    for (const std::string_view item : items)
        list.items.emplace_back(item);
    return list;
}

bool ValidIndex(const UnitList& list, int index)
{
    return index >= 0 && index < static_cast<int>(list.items.size());
}

} // namespace

bool IsNumberBeginning(std::string_view text)
{
    std::size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (i == text.size())
        return true;
    if (!digit || (text[i] != 'E' && text[i] != 'e'))
        return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    return i == text.size();
}

const std::array<ConverterQuantity, kConverterQuantityCount>& ConverterQuantities()
{
    static const std::array<ConverterQuantity, kConverterQuantityCount> quantities = { {
        { "Temperature", { "C", "K", "F", "R" }, "K" },
        { "Pressure", { "Pa", "kPa", "Bar", "mBar", "mm H2O", "mm Hg", "Atmosphere", "PSI" }, "Pa" },
        { "Length", { "m", "km", "mile", "ft" }, "m" },
        { "Density", { "kg/m^3", "g/cm^3", "lb/ft^3" }, "kg/m^3" },
        { "Specific Gas Const. (R)", { "J/kg-K", "kJ/kg-K", "cal/kg-K", "kcal/kg-K", "btu/lb-R" }, "J/kg-K" },
        { "Specific Volume", { "m^3/kg (dry air)", "cm^3/g (dry air)", "ft^3/lb (dry air)" },
            "m^3/kg (dry air)" },
        { "Specific Enthalpy", { "kJ/kg (dry air)", "kcal/kg (dry air)", "btu/lb (dry air)" },
            "kJ/kg (dry air)" },
    } };
    return quantities;
}

std::optional<double> IntoBaseUnit(std::string_view unit, double x)
{
    const std::optional<Conversion> conversion = FindConversion(unit);
    if (!conversion)
        return std::nullopt;
    switch (conversion->relation) {
    case Relation::Times:
        // A factor of 1 is the base unit itself: b = x (x * 1 would be the same value).
        return x * conversion->factor;
    case Relation::Per:
        return x / conversion->factor;
    case Relation::Temperature:
        return TemperatureToKelvin(unit, x);
    }
    return std::nullopt;
}

std::optional<double> OutOfBaseUnit(std::string_view unit, double b)
{
    const std::optional<Conversion> conversion = FindConversion(unit);
    if (!conversion)
        return std::nullopt;
    switch (conversion->relation) {
    case Relation::Times:
        return b / conversion->factor;
    case Relation::Per:
        return b * conversion->factor;
    case Relation::Temperature:
        return TemperatureFromKelvin(unit, b);
    }
    return std::nullopt;
}

UnitConverterControls::UnitConverterControls()
{
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        const ConverterQuantity& quantity = ConverterQuantities()[q];
        Combo1.items.emplace_back(quantity.name);
        Combo2[q] = MakeList(quantity.units);
        Combo3[q] = MakeList(quantity.units);
    }
    Combo2_visible.fill(true);
    Combo3_visible.fill(true);
}

void UnitConverter::Open()
{
    SelectQuantity(0);
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        SelectFromUnit(q, 0);
        SelectToUnit(q, 0);
    }
    focus_request_ = FocusRequest { ConverterControl::Combo1, false };
}

void UnitConverter::SelectQuantity(int index)
{
    if (!ValidIndex(controls_.Combo1, index))
        return;
    controls_.Combo1.selected = index;
    controls_.Combo2_visible.fill(false);
    controls_.Combo3_visible.fill(false);
    controls_.Combo2_visible[index] = true;
    controls_.Combo3_visible[index] = true;
    Convert();
}

void UnitConverter::SelectFromUnit(int quantity, int index)
{
    if (quantity < 0 || quantity >= kConverterQuantityCount || !ValidIndex(controls_.Combo2[quantity], index))
        return;
    controls_.Combo2[quantity].selected = index;
    Convert();
}

void UnitConverter::SelectToUnit(int quantity, int index)
{
    if (quantity < 0 || quantity >= kConverterQuantityCount || !ValidIndex(controls_.Combo3[quantity], index))
        return;
    controls_.Combo3[quantity].selected = index;
    Convert();
}

void UnitConverter::EditText1(const std::string& text)
{
    controls_.Text1 = text;
    Convert();
}

std::optional<FocusRequest> UnitConverter::TakeFocusRequest()
{
    std::optional<FocusRequest> request = focus_request_;
    focus_request_.reset();
    return request;
}

void UnitConverter::Convert()
{
    ++conversions_;
    if (!IsNumberText(controls_.Text1)) {
        controls_.Text2 = "Error";
        focus_request_ = FocusRequest { ConverterControl::Text1, !IsNumberBeginning(controls_.Text1) };
        return;
    }
    const double x = NumberValue(controls_.Text1);
    const int q = controls_.Combo1.selected;
    // While the window opens, a unit list may have no selection yet: nothing is converted then.
    if (q < 0 || q >= kConverterQuantityCount)
        return;
    const std::optional<double> b = IntoBaseUnit(controls_.Combo2[q].text(), x);
    if (!b)
        return;
    const std::optional<double> result = OutOfBaseUnit(controls_.Combo3[q].text(), *b);
    if (!result)
        return;
    // A valid number whose conversion leaves the double range would otherwise show as infinity.
    if (!std::isfinite(*b) || !std::isfinite(*result)) {
        controls_.Text2 = kConverterOutOfRange;
        return;
    }
    controls_.Text2 = PlainNumberText(RoundHalfEven(*result, kResultDecimals), 15);
}

} // namespace humidora
