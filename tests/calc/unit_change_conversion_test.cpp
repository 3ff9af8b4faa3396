// Converting the typed values when a unit list or the unit system changes: the state stays the same, the
// texts are the shortest that show it, and with the setting off the number is read in the new unit.
#include "ambient_testing.h"
#include "calc/units/number_text.h"
#include "core/properties.h"

#include <gtest/gtest.h>

namespace humidora {
namespace {

using testing::Box;
using testing::Give;
using testing::OpenedWindow;
using testing::SelectItem;

/// Every value box's text but `skip`'s, with its background.
std::vector<std::pair<std::string, Background>> OtherBoxes(const AmbientWindow& window, int skip)
{
    std::vector<std::pair<std::string, Background>> boxes;
    for (int box = 1; box <= 16; ++box) {
        if (box != skip)
            boxes.emplace_back(Box(window, box).text, Box(window, box).background);
    }
    return boxes;
}

/// A window whose input `box` (given by `option`, 0 for the temperature) holds `text` in item `unit` of
/// `list`, typed with the conversion off; then the conversion is switched on.
AmbientWindow Typed(int option, int list, const std::string& unit, const std::string& text)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, list, unit);
    if (option == 0)
        window.EditText(1, text);
    else
        Give(window, option, text);
    window.SetConvertOnUnitChange(true);
    return window;
}

struct KnownConversion
{
    const char* name;
    int option; ///< 0: the temperature, always an input
    int box;
    int list;
    const char* from;
    const char* typed;
    const char* to;
    const char* expected; ///< worked by hand from the definitions of the units
};

// 95 F = (95 - 32) / 1.8 C; 101.325 kPa is one standard atmosphere; 1000 ft = 304.8 m; 10 g/kg = 70
// grains/lb (7000 grains to the pound); 1 Bar = 100 kPa; 50 F = 10 C.
const KnownConversion kKnown[] = {
    { "FahrenheitToCelsius", 0, 1, 1, "F", "95", "C", "35" },
    { "CelsiusToKelvin", 0, 1, 1, "C", "25", "K", "298.15" },
    { "CelsiusToFahrenheit", 0, 1, 1, "C", "0", "F", "32" },
    { "RankineToCelsius", 0, 1, 1, "R", "491.67", "C", "0" },
    { "KilopascalToPascal", 8, 2, 2, "kPa", "101.325", "Pa", "101325" },
    { "KilopascalToAtmosphere", 8, 2, 2, "kPa", "101.325", "Atmosphere", "1" },
    { "BarToKilopascal", 8, 2, 2, "Bar", "0.95", "kPa", "95" },
    { "FeetToMetres", 9, 10, 10, "ft", "1000", "m", "304.8" },
    { "KilometresToMetres", 9, 10, 10, "km", "1.2", "m", "1200" },
    { "GramsPerKilogramToGrains", 1, 3, 6, "(g moisture)/(kg dry air)", "10", "(gr moisture)/(lb dry air)",
        "70" },
    { "KilogramsToPounds", 1, 3, 6, "(kg moisture)/(kg dry air)", "0.01", "(lb moisture)/(lb dry air)",
        "0.01" },
    { "DewPointFahrenheitToCelsius", 3, 5, 3, "F", "50", "C", "10" },
    { "WetBulbCelsiusToKelvin", 4, 6, 4, "C", "18", "K", "291.15" },
    { "PartialPressurePascalToKilopascal", 10, 11, 11, "Pa", "1500", "kPa", "1.5" },
};

class KnownConversions : public ::testing::TestWithParam<KnownConversion>
{
};

