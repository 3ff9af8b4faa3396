#include "calc/units/quantities.h"

namespace humidora {

using C = AmbientControls;
constexpr std::array<Quantity, 16> kQuantities = { {
    { "temperature", "temperature", "Ambient Temperature", "Ambient Temperature", "Label2", nullptr,
        &C::Text1, &C::Combo1, &C::Label5, &C::Label4, kTemperatureUnits },
    { "pressure", "pressure", "Barometric Pressure", "Barometric Pressure", "", &C::Option8, &C::Text2,
        &C::Combo2, &C::Label7, &C::Label6, kPressureUnits },
    { "altitude", "altitude", "Altitude above Sea Level", "Altitude above Sea Level", "", &C::Option9,
        &C::Text10, &C::Combo10, &C::Label9, &C::Label8, kAltitudeUnits },
    { "relative_humidity", "relative-humidity", "Relative Humidity", "Relative Humidity", "", &C::Option2,
        &C::Text4, &C::Combo5, &C::Label11, &C::Label10, kRelativeHumidityUnits },
    { "humidity_ratio", "humidity-ratio", "Humidity Ratio", "Humidity Ratio", "", &C::Option1, &C::Text3,
        &C::Combo6, &C::Label13, &C::Label12, kHumidityRatioUnits },
    { "absolute_humidity", "absolute-humidity", "Absolute Humidity", "Absolute Humidity", "", &C::Option5,
        &C::Text7, &C::Combo7, &C::Label15, &C::Label14, kAbsoluteHumidityUnits },
    { "dew_point", "dew-point", "Dew Point Temperature", "Dew Point Temperature", "", &C::Option3, &C::Text5,
        &C::Combo3, &C::Label17, &C::Label16, kTemperatureUnits },
    { "wet_bulb", "wet-bulb", "Wet Bulb Temperature", "Wet Bulb Temperature", "", &C::Option4, &C::Text6,
        &C::Combo4, &C::Label19, &C::Label18, kTemperatureUnits },
    { "partial_pressure", "partial-pressure", "Partial Pressure of Water in Air",
        "Partial Pressure of Water in Air", "", &C::Option10, &C::Text11, &C::Combo11, &C::Label21,
        &C::Label20, kPressureUnits },
    { "mole_fraction", "mole-fraction", "Water Mole Fraction in Air", "Water Mole Fraction in Air", "",
        &C::Option6, &C::Text8, &C::Combo8, &C::Label23, &C::Label22, kWaterFractionUnits },
    { "mass_fraction", "mass-fraction", "Water Mass Fraction in Air", "Water Mass Fraction in Air", "",
        &C::Option7, &C::Text9, &C::Combo9, &C::Label25, &C::Label24, kWaterFractionUnits },
    { "gas_constant", "gas-constant", "Specific Gas Const. (R)", "Specific Gas Constant (R)", "Label29",
        nullptr, &C::Text12, &C::Combo12, nullptr, nullptr, kGasConstantUnits },
    { "molecular_weight", "molecular-weight", "Molecular Weight", "Molecular Weight", "Label32", nullptr,
        &C::Text13, &C::Combo13, nullptr, nullptr, kMolecularWeightUnits },
    { "density", "density", "Density", "Density", "Label30", nullptr, &C::Text14, &C::Combo14, nullptr,
        nullptr, kDensityUnits },
    { "specific_volume", "specific-volume", "Specific Volume", "Specific Volume", "Label31", nullptr,
        &C::Text15, &C::Combo15, nullptr, nullptr, kSpecificVolumeUnits },
    { "enthalpy", "enthalpy", "Specific Enthalpy", "Specific Enthalpy", "Label33", nullptr, &C::Text16,
        &C::Combo16, nullptr, nullptr, kEnthalpyUnits },
} };

constexpr std::array<const Quantity*, 8> kHumidityQuantities = { &kQuantities[4], &kQuantities[3],
    &kQuantities[6], &kQuantities[7], &kQuantities[5], &kQuantities[9], &kQuantities[10], &kQuantities[8] };

constexpr std::array<const Quantity*, 8> kHumidityRouteOrder = { &kQuantities[4], &kQuantities[3],
    &kQuantities[6], &kQuantities[7], &kQuantities[5], &kQuantities[8], &kQuantities[9], &kQuantities[10] };

int Quantity::optionNumber() const
{
    return OptionNumber(option);
}

int Quantity::boxNumber() const
{
    return BoxNumber(box);
}

int Quantity::listNumber() const
{
    return ListNumber(list);
}

bool Quantity::isHumidity() const
{
    return this >= &kQuantities[kFirstHumidityRow] && this < &kQuantities[kFirstPropertyRow];
}

const Quantity* FindQuantity(std::string_view key)
{
    for (const Quantity& quantity : kQuantities) {
        if (quantity.key == key)
            return &quantity;
    }
    return nullptr;
}

const Quantity* FindQuantityByOption(int option)
{
    for (const Quantity& quantity : kQuantities) {
        if (quantity.option != nullptr && quantity.optionNumber() == option)
            return &quantity;
    }
    return nullptr;
}

} // namespace humidora
