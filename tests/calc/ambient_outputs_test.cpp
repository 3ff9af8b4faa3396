// The saturation state with the allowed ranges, the five further properties and the composition listing.
#include "ambient_testing.h"
#include "calc/units/number_text.h"
#include "core/properties.h"

#include <charconv>
#include <gtest/gtest.h>

namespace humidora {
namespace {

using testing::Box;
using testing::Give;
using testing::kHumidityBoxes;
using testing::kVapourPressureLines;
using testing::OpenedWindow;
using testing::SelectItem;

// Dry air at the given Celsius temperature and pressure in pascal.
AmbientWindow DryAir(const char* temperature_C, const char* pressure_Pa)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    window.EditText(2, pressure_Pa);
    window.EditText(1, temperature_C);
    window.EditText(4, "0");
    return window;
}

struct UnitText
{
    int list;
    const char* unit;
    const char* text;
};

class DryAirProperty : public ::testing::TestWithParam<UnitText>
{
};

TEST_P(DryAirProperty, AtTwentyCelsiusAndStandardPressure)
{
    const UnitText& c = GetParam();
    AmbientWindow window = DryAir("20", "101325");
    SelectItem(window, c.list, c.unit);
    EXPECT_EQ(Box(window, c.list).text, c.text);
}

INSTANTIATE_TEST_SUITE_P(EveryUnit, DryAirProperty,
    ::testing::Values(UnitText { 12, "J/kg-K", "287.055" }, UnitText { 12, "kJ/kg-K", ".287055" },
        UnitText { 12, "cal/kg-K", "68.562" }, UnitText { 12, "kcal/kg-K", ".068562" },
        UnitText { 12, "btu/lb-R", ".068562" }, UnitText { 13, "kg/kmol", "28.9645" },
        UnitText { 13, "lbm/lbmol", "28.9645" }, UnitText { 15, "m^3/kg (dry air)", ".83063" },
        UnitText { 15, "cm^3/g (dry air)", "830.63" }, UnitText { 15, "ft^3/lb (dry air)", "13.30538" },
        UnitText { 14, "kg/m^3", "1.2039" }, UnitText { 14, "g/cm^3", ".0012039" },
        UnitText { 14, "lb/ft^3", ".07516" },
        // Not 20.12: the temperature is held in single precision.
        UnitText { 16, "kJ/kg (dry air)", "20.11999" }));

TEST(OtherProperties, DryAirGasConstantAndDensityAreKept)
{
    const AmbientWindow window = DryAir("20", "101325");
    EXPECT_NEAR(window.state().gas_constant, 287.0551882, 5e-8);
    EXPECT_NEAR(window.state().density, 1.2039, 5e-5);
}

TEST(OtherProperties, MoistAirAtTwentyFiveCelsius)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    window.EditText(2, "101325");
    Give(window, 1, "0.01");
    EXPECT_EQ(window.controls().Text16.text, "50.61124");
    EXPECT_EQ(window.controls().Text15.text, ".85838");
    EXPECT_EQ(window.controls().Text14.text, "1.1766");
    SelectItem(window, 16, "kcal/kg (dry air)");
    EXPECT_EQ(window.controls().Text16.text, "12.08829");
    SelectItem(window, 16, "btu/lb (dry air)");
    EXPECT_EQ(window.controls().Text16.text, "21.75879");
}

TEST(CompositionListing, DryAir)
{
    const AmbientWindow window = DryAir("25", "101325");
    const std::vector<std::string> expected = {
        "Sat. Formulation:  IAPWS",
        "------------------------------------------------",
        "Air Composition",
        "------------------------------------------------",
        "Species              %Vol.              %Wgt.",
        "------------------------------------------------",
        "N2                    78.0840             75.5184",
        "O2                    20.9476             23.1415",
        "Ar                       0.9365               1.2916",
        "CO2                   0.0319               0.0485",
        "H2O                   0.0000               0.0000",
    };
    EXPECT_EQ(window.controls().List1.lines, expected);
    EXPECT_EQ(window.controls().List1.background, Background::LightOrange);
    EXPECT_EQ(window.controls().List1.lines[6],
        "N2" + std::string(20, ' ') + "78.0840" + std::string(13, ' ') + "75.5184");
    EXPECT_EQ(window.state().ar_volume_fraction, 0.009365f);
    EXPECT_EQ(window.state().n2_mass_fraction, 0.755184);
}

