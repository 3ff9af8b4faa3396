// Saving a window's calculation and opening it in another window gives the same window, control for
// control, for every way of giving the humidity and the pressure, every unit system and both formulations.
#include "calc/windows/ambient_window.h"
#include "io/calculation_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

namespace humidora {
namespace {

enum class Units
{
    Metric,
    British,
    Customized
};

struct RoundTrip
{
    int humidity_option; ///< 1..7 or 10
    bool altitude_given;
    Units units;
    bool iapws;
};

std::string CaseName(const RoundTrip& c)
{
    static const char* const units[] = { "Metric", "British", "Customized" };
    std::ostringstream name;
    name << "Option" << c.humidity_option << (c.altitude_given ? "Altitude" : "Pressure")
         << units[static_cast<int>(c.units)] << (c.iapws ? "Iapws" : "HylandWexler");
    return name.str();
}

/// Names of the controls that differ between two models, for a readable failure.
std::string Differences(const AmbientControls& a, const AmbientControls& b)
{
    std::ostringstream out;
    for (const NamedBox& box : kValueBoxes) {
        if (!(a.*box.box == b.*box.box))
            out << box.name << " \"" << (a.*box.box).text << "\" vs \"" << (b.*box.box).text << "\"; ";
    }
    for (const NamedList& list : kUnitLists) {
        if (!(a.*list.list == b.*list.list))
            out << list.name << "; ";
    }
    for (const NamedOption& option : kOptions) {
        if (a.*option.option != b.*option.option)
            out << option.name << "; ";
    }
    for (const NamedLabel& label : kLimitLabels) {
        if (!(a.*label.label == b.*label.label))
            out << label.name << " \"" << (a.*label.label).caption << "\" vs \"" << (b.*label.label).caption
                << "\"; ";
    }
    if (a.Label27 != b.Label27)
        out << "Label27; ";
    if (!(a.List1 == b.List1))
        out << "List1; ";
    if (a.menu_IAPWS != b.menu_IAPWS || a.menu_HW != b.menu_HW || a.menu_metric != b.menu_metric
        || a.menu_british != b.menu_british || a.menu_customized != b.menu_customized)
        out << "menu check marks; ";
    return out.str();
}

/// A window brought to the case's state the way a user would: menus, unit lists, option clicks, typing.
void Prepare(AmbientWindow& window, const RoundTrip& c)
{
    window.Open();
    if (c.units != Units::Metric)
        window.ChooseBritish();
    if (c.units == Units::Customized) {
        window.SelectUnit(2, 2);  // Bar
        window.SelectUnit(3, 1);  // dew point in K
        window.SelectUnit(6, 1);  // (g moisture)/(kg dry air)
        window.SelectUnit(10, 2); // mile
        window.SelectUnit(11, 5); // mm Hg
        window.SelectUnit(12, 0); // J/kg-K
        window.SelectUnit(14, 1); // g/cm^3
        window.EditText(2, "1.01325");
    }
    if (!c.iapws)
        window.ChooseHylandWexler();
    if (c.altitude_given) {
        window.ClickOption(9);
        window.EditText(10, c.units == Units::Customized ? "0.2" : "750");
    }
    // Give the humidity as a typed number: the value the window shows for it, its last digit typed again
    // (writing the same text is no edit, and would leave the values of the previous parameter shown).
    window.ClickOption(c.humidity_option);
    const int box = BoxOfOption(c.humidity_option);
    const std::string shown = (window.controls().*kValueBoxes[static_cast<std::size_t>(box - 1)].box).text;
    window.EditText(box, shown.substr(0, shown.size() - 1));
    window.EditText(box, shown);
}

/// A second window in a different state from the case's, so that opening must replace everything.
void Disturb(AmbientWindow& window, const RoundTrip& c)
{
    window.Open();
    if (c.iapws)
        window.ChooseHylandWexler();
    if (c.units == Units::Metric)
        window.ChooseBritish();
    if (!c.altitude_given)
        window.ClickOption(9);
    window.ClickOption(c.humidity_option == 4 ? 3 : 4);
    window.EditText(1, "31");
}

class CalculationRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
protected:
    QTemporaryDir folder_;
};

TEST_P(CalculationRoundTrip, OpeningRestoresTheSameWindow)
{
    AmbientWindow saved;
    Prepare(saved, GetParam());
    ASSERT_EQ(saved.controls().List1.background, Background::LightOrange)
        << "the case must be a computed state";

    const QString file = folder_.filePath("case.humidora");
    ASSERT_EQ(WriteCalculationFile(file, { saved.CurrentInputs() }, &saved.controls()), QString());

    AmbientWindow opened;
    Disturb(opened, GetParam());
    ASSERT_FALSE(opened.controls() == saved.controls());
    const CalculationRead read = ReadCalculationFile(file);
    ASSERT_TRUE(read) << read.problem.toStdString();
    opened.RestoreInputs(read.calculation->inputs);

    EXPECT_TRUE(opened.controls() == saved.controls()) << Differences(saved.controls(), opened.controls());
    EXPECT_TRUE(opened.state() == saved.state());
    EXPECT_EQ(opened.CurrentInputs(), saved.CurrentInputs());
}

std::vector<RoundTrip> AllRoundTrips()
{
    std::vector<RoundTrip> cases;
    for (const int option : { 1, 2, 3, 4, 5, 6, 7, 10 }) {
        for (const bool altitude : { false, true }) {
            for (const Units units : { Units::Metric, Units::British, Units::Customized }) {
                for (const bool iapws : { true, false })
                    cases.push_back({ option, altitude, units, iapws });
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Every, CalculationRoundTrip, ::testing::ValuesIn(AllRoundTrips()),
    [](const auto& info) { return CaseName(info.param); });

TEST(CalculationRoundTripRefused, OutOfRangeHumidityOpensRefusedAsTyped)
{
    AmbientWindow saved;
    saved.Open();
    saved.EditText(4, "160");
    ASSERT_EQ(saved.controls().Text4.background, Background::Red);

    AmbientWindow opened;
    opened.Open();
    const CalculationRead read = ParseCalculation(CalculationJson({ saved.CurrentInputs() }));
    ASSERT_TRUE(read) << read.problem.toStdString();
    opened.RestoreInputs(read.calculation->inputs);
    EXPECT_EQ(opened.controls().Text4.text, "160");
    EXPECT_EQ(opened.controls().Text4.background, Background::Red);
    EXPECT_EQ(opened.controls().Text3.text, "Error");
    EXPECT_TRUE(opened.controls() == saved.controls()) << Differences(saved.controls(), opened.controls());
}

TEST(CalculationRoundTripRefused, NonNumericTemperatureOpensRefusedAsTyped)
{
    AmbientWindow saved;
    saved.Open();
    saved.EditText(1, "12abc");

    AmbientWindow opened;
    opened.Open();
    const CalculationRead read = ParseCalculation(CalculationJson({ saved.CurrentInputs() }));
    ASSERT_TRUE(read) << read.problem.toStdString();
    opened.RestoreInputs(read.calculation->inputs);
    EXPECT_EQ(opened.controls().Text1.text, "12abc");
    EXPECT_EQ(opened.controls().Text1.background, Background::Red);
    EXPECT_EQ(opened.controls().List1.background, Background::Red);
    EXPECT_EQ(opened.controls().List1.lines, saved.controls().List1.lines);
}

} // namespace
} // namespace humidora