TEST_P(KnownConversions, WriteTheValueInTheNewUnitAndKeepTheState)
{
    const KnownConversion& c = GetParam();
    AmbientWindow window = Typed(c.option, c.list, c.from, c.typed);
    const AmbientState before = window.state();
    const auto others = OtherBoxes(window, c.box);
    ASSERT_FALSE(window.refusal().has_value()) << c.typed << " " << c.from;

    SelectItem(window, c.list, c.to);
    EXPECT_EQ(Box(window, c.box).text, c.expected);
    EXPECT_EQ(OtherBoxes(window, c.box), others);
    EXPECT_FALSE(window.refusal().has_value());
    EXPECT_EQ(window.state().temperature, before.temperature);
    EXPECT_NEAR(window.state().pressure, before.pressure, 1e-9 * before.pressure);
    EXPECT_NEAR(window.state().humidity_ratio, before.humidity_ratio, 1e-9 * before.humidity_ratio);

    // And back: the text typed at first.
    SelectItem(window, c.list, c.from);
    EXPECT_EQ(Box(window, c.box).text, c.typed);
    EXPECT_EQ(OtherBoxes(window, c.box), others);
}

INSTANTIATE_TEST_SUITE_P(UnitChange, KnownConversions, ::testing::ValuesIn(kKnown),
    [](const ::testing::TestParamInfo<KnownConversion>& info) { return std::string(info.param.name); });

/// Every input that has a choice of units, with an ordinary value in the start-up unit of its list.
struct InputRow
{
    const char* name;
    int option;
    int box;
    int list;
    const char* typed; ///< in the list's start-up item
};

const InputRow kInputs[] = {
    { "Temperature", 0, 1, 1, "23.7" },
    { "Pressure", 8, 2, 2, "97.31" },
    { "Altitude", 9, 10, 10, "1234.5" },
    { "HumidityRatio", 1, 3, 6, "0.00731" },
    { "AbsoluteHumidity", 5, 7, 7, "0.0113" },
    { "DewPoint", 3, 5, 3, "11.35" },
    { "WetBulb", 4, 6, 4, "17.2" },
    { "PartialPressure", 10, 11, 11, "1.234" },
};

class EveryUnitPair : public ::testing::TestWithParam<InputRow>
{
};

