#include "calc/ambient_controls.h"

#include <algorithm>

namespace humidora {
namespace {

const std::vector<std::string> kTemperatureItems = { "C", "K", "F", "R" };
const std::vector<std::string> kPressureItems
    = { "Pa", "kPa", "Bar", "mBar", "mm H2O", "mm Hg", "Atmosphere", "PSI" };
const std::vector<std::string> kPercentItems = { "%" };

} // namespace

Rgb BackgroundRgb(Background background)
{
    switch (background) {
    case Background::Standard:
        return { 255, 255, 255 };
    case Background::Cyan:
        return { 0, 255, 255 };
    case Background::Red:
        return { 255, 0, 0 };
    case Background::Yellow:
        return { 255, 255, 0 };
    case Background::LightRed:
        return { 255, 128, 128 };
    case Background::GreyGreen:
        return { 129, 177, 162 };
    case Background::LightOrange:
        return { 255, 192, 128 };
    }
    return { 255, 255, 255 };
}

const std::string& UnitList::text() const
{
    static const std::string none;
    if (selected < 0 || selected >= static_cast<int>(items.size()))
        return none;
    return items[static_cast<std::size_t>(selected)];
}

int UnitList::IndexOf(std::string_view item) const
{
    const auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

AmbientControls::AmbientControls()
{
    Combo1.items = kTemperatureItems;
    Combo2.items = kPressureItems;
    Combo3.items = kTemperatureItems;
    Combo4.items = kTemperatureItems;
    Combo5.items = kPercentItems;
    Combo6.items
        = { "(kg moisture)/(kg dry air)", "(g moisture)/(kg dry air)", "(lb moisture)/(lb dry air)" };
    Combo7.items = { "(kg moisture)/m^3", "(g moisture)/m^3", "(lb moisture)/ft^3" };
    Combo8.items = kPercentItems;
    Combo9.items = kPercentItems;
    Combo10.items = { "m", "km", "mile", "ft" };
    Combo11.items = kPressureItems;
    Combo12.items = { "J/kg-K", "kJ/kg-K", "cal/kg-K", "kcal/kg-K", "btu/lb-R" };
    Combo13.items = { "kg/kmol", "lbm/lbmol" };
    Combo14.items = { "kg/m^3", "g/cm^3", "lb/ft^3" };
    Combo15.items = { "m^3/kg (dry air)", "cm^3/g (dry air)", "ft^3/lb (dry air)" };
    Combo16.items = { "kJ/kg (dry air)", "kcal/kg (dry air)", "btu/lb (dry air)" };

    // The three inputs at start: temperature, barometric pressure, relative humidity.
    for (ValueBox* box : { &Text1, &Text2, &Text4 }) {
        box->locked = false;
        box->background = Background::Standard;
    }
    Text1.text = "25";
    Text2.text = "101.325";
    Text4.text = "50";
    Text2.font_size = 8.25;
    Text10.font_size = 6.75;

    for (std::size_t i = 0; i < kLimitLabels.size(); ++i) {
        // Label4, Label6, ... (even numbers) are maxima; Label5, Label7, ... minima.
        (this->*kLimitLabels[i].label).background = i % 2 == 0 ? Background::LightRed : Background::GreyGreen;
    }
    Label10.caption = "100";
    for (LimitLabel* label : { &Label11, &Label13, &Label15, &Label21, &Label23, &Label25 })
        label->caption = "0";
}

const std::array<NamedBox, 16> kValueBoxes = { {
    { "Text1", &AmbientControls::Text1 },
    { "Text2", &AmbientControls::Text2 },
    { "Text3", &AmbientControls::Text3 },
    { "Text4", &AmbientControls::Text4 },
    { "Text5", &AmbientControls::Text5 },
    { "Text6", &AmbientControls::Text6 },
    { "Text7", &AmbientControls::Text7 },
    { "Text8", &AmbientControls::Text8 },
    { "Text9", &AmbientControls::Text9 },
    { "Text10", &AmbientControls::Text10 },
    { "Text11", &AmbientControls::Text11 },
    { "Text12", &AmbientControls::Text12 },
    { "Text13", &AmbientControls::Text13 },
    { "Text14", &AmbientControls::Text14 },
    { "Text15", &AmbientControls::Text15 },
    { "Text16", &AmbientControls::Text16 },
} };

const std::array<NamedList, 16> kUnitLists = { {
    { "Combo1", &AmbientControls::Combo1 },
    { "Combo2", &AmbientControls::Combo2 },
    { "Combo3", &AmbientControls::Combo3 },
    { "Combo4", &AmbientControls::Combo4 },
    { "Combo5", &AmbientControls::Combo5 },
    { "Combo6", &AmbientControls::Combo6 },
    { "Combo7", &AmbientControls::Combo7 },
    { "Combo8", &AmbientControls::Combo8 },
    { "Combo9", &AmbientControls::Combo9 },
    { "Combo10", &AmbientControls::Combo10 },
    { "Combo11", &AmbientControls::Combo11 },
    { "Combo12", &AmbientControls::Combo12 },
    { "Combo13", &AmbientControls::Combo13 },
    { "Combo14", &AmbientControls::Combo14 },
    { "Combo15", &AmbientControls::Combo15 },
    { "Combo16", &AmbientControls::Combo16 },
} };

const std::array<NamedOption, 10> kOptions = { {
    { "Option1", &AmbientControls::Option1 },
    { "Option2", &AmbientControls::Option2 },
    { "Option3", &AmbientControls::Option3 },
    { "Option4", &AmbientControls::Option4 },
    { "Option5", &AmbientControls::Option5 },
    { "Option6", &AmbientControls::Option6 },
    { "Option7", &AmbientControls::Option7 },
    { "Option8", &AmbientControls::Option8 },
    { "Option9", &AmbientControls::Option9 },
    { "Option10", &AmbientControls::Option10 },
} };

const std::array<NamedLabel, 22> kLimitLabels = { {
    { "Label4", &AmbientControls::Label4 },
    { "Label5", &AmbientControls::Label5 },
    { "Label6", &AmbientControls::Label6 },
    { "Label7", &AmbientControls::Label7 },
    { "Label8", &AmbientControls::Label8 },
    { "Label9", &AmbientControls::Label9 },
    { "Label10", &AmbientControls::Label10 },
    { "Label11", &AmbientControls::Label11 },
    { "Label12", &AmbientControls::Label12 },
    { "Label13", &AmbientControls::Label13 },
    { "Label14", &AmbientControls::Label14 },
    { "Label15", &AmbientControls::Label15 },
    { "Label16", &AmbientControls::Label16 },
    { "Label17", &AmbientControls::Label17 },
    { "Label18", &AmbientControls::Label18 },
    { "Label19", &AmbientControls::Label19 },
    { "Label20", &AmbientControls::Label20 },
    { "Label21", &AmbientControls::Label21 },
    { "Label22", &AmbientControls::Label22 },
    { "Label23", &AmbientControls::Label23 },
    { "Label24", &AmbientControls::Label24 },
    { "Label25", &AmbientControls::Label25 },
} };

int ValueBoxNumber(ValueBox AmbientControls::*box)
{
    for (std::size_t i = 0; i < kValueBoxes.size(); ++i) {
        if (kValueBoxes[i].box == box)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

using C = AmbientControls;
const std::array<QuantityControls, 16> kQuantities = { {
    { "temperature", nullptr, &C::Text1, &C::Combo1, &C::Label5, &C::Label4 },
    { "pressure", &C::Option8, &C::Text2, &C::Combo2, &C::Label7, &C::Label6 },
    { "altitude", &C::Option9, &C::Text10, &C::Combo10, &C::Label9, &C::Label8 },
    { "relative_humidity", &C::Option2, &C::Text4, &C::Combo5, &C::Label11, &C::Label10 },
    { "humidity_ratio", &C::Option1, &C::Text3, &C::Combo6, &C::Label13, &C::Label12 },
    { "absolute_humidity", &C::Option5, &C::Text7, &C::Combo7, &C::Label15, &C::Label14 },
    { "dew_point", &C::Option3, &C::Text5, &C::Combo3, &C::Label17, &C::Label16 },
    { "wet_bulb", &C::Option4, &C::Text6, &C::Combo4, &C::Label19, &C::Label18 },
    { "partial_pressure", &C::Option10, &C::Text11, &C::Combo11, &C::Label21, &C::Label20 },
    { "mole_fraction", &C::Option6, &C::Text8, &C::Combo8, &C::Label23, &C::Label22 },
    { "mass_fraction", &C::Option7, &C::Text9, &C::Combo9, &C::Label25, &C::Label24 },
    { "gas_constant", nullptr, &C::Text12, &C::Combo12, nullptr, nullptr },
    { "molecular_weight", nullptr, &C::Text13, &C::Combo13, nullptr, nullptr },
    { "density", nullptr, &C::Text14, &C::Combo14, nullptr, nullptr },
    { "specific_volume", nullptr, &C::Text15, &C::Combo15, nullptr, nullptr },
    { "enthalpy", nullptr, &C::Text16, &C::Combo16, nullptr, nullptr },
} };

const std::array<const QuantityControls*, 8> kHumidityQuantities = { &kQuantities[4], &kQuantities[3],
    &kQuantities[6], &kQuantities[7], &kQuantities[5], &kQuantities[9], &kQuantities[10], &kQuantities[8] };

const std::array<int, 16> kMetricSelection = { 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0 };
const std::array<int, 16> kBritishSelection = { 2, 7, 2, 2, 0, 2, 2, 0, 0, 3, 7, 4, 1, 2, 2, 2 };

} // namespace humidora
