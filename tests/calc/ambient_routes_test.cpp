// The eight humidity routes: their results, the texts of the seven computed boxes, the refusals, and the
// refusal of a given value whose vapour pressure would reach the ambient pressure.
#include "ambient_testing.h"
#include "calc/ambient/ambient_phases.h"
#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"
#include "core/properties.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace humidora {
namespace {

using testing::Box;
using testing::Give;
using testing::kHumidityBoxes;
using testing::kOutOfRangeLines;
using testing::OpenedWindow;
using testing::SelectItem;

constexpr double kStartUpTemperatureK = 298.149993896484375;

// A value written with 17 significant digits, enough to read back the same double.
std::string ExactText(double value)
{
    return PlainNumberText(value, 17);
}

struct FormulationCase
{
    const char* name;
    bool iapws;
    // Results at 25 C, 101.325 kPa and 50 % relative humidity.
    double humidity_ratio;
    double dew_point_K;
    const char* wet_bulb_K;           ///< Text6 with "K" selected
    std::array<const char*, 7> texts; ///< Text3, Text5, Text6, Text7, Text8, Text9, Text11 in start-up units
};

class StartUpState : public ::testing::TestWithParam<FormulationCase>
{
};

TEST_P(StartUpState, MatchesTheReferenceOfTheFormulation)
{
    const FormulationCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    if (!c.iapws)
        window.ChooseHylandWexler();
    const AmbientState& s = window.state();
    EXPECT_EQ(double(s.temperature), kStartUpTemperatureK);
    EXPECT_NEAR(s.humidity_ratio, c.humidity_ratio, 5e-11);
    EXPECT_NEAR(s.dew_point, c.dew_point_K, 5e-7);
    EXPECT_EQ(s.relative_humidity, 0.5);
    const int boxes[] = { 3, 5, 6, 7, 8, 9, 11 };
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(Box(window, boxes[i]).text, c.texts[i]) << "Text" << boxes[i];
    SelectItem(window, 4, "K");
    EXPECT_EQ(window.controls().Text6.text, c.wet_bulb_K);
}

INSTANTIATE_TEST_SUITE_P(BothFormulations, StartUpState,
    ::testing::Values(FormulationCase { "Iapws", true, 0.0098832758, 287.013902, "291.038",
                          { ".0098833", "13.864", "17.888", ".011518", "1.5641", "0.9787", "1.585" } },
        FormulationCase { "HylandWexler", false, 0.0098815961, 287.013968, "291.039",
            { ".0098816", "13.864", "17.889", ".011516", "1.5639", "0.9785", "1.585" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartUpState, IapwsFieldsOfTheWorkedExample)
{
    const AmbientWindow window = OpenedWindow();
    const AmbientState& s = window.state();
    EXPECT_EQ(double(s.vapour_pressure), 1584.872802734375);
    EXPECT_NEAR(s.water_mole_fraction, 0.015641478, 5e-10);
    EXPECT_NEAR(s.molar_mass, 28.793238, 5e-7);
    EXPECT_NEAR(s.water_mass_fraction, 0.0097865205, 5e-11);
    EXPECT_NEAR(s.absolute_humidity, 0.011517791, 5e-10);
    EXPECT_EQ(s.absolute_humidity, NarrowToSingle(s.absolute_humidity)) << "held in single precision";
}

TEST(SaturationPressure, SaturatedAirCarriesItAsTheVapourPressure)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(4, "100");
    EXPECT_NEAR(window.state().vapour_pressure, 3169.7457, 3e-4);
    window.ChooseHylandWexler();
    EXPECT_NEAR(window.state().vapour_pressure, 3169.2153, 3e-4);
}

TEST(RelativeHumidityRoute, ZeroIsPerfectlyDryAir)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(4, "0");
    const AmbientState& s = window.state();
    const AmbientControls& c = window.controls();
    EXPECT_EQ(s.humidity_ratio, 0);
    EXPECT_EQ(s.vapour_pressure, 0);
    EXPECT_EQ(s.water_mole_fraction, 0);
    EXPECT_EQ(s.water_mass_fraction, 0);
    EXPECT_EQ(s.absolute_humidity, 0);
    EXPECT_EQ(s.molar_mass, 28.9645);
    EXPECT_EQ(c.Text5.text, "< min");
    EXPECT_EQ(c.Text8.text, "0.0000");
    EXPECT_EQ(c.Text9.text, "0.0000");
    // The wet bulb of dry air is the lowest wet bulb the range label shows.
    EXPECT_EQ(c.Text6.text, c.Label19.caption);
    SelectItem(window, 4, "R");
    EXPECT_EQ(window.controls().Text6.text, window.controls().Label19.caption);
}

TEST(RelativeHumidityRoute, DewPointBelowTheReachOfTheRoutinesShowsMinInEveryUnit)
{
    AmbientWindow window = OpenedWindow();
    const double dew_point_before = window.state().dew_point;
    window.EditText(4, "0");
    for (const char* unit : { "C", "K", "F", "R" }) {
        SelectItem(window, 3, unit);
        EXPECT_EQ(window.controls().Text5.text, "< min") << unit;
    }
    EXPECT_EQ(window.state().dew_point, dew_point_before) << "no dew point is computed";
}

TEST(RelativeHumidityRoute, HundredPercentIsSaturation)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(4, "100");
    const AmbientControls& c = window.controls();
    EXPECT_EQ(c.Text3.text, c.Label12.caption);
    const double T = window.state().temperature;
    const double Ps = SaturationPressure(T, kIapws);
    EXPECT_NEAR(window.state().humidity_ratio, 0.62198 * Ps / (101325 - Ps), 1e-8);
    EXPECT_NEAR(window.state().dew_point, T, 1e-5);
    EXPECT_EQ(c.Text5.text, "25");
}

TEST(DewPointRoute, DewPointAtTheAmbientTemperatureIsCappedToSaturation)
{
    AmbientWindow window = OpenedWindow();
    Give(window, 3, "25");
    const AmbientState& s = window.state();
    // The dew point is 298.15 in double, the ambient temperature a little less in single precision.
    EXPECT_EQ(s.dew_point, 298.15);
    EXPECT_GT(double(s.vapour_pressure), SaturationPressure(kStartUpTemperatureK, kIapws));
    EXPECT_EQ(s.relative_humidity, 1);
    EXPECT_EQ(window.controls().Text4.text, "100");
}

TEST(DewPointRoute, ThirtyTwoFahrenheitIsTheIcePoint)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 3, "F");
    Give(window, 3, "32");
    EXPECT_DOUBLE_EQ(window.state().dew_point, 273.15);
    EXPECT_EQ(window.state().vapour_pressure, NarrowToSingle(SaturationPressure(273.15, kIapws)));
    EXPECT_EQ(window.controls().Text5.background, Background::Standard);
}

