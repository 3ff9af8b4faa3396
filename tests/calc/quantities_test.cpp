// The table of quantities: every row's controls, names and unit items agree with the control model, and the
// lookups find each row by its JSON name and by its option button.
#include "calc/ambient_window.h"
#include "calc/quantities.h"
#include "calc/units.h"

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

} // namespace
} // namespace humidora
