// When two calculations are the same: what "unsaved changes" and "changed since saved" compare.
#include "calc/document/calculation.h"

#include <functional>
#include <gtest/gtest.h>

namespace humidora {
namespace {

struct Difference
{
    const char* what;
    std::function<void(Calculation&)> change;
    bool same; ///< the changed calculation still counts as the same
};

TEST(Calculation, SameUnlessSomethingTheUserGaveDiffers)
{
    const Difference differences[] = {
        { "nothing", [](Calculation&) {}, true },
        // The box not given is computed from the given one: its text is never the user's.
        { "computed altitude text", [](Calculation& c) { c.inputs.altitude = "110.8"; }, true },
        { "computed pressure text",
            [](Calculation& c) {
                c.inputs.altitude_given = true;
                c.inputs.altitude = "300";
                c.inputs.pressure = "97.7";
            },
            false }, // differs from the default in which box is given
        { "given pressure text", [](Calculation& c) { c.inputs.pressure = "101.3"; }, false },
        { "temperature", [](Calculation& c) { c.inputs.temperature = "25.0"; }, false },
        { "humidity text", [](Calculation& c) { c.inputs.humidity = "51"; }, false },
        { "humidity option", [](Calculation& c) { c.inputs.humidity_option = 3; }, false },
        { "formulation", [](Calculation& c) { c.inputs.iapws = false; }, false },
        { "unit of a list", [](Calculation& c) { c.inputs.selections[14] = 1; }, false },
        { "unit system", [](Calculation& c) { c.inputs.system = UnitSystem::Customized; }, false },
        { "a point",
            [](Calculation& c) {
                c.points.push_back({ "A", {}, std::nullopt });
            },
            false },
        { "a process", [](Calculation& c) { c.processes.push_back({}); }, false },
        { "project", [](Calculation& c) { c.properties.project = "Hall 3"; }, false },
        { "engineer", [](Calculation& c) { c.properties.engineer = "R. Ortiz"; }, false },
        { "notes", [](Calculation& c) { c.properties.notes = "\n"; }, false },
    };
    for (const Difference& difference : differences) {
        Calculation changed;
        difference.change(changed);
        EXPECT_EQ(SameCalculation(changed, Calculation {}), difference.same) << difference.what;
        EXPECT_EQ(SameCalculation(Calculation {}, changed), difference.same) << difference.what;
        EXPECT_EQ(changed.HasMoreThanInputs(),
            !changed.points.empty() || !changed.processes.empty() || !changed.properties.empty())
            << difference.what;
    }
}

TEST(Calculation, AComputedPressureTextIsIgnoredWhenTheAltitudeIsGiven)
{
    AmbientInputs a;
    a.altitude_given = true;
    a.altitude = "1500";
    a.pressure = "84.556";
    AmbientInputs b = a;
    b.pressure = "101.325";
    EXPECT_TRUE(SameInputs(a, b));
    b.altitude = "1500.0";
    EXPECT_FALSE(SameInputs(a, b));
}

TEST(Calculation, PointsDifferInNameFlowAndInputs)
{
    Calculation a;
    a.points = { { "A", {}, 1.5 } };
    Calculation b = a;
    EXPECT_TRUE(SameCalculation(a, b));
    b.points[0].flow_kg_s = std::nullopt;
    EXPECT_FALSE(SameCalculation(a, b));
    b = a;
    b.points[0].name = "B";
    EXPECT_FALSE(SameCalculation(a, b));
    b = a;
    b.points[0].inputs.temperature = "26";
    EXPECT_FALSE(SameCalculation(a, b));
}

} // namespace
} // namespace humidora