struct MaximumCase
{
    const char* name;
    int option;
    bool capped; ///< the route caps the relative humidity at 1
};

class GivenAtShownMaximum : public ::testing::TestWithParam<MaximumCase>
{
};

TEST_P(GivenAtShownMaximum, CapsOnlyInTheRoutesOfTheHumidityRatioFamily)
{
    const MaximumCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    window.ClickOption(c.option);
    const QuantityControls* quantity = nullptr;
    for (const QuantityControls* q : kHumidityQuantities) {
        if (q->option == kOptions[static_cast<std::size_t>(c.option - 1)].option)
            quantity = q;
    }
    ASSERT_NE(quantity, nullptr);
    const std::string maximum = (window.controls().*(quantity->maximum)).caption;
    window.EditText(BoxOfOption(c.option), maximum);
    ASSERT_EQ(window.controls().List1.background, Background::LightOrange) << "accepted";
    if (c.capped) {
        EXPECT_LE(window.state().relative_humidity, 1);
        EXPECT_EQ(window.controls().Text4.text, "100");
    } else {
        EXPECT_GT(window.state().relative_humidity, 1) << "a little above saturation, not capped";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCappingRoute, GivenAtShownMaximum,
    ::testing::Values(MaximumCase { "HumidityRatio", 1, true }, MaximumCase { "DewPoint", 3, true },
        MaximumCase { "WetBulb", 4, true }, MaximumCase { "AbsoluteHumidity", 5, false },
        MaximumCase { "PartialPressure", 10, false }, MaximumCase { "MoleFraction", 6, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WetBulbRoute, ShownMinimumGivesATinyNegativeHumidityRatioCarriedThrough)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(4);
    window.EditText(6, window.controls().Label19.caption);
    const AmbientState& s = window.state();
    EXPECT_LT(s.humidity_ratio, 0);
    EXPECT_GT(s.humidity_ratio, -1e-6);
    EXPECT_LT(s.vapour_pressure, 0);
    EXPECT_LT(s.water_mole_fraction, 0);
    EXPECT_LT(s.relative_humidity, 0);
    EXPECT_EQ(window.controls().Text5.text, "< min");
    EXPECT_EQ(window.controls().Text3.text[0], '-');
}

TEST(HumidityRatioRoute, SameHumidityRatioInEveryUnitGivesTheSameOutputs)
{
    const auto outputs = [](const char* unit, const char* text) {
        AmbientWindow window = OpenedWindow();
        SelectItem(window, 6, unit);
        Give(window, 1, text);
        std::vector<std::string> texts;
        for (const int box : { 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16 })
            texts.push_back(Box(window, box).text);
        texts.insert(texts.end(), window.controls().List1.lines.begin(), window.controls().List1.lines.end());
        AmbientState state = window.state();
        return std::make_pair(texts, state);
    };
    const auto grams = outputs("(g moisture)/(kg dry air)", "12");
    const auto kilograms = outputs("(kg moisture)/(kg dry air)", "0.012");
    const auto pounds = outputs("(lb moisture)/(lb dry air)", "0.012");
    EXPECT_EQ(grams.first, kilograms.first);
    EXPECT_EQ(pounds.first, kilograms.first);
    EXPECT_EQ(pounds.second, kilograms.second);
    EXPECT_DOUBLE_EQ(grams.second.humidity_ratio, 0.012);
    EXPECT_EQ(kilograms.first[0], "60.506") << "relative humidity of 12 g/kg at 25 C";
}

struct RouteCase
{
    const char* name;
    int option;
    int startup_box; ///< the box whose start-up text is typed back as the given value
};

class EveryRoute : public ::testing::TestWithParam<RouteCase>
{
};

// Each route, given the value that the start-up state shows for its parameter, comes back to that state
// up to the rounding of the shown digits, and writes each of the seven other boxes exactly once.
TEST_P(EveryRoute, SolvesTheStartUpStateBackFromItsShownValue)
{
    const RouteCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    const AmbientState startup = window.state();
    const std::string shown = Box(window, c.startup_box).text;
    window.ClickOption(c.option);
    // Mark the seven outputs, then give the value: every one must be written again.
    for (const int box : kHumidityBoxes) {
        if (box != c.startup_box)
            window.EditText(box, "unwritten");
    }
    const long runs = window.calculations();
    window.EditText(c.startup_box, shown + " ");
    EXPECT_EQ(window.calculations(), runs + 1);
    for (const int box : kHumidityBoxes) {
        if (box != c.startup_box)
            EXPECT_NE(Box(window, box).text, "unwritten") << "Text" << box;
        EXPECT_EQ(
            Box(window, box).background, box == c.startup_box ? Background::Standard : Background::Cyan);
    }
    EXPECT_EQ(Box(window, c.startup_box).text, shown + " ") << "the given box is never written";
    const AmbientState& s = window.state();
    EXPECT_NEAR(s.relative_humidity, 0.5, 2e-4);
    EXPECT_NEAR(s.vapour_pressure, startup.vapour_pressure, 0.3);
    EXPECT_NEAR(s.humidity_ratio, startup.humidity_ratio, 2e-6);
    EXPECT_NEAR(s.water_mole_fraction, startup.water_mole_fraction, 3e-6);
    EXPECT_NEAR(s.molar_mass, startup.molar_mass, 5e-5);
}

INSTANTIATE_TEST_SUITE_P(BackFromStartUp, EveryRoute,
    ::testing::Values(RouteCase { "HumidityRatio", 1, 3 }, RouteCase { "DewPoint", 3, 5 },
        RouteCase { "WetBulb", 4, 6 }, RouteCase { "AbsoluteHumidity", 5, 7 },
        RouteCase { "MoleFraction", 6, 8 }, RouteCase { "MassFraction", 7, 9 },
        RouteCase { "PartialPressure", 10, 11 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MassFractionRoute, KeepsTheGivenMassFraction)
{
    AmbientWindow window = OpenedWindow();
    Give(window, 7, "1.5");
    const AmbientState& s = window.state();
    EXPECT_EQ(s.water_mass_fraction, 0.015);
    const double x = 28.9645 * 0.015 / (18.01528 + 10.94922 * 0.015);
    EXPECT_EQ(s.water_mole_fraction, x);
    EXPECT_EQ(s.molar_mass, 18.01528 * x + 28.9645 * (1 - x));
    EXPECT_EQ(window.controls().Text8.text, "2.3899");
}

struct RefusalCase
{
    const char* name;
    int option;
    const char* text;
};

class HumidityRefusal : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(HumidityRefusal, PaintsTheBoxRedAndKeepsTheHumidityState)
{
    const RefusalCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    window.EditText(1, "30"); // temperature and pressure of this run differ from the start-up ones
    window.EditText(1, "25");
    const AmbientState before = window.state();
    window.ClickOption(c.option);
    window.EditText(BoxOfOption(c.option), c.text);
    const int box = BoxOfOption(c.option);
    EXPECT_EQ(Box(window, box).background, Background::Red);
    EXPECT_EQ(Box(window, box).text, c.text);
    for (const int other : kHumidityBoxes) {
        if (other != box)
            EXPECT_EQ(Box(window, other).text, "Error") << "Text" << other;
    }
    for (const int property : { 12, 13, 14, 15, 16 })
        EXPECT_EQ(Box(window, property).text, "Error");
    EXPECT_EQ(window.controls().List1.lines, kOutOfRangeLines);
    EXPECT_EQ(window.state(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryRoute, HumidityRefusal,
    ::testing::Values(RefusalCase { "HumidityRatioDigitsThenLetters", 1, "12abc" },
        RefusalCase { "HumidityRatioNegative", 1, "-0.0000001" },
        RefusalCase { "RelativeHumidityAbove100", 2, "100.001" },
        RefusalCase { "RelativeHumidity160", 2, "160" }, RefusalCase { "DewPointAboveAmbient", 3, "25.001" },
        RefusalCase { "DewPointEmpty", 3, "" }, RefusalCase { "WetBulbBelowDryAirWetBulb", 4, "8.27" },
        RefusalCase { "AbsoluteHumidityAboveSaturation", 5, ".023037" },
        RefusalCase { "MoleFractionAboveSaturation", 6, "3.1284" },
        RefusalCase { "MassFractionLetters", 7, "one" },
        RefusalCase { "PartialPressureAboveSaturation", 10, "3.171" }),
    [](const auto& info) { return std::string(info.param.name); });

// A value typed at a shown maximum can carry the vapour pressure up to the ambient pressure, because the
// labels are rounded. Such a value is refused like one beyond its limits.
struct ReachesAmbientCase
{
    const char* name;
    const char* temperature_C;
    const char* pressure_Pa;
    int option;
    int unit_list;
    const char* unit;
    const char* maximum_caption; ///< what the maximum label shows: the typed value is inside the limits
    const char* text;
};

class VapourPressureReachingAmbient : public ::testing::TestWithParam<ReachesAmbientCase>
{
};

TEST_P(VapourPressureReachingAmbient, IsRefusedLikeAValueOutsideItsLimits)
{
    const ReachesAmbientCase& c = GetParam();
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    SelectItem(window, c.unit_list, c.unit);
    window.EditText(2, c.pressure_Pa);
    window.EditText(1, c.temperature_C);
    window.ClickOption(c.option);
    ASSERT_EQ(window.controls().List1.background, Background::LightOrange);
    const AmbientState before = window.state();
    const int box = BoxOfOption(c.option);
    window.EditText(box, c.text);
    const AmbientControls& controls = window.controls();
    const LimitLabel& maximum = c.option == 10 ? controls.Label20 : controls.Label22;
    EXPECT_EQ(maximum.caption, c.maximum_caption);
    EXPECT_EQ(Box(window, box).background, Background::Red);
    for (const int other : kHumidityBoxes) {
        if (other != box)
            EXPECT_EQ(Box(window, other).text, "Error") << "Text" << other;
    }
    EXPECT_EQ(controls.List1.lines, kOutOfRangeLines);
    EXPECT_EQ(controls.List1.background, Background::Red);
    EXPECT_EQ(window.state(), before) << "no humidity field changes";
    EXPECT_EQ(controls.Text15.text, "Error");
}

INSTANTIATE_TEST_SUITE_P(ShownMaxima, VapourPressureReachingAmbient,
    ::testing::Values(
        // Would have given a humidity ratio of -31105.2197999 and a negative specific volume.
        ReachesAmbientCase {
            "PartialPressureAboveAmbient", "32.878", "5000.9", 10, 11, "Pa", "5001", "5001" },
        // Would have divided by zero.
        ReachesAmbientCase {
            "PartialPressureEqualToAmbient", "32.874", "5000", 10, 11, "Pa", "5000", "5000" },
        ReachesAmbientCase { "MoleFractionOfPureWater", "32.87547", "5000", 6, 8, "%", "100", "100" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VapourPressureReachingAmbient, JustBelowTheAmbientPressureIsStillAccepted)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 2, "Pa");
    SelectItem(window, 11, "Pa");
    window.EditText(2, "5000.9");
    window.EditText(1, "32.878");
    Give(window, 10, "5000");
    EXPECT_EQ(window.controls().Text11.background, Background::Standard);
    EXPECT_EQ(window.state().vapour_pressure, 5000);
    EXPECT_GT(window.state().humidity_ratio, 0);
    EXPECT_EQ(window.controls().List1.background, Background::LightOrange);
}

// The shown texts of the humidity outputs: vapour pressures reached through the relative-humidity route.
struct PartialPressureCase
{
    const char* unit;
    const char* text;
};

class PartialPressureText : public ::testing::TestWithParam<PartialPressureCase>
{
};

TEST_P(PartialPressureText, ShowsTheSinglePrecisionVapourPressureInEveryUnit)
{
    AmbientWindow window = OpenedWindow();
    // The relative humidity whose vapour pressure is stored as 1584.9 Pa (1584.9000244140625 in single).
    const double Ps = SaturationPressure(kStartUpTemperatureK, kIapws);
    window.EditText(4, ExactText(1584.9 / Ps * 100));
    ASSERT_EQ(double(window.state().vapour_pressure), 1584.9000244140625);
    SelectItem(window, 11, GetParam().unit);
    EXPECT_EQ(window.controls().Text11.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(EveryPressureUnit, PartialPressureText,
    ::testing::Values(PartialPressureCase { "Pa", "1585" }, PartialPressureCase { "kPa", "1.585" },
        PartialPressureCase { "Bar", ".01585" }, PartialPressureCase { "mBar", "15.85" },
        PartialPressureCase { "mm H2O", "160.7" }, PartialPressureCase { "mm Hg", "11.888" },
        PartialPressureCase { "Atmosphere", ".01564" }, PartialPressureCase { "PSI", ".2299" }));

TEST(PartialPressureText, ExactHalfPascalRoundsToEven)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 11, "Pa");
    const double Ps = SaturationPressure(kStartUpTemperatureK, kIapws);
    window.EditText(4, ExactText(1584.5 / Ps * 100));
    ASSERT_EQ(window.state().vapour_pressure, 1584.5f);
    EXPECT_EQ(window.controls().Text11.text, "1584");
}

// The writers on their own, for values no route reaches exactly.
TEST(HumidityOutputText, HumidityRatioInItsUnits)
{
    AmbientControls controls;
    controls.Combo6.selected = 0;
    ambient::WriteHumidityRatio(controls, 0.0098845123);
    EXPECT_EQ(controls.Text3.text, ".0098845");
    controls.Combo6.selected = 1;
    ambient::WriteHumidityRatio(controls, 0.0098845123);
    EXPECT_EQ(controls.Text3.text, "9.8845");
    controls.Combo6.selected = 2;
    ambient::WriteHumidityRatio(controls, 0.0098845123);
    EXPECT_EQ(controls.Text3.text, ".0098845");
}

TEST(HumidityOutputText, RelativeHumidityWithoutTrailingZeros)
{
    AmbientControls controls;
    controls.Combo5.selected = 0;
    ambient::WriteRelativeHumidity(controls, 0.005);
    EXPECT_EQ(controls.Text4.text, ".5");
    ambient::WriteRelativeHumidity(controls, 0.5);
    EXPECT_EQ(controls.Text4.text, "50");
}

TEST(HumidityOutputText, DewPointThroughTheThousandfoldInteger)
{
    AmbientControls controls;
    const std::pair<const char*, const char*> cases[]
        = { { "C", "-10" }, { "K", "263.15" }, { "F", "14" }, { "R", "473.67" } };
    for (const auto& [unit, text] : cases) {
        controls.Combo3.selected = controls.Combo3.IndexOf(unit);
        ambient::WriteDewPoint(controls, 263.15);
        EXPECT_EQ(controls.Text5.text, text) << unit;
    }
}

TEST(HumidityOutputText, FractionsKeepFourDecimals)
{
    AmbientControls controls;
    controls.Combo8.selected = 0;
    controls.Combo9.selected = 0;
    ambient::WriteMoleFraction(controls, 0.123456);
    ambient::WriteMassFraction(controls, 0);
    EXPECT_EQ(controls.Text8.text, "12.3456");
    EXPECT_EQ(controls.Text9.text, "0.0000");
    ambient::WriteMoleFraction(controls, 0.000156);
    EXPECT_EQ(controls.Text8.text, "0.0156");
}

TEST(HumidityOutputText, AbsoluteHumidityInGramsIsRoundedToSingleFirst)
{
    AmbientControls controls;
    controls.Combo7.selected = 1;
    // 0.0115177 kg/m^3 in single precision is 0.011517699621617794; x 1000 is 11.517699621617794 in
    // double and 11.5177 in single: the text has at most seven digits.
    ambient::WriteAbsoluteHumidity(controls, 0.0115177f);
    EXPECT_EQ(controls.Text7.text, "11.518");
    controls.Combo7.selected = 2;
    ambient::WriteAbsoluteHumidity(controls, 0.0115177f);
    EXPECT_EQ(controls.Text7.text, ".000719");
}

TEST(HumidityOutputText, NonFiniteValueIsAnArithmeticFailureNotAText)
{
    AmbientControls controls;
    controls.Combo6.selected = 0;
    controls.Text3.text = "before";
    EXPECT_THROW(ambient::WriteHumidityRatio(controls, std::numeric_limits<double>::infinity()),
        ambient::ArithmeticFailure);
    EXPECT_EQ(controls.Text3.text, "before");
}

} // namespace
} // namespace humidora
