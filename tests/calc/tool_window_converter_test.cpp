// The unit converter's logic: opening, quantity switching, the two-step conversions and "Error".
#include "calc/windows/unit_converter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace humidora {
namespace {

int QuantityIndex(const char* name)
{
    const auto& quantities = ConverterQuantities();
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        if (quantities[q].name == name)
            return q;
    }
    ADD_FAILURE() << "no quantity " << name;
    return 0;
}

// An opened converter switched to a quantity and units, then given an input as if typed.
UnitConverter Converter(const char* quantity, const char* from, const char* to, const char* input)
{
    UnitConverter converter;
    converter.Open();
    (void)converter.TakeFocusRequest(); // the opening's focus on Combo1
    const int q = QuantityIndex(quantity);
    converter.SelectQuantity(q);
    converter.SelectFromUnit(q, converter.controls().Combo2[q].IndexOf(from));
    converter.SelectToUnit(q, converter.controls().Combo3[q].IndexOf(to));
    converter.EditText1(input);
    return converter;
}

TEST(UnitConverterCreation, ListsAreFilledVisibleAndUnselected)
{
    const UnitConverter converter;
    const UnitConverterControls& c = converter.controls();
    EXPECT_EQ(c.Combo1.items,
        (std::vector<std::string> { "Temperature", "Pressure", "Length", "Density", "Specific Gas Const. (R)",
            "Specific Volume", "Specific Enthalpy" }));
    EXPECT_EQ(c.Combo2[4].items,
        (std::vector<std::string> { "J/kg-K", "kJ/kg-K", "cal/kg-K", "kcal/kg-K", "btu/lb-R" }));
    EXPECT_EQ(c.Combo3[5].items,
        (std::vector<std::string> { "m^3/kg (dry air)", "cm^3/g (dry air)", "ft^3/lb (dry air)" }));
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        EXPECT_EQ(c.Combo2[q].items, c.Combo3[q].items) << q;
        EXPECT_EQ(c.Combo2[q].selected, -1) << q;
        EXPECT_TRUE(c.Combo2_visible[q] && c.Combo3_visible[q]) << q;
    }
    EXPECT_EQ(c.Text1, "1");
    EXPECT_EQ(c.Text2, "1");
}

TEST(UnitConverterOpen, ShowsTemperatureCelsiusToCelsiusWithFocusOnTheQuantity)
{
    UnitConverter converter;
    converter.Open();
    const UnitConverterControls& c = converter.controls();
    EXPECT_EQ(c.Combo1.text(), "Temperature");
    EXPECT_EQ(c.Combo2[0].text(), "C");
    EXPECT_EQ(c.Combo3[0].text(), "C");
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        EXPECT_EQ(c.Combo2[q].selected, 0) << q;
        EXPECT_EQ(c.Combo3[q].selected, 0) << q;
        EXPECT_EQ(c.Combo2_visible[q], q == 0) << q;
        EXPECT_EQ(c.Combo3_visible[q], q == 0) << q;
    }
    EXPECT_EQ(c.Text1, "1");
    EXPECT_EQ(c.Text2, "1");
    // One conversion for the quantity, one for each of the fourteen unit lists.
    EXPECT_EQ(converter.conversions(), 15);
    EXPECT_EQ(converter.TakeFocusRequest(), (FocusRequest { ConverterControl::Combo1, false }));
    EXPECT_FALSE(converter.TakeFocusRequest().has_value());
}

struct ConversionCase
{
    const char* name;
    const char* quantity;
    const char* from;
    const char* to;
    const char* input;
    const char* result;
};

void PrintTo(const ConversionCase& c, std::ostream* out)
{
    *out << c.input << ' ' << c.from << " to " << c.to;
}

class UnitConverterResults : public testing::TestWithParam<ConversionCase>
{
};

TEST_P(UnitConverterResults, ShowsTheRoundedResult)
{
    const ConversionCase& c = GetParam();
    UnitConverter converter = Converter(c.quantity, c.from, c.to, c.input);
    EXPECT_EQ(converter.controls().Text2, c.result);
    EXPECT_EQ(converter.TakeFocusRequest(), std::nullopt);
}

