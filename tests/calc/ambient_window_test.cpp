// The main window's behaviour without a toolkit: start-up, option clicks, edits, unit lists, unit systems,
// formulations, and bringing back a set of inputs.
#include "ambient_testing.h"
#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"
#include "calc/units/refusal.h"
#include "core/properties.h"

#include <gtest/gtest.h>

namespace humidora {
namespace {

using testing::Box;
using testing::Give;
using testing::OpenedWindow;
using testing::SelectItem;

const UnitList& List(const AmbientWindow& window, int list)
{
    return window.controls().*(kUnitLists[static_cast<std::size_t>(list - 1)].list);
}

TEST(WindowCreation, HoldsTheStartTextsWithNothingSelectedOrComputed)
{
    const AmbientWindow window;
    const AmbientControls& c = window.controls();
    EXPECT_EQ(window.calculations(), 0);
    EXPECT_EQ(c.Combo1.selected, -1);
    EXPECT_EQ(c.Text1.text, "25");
    EXPECT_EQ(c.Text2.text, "101.325");
    EXPECT_EQ(c.Text4.text, "50");
    EXPECT_EQ(c.Text3.text, "");
    EXPECT_TRUE(c.List1.lines.empty());
}

TEST(WindowStartUp, ShowsTheDefaultState)
{
    const AmbientWindow window = OpenedWindow();
    const AmbientControls& c = window.controls();
    for (int list = 1; list <= 16; ++list)
        EXPECT_EQ(List(window, list).selected, kMetricSelection[static_cast<std::size_t>(list - 1)]) << list;
    EXPECT_EQ(c.Text3.text, ".0098833") << "humidity ratio in (kg moisture)/(kg dry air)";
    EXPECT_EQ(c.Text10.text, "0") << "the altitude of 101.325 kPa";
    EXPECT_EQ(c.Label10.caption, "100");
    EXPECT_EQ(c.Label11.caption, "0");
    EXPECT_EQ(window.focus_box(), 1);
    EXPECT_FALSE(window.focus_select_all());
    EXPECT_TRUE(c.menu_IAPWS);
    EXPECT_FALSE(c.menu_HW);
    EXPECT_TRUE(c.menu_metric);
    EXPECT_FALSE(c.menu_british);
    EXPECT_FALSE(c.menu_customized);
    EXPECT_EQ(c.Label27, "Unit (Metric)");
    for (int box = 1; box <= 16; ++box) {
        const bool input = box == 1 || box == 2 || box == 4;
        EXPECT_EQ(Box(window, box).locked, !input) << "Text" << box;
        EXPECT_EQ(Box(window, box).background, input ? Background::Standard : Background::Cyan)
            << "Text" << box;
    }
}

TEST(WindowStartUp, EachListWithSelectionBehaviourRecalculatesThenOneFinalRun)
{
    const AmbientWindow window = OpenedWindow();
    EXPECT_EQ(window.calculations(), 13 + 1);
}

TEST(WindowStartUp, IntermediateRunsLeaveNoTrace)
{
    const AmbientWindow window = OpenedWindow();
    AmbientControls controls;
    for (std::size_t i = 0; i < kUnitLists.size(); ++i)
        (controls.*(kUnitLists[i].list)).selected = kMetricSelection[i];
    AmbientState state;
    CalculateAmbient(controls, state);
    EXPECT_EQ(window.controls(), controls);
    EXPECT_EQ(window.state(), state);
}

class OptionClick : public ::testing::TestWithParam<int>
{
};

TEST_P(OptionClick, MakesItsBoxTheOnlyInputOfItsGroupWithoutRecalculating)
{
    const int option = GetParam();
    AmbientWindow window = OpenedWindow();
    const AmbientControls before = window.controls();
    const long runs = window.calculations();
    window.ClickOption(option);
    const AmbientControls& c = window.controls();
    EXPECT_EQ(window.calculations(), runs);
    EXPECT_EQ(window.focus_box(), BoxOfOption(option));
    EXPECT_TRUE(window.focus_select_all());
    const bool pressure_group = option == 8 || option == 9;
    for (int other = 1; other <= 10; ++other) {
        const bool same_group = (other == 8 || other == 9) == pressure_group;
        const bool selected = c.*(kOptions[static_cast<std::size_t>(other - 1)].option);
        const ValueBox& box = Box(window, BoxOfOption(other));
        if (same_group) {
            EXPECT_EQ(selected, other == option) << "Option" << other;
            EXPECT_EQ(box.locked, other != option) << "Option" << other;
            EXPECT_EQ(box.background, other == option ? Background::Standard : Background::Cyan);
        } else {
            EXPECT_EQ(selected, before.*(kOptions[static_cast<std::size_t>(other - 1)].option));
            EXPECT_EQ(box.locked, Box(window, BoxOfOption(other)).locked);
        }
    }
    // No value anywhere changes.
    for (int box = 1; box <= 16; ++box)
        EXPECT_EQ(Box(window, box).text, (before.*(kValueBoxes[static_cast<std::size_t>(box - 1)].box)).text);
    EXPECT_EQ(c.List1, before.List1);
    EXPECT_EQ(window.state(), OpenedWindow().state());
    for (const int property : { 12, 13, 14, 15, 16 }) {
        EXPECT_TRUE(Box(window, property).locked);
        EXPECT_EQ(Box(window, property).background, Background::Cyan);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOption, OptionClick, ::testing::Range(1, 11));

TEST(OptionClick, DewPointInsteadOfRelativeHumidity)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(3);
    const AmbientControls& c = window.controls();
    EXPECT_FALSE(c.Text5.locked);
    EXPECT_EQ(c.Text5.background, Background::Standard);
    EXPECT_TRUE(c.Text4.locked);
    EXPECT_EQ(c.Text4.background, Background::Cyan);
    EXPECT_EQ(c.Text5.text, "13.864");
    EXPECT_EQ(window.focus_box(), 5);
}

struct EditCase
{
    int box;
    bool recalculates;
};

class EditAtStartUp : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(EditAtStartUp, RecalculatesOnlyForAnInputBox)
{
    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    window.EditText(GetParam().box, "7");
    EXPECT_EQ(window.calculations(), runs + (GetParam().recalculates ? 1 : 0));
    EXPECT_EQ(Box(window, GetParam().box).text, "7");
}

INSTANTIATE_TEST_SUITE_P(EveryBox, EditAtStartUp,
    ::testing::Values(EditCase { 1, true }, EditCase { 2, true }, EditCase { 3, false }, EditCase { 4, true },
        EditCase { 5, false }, EditCase { 6, false }, EditCase { 7, false }, EditCase { 8, false },
        EditCase { 9, false }, EditCase { 10, false }, EditCase { 11, false }, EditCase { 12, false },
        EditCase { 13, false }, EditCase { 14, false }, EditCase { 15, false }, EditCase { 16, false }));

TEST(ValueBoxEdit, TemperatureRecalculatesOnEveryKeystrokeAlsoWhenIncomplete)
{
    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    window.EditText(1, "");
    EXPECT_EQ(window.controls().Text1.background, Background::Red);
    window.EditText(1, "-");
    EXPECT_EQ(window.controls().Text1.background, Background::Red);
    window.EditText(1, "-1");
    EXPECT_EQ(window.controls().Text1.background, Background::Standard);
    window.EditText(1, "-10");
    EXPECT_EQ(window.calculations(), runs + 4);
    EXPECT_EQ(window.state().temperature, 263.15f);
}

TEST(ValueBoxEdit, WritingTheSameTextAgainIsNoEdit)
{
    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    window.EditText(1, "25");
    EXPECT_EQ(window.calculations(), runs);
}

TEST(ValueBoxEdit, AltitudeInputWritesThePressureWithoutASecondRun)
{
    AmbientWindow window = OpenedWindow();
    window.ClickOption(9);
    EXPECT_TRUE(window.controls().Text2.locked);
    EXPECT_EQ(window.controls().Text2.background, Background::Cyan);
    const long runs = window.calculations();
    window.EditText(10, "500");
    EXPECT_EQ(window.calculations(), runs + 1);
    EXPECT_EQ(window.state().pressure, double(PressureFromAltitude(500)));
    EXPECT_EQ(window.controls().Text2.text, "95.461");
}

TEST(UnitListSelection, LeavingTheMetricReferenceSwitchesToCustomized)
{
    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    SelectItem(window, 1, "F");
    const AmbientControls& c = window.controls();
    EXPECT_TRUE(c.menu_customized);
    EXPECT_FALSE(c.menu_metric);
    EXPECT_FALSE(c.menu_british);
    EXPECT_EQ(c.Label27, "Unit (Customized)");
    EXPECT_EQ(window.calculations(), runs + 1);
    // The number is not converted: 25 is now read as degrees F.
    EXPECT_EQ(c.Text1.text, "25");
    EXPECT_EQ(window.state().temperature, float((25 + 459.67) * 5 / 9));
}

TEST(UnitListSelection, ChoosingTheReferenceItemAgainOnlyRecalculates)
{
    AmbientWindow window = OpenedWindow();
    const AmbientControls before = window.controls();
    const long runs = window.calculations();
    SelectItem(window, 2, "kPa");
    EXPECT_EQ(window.calculations(), runs + 1);
    EXPECT_EQ(window.controls(), before);
}

TEST(UnitListSelection, PercentListsDoNothing)
{
    AmbientWindow window = OpenedWindow();
    const AmbientControls before = window.controls();
    const long runs = window.calculations();
    for (const int list : { 5, 8, 9 })
        window.SelectUnit(list, 0);
    EXPECT_EQ(window.calculations(), runs);
    EXPECT_EQ(window.controls(), before);
}

TEST(UnitListSelection, CustomizedStaysWhenTheListsAreSetBackByHand)
{
    AmbientWindow window = OpenedWindow();
    SelectItem(window, 12, "J/kg-K");
    SelectItem(window, 12, "kJ/kg-K");
    EXPECT_TRUE(window.controls().menu_customized);
    EXPECT_EQ(window.controls().Label27, "Unit (Customized)");
}

TEST(UnitListSelection, LeavingTheBritishReferenceSwitchesToCustomizedAndBritishRestores)
{
    AmbientWindow window = OpenedWindow();
    window.ChooseBritish();
    SelectItem(window, 2, "Bar");
    EXPECT_TRUE(window.controls().menu_customized);
    EXPECT_FALSE(window.controls().menu_british);
    EXPECT_EQ(window.controls().Label27, "Unit (Customized)");
    window.ChooseBritish();
    EXPECT_EQ(window.controls().Combo2.text(), "PSI");
    EXPECT_EQ(window.controls().Text2.text, "14.6957");
    EXPECT_TRUE(window.controls().menu_british);
    EXPECT_FALSE(window.controls().menu_customized);
}

TEST(UnitSystem, BritishFromStartUp)
{
    AmbientWindow window = OpenedWindow();
    window.ChooseBritish();
    const AmbientControls& c = window.controls();
    EXPECT_TRUE(c.menu_british);
    EXPECT_FALSE(c.menu_metric);
    EXPECT_FALSE(c.menu_customized);
    EXPECT_EQ(c.Label27, "Unit (British)");
    for (int list = 1; list <= 16; ++list)
        EXPECT_EQ(List(window, list).selected, kBritishSelection[static_cast<std::size_t>(list - 1)]) << list;
    EXPECT_EQ(c.Combo1.text(), "F");
    EXPECT_EQ(c.Combo2.text(), "PSI");
    EXPECT_EQ(c.Combo10.text(), "ft");
    EXPECT_EQ(c.Combo12.text(), "btu/lb-R");
    EXPECT_EQ(c.Text2.text, "14.6957");
    EXPECT_EQ(c.Text1.text, "25");
    EXPECT_EQ(window.state().temperature, float((25 + 459.67) * 5 / 9));
    EXPECT_EQ(window.state().pressure, 14.6957 * 6894.757);
    // Outputs in British units.
    EXPECT_EQ(c.Label4.caption, "212");
    EXPECT_EQ(c.Label6.caption, "145.0377");
    EXPECT_EQ(c.Label16.caption, "25");
    // 25 F is ice-cold air: IAPWS sublimation pressure 441.60 Pa, half of it at 101.3245 kPa.
    EXPECT_EQ(c.Text3.text, ".0013583");
    EXPECT_NE(c.Text10.text, "0");
    EXPECT_EQ(c.List1.background, Background::LightOrange);
}

TEST(UnitSystem, MetricRunsInFullWhenAlreadyChecked)
{
    AmbientWindow window = OpenedWindow();
    window.EditText(2, "90");
    const long runs = window.calculations();
    window.ChooseMetric();
    EXPECT_EQ(window.controls().Text2.text, "101.325");
    // Thirteen list selections, the edit of the pressure box, and the final run.
    EXPECT_EQ(window.calculations(), runs + 13 + 1 + 1);
    EXPECT_EQ(window.controls(), OpenedWindow().controls());
}

TEST(UnitSystem, BritishAndBackToMetricRestoresTheStartUpState)
{
    AmbientWindow window = OpenedWindow();
    window.ChooseBritish();
    window.ChooseMetric();
    EXPECT_EQ(window.controls(), OpenedWindow().controls());
    EXPECT_EQ(window.state(), OpenedWindow().state());
}

TEST(UnitSystem, InAltitudeModeThePressureTextIsReplacedByTheDerivedPressure)
{
    AmbientWindow window = OpenedWindow();
    window.ChooseBritish();
    window.ClickOption(9);
    window.EditText(10, "500");
    EXPECT_EQ(window.state().altitude, 500 * 0.3048) << "500 ft";
    const long runs = window.calculations();
    window.ChooseMetric();
    // Thirteen list selections and the final run; the write of "101.325" into the computed box is no input.
    EXPECT_EQ(window.calculations(), runs + 13 + 1);
    EXPECT_EQ(window.state().altitude, 500) << "now 500 m";
    EXPECT_EQ(window.controls().Text2.text, "95.461");
    EXPECT_EQ(window.controls().Text10.text, "500");
}

TEST(Formulation, HylandWexlerMovesTheCheckMarkAndRecalculates)
{
    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    window.ChooseHylandWexler();
    EXPECT_FALSE(window.controls().menu_IAPWS);
    EXPECT_TRUE(window.controls().menu_HW);
    EXPECT_EQ(window.calculations(), runs + 1);
    EXPECT_EQ(window.controls().Text3.text, ".0098816");
    const AmbientControls once = window.controls();
    window.ChooseHylandWexler();
    EXPECT_EQ(window.calculations(), runs + 2);
    EXPECT_EQ(window.controls(), once);
    window.ChooseIapws();
    EXPECT_EQ(window.controls(), OpenedWindow().controls());
}

TEST(RestoreInputs, BringsBackEveryChoiceWithOneRun)
{
    AmbientInputs inputs;
    inputs.iapws = false;
    inputs.system = UnitSystem::Customized;
    inputs.selections = kBritishSelection;
    inputs.selections[1] = 2; // "Bar"
    inputs.altitude_given = true;
    inputs.humidity_option = 5;
    inputs.temperature = "80";
    inputs.altitude = "1200";
    inputs.humidity = ".0008";

    AmbientWindow window = OpenedWindow();
    const long runs = window.calculations();
    window.RestoreInputs(inputs);
    EXPECT_EQ(window.calculations(), runs + 1);
    const AmbientControls& c = window.controls();
    EXPECT_TRUE(c.menu_HW);
    EXPECT_TRUE(c.menu_customized);
    EXPECT_EQ(c.Label27, "Unit (Customized)");
    EXPECT_TRUE(c.Option9);
    EXPECT_FALSE(c.Option8);
    EXPECT_TRUE(c.Option5);
    EXPECT_FALSE(c.Option2);
    EXPECT_FALSE(c.Text10.locked);
    EXPECT_TRUE(c.Text2.locked);
    EXPECT_FALSE(c.Text7.locked);
    EXPECT_TRUE(c.Text4.locked);
    EXPECT_EQ(c.Text7.background, Background::Standard);
    EXPECT_EQ(c.Text4.background, Background::Cyan);
    EXPECT_EQ(window.state().altitude, 1200 * 0.3048);
    EXPECT_EQ(window.state().absolute_humidity, float(0.0008 / 0.062427961));
    EXPECT_EQ(c.List1.lines.front(), "Sat. Formulation:  Hyland-Wexler");

    AmbientInputs current = window.CurrentInputs();
    EXPECT_EQ(current.selections, inputs.selections);
    EXPECT_EQ(current.humidity_option, 5);
    EXPECT_EQ(current.humidity, ".0008");
    EXPECT_EQ(current.altitude, "1200");
    EXPECT_EQ(current.pressure, c.Text2.text);
    current.pressure = inputs.pressure;
    EXPECT_EQ(current, inputs);
}

TEST(RestoreInputs, CurrentInputsRoundTripGivesTheSameWindow)
{
    AmbientWindow first = OpenedWindow();
    SelectItem(first, 3, "K");
    Give(first, 4, "12.5");
    first.EditText(1, "31");
    first.ChooseHylandWexler();

    AmbientWindow second = OpenedWindow();
    second.RestoreInputs(first.CurrentInputs());
    EXPECT_EQ(second.controls(), first.controls());
    EXPECT_EQ(second.state(), first.state());
    EXPECT_EQ(second.CurrentInputs(), first.CurrentInputs());
}

TEST(RestoreInputs, ARefusedInputIsShownAsIfTyped)
{
    AmbientInputs inputs;
    inputs.temperature = "12abc";
    AmbientWindow window = OpenedWindow();
    window.RestoreInputs(inputs);
    EXPECT_EQ(window.controls().Text1.text, "12abc");
    EXPECT_EQ(window.controls().Text1.background, Background::Red);
    EXPECT_EQ(window.controls().List1.lines, testing::kOutOfRangeLines);
}

TEST(BoxOfOption, PairsEveryOptionWithItsBox)
{
    const int expected[] = { 0, 3, 4, 5, 6, 7, 8, 9, 2, 10, 11, 0 };
    for (int option = 0; option <= 11; ++option)
        EXPECT_EQ(BoxOfOption(option), expected[option]) << option;
}

// The grains, the inch of mercury and the inch-pound enthalpy in the window: a state typed in them is the
// state typed in the older items (70 gr/lb is 0.01 lb/lb, 29.92 in Hg is 101.3207589 kPa), the enthalpy
// item reads the inch-pound tables' value, and each limit label's text is accepted at both ends and
// refused beyond them with the quantity, the value and the limit.
TEST(UnitListSelection, GrainsInchesOfMercuryAndTheInchPoundEnthalpy)
{
    AmbientWindow grains = OpenedWindow();
    AmbientWindow pounds = OpenedWindow();
    for (AmbientWindow* window : { &grains, &pounds }) {
        SelectItem(*window, 1, "F");
        SelectItem(*window, 16, "btu/lb (dry air from 0 F)");
        window->EditText(1, "75");
    }
    SelectItem(grains, 6, "(gr moisture)/(lb dry air)");
    SelectItem(grains, 2, "in Hg");
    grains.EditText(2, "29.92");
    Give(grains, 1, "70");
    SelectItem(pounds, 6, "(lb moisture)/(lb dry air)");
    pounds.EditText(2, "101.32075888");
    Give(pounds, 1, "0.01");
    ASSERT_FALSE(grains.refusal());
    ASSERT_FALSE(pounds.refusal());
    for (int box = 4; box <= 16; ++box)
        EXPECT_EQ(Box(grains, box).text, Box(pounds, box).text) << "Text" << box;
    // 0.240 x 75 + 0.01 x (1061 + 0.444 x 75) = 28.943 btu/lb by the tables' constants; the calculator's
    // own differ in the fourth digit (see the unit table's test), hence 0.02.
    EXPECT_NEAR(NumberValue(Box(grains, 16).text), 28.943, 0.02) << Box(grains, 16).text;
    EXPECT_EQ(Box(grains, 16).text.size(), std::string("28.95849").size());

    Give(grains, 1, "10"); // a humidity that the whole range of pressures allows (12.951 at 10 bar)
    struct End
    {
        int box;
        int option;
        const LimitLabel AmbientControls::*minimum;
        const LimitLabel AmbientControls::*maximum;
    };
    for (const End& end : { End { 2, 8, &AmbientControls::Label7, &AmbientControls::Label6 },
             End { 3, 1, &AmbientControls::Label13, &AmbientControls::Label12 } }) {
        for (const LimitLabel AmbientControls::*label : { end.minimum, end.maximum }) {
            const std::string limit = (grains.controls().*label).caption;
            Give(grains, end.option, limit);
            EXPECT_FALSE(grains.refusal()) << "Text" << end.box << ' ' << limit;
            const double beyond
                = NumberValue(limit) + (label == end.minimum ? -1 : 1) * (end.box == 2 ? 1e-4 : 1e-3);
            const std::string text = NumberText(beyond, end.box == 2 ? 4 : 3);
            Give(grains, end.option, text);
            if (end.box == 3 && label == end.minimum)
                continue; // below 0 is refused as a negative humidity, without a label's text
            ASSERT_TRUE(grains.refusal()) << text;
            EXPECT_EQ(grains.refusal()->text, text);
            const std::string sentence = RefusalSentence(*grains.refusal());
            EXPECT_NE(sentence.find(text), std::string::npos) << sentence;
            EXPECT_NE(sentence.find(limit), std::string::npos) << sentence;
        }
        Give(grains, end.option, end.box == 2 ? "29.92" : "10");
    }
}

} // namespace
} // namespace humidora
