// Helpers of the ambient-air tests: drive the main window's logic by item texts instead of indices.
#pragma once

#include "calc/windows/ambient_window.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace humidora::testing {

/// The window after its start-up sequence.
inline AmbientWindow OpenedWindow()
{
    AmbientWindow window;
    window.Open();
    return window;
}

/// Selects the item with text `item` of unit list `list` (1..16) as the user would.
inline void SelectItem(AmbientWindow& window, int list, std::string_view item)
{
    const UnitList& unit_list = window.controls().*(kUnitLists[static_cast<std::size_t>(list - 1)].list);
    const int index = unit_list.IndexOf(item);
    ASSERT_GE(index, 0) << "Combo" << list << " has no item " << item;
    window.SelectUnit(list, index);
}

/// Makes option `option` the chosen one and types `text` into its box.
inline void Give(AmbientWindow& window, int option, const std::string& text)
{
    window.ClickOption(option);
    window.EditText(BoxOfOption(option), text);
}

inline const ValueBox& Box(const AmbientWindow& window, int box)
{
    return window.controls().*(kValueBoxes[static_cast<std::size_t>(box - 1)].box);
}

/// The eight humidity boxes in the order Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text11.
inline constexpr int kHumidityBoxes[] = { 3, 4, 5, 6, 7, 8, 9, 11 };

inline const std::vector<std::string> kOutOfRangeLines = {
    "Error!",
    "The quantity which has been indicated",
    "by red color is out of allowable range.",
};
inline const std::vector<std::string> kVapourPressureLines = {
    "Error!",
    "The partial pressure of water vapor",
    "exceeds the ambient pressure.",
};

/// True when no value box and no label of the window is painted red.
inline bool NothingRed(const AmbientControls& controls)
{
    for (const NamedBox& box : kValueBoxes) {
        if ((controls.*(box.box)).background == Background::Red)
            return false;
    }
    return true;
}

} // namespace humidora::testing