const ConversionCase kConversionCases[] = {
    { "BoilingPointCelsiusToFahrenheit", "Temperature", "C", "F", "100", "212" },
    { "MinusFortyIsTheSameInCelsiusAndFahrenheit", "Temperature", "C", "F", "-40", "-40" },
    { "FahrenheitRoundTripIsExact", "Temperature", "F", "F", "1", "1" },
    { "AbsoluteZeroInCelsius", "Temperature", "K", "C", "0", "-273.15" },
    { "RankineToKelvin", "Temperature", "R", "K", "1", ".5555555556" },
    // Too large for the rounding to ten decimals: the digits show the order x * 5 / 9 (x * (5 / 9) and
    // x / 9 * 5 give 555556.144444444).
    { "RankineToKelvinInFifteenDigits", "Temperature", "R", "K", "1000001.06", "555556.144444445" },
    { "KelvinToRankine", "Temperature", "K", "R", "5", "9" },
    { "AtmosphereToPsi", "Pressure", "Atmosphere", "PSI", "1", "14.6959494004" },
    { "PascalToKilopascalHasNoLeadingZero", "Pressure", "Pa", "kPa", "1", ".001" },
    { "NegativeBelowOneHasNoLeadingZero", "Pressure", "Pa", "kPa", "-250", "-.25" },
    { "MillimetreOfWaterIs9point8638Pa", "Pressure", "mm H2O", "Pa", "1", "9.8638" },
    { "PsiIs6894point757Pa", "Pressure", "PSI", "Pa", "1", "6894.757" },
    { "MillimetreOfMercury", "Pressure", "mm Hg", "mBar", "1", "1.33322" },
    { "BarToPascal", "Pressure", "Bar", "Pa", "1", "100000" },
    { "MileToFeet", "Length", "mile", "ft", "1", "5279.9868766404" },
    { "KilometreToMetre", "Length", "km", "m", "1", "1000" },
    { "ExponentInputAndOutput", "Length", "m", "m", "1E20", "1E+20" },
    { "ResultBelowTenDecimalsIsZero", "Length", "m", "km", "1e-12", "0" },
    { "PoundPerCubicFootToGramPerCubicCentimetre", "Density", "lb/ft^3", "g/cm^3", "1", ".01601846" },
    { "BtuPerPoundRankineEqualsKilocaloriePerKilogramKelvin", "Specific Gas Const. (R)", "btu/lb-R",
        "kcal/kg-K", "1", "1" },
    { "BtuPerPoundRankineToCaloriePerKilogramKelvin", "Specific Gas Const. (R)", "btu/lb-R", "cal/kg-K", "1",
        "1000" },
    { "KilojouleToJoule", "Specific Gas Const. (R)", "kJ/kg-K", "J/kg-K", "1", "1000" },
    // The specific-volume units divide into the base unit: 16.01846 ft^3/lb are 1 m^3/kg.
    { "CubicFeetPerPoundDivideIntoTheBase", "Specific Volume", "ft^3/lb (dry air)", "m^3/kg (dry air)",
        "16.01846", "1" },
    { "CubicCentimetrePerGramDivideIntoTheBase", "Specific Volume", "cm^3/g (dry air)", "m^3/kg (dry air)",
        "1", ".001" },
    { "CubicMetrePerKilogramToCubicFeetPerPound", "Specific Volume", "m^3/kg (dry air)", "ft^3/lb (dry air)",
        "1", "16.01846" },
    { "BtuPerPoundDividesIntoTheBase", "Specific Enthalpy", "btu/lb (dry air)", "kJ/kg (dry air)", "0.42992",
        "1" },
    { "KilocaloriePerKilogramToKilojoule", "Specific Enthalpy", "kcal/kg (dry air)", "kJ/kg (dry air)", "1",
        "4.1868" },
    { "BlanksAroundTheNumberAreAllowed", "Pressure", "kPa", "Pa", "  2.5  ", "2500" },
};

INSTANTIATE_TEST_SUITE_P(Conversions, UnitConverterResults, testing::ValuesIn(kConversionCases),
    [](const testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.name); });

struct ErrorCase
{
    const char* text;
    bool select_all;
};

