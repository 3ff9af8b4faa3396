// Flows shown and taken in mass and volume units, as actual volume at a point's state or as standard air:
// the conversions both ways, the units each system offers, and the refusals at the ends of the range.
#include "calc/points/flow_display.h"
#include "calc/units/number_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace humidora {
namespace {

const FlowUnit& Unit(std::string_view key)
{
    for (const FlowUnit& unit : kFlowUnits) {
        if (unit.key == key)
            return unit;
    }
    ADD_FAILURE() << "no flow unit " << key;
    return kFlowUnits[0];
}

constexpr double kCubicFoot = 0.028316846592; // m^3
constexpr double kPound = 0.45359237;         // kg

TEST(FlowDisplay, ConversionsOfActualAndStandardVolumesInBothSystems)
{
    // Worked by hand from the definitions: 1 kg/s at v = 0.85 m^3/kg is 0.85 m^3/s, 3060 m^3/h, 850 L/s;
    // 1.2 kg/s of standard air (1.2 kg/m^3) is 1 m^3/s whatever the state; 0.075 lb/min is 1 standard cfm;
    // 1 lb/min at 13.5 ft^3/lb is 13.5 cfm.
    const double v_british = 13.5 * kCubicFoot / kPound;
    struct Case
    {
        const char* unit;
        FlowBasis basis;
        double flow_kg_s;
        double specific_volume;
        double shown;
    };
    const Case cases[] = {
        { "kg/s", FlowBasis::Actual, 1.5, 0.85, 1.5 },
        { "kg/s", FlowBasis::Standard, 1.5, 0.85, 1.5 }, // a mass is no volume: the basis does not matter
        { "kg/h", FlowBasis::Standard, 1, 0.85, 3600 },
        { "m^3/s", FlowBasis::Actual, 1, 0.85, 0.85 },
        { "m^3/h", FlowBasis::Actual, 1, 0.85, 3060 },
        { "L/s", FlowBasis::Actual, 1, 0.85, 850 },
        { "m^3/s", FlowBasis::Standard, 1.2, 0.85, 1 },
        { "m^3/h", FlowBasis::Standard, 1.2, 0.95, 3600 },
        { "L/s", FlowBasis::Standard, 1.2, 0.80, 1000 },
        { "lb/h", FlowBasis::Actual, kPound, v_british, 3600 },
        { "lb/min", FlowBasis::Standard, kPound, v_british, 60 },
        { "cfm", FlowBasis::Actual, kPound / 60, v_british, 13.5 },
        { "cfm", FlowBasis::Standard, 0.075 * kPound / 60, v_british, 1 },
    };
    for (const Case& c : cases) {
        const FlowDisplay display { Unit(c.unit), c.basis };
        EXPECT_NEAR(FlowShown(c.flow_kg_s, display, c.specific_volume), c.shown, c.shown * 1e-13) << c.unit;
        EXPECT_NEAR(FlowTaken(c.shown, display, c.specific_volume), c.flow_kg_s, c.flow_kg_s * 1e-13)
            << c.unit;
    }
    EXPECT_NEAR(kBritishStandardAirDensity, 1.201385, 1e-6); // 0.075 x 0.45359237 / 0.028316846592
}

TEST(FlowDisplay, EachSystemOffersItsUnitsAndFallsBackToItsOwn)
{
    const auto keys = [](UnitSystem system) {
        std::string text;
        for (const FlowUnit& unit : FlowUnitsOf(system))
            text += std::string(unit.key) + " ";
        return text;
    };
    EXPECT_EQ(keys(UnitSystem::Metric), "kg/s kg/h m^3/s m^3/h L/s ");
    EXPECT_EQ(keys(UnitSystem::British), "lb/h lb/min cfm ");
    EXPECT_EQ(FlowUnitsOf(UnitSystem::Customized).size(), kFlowUnits.size());
    EXPECT_EQ(ChooseFlowDisplay(UnitSystem::Metric, "m^3/h", FlowBasis::Standard).unit.key, "m^3/h");
    EXPECT_EQ(ChooseFlowDisplay(UnitSystem::British, "m^3/h", FlowBasis::Actual).unit.key, "lb/h");
    EXPECT_EQ(ChooseFlowDisplay(UnitSystem::Metric, "cfm", FlowBasis::Actual).unit.key, "kg/s");
    EXPECT_EQ(ChooseFlowDisplay(UnitSystem::Metric, "", FlowBasis::Actual).unit.key, "kg/s");
    EXPECT_EQ((FlowDisplay { Unit("cfm"), FlowBasis::Standard }).UnitText(), "cfm at 0.075 lb/ft^3");
    EXPECT_EQ((FlowDisplay { Unit("L/s"), FlowBasis::Standard }).UnitText(), "L/s at 1.2 kg/m^3");
    EXPECT_EQ((FlowDisplay { Unit("L/s"), FlowBasis::Actual }).UnitText(), "L/s");
    EXPECT_EQ((FlowDisplay { Unit("kg/h"), FlowBasis::Standard }).UnitText(), "kg/h");
}

TEST(FlowDisplay, TheEndsOfTheRange)
{
    const FlowDisplay display { Unit("m^3/h"), FlowBasis::Actual };
    struct Case
    {
        const char* text;
        const char* refusal;
    };
    const Case cases[] = {
        { "-2", "The dry-air flow of point A, -2 m^3/h, is below its minimum of 0 m^3/h." },
        { "0",
            "The dry-air flow of point A, 0 m^3/h, is at its minimum of 0 m^3/h; a flow must be above it." },
        { " 0.0 ",
            "The dry-air flow of point A, 0.0 m^3/h, is at its minimum of 0 m^3/h; a flow must be above "
            "it." },
        { "abc", "The dry-air flow of point A, \"abc\", is not a number." },
        { "1e999", "The dry-air flow of point A, \"1e999\", is not a number." },
        { "0.0001", "" },
        { "1e300", "" },
    };
    for (const Case& c : cases) {
        const FlowReading reading = ReadFlow(c.text, display, 0.85, "A");
        EXPECT_EQ(reading.refusal, c.refusal) << c.text;
        if (reading.refusal.empty())
            EXPECT_GT(reading.flow_kg_s, 0) << c.text;
    }
    // Standard air and masses need no state; an actual volume of a refused point cannot be taken.
    EXPECT_EQ(ReadFlow("10", { Unit("m^3/h"), FlowBasis::Standard }, std::nullopt, "B").refusal, "");
    EXPECT_EQ(ReadFlow("10", { Unit("kg/h"), FlowBasis::Actual }, std::nullopt, "B").refusal, "");
    EXPECT_NE(ReadFlow("10", display, std::nullopt, "B").refusal, "");
    // The refusal writes the standard unit the value was typed in.
    EXPECT_EQ(ReadFlow("-1", { Unit("cfm"), FlowBasis::Standard }, 0.85, "OA").refusal,
        "The dry-air flow of point OA, -1 cfm at 0.075 lb/ft^3, is below its minimum of 0 cfm at 0.075 "
        "lb/ft^3.");
}

} // namespace
} // namespace humidora
