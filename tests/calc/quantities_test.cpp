// The table of quantities: every row's controls, names and unit items agree with the control model, and the
// lookups find each row by its JSON name and by its option button.
#include "calc/units/quantities.h"
#include "calc/units/units.h"
#include "calc/windows/ambient_window.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace humidora {
namespace {

TEST(QuantityTable, UnitItemsAreTheItemsOfTheRowsList)
{
    const AmbientControls controls;
    for (const Quantity& quantity : kQuantities) {
        const UnitList& list = controls.*quantity.list;
        ASSERT_EQ(list.items.size(), quantity.units.size()) << quantity.key;
        for (std::size_t i = 0; i < list.items.size(); ++i)
            EXPECT_EQ(list.items[i], quantity.units[i].key) << quantity.key;
    }
}

TEST(QuantityTable, NamesAreUniqueAndTheCommandNameSpellsTheKeyWithHyphens)
{
    std::set<std::string_view> keys, captions, long_captions;
    for (const Quantity& quantity : kQuantities) {
        EXPECT_TRUE(keys.insert(quantity.key).second) << quantity.key;
        EXPECT_TRUE(captions.insert(quantity.caption).second) << quantity.caption;
        EXPECT_TRUE(long_captions.insert(quantity.long_caption).second) << quantity.long_caption;
        std::string command(quantity.key);
        for (char& c : command)
            c = c == '_' ? '-' : c;
        EXPECT_EQ(quantity.command_name, command);
        EXPECT_EQ(FindQuantity(quantity.key), &quantity);
        // A row names its caption label exactly when no option button carries the caption.
        EXPECT_EQ(quantity.caption_label.empty(), quantity.option != nullptr) << quantity.key;
    }
    EXPECT_EQ(FindQuantity("Relative_Humidity"), nullptr);
    EXPECT_EQ(FindQuantity(""), nullptr);
}

TEST(QuantityTable, ControlNumbersMatchTheOptionButtonsOfTheWindow)
{
    std::set<int> boxes, lists;
    for (const Quantity& quantity : kQuantities) {
        EXPECT_TRUE(boxes.insert(quantity.boxNumber()).second) << quantity.key;
        EXPECT_TRUE(lists.insert(quantity.listNumber()).second) << quantity.key;
        EXPECT_EQ(quantity.minimum == nullptr, quantity.maximum == nullptr) << quantity.key;
        if (quantity.option == nullptr) {
            EXPECT_EQ(quantity.optionNumber(), 0) << quantity.key;
            continue;
        }
        EXPECT_EQ(FindQuantityByOption(quantity.optionNumber()), &quantity);
        EXPECT_EQ(BoxOfOption(quantity.optionNumber()), quantity.boxNumber()) << quantity.key;
    }
    EXPECT_EQ(boxes.size(), 16u);
    EXPECT_EQ(lists.size(), 16u);
    for (const int outside : { -1, 0, 11 })
        EXPECT_EQ(FindQuantityByOption(outside), nullptr) << outside;
}

TEST(QuantityTable, HumidityRowsInBothOrders)
{
    std::set<const Quantity*> by_box(kHumidityQuantities.begin(), kHumidityQuantities.end());
    std::set<const Quantity*> by_route(kHumidityRouteOrder.begin(), kHumidityRouteOrder.end());
    EXPECT_EQ(by_box, by_route);
    EXPECT_EQ(by_box.size(), 8u);
    int previous_box = 0;
    for (const Quantity* quantity : kHumidityQuantities) {
        EXPECT_TRUE(quantity->isHumidity()) << quantity->key;
        EXPECT_GT(quantity->boxNumber(), previous_box) << quantity->key;
        previous_box = quantity->boxNumber();
    }
    std::vector<int> options;
    for (const Quantity* quantity : kHumidityRouteOrder)
        options.push_back(quantity->optionNumber());
    EXPECT_EQ(options, (std::vector<int> { 1, 2, 3, 4, 5, 10, 6, 7 }));
    EXPECT_FALSE(kQuantities[0].isHumidity());
    EXPECT_FALSE(kQuantities[kFirstPropertyRow].isHumidity());
}

TEST(UnitItems, ToBaseAndFromBaseFollowTheScale)
{
    // 16.01846 kg/m^3 per lb/ft^3: a density divides by it, a specific volume multiplies.
    const UnitItem pound = *FindUnit(kDensityUnits, "lb/ft^3");
    const UnitItem cubic_foot = *FindUnit(kSpecificVolumeUnits, "ft^3/lb (dry air)");
    EXPECT_EQ(pound.FromBase(16.01846), 1);
    EXPECT_EQ(cubic_foot.FromBase(1), 16.01846);
    EXPECT_EQ(cubic_foot.ToBase(16.01846), 1);
    EXPECT_EQ(FindPressureUnit("PSI")->ToBase(2), 2 * 6894.757);
    EXPECT_EQ(FindAltitudeUnit("ft")->FromBase(0.3048), 1);
    EXPECT_FALSE(FindPressureUnit("psi").has_value());
    EXPECT_FALSE(FindUnit(kTemperatureUnits, "").has_value());
}

// One lookup serves every list: each key finds its own item and place, and nothing else matches (keys are
// exact and case-sensitive); flows and loads are found the same way.
TEST(UnitItems, EveryKeyFindsItsOwnItemAndPlace)
{
    for (const Quantity& quantity : kQuantities) {
        for (std::size_t i = 0; i < quantity.units.size(); ++i) {
            const std::string_view key = quantity.units[i].key;
            EXPECT_EQ(UnitIndex(quantity.units, key), i) << key;
            EXPECT_EQ(FindUnit(quantity.units, key)->key, key);
        }
        EXPECT_FALSE(UnitIndex(quantity.units, "kPa ").has_value());
    }
    for (const FlowUnit& unit : kFlowUnits)
        EXPECT_EQ(FindFlowUnit(unit.key)->si_per_unit, unit.si_per_unit) << unit.key;
    EXPECT_FALSE(FindFlowUnit("KG/S").has_value());
    EXPECT_FALSE(FindFlowUnit("").has_value());
    // 10 kW is 34121.416331279 btu/h, shown whole; kW is the unit loads are worked in.
    EXPECT_DOUBLE_EQ(FindUnit(kLoadUnits, "btu/h")->FromBase(10), 34121.416331279);
    EXPECT_EQ(kBtuPerHour.decimals, 0);
    EXPECT_EQ(kKilowatt.FromBase(2.5), 2.5);
}

// The units added for HVAC work against hand values: 7000 grains to the pound, one inch of mercury 3386.389
// Pa, and the enthalpy on the inch-pound datum, on which dry air at 0 F has none. The short keys of the
// command line stand for their texts and nothing else.
TEST(UnitItems, GrainsInchesOfMercuryAndTheInchPoundDatum)
{
    struct Case
    {
        std::span<const UnitItem> list;
        std::string_view key;
        double shown;
        double base;
    };
    const UnitItem btu = kEnthalpyUnits[2];
    const Case cases[] = {
        { kHumidityRatioUnits, "(gr moisture)/(lb dry air)", 70, 0.01 },
        { kHumidityRatioUnits, "(gr moisture)/(lb dry air)", 7000, 1 },
        { kHumidityRatioUnits, "(gr moisture)/(lb dry air)", 0, 0 },
        { kPressureUnits, "in Hg", 1, 3386.389 },
        { kPressureUnits, "in Hg", 29.92, 101320.75888 },
        // Dry air at 0 F on the calculator's datum (0 C): 1.006 kJ/(kg K) x -160/9 K.
        { kEnthalpyUnits, "btu/lb (dry air from 0 F)", 0, -1.006 * 160 / 9 },
        // Dry air at 0 C: 7.689 btu/lb above dry air at 0 F.
        { kEnthalpyUnits, "btu/lb (dry air from 0 F)", 1.006 * 160 / 9 * 0.42992, 0 },
        { kEnthalpyUnits, "btu/lb (dry air from 0 F)", 28.5, (28.5 - 1.006 * 160 / 9 * 0.42992) / 0.42992 },
    };
    for (const Case& c : cases) {
        const std::optional<UnitItem> item = FindUnit(c.list, c.key);
        ASSERT_TRUE(item) << c.key;
        EXPECT_NEAR(item->ToBase(c.shown), c.base, 1e-12 * (1 + std::abs(c.base))) << c.key << ' ' << c.shown;
        EXPECT_NEAR(item->FromBase(c.base), c.shown, 1e-12 * (1 + std::abs(c.shown)))
            << c.key << ' ' << c.base;
    }
    // Both btu/lb items step alike: only the datum differs.
    EXPECT_NEAR(kInchPoundEnthalpy.FromBase(50) - kInchPoundEnthalpy.FromBase(10), btu.FromBase(40), 1e-12);
    // The items are new at the ends of their lists; the earlier ones keep their places.
    EXPECT_EQ(kPressureUnits[7].key, "PSI");
    EXPECT_EQ(kPressureUnits.back().key, "in Hg");
    EXPECT_EQ(kHumidityRatioUnits.back().key, "(gr moisture)/(lb dry air)");
    EXPECT_EQ(kEnthalpyUnits[2].key, "btu/lb (dry air)");
    EXPECT_EQ(kEnthalpyUnits.back().key, "btu/lb (dry air from 0 F)");

    const std::pair<std::string_view, std::string_view> keys[] = {
        { "g/kg", "(g moisture)/(kg dry air)" },
        { "kg/kg", "(kg moisture)/(kg dry air)" },
        { "gr/lb", "(gr moisture)/(lb dry air)" },
        { "lb/lb", "(lb moisture)/(lb dry air)" },
        { "inHg", "in Hg" },
        { "psi", "PSI" },
        { "PSI", "PSI" },
        { "in Hg", "in Hg" },
        { "InHg", "InHg" },
        { "", "" },
    };
    for (const auto& [typed, key] : keys)
        EXPECT_EQ(UnitKeyOf(typed), key) << typed;
    for (const UnitAlias& alias : kUnitAliases) {
        const bool listed = FindUnit(kHumidityRatioUnits, alias.key) || FindPressureUnit(alias.key);
        EXPECT_TRUE(listed) << alias.alias;
    }
}

// The inch-pound tables' relation h = 0.240 t + W (1061 + 0.444 t) (t in F, btu/lb) against the
// calculator's own (1.006 t + W (2501 + 1.805 t), t in C, kJ/kg) shown on the inch-pound datum. The two
// sets of constants differ in their fourth digit (1.006 kJ/(kg K) is 0.2403 btu/(lb F), 2501 kJ/kg is
// 1075.2 btu/lb against 1061 + 0.444 x 32), so they agree to 0.02 btu/lb at 75 F and W = 0.01 (28.943
// by the tables) and to 0.06 btu/lb over the tables' range, never to the last digit.
TEST(UnitItems, TheInchPoundEnthalpyMatchesTheInchPoundTables)
{
    const auto calculator = [](double t_F, double W) {
        const double t_C = (t_F - 32) / 1.8;
        return kInchPoundEnthalpy.FromBase(1.006 * t_C + W * (2501 + 1.805 * t_C));
    };
    const auto tables = [](double t_F, double W) { return 0.240 * t_F + W * (1061 + 0.444 * t_F); };
    EXPECT_NEAR(tables(75, 0.01), 28.943, 0.0005);
    EXPECT_NEAR(calculator(75, 0.01), 28.943, 0.02);
    EXPECT_NEAR(calculator(0, 0), 0, 1e-12);
    for (const double t_F : { -40.0, 0.0, 32.0, 75.0, 100.0, 150.0 }) {
        for (const double W : { 0.0, 0.005, 0.01, 0.02, 0.03 })
            EXPECT_NEAR(calculator(t_F, W), tables(t_F, W), 0.06) << t_F << " F, W " << W;
    }
}

} // namespace
} // namespace humidora