TEST(UnitConverterError, TextThatIsNoNumberShowsErrorAndMovesTheFocusToTheInput)
{
    const ErrorCase cases[] = {
        { "", true },
        { "   ", true },
        { "abc", true },
        { "12abc", true },
        { "1,5", true },
        { "1 2", true },
        { "--", true },
        { "1e5e", true },
        // The beginnings of a number stay unselected, so that typing "-40" or "1E20" key by key works.
        { "-", false },
        { "+", false },
        { ".", false },
        { "-.", false },
        { "1e", false },
        { " 1E-", false },
        { "2.5e+", false },
        { "1e999", false },
    };
    for (const ErrorCase& c : cases) {
        UnitConverter converter = Converter("Pressure", "kPa", "Pa", "5");
        converter.EditText1(c.text);
        EXPECT_EQ(converter.controls().Text2, "Error") << '"' << c.text << '"';
        EXPECT_EQ(converter.controls().Text1, c.text);
        EXPECT_EQ(converter.TakeFocusRequest(), (FocusRequest { ConverterControl::Text1, c.select_all }))
            << '"' << c.text << '"';
    }
}

// Key by key, as the window receives the edits: every intermediate text either converts or is a
// beginning of a number that keeps the user's keystrokes.
TEST(UnitConverterError, NegativeAndExponentNumbersCanBeTypedKeyByKey)
{
    for (const std::string typed : { "-40", "1E20", "-.5", "+2e-3" }) {
        UnitConverter converter = Converter("Temperature", "C", "C", "1");
        std::string text;
        for (const char key : typed) {
            text += key;
            converter.EditText1(text);
            const std::optional<FocusRequest> focus = converter.TakeFocusRequest();
            EXPECT_TRUE(!focus || !focus->select_all) << typed << " at " << text;
        }
        EXPECT_NE(converter.controls().Text2, "Error") << typed;
    }
}

TEST(UnitConverterError, NumberBeginningsAreRecognised)
{
    for (const char* text : { "-", "+", ".", "-.", "5", "5.", ".5", "1e", "1E+", "1e-3", "  -" })
        EXPECT_TRUE(IsNumberBeginning(text)) << '"' << text << '"';
    for (const char* text : { "", " ", "e", ".e", "-e", "1..", "1e5.", "1e+-", "1 ", "a", "1,", "--" })
        EXPECT_FALSE(IsNumberBeginning(text)) << '"' << text << '"';
}

TEST(UnitConverterError, ANumberAfterAnErrorConvertsAgain)
{
    UnitConverter converter = Converter("Pressure", "kPa", "Pa", "abc");
    converter.EditText1("2");
    EXPECT_EQ(converter.controls().Text2, "2000");
}

TEST(UnitConverterError, UnitChosenWhileTheTextIsNoNumberKeepsError)
{
    UnitConverter converter = Converter("Pressure", "kPa", "Pa", "abc");
    (void)converter.TakeFocusRequest();
    converter.SelectToUnit(1, 0);
    EXPECT_EQ(converter.controls().Text2, "Error");
    EXPECT_EQ(converter.TakeFocusRequest(), (FocusRequest { ConverterControl::Text1, true }));
}

// A valid number can convert beyond the double range; the box then says so instead of showing infinity.
TEST(UnitConverterOverflow, ResultBeyondTheDoubleRangeIsOutOfRange)
{
    const ConversionCase cases[] = {
        { "", "Pressure", "kPa", "Pa", "1E308", "" },
        { "", "Pressure", "kPa", "Pa", "-1E308", "" },
        { "", "Temperature", "F", "K", "1.7E308", "" },
        { "", "Specific Volume", "m^3/kg (dry air)", "cm^3/g (dry air)", "1E306", "" },
    };
    for (const ConversionCase& c : cases) {
        UnitConverter converter = Converter(c.quantity, c.from, c.to, c.input);
        EXPECT_EQ(converter.controls().Text2, "Out of Range") << c.input << ' ' << c.from;
        EXPECT_EQ(converter.TakeFocusRequest(), std::nullopt);
    }
    // The largest values that still fit are written in full.
    EXPECT_EQ(Converter("Pressure", "Pa", "kPa", "1E308").controls().Text2, "1E+305");
}