TEST(CompositionListing, HylandWexlerHeading)
{
    AmbientWindow window = OpenedWindow();
    window.ChooseHylandWexler();
    EXPECT_EQ(window.controls().List1.lines.front(), "Sat. Formulation:  Hyland-Wexler");
    EXPECT_EQ(window.controls().List1.lines.size(), 11u);
}

struct WaterRowCase
{
    const char* name;
    const char* mole_fraction;
    std::string row;
};

class WaterRow : public ::testing::TestWithParam<WaterRowCase>
{
};

TEST_P(WaterRow, TakesItsLayoutFromTheWaterFractions)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(1, "60");
    Give(window, 6, GetParam().mole_fraction);
    ASSERT_EQ(window.controls().List1.lines.size(), 11u);
    EXPECT_EQ(window.controls().List1.lines[10], GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(ThreeLayouts, WaterRow,
    ::testing::Values(WaterRowCase { "BelowATenth", "9.9999",
                          "H2O" + std::string(19, ' ') + "9.9999" + std::string(15, ' ') + "6.4641" },
        // Exactly a tenth takes the wider layout.
        WaterRowCase { "ExactlyATenth", "10",
            "H2O" + std::string(17, ' ') + "10.0000" + std::string(15, ' ') + "6.4641" },
        WaterRowCase { "BothAboveATenth", "18",
            "H2O" + std::string(17, ' ') + "18.0000" + std::string(13, ' ') + "12.0130" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompositionListing, MoistAirColumnsSumToAHundred)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(1, "40");
    window.EditText(4, "80");
    double volume = 0, weight = 0;
    for (std::size_t row = 6; row < 11; ++row) {
        const std::string& line = window.controls().List1.lines[row];
        const std::size_t first = line.find_first_of("0123456789", 3);
        const std::size_t gap = line.find(' ', first);
        volume += NumberValue(line.substr(first, gap - first));
        weight += NumberValue(line.substr(gap));
    }
    EXPECT_NEAR(volume, 100, 3e-4);
    EXPECT_NEAR(weight, 100, 3e-4);
}

// Saturation state and allowed ranges.

TEST(SaturationRanges, StartUpLabels)
{
    const AmbientWindow window = OpenedWindow();
    const AmbientControls& c = window.controls();
    const double T = window.state().temperature;
    const double Ps = SaturationPressure(T, kIapws);
    const double xs = Ps / 101325;
    EXPECT_EQ(c.Label10.caption, "100");
    EXPECT_EQ(c.Label11.caption, "0");
    EXPECT_EQ(c.Label12.caption, NumberText(0.62198 * Ps / (101325 - Ps), 7));
    EXPECT_EQ(c.Label12.caption, ".0200857");
    EXPECT_EQ(c.Label16.caption, "25");
    EXPECT_EQ(c.Label17.caption, "-100");
    EXPECT_EQ(c.Label18.caption, "25");
    EXPECT_EQ(c.Label20.caption, "3.17");
    EXPECT_EQ(c.Label22.caption, NumberText(100 * xs, 4));
    for (const LimitLabel* zero : { &c.Label11, &c.Label13, &c.Label15, &c.Label21, &c.Label23, &c.Label25 })
        EXPECT_EQ(zero->caption, "0");
    EXPECT_EQ(c.Label20.background, Background::LightRed);
}

class DewPointMinimum : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{
};

TEST_P(DewPointMinimum, ShowsTheLowestTemperatureOfTheRoutines)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 3, GetParam().first);
    EXPECT_EQ(window.controls().Label17.caption, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(EveryUnit, DewPointMinimum,
    ::testing::Values(std::make_pair("K", "173.15"), std::make_pair("C", "-100"),
        std::make_pair("R", "311.67"), std::make_pair("F", "-148")));

TEST(SaturationRanges, TemperatureMaximaFollowTheirOwnLists)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 4, "K");
    EXPECT_EQ(window.controls().Label16.caption, "25");
    EXPECT_EQ(window.controls().Label18.caption, "298.15");
    SelectItem(window, 3, "R");
    // The Rankine value of the single-precision ambient temperature, formed in single precision.
    EXPECT_EQ(window.controls().Label16.caption, "536.67");
    SelectItem(window, 3, "F");
    EXPECT_EQ(window.controls().Label16.caption, "77");
}

