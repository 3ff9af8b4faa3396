// The saturation window's logic: loading, the two modes, limits, unit conversions and the error texts.
// Reference values are the window's own texts at the documented reference states (100 C in kPa, 100 kPa in
// C, the triple point in Pa); limits are probed at and just past each end.
#include "calc/windows/saturation_window.h"

#include <gtest/gtest.h>
#include <string>

namespace humidora {
namespace {

constexpr int kTemperatureMode = 0;
constexpr int kPressureMode = 1;

// A loaded window switched to a mode and units, then given an input as if typed.
SaturationWindow Window(int mode, const char* temperature_unit, const char* pressure_unit, const char* input)
{
    SaturationWindow window;
    window.Load();
    window.SelectMode(mode);
    window.SelectTemperatureUnit(window.controls().Combo2.IndexOf(temperature_unit));
    window.SelectPressureUnit(window.controls().Combo3.IndexOf(pressure_unit));
    window.EditText1(input);
    return window;
}

TEST(SaturationWindowCreation, ListsAreFilledAndNothingIsSelected)
{
    const SaturationWindow window;
    const SaturationControls& c = window.controls();
    EXPECT_EQ(c.Combo1.items, (std::vector<std::string> { "Temperature", "Pressure" }));
    EXPECT_EQ(c.Combo2.items, (std::vector<std::string> { "C", "K", "F", "R" }));
    EXPECT_EQ(c.Combo3.items,
        (std::vector<std::string> {
            "Pa", "kPa", "Bar", "mBar", "mm H2O", "mm Hg", "Atmosphere", "PSI", "in Hg" }));
    EXPECT_EQ(c.Combo1.selected, -1);
    EXPECT_EQ(c.Combo2.selected, -1);
    EXPECT_EQ(c.Combo3.selected, -1);
    EXPECT_EQ(c.Text1, "100");
    EXPECT_FALSE(c.Label1_background.has_value());
    EXPECT_EQ(window.recalculations(), 0);
}

TEST(SaturationWindowLoad, ShowsTheSaturationPressureAt100CInKpa)
{
    SaturationWindow window;
    window.Load();
    const SaturationControls& c = window.controls();
    EXPECT_EQ(c.Text2, "101.41797792131");
    EXPECT_EQ(c.Text3, "101.41871682799");
    EXPECT_EQ(c.Combo1.text(), "Temperature");
    EXPECT_EQ(c.Combo2.text(), "C");
    EXPECT_EQ(c.Combo3.text(), "kPa");
    EXPECT_EQ(c.Label4, "Pressure");
    EXPECT_EQ(c.Combo2_row, 2);
    EXPECT_EQ(c.Combo3_row, 5);
    ASSERT_TRUE(c.Label1_background.has_value());
    EXPECT_EQ(*c.Label1_background, (Rgb { 165, 162, 135 }));
    EXPECT_EQ(window.recalculations(), 3);
}

// The load's selections one by one: the first two recalculations still miss a unit, so the input reads as
// 0 (out of range) and then the results are not written; only the third fills the boxes.
TEST(SaturationWindowLoad, SelectionsBeforeTheUnitsAreChosenWriteNoResult)
{
    SaturationWindow window;
    window.SelectMode(kTemperatureMode);
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    EXPECT_EQ(window.controls().Text3, "Out of Range");
    window.SelectTemperatureUnit(0);
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    EXPECT_EQ(window.controls().Text3, "Out of Range");
    window.SelectPressureUnit(1);
    EXPECT_EQ(window.controls().Text2, "101.41797792131");
}

TEST(SaturationWindowLoad, PressureModeWithoutUnitsReadsZeroAndIsOutOfRange)
{
    SaturationWindow window;
    window.SelectMode(kPressureMode);
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    window.SelectPressureUnit(1); // 100 kPa, but no temperature unit yet: the boxes stay as they are
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    EXPECT_EQ(window.controls().Text3, "Out of Range");
    window.SelectTemperatureUnit(0);
    EXPECT_EQ(window.controls().Text2, "99.60591861");
}

struct ResultCase
{
    const char* name;
    int mode;
    const char* temperature_unit;
    const char* pressure_unit;
    const char* input;
    const char* iapws;
    const char* hyland_wexler;
};

void PrintTo(const ResultCase& c, std::ostream* out)
{
    *out << c.input << ' ' << (c.mode == kTemperatureMode ? c.temperature_unit : c.pressure_unit);
}

class SaturationWindowResults : public testing::TestWithParam<ResultCase>
{
};

TEST_P(SaturationWindowResults, ShowsBothFormulations)
{
    const ResultCase& c = GetParam();
    const SaturationWindow window = Window(c.mode, c.temperature_unit, c.pressure_unit, c.input);
    EXPECT_EQ(window.controls().Text2, c.iapws);
    EXPECT_EQ(window.controls().Text3, c.hyland_wexler);
}

const ResultCase kResultCases[] = {
    { "At100CInKpa", kTemperatureMode, "C", "kPa", "100", "101.41797792131", "101.41871682799" },
    // 212 F and 671.67 R are 100 C: the conversions into kelvin agree after the 8-decimal rounding.
    { "At212FInKpa", kTemperatureMode, "F", "kPa", "212", "101.41797792131", "101.41871682799" },
    { "At671point67RInKpa", kTemperatureMode, "R", "kPa", "671.67", "101.41797792131", "101.41871682799" },
    { "At373point15KInKpa", kTemperatureMode, "K", "kPa", "373.15", "101.41797792131", "101.41871682799" },
    // The triple point 273.16 K: the IAPWS value is its defining pressure.
    { "AtTriplePointInPa", kTemperatureMode, "C", "Pa", "0.01", "611.657", "611.65702793" },
    // 273.15 K: IAPWS is still over ice (about 611.1535 Pa), Hyland-Wexler over water (about 611.2129 Pa).
    { "AtZeroCelsiusInPa", kTemperatureMode, "C", "Pa", "0", "611.15347506", "611.21286745" },
    // -100 C converts to just under 173.15 K and is accepted; the tiny results stay plain.
    { "AtMinus100CInPa", kTemperatureMode, "C", "Pa", "-100", ".00140485", ".0014051" },
    { "AtMinus100CInBar", kTemperatureMode, "C", "Bar", "-100", ".0000000140485", ".000000014051" },
    { "At200CInKpa", kTemperatureMode, "C", "kPa", "200", "1554.67186826983", "1555.07374563622" },
    { "Above200CIsOutOfRange", kTemperatureMode, "C", "kPa", "200.01", "Out of Range", "Out of Range" },
    { "Below173point1499KIsOutOfRange", kTemperatureMode, "K", "kPa", "173.149", "Out of Range",
        "Out of Range" },
    { "AtZeroKelvinIsOutOfRange", kTemperatureMode, "K", "kPa", "0", "Out of Range", "Out of Range" },
    { "At100CInAtmospheres", kTemperatureMode, "C", "Atmosphere", "100", "1.00091762073832",
        "1.00092491318026" },
    { "At100CInMmH2O", kTemperatureMode, "C", "mm H2O", "100", "10281.8364039528", "10281.911314908" },
    { "At100CInPsi", kTemperatureMode, "C", "PSI", "100", "14.7094347083313", "14.7095418776891" },
    { "At100KpaInCelsius", kPressureMode, "C", "kPa", "100", "99.60591861", "99.60576314" },
    { "At100KpaInKelvin", kPressureMode, "K", "kPa", "100", "372.75591861", "372.75576314" },
    { "At100KpaInFahrenheit", kPressureMode, "F", "kPa", "100", "211.2906535", "211.29037366" },
    { "At100KpaInRankine", kPressureMode, "R", "kPa", "100", "670.9606535", "670.96037366" },
    { "AtLowestPressure", kPressureMode, "C", "Pa", "0.0015", "-99.67821972", "-99.67908096" },
    { "BelowLowestPressureIsOutOfRange", kPressureMode, "C", "Pa", "0.0014", "Out of Range", "Out of Range" },
    { "AtHighestPressure", kPressureMode, "C", "kPa", "1555", "200.01008951", "199.99773297" },
    { "AboveHighestPressureIsOutOfRange", kPressureMode, "C", "kPa", "1555.001", "Out of Range",
        "Out of Range" },
    { "ExponentInputIsANumber", kPressureMode, "C", "Pa", " 1E5 ", "99.60591861", "99.60576314" },
};

INSTANTIATE_TEST_SUITE_P(ReferenceStates, SaturationWindowResults, testing::ValuesIn(kResultCases),
    [](const testing::TestParamInfo<ResultCase>& info) { return std::string(info.param.name); });

TEST(SaturationWindowEdit, TextThatIsNoWholeNumberShowsErrorWithoutRecalculating)
{
    for (const char* text : { "", " ", "abc", "12abc", "-", "1e", "1,5", "1 2" }) {
        SaturationWindow window;
        window.Load();
        const long before = window.recalculations();
        window.EditText1(text);
        EXPECT_EQ(window.controls().Text2, "Error") << '"' << text << '"';
        EXPECT_EQ(window.controls().Text3, "Error") << '"' << text << '"';
        EXPECT_EQ(window.controls().Text1, text);
        EXPECT_EQ(window.recalculations(), before) << '"' << text << '"';
    }
}

TEST(SaturationWindowEdit, AWholeNumberRecalculatesAndReplacesAnError)
{
    SaturationWindow window;
    window.Load();
    window.EditText1("abc");
    window.EditText1("100");
    EXPECT_EQ(window.controls().Text2, "101.41797792131");
    EXPECT_EQ(window.recalculations(), 4);
}

TEST(SaturationWindowEdit, OutOfRangeReplacesThePreviousResults)
{
    SaturationWindow window;
    window.Load();
    window.EditText1("300");
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    EXPECT_EQ(window.controls().Text3, "Out of Range");
}

// After "Error" a unit selection recalculates without testing the text: a text without a number reads 0.
TEST(SaturationWindowEdit, UnitChosenAfterAnErrorReadsTheTextAsZero)
{
    const SaturationWindow at_zero_celsius = Window(kTemperatureMode, "C", "kPa", "0");

    SaturationWindow celsius;
    celsius.Load();
    celsius.EditText1("abc");
    celsius.SelectTemperatureUnit(celsius.controls().Combo2.IndexOf("C"));
    EXPECT_EQ(celsius.controls().Text2, at_zero_celsius.controls().Text2);
    EXPECT_EQ(celsius.controls().Text3, at_zero_celsius.controls().Text3);
    EXPECT_EQ(celsius.controls().Text1, "abc");

    SaturationWindow kelvin;
    kelvin.Load();
    kelvin.EditText1("abc");
    kelvin.SelectTemperatureUnit(kelvin.controls().Combo2.IndexOf("K"));
    EXPECT_EQ(kelvin.controls().Text2, "Out of Range");
    EXPECT_EQ(kelvin.controls().Text3, "Out of Range");

    SaturationWindow pressure;
    pressure.Load();
    pressure.SelectMode(kPressureMode);
    pressure.EditText1("abc");
    pressure.SelectPressureUnit(pressure.controls().Combo3.IndexOf("Pa"));
    EXPECT_EQ(pressure.controls().Text2, "Out of Range");
    EXPECT_EQ(pressure.controls().Text3, "Out of Range");
}

TEST(SaturationWindowEdit, UnitChosenAfterAnErrorReadsTheNumericPrefix)
{
    SaturationWindow window;
    window.Load();
    window.EditText1("100abc");
    EXPECT_EQ(window.controls().Text2, "Error");
    window.SelectPressureUnit(window.controls().Combo3.IndexOf("kPa"));
    EXPECT_EQ(window.controls().Text2, "101.41797792131");
}

TEST(SaturationWindowMode, SwitchingToPressureMovesTheListsAndRereadsTheInput)
{
    SaturationWindow window;
    window.Load();
    window.SelectMode(kPressureMode);
    const SaturationControls& c = window.controls();
    EXPECT_EQ(c.Label4, "Temperature");
    EXPECT_EQ(c.Combo2_row, 5);
    EXPECT_EQ(c.Combo3_row, 2);
    EXPECT_EQ(c.Text1, "100");
    // "100" is now 100 kPa, shown in C.
    EXPECT_EQ(c.Text2, "99.60591861");
    EXPECT_EQ(c.Text3, "99.60576314");

    window.SelectMode(kTemperatureMode);
    EXPECT_EQ(c.Label4, "Pressure");
    EXPECT_EQ(c.Combo2_row, 2);
    EXPECT_EQ(c.Combo3_row, 5);
    EXPECT_EQ(c.Text2, "101.41797792131");
}

TEST(SaturationWindowMode, RowsMapToTheirTops)
{
    EXPECT_EQ(kSaturationRowTop[kSaturationInputUnitRow - 1], 480);
    EXPECT_EQ(kSaturationRowTop[kSaturationOutputUnitRow - 1], 2040);
}

TEST(SaturationWindowSelection, IndicesOutsideTheListsChangeNothing)
{
    SaturationWindow window;
    window.Load();
    const SaturationControls before = window.controls();
    window.SelectMode(2);
    window.SelectMode(-1);
    window.SelectTemperatureUnit(4);
    window.SelectPressureUnit(9);
    window.SelectPressureUnit(-3);
    EXPECT_EQ(window.controls(), before);
    EXPECT_EQ(window.recalculations(), 3);
}

// An input too large for a double is refused by the edit test; a list selection reads it as infinity,
// which is out of range rather than a crash or a garbage text.
TEST(SaturationWindowSelection, InfiniteNumericPrefixIsOutOfRange)
{
    SaturationWindow window;
    window.Load();
    window.EditText1("1e999");
    EXPECT_EQ(window.controls().Text2, "Error");
    window.SelectTemperatureUnit(0);
    EXPECT_EQ(window.controls().Text2, "Out of Range");
    EXPECT_EQ(window.controls().Text3, "Out of Range");
}

struct TemperatureCase
{
    const char* unit;
    double value;
    double kelvin;
};

TEST(SaturationTemperatureUnits, ConvertIntoKelvinAndBack)
{
    const TemperatureCase cases[] = {
        { "C", 100, 373.15 },
        { "K", 300, 300 },
        { "F", 212, 373.15 },
        { "F", -40, 233.15 },
        { "R", 671.67, 373.15 },
        { "R", 0, 0 },
    };
    for (const TemperatureCase& c : cases) {
        EXPECT_NEAR(*TemperatureToKelvin(c.unit, c.value), c.kelvin, 1e-12) << c.unit << ' ' << c.value;
        EXPECT_NEAR(*TemperatureFromKelvin(c.unit, c.kelvin), c.value, 1e-12) << c.unit << ' ' << c.value;
    }
    EXPECT_FALSE(TemperatureToKelvin("c", 1).has_value());
    EXPECT_FALSE(TemperatureFromKelvin("Pa", 1).has_value());
    EXPECT_FALSE(TemperatureToKelvin("", 1).has_value());
}

} // namespace
} // namespace humidora
