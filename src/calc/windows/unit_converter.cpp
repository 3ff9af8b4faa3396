#include "calc/windows/unit_converter.h"

#include "calc/units/number_text.h"
#include "calc/units/quantities.h"

#include <cmath>

namespace humidora {
namespace {

// Results are rounded to this many decimals, which also removes the error of a round trip through the
// base unit ("F" to "F" shows exactly the input).
constexpr int kResultDecimals = 10;

// A quantity of the converter: its caption, its unit items and the index of the base unit.
struct ConverterTable
{
    std::string_view name;
    std::span<const UnitItem> units;
    std::size_t base;
};

const std::array<ConverterTable, kConverterQuantityCount>& Table()
{
    // The properties carry the captions of their rows in the main window.
    static const std::array<ConverterTable, kConverterQuantityCount> table = { {
        { kTemperatureName, kTemperatureUnits, 1 },
        { kPressureName, kPressureUnits, 0 },
        { kLengthName, kAltitudeUnits, 0 },
        { FindQuantity("density")->caption, kDensityUnits, 0 },
        { FindQuantity("gas_constant")->caption, kGasConstantUnits, 0 },
        { FindQuantity("specific_volume")->caption, kSpecificVolumeUnits, 0 },
        { FindQuantity("enthalpy")->caption, kEnthalpyUnits, 0 },
    } };
    return table;
}

// The item of `unit` in the converter's lists, and whether it is a temperature; nullopt for another text.
std::optional<std::pair<UnitItem, bool>> FindConversion(std::string_view unit)
{
    for (const ConverterTable& quantity : Table()) {
        if (const std::optional<UnitItem> item = FindUnit(quantity.units, unit))
            return std::pair { *item, quantity.units.data() == kTemperatureUnits.data() };
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

const std::array<ConverterQuantity, kConverterQuantityCount>& ConverterQuantities()
{
    static const std::array<ConverterQuantity, kConverterQuantityCount> quantities = [] {
        std::array<ConverterQuantity, kConverterQuantityCount> made;
        for (std::size_t q = 0; q < made.size(); ++q) {
            const ConverterTable& entry = Table()[q];
            made[q].name = entry.name;
            for (const UnitItem& unit : entry.units)
                made[q].units.push_back(unit.key);
            made[q].base_unit = entry.units[entry.base].key;
        }
        return made;
    }();
    return quantities;
}

std::optional<double> IntoBaseUnit(std::string_view unit, double x)
{
    const auto conversion = FindConversion(unit);
    if (!conversion)
        return std::nullopt;
    // A factor of 1 is the base unit itself: b = x (x * 1 would be the same value).
    return conversion->second ? TemperatureToKelvin(unit, x) : conversion->first.ToBase(x);
}

std::optional<double> OutOfBaseUnit(std::string_view unit, double b)
{
    const auto conversion = FindConversion(unit);
    if (!conversion)
        return std::nullopt;
    return conversion->second ? TemperatureFromKelvin(unit, b) : conversion->first.FromBase(b);
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