TEST(SaturationRanges, RelativeHumidityRangeIsFixedWhateverTheState)
{
    const std::pair<const char*, const char*> states[]
        = { { "-100", "5" }, { "0", "1000" }, { "60", "101.325" } };
    for (const auto& [temperature, pressure] : states) {
        AmbientWindow window = OpenedWindow();
        window.EditText(2, pressure);
        window.EditText(1, temperature);
        ASSERT_EQ(window.controls().List1.background, Background::LightOrange);
        EXPECT_EQ(window.controls().Label11.caption, "0") << temperature;
        EXPECT_EQ(window.controls().Label10.caption, "100") << temperature;
    }
}

TEST(SaturationRanges, HumidityRatioUnitChangesTheLabelAndTheCheck)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(1);
    SelectItem(window, 6, "(g moisture)/(kg dry air)");
    EXPECT_EQ(window.controls().Label12.caption, "20.0857");
    window.EditText(3, "20.0857");
    EXPECT_EQ(window.controls().Text3.background, Background::Standard);
    window.EditText(3, "20.0858");
    EXPECT_EQ(window.controls().Text3.background, Background::Red);
    SelectItem(window, 6, "(kg moisture)/(kg dry air)");
    EXPECT_EQ(window.controls().Label12.caption, ".0200857");
}

TEST(SaturationRanges, AbsoluteHumidityMaximumInItsUnits)
{
    AmbientWindow window = OpenedWindow();
    EXPECT_EQ(window.controls().Label14.caption, ".023036");
    SelectItem(window, 7, "(g moisture)/m^3");
    EXPECT_EQ(window.controls().Label14.caption, "23.036");
    SelectItem(window, 7, "(lb moisture)/ft^3");
    EXPECT_EQ(window.controls().Label14.caption, ".001438");
}

struct VapourReportCase
{
    const char* name;
    bool iapws;
    const char* temperature_C;
    const char* pressure_Pa;
};

class VapourPressureReport : public ::testing::TestWithParam<VapourReportCase>
{
};

TEST_P(VapourPressureReport, EndsTheRunWhenSaturationReachesTheAmbientPressure)
{
    const VapourReportCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    if (!c.iapws)
        window.ChooseHylandWexler();
    SelectItem(window, 2, "Pa");
    SelectItem(window, 11, "Pa");
    window.EditText(2, c.pressure_Pa);
    AmbientState expected = window.state();
    window.EditText(1, c.temperature_C);
    const AmbientControls& controls = window.controls();
    const double T = window.state().temperature;
    const double Ps = SaturationPressure(T, c.iapws ? kIapws : kHylandWexler);
    ASSERT_GE(Ps, NumberValue(c.pressure_Pa));
    EXPECT_EQ(controls.List1.lines, kVapourPressureLines);
    EXPECT_EQ(controls.List1.background, Background::Red);
    EXPECT_EQ(controls.Text2.background, Background::Yellow);
    EXPECT_EQ(controls.Label20.background, Background::Yellow);
    EXPECT_EQ(controls.Label20.caption, NumberText(Ps, 0));
    for (const NamedLabel& label : kLimitLabels) {
        const bool range = label.name >= std::string_view("Label10") && label.name.size() == 7;
        if (range && label.name != "Label20")
            EXPECT_EQ((controls.*(label.label)).caption, "Error") << label.name;
    }
    for (const int box : kHumidityBoxes) {
        if (box != 4)
            EXPECT_EQ(Box(window, box).text, "Error") << "Text" << box;
    }
    for (const int box : { 12, 13, 14, 15, 16 })
        EXPECT_EQ(Box(window, box).text, "Error");
    EXPECT_TRUE(testing::NothingRed(controls));
    // Temperature, pressure and altitude of this run; everything else of the last complete run.
    expected.temperature = window.state().temperature;
    expected.pressure = window.state().pressure;
    expected.altitude = window.state().altitude;
    EXPECT_EQ(window.state(), expected);
    EXPECT_EQ(window.state().pressure, NumberValue(c.pressure_Pa));

    // The next complete run restores the colours.
    window.EditText(1, "20");
    window.EditText(2, "101325");
    EXPECT_EQ(controls.Label20.background, Background::LightRed);
    EXPECT_EQ(controls.Text2.background, Background::Standard);
    EXPECT_EQ(controls.List1.background, Background::LightOrange);
}