// From every item of the list to every other and back: the other boxes never change, the written text is
// a plain number no longer than needed, and the way back gives the first unit's text again.
TEST_P(EveryUnitPair, KeepsEveryOtherBoxAndComesBack)
{
    const InputRow& row = GetParam();
    AmbientWindow window = OpenedWindow();
    const auto& items = (window.controls().*(kUnitLists[static_cast<std::size_t>(row.list - 1)].list)).items;
    ASSERT_GT(items.size(), 1u);
    for (std::size_t from = 0; from < items.size(); ++from) {
        // The value of the first unit typed in `from` with the conversion on from the start.
        const std::string& start_unit = items[static_cast<std::size_t>(kMetricSelection[row.list - 1])];
        AmbientWindow typed = Typed(row.option, row.list, start_unit, row.typed);
        SelectItem(typed, row.list, items[from]);
        const std::string start = Box(typed, row.box).text;
        const auto others = OtherBoxes(typed, row.box);
        ASSERT_FALSE(typed.refusal().has_value()) << items[from];
        for (std::size_t to = 0; to < items.size(); ++to) {
            if (to == from)
                continue;
            AmbientWindow w = typed;
            SelectItem(w, row.list, items[to]);
            const std::string converted = Box(w, row.box).text;
            SCOPED_TRACE(items[from] + " " + start + " -> " + items[to] + " " + converted);
            EXPECT_TRUE(IsNumberText(converted));
            EXPECT_EQ(OtherBoxes(w, row.box), others);
            EXPECT_FALSE(w.refusal().has_value());
            SelectItem(w, row.list, items[from]);
            EXPECT_EQ(Box(w, row.box).text, start);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(UnitChange, EveryUnitPair, ::testing::ValuesIn(kInputs),
    [](const ::testing::TestParamInfo<InputRow>& info) { return std::string(info.param.name); });

TEST(UnitChangeConversion, IsOffByDefaultAndTheNumberIsReadInTheNewUnit)
{
    AmbientWindow window = OpenedWindow();
    EXPECT_FALSE(window.convertOnUnitChange());
    window.EditText(1, "95");
    SelectItem(window, 1, "F");
    SelectItem(window, 1, "C");
    EXPECT_EQ(window.controls().Text1.text, "95");
    EXPECT_EQ(window.state().temperature, NarrowToSingle(95 + 273.15));
}

TEST(UnitChangeConversion, LeavesATextThatIsNoNumberAndAComputedBox)
{
    AmbientWindow window = OpenedWindow();
    window.SetConvertOnUnitChange(true);
    window.EditText(1, "2x");
    SelectItem(window, 1, "F");
    EXPECT_EQ(window.controls().Text1.text, "2x");

    // Relative humidity is the input: the humidity ratio's list changes only how its result is shown.
    window.SetConvertOnUnitChange(false);
    SelectItem(window, 1, "C");
    window.EditText(1, "25");
    window.SetConvertOnUnitChange(true);
    SelectItem(window, 6, "(g moisture)/(kg dry air)");
    EXPECT_EQ(window.controls().Text4.text, "50");
    EXPECT_EQ(window.controls().Text3.text, "9.8833");
}

TEST(UnitChangeConversion, KeepsARefusedValueRefusedForTheSameReason)
{
    AmbientWindow window = OpenedWindow();
    window.SetConvertOnUnitChange(true);
    window.EditText(1, "500");
    ASSERT_TRUE(window.refusal().has_value());
    SelectItem(window, 1, "F");
    EXPECT_EQ(window.controls().Text1.text, "932");
    EXPECT_TRUE(window.refusal().has_value());
    EXPECT_EQ(window.controls().Text1.background, Background::Red);
}

TEST(UnitChangeConversion, ASystemChangeConvertsThePressureInsteadOfResettingIt)
{
    AmbientWindow window = OpenedWindow();
    window.SetConvertOnUnitChange(true);
    window.EditText(2, "95");
    const AmbientState metric = window.state();

    window.ChooseBritish();
    const AmbientControls& c = window.controls();
    EXPECT_TRUE(c.menu_british);
    EXPECT_EQ(c.Text1.text, "77");
    // 95 kPa / 6.894757 kPa per PSI = 13.7785862...; six digits would move the altitude's last digit.
    EXPECT_EQ(c.Text2.text, "13.778586");
    EXPECT_EQ(c.Text4.text, "50");
    EXPECT_EQ(window.state().temperature, metric.temperature);
    EXPECT_NEAR(window.state().pressure, metric.pressure, 1e-6 * metric.pressure);
    EXPECT_NEAR(window.state().humidity_ratio, metric.humidity_ratio, 1e-6 * metric.humidity_ratio);

    window.ChooseMetric();
    EXPECT_EQ(window.controls().Text1.text, "25");
    EXPECT_EQ(window.controls().Text2.text, "95");
    EXPECT_EQ(window.state(), metric);
}

TEST(UnitChangeConversion, ASystemChangeWithTheAltitudeGivenConvertsTheAltitude)
{
    AmbientWindow window = OpenedWindow();
    window.SetConvertOnUnitChange(true);
    Give(window, 9, "304.8");
    window.ChooseBritish();
    EXPECT_EQ(window.controls().Text10.text, "1000");
    window.ChooseMetric();
    EXPECT_EQ(window.controls().Text10.text, "304.8");
}

TEST(UnitChangeConversion, ASystemChangeWithoutConversionStillResetsThePressure)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(2, "95");
    window.ChooseBritish();
    EXPECT_EQ(window.controls().Text1.text, "25");
    EXPECT_EQ(window.controls().Text2.text, "14.6957");
}

TEST(ConvertBetweenUnits, RefusesAnItemOutsideTheList)
{
    const Quantity& temperature = kQuantities[0];
    EXPECT_FALSE(ConvertBetweenUnits(temperature, 0, 4, 1).has_value());
    EXPECT_FALSE(ConvertBetweenUnits(temperature, -1, 0, 1).has_value());
    EXPECT_DOUBLE_EQ(*ConvertBetweenUnits(temperature, 2, 0, 212), 100);
}

} // namespace
} // namespace humidora