TEST(UnitConverterQuantity, OnlyThePairOfTheChosenQuantityIsVisible)
{
    UnitConverter converter;
    converter.Open();
    for (int chosen = 0; chosen < kConverterQuantityCount; ++chosen) {
        converter.SelectQuantity(chosen);
        for (int q = 0; q < kConverterQuantityCount; ++q) {
            EXPECT_EQ(converter.controls().Combo2_visible[q], q == chosen) << chosen << ' ' << q;
            EXPECT_EQ(converter.controls().Combo3_visible[q], q == chosen) << chosen << ' ' << q;
        }
    }
}

TEST(UnitConverterQuantity, SwitchingAwayAndBackKeepsTheChosenUnits)
{
    UnitConverter converter = Converter("Pressure", "kPa", "PSI", "1");
    const std::string pressure_result = converter.controls().Text2;
    converter.SelectQuantity(QuantityIndex("Length"));
    EXPECT_EQ(converter.controls().Text2, "1"); // "m" to "m"
    converter.SelectQuantity(QuantityIndex("Pressure"));
    EXPECT_EQ(converter.controls().Combo2[1].text(), "kPa");
    EXPECT_EQ(converter.controls().Combo3[1].text(), "PSI");
    EXPECT_EQ(converter.controls().Text2, pressure_result);
    EXPECT_EQ(pressure_result, ".1450377439"); // 1 kPa in PSI
}

TEST(UnitConverterQuantity, HiddenListsConvertNothing)
{
    // A unit chosen in a hidden list keeps its selection and converts with the visible pair.
    UnitConverter converter = Converter("Pressure", "kPa", "Pa", "3");
    converter.SelectFromUnit(2, converter.controls().Combo2[2].IndexOf("km"));
    EXPECT_EQ(converter.controls().Text2, "3000");
    EXPECT_EQ(converter.controls().Combo2[2].text(), "km");
    converter.SelectQuantity(2);
    EXPECT_EQ(converter.controls().Text2, "3000"); // 3 km in m
}

TEST(UnitConverterSelection, IndicesOutsideTheListsChangeNothing)
{
    UnitConverter converter;
    converter.Open();
    const UnitConverterControls before = converter.controls();
    const long conversions = converter.conversions();
    converter.SelectQuantity(7);
    converter.SelectQuantity(-1);
    converter.SelectFromUnit(7, 0);
    converter.SelectFromUnit(0, 4);
    converter.SelectToUnit(-1, 0);
    converter.SelectToUnit(3, 3);
    EXPECT_EQ(converter.controls(), before);
    EXPECT_EQ(converter.conversions(), conversions);
}

TEST(UnitConverterUnits, EveryListedUnitConvertsBothWays)
{
    for (const ConverterQuantity& quantity : ConverterQuantities()) {
        EXPECT_NE(
            std::find(quantity.units.begin(), quantity.units.end(), quantity.base_unit), quantity.units.end())
            << quantity.name;
        EXPECT_EQ(IntoBaseUnit(quantity.base_unit, 7.25), 7.25) << quantity.name;
        EXPECT_EQ(OutOfBaseUnit(quantity.base_unit, 7.25), 7.25) << quantity.name;
        for (const std::string_view unit : quantity.units) {
            const std::optional<double> base = IntoBaseUnit(unit, 3);
            ASSERT_TRUE(base.has_value()) << unit;
            const std::optional<double> back = OutOfBaseUnit(unit, *base);
            ASSERT_TRUE(back.has_value()) << unit;
            EXPECT_NEAR(*back, 3, 1e-12) << unit;
        }
    }
}

TEST(UnitConverterUnits, UnitsAreRecognisedByExactText)
{
    for (const char* text : { "", "c", "pa", "KPA", "Mile", "kg/m3", "btu/lb", " m", "m " }) {
        EXPECT_FALSE(IntoBaseUnit(text, 1).has_value()) << '"' << text << '"';
        EXPECT_FALSE(OutOfBaseUnit(text, 1).has_value()) << '"' << text << '"';
    }
}

} // namespace
} // namespace humidora