INSTANTIATE_TEST_SUITE_P(Cases, VapourPressureReport,
    ::testing::Values(VapourReportCase { "BoilingAtStandardPressureIapws", true, "100", "101325" },
        VapourReportCase { "BoilingAtStandardPressureHylandWexler", false, "100", "101325" },
        VapourReportCase { "WarmAtLowPressure", true, "40", "5000" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VapourPressureReport, SaturationExactlyAtTheAmbientPressureIsRefusedNotDivided)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    window.EditText(1, "40");
    const double Ps = SaturationPressure(window.state().temperature, kIapws);
    window.EditText(2, PlainNumberText(Ps, 17));
    ASSERT_EQ(window.state().pressure, Ps);
    EXPECT_EQ(window.controls().List1.lines, kVapourPressureLines);
    EXPECT_EQ(window.controls().Text2.background, Background::Yellow);
}

TEST(VapourPressureReport, InAltitudeModeTheDerivedPressureBoxTurnsYellow)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    window.EditText(1, "100");
    EXPECT_EQ(window.controls().List1.lines, kVapourPressureLines);
    EXPECT_EQ(window.controls().Text2.background, Background::Yellow);
    EXPECT_EQ(window.controls().Text10.background, Background::Standard);
    window.EditText(1, "25");
    EXPECT_EQ(window.controls().Text2.background, Background::Cyan);
}

// The number behind a temperature box, which humidora-cli batch writes in full, keeps the order of
// operations of its conversion: a shown wet bulb in F is (T - 273.15) x 1.8 + 32, a typed Rankine value
// becomes kelvin as x x 5 / 9. Each expected text differs in its last digits under another order:
// 95 F / 55 %: (T - 273.15) x 9 / 5 + 32 gives ...854, T x 9 / 5 - 459.67 ...844; 95 F / 20 %:
// T x 1.8 - 459.67 gives ...86; 510.62 R: x x (5 / 9) and x / 9 x 5 give W ...8242.
struct FullNumberCase
{
    const char* name;
    const char* temperature_unit;
    const char* temperature;
    int option;        ///< the given humidity parameter
    int humidity_list; ///< its unit list, switched to humidity_unit
    const char* humidity_unit;
    const char* humidity;
    int shown_list; ///< the list of the box read, switched to shown_unit
    const char* shown_unit;
    int box;
    const char* shown;    ///< the box's text
    const char* expected; ///< the number behind it, shortest round-trip text
};

void PrintTo(const FullNumberCase& c, std::ostream* out)
{
    *out << c.name;
}

class FullNumber : public ::testing::TestWithParam<FullNumberCase>
{
};

TEST_P(FullNumber, KeepsTheOrderOfTheTemperatureConversion)
{
    const FullNumberCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 1, c.temperature_unit);
    window.EditText(1, c.temperature);
    SelectItem(window, c.humidity_list, c.humidity_unit);
    Give(window, c.option, c.humidity);
    SelectItem(window, c.shown_list, c.shown_unit);
    const ValueBox& box = Box(window, c.box);
    EXPECT_EQ(box.text, c.shown);
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, box.value);
    EXPECT_EQ(std::string(text, written.ptr), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullNumber,
    ::testing::Values(FullNumberCase { "WetBulbInFahrenheit", "F", "95", 2, 5, "%", "55", 4, "F", 6, "80.918",
                          "80.91803615831856" },
        FullNumberCase {
            "WetBulbInFahrenheitDry", "F", "95", 2, 5, "%", "20", 4, "F", 6, "65.964", "65.96427666494992" },
        FullNumberCase { "WetBulbTypedInRankine", "C", "25", 4, 4, "R", "510.62", 6,
            "(kg moisture)/(kg dry air)", 3, ".0020079", "0.0020078730929417683" }),
    [](const ::testing::TestParamInfo<FullNumberCase>& info) { return info.param.name; });

} // namespace
} // namespace humidora
