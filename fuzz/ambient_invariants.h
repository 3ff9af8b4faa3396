// Invariants of the main window's control model that hold after every event, whatever was typed, and
// the physical invariants of a completed calculation. Shared by the fuzz targets and the invariant tests:
// each check returns the problems it found as sentences, an empty list when everything holds.
#pragma once

#include "calc/ambient/ambient_state.h"
#include "calc/units/ambient_controls.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "calc/units/units.h"
#include "calc/windows/ambient_window.h"
#include "core/properties.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace humidora::checks {

using Problems = std::vector<std::string>;

inline const std::vector<std::string> kOutOfRangeReport
    = { "Error!", "The quantity which has been indicated", "by red color is out of allowable range." };
inline const std::vector<std::string> kVapourPressureReport
    = { "Error!", "The partial pressure of water vapor", "exceeds the ambient pressure." };

// The controls by number, as the front ends name them.
using humidora::BoxOf;
using humidora::ListOf;
using humidora::OptionOf;

/// The selected humidity option (1..7 or 10), or 0 when the group does not have exactly one.
inline int HumidityOption(const AmbientControls& controls)
{
    int selected = 0, count = 0;
    for (const Quantity* quantity : kHumidityQuantities) {
        if (controls.*(quantity->option)) {
            selected = quantity->optionNumber();
            ++count;
        }
    }
    return count == 1 ? selected : 0;
}

/// A completed run: the listing shows the composition, not a report.
inline bool Completed(const AmbientControls& controls)
{
    return controls.List1.background == Background::LightOrange;
}

/// Kelvin of a temperature `value` shown in temperature unit `unit` ("C", "K", "F", "R").
inline std::optional<double> Kelvin(double value, std::string_view unit)
{
    return TemperatureToKelvin(unit, value);
}

/// Kelvin per shown unit of a temperature unit.
inline double KelvinPerUnit(std::string_view unit)
{
    const std::optional<UnitItem> item = FindUnit(kTemperatureUnits, unit);
    return item ? item->factor : 1.0;
}

/// Half a unit of the last decimal of a shown number text: how far the shown value may lie from the
/// value it stands for, because of its rounding alone.
inline double HalfUnitOfLastDecimal(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || text.find_first_of("Ee") != std::string_view::npos)
        return 0.5;
    std::size_t decimals = 0;
    for (std::size_t i = point + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        ++decimals;
    return 0.5 * std::pow(10.0, -static_cast<double>(decimals));
}

/// Which value boxes are inputs by the option groups: Text1, the box of the selected pressure option and
/// the box of the selected humidity option.
inline std::vector<int> InputBoxes(const AmbientControls& controls)
{
    std::vector<int> boxes { 1 };
    for (int option = 1; option <= 10; ++option) {
        if (OptionOf(controls, option))
            boxes.push_back(BoxOfOption(option));
    }
    return boxes;
}

/// Invariants that hold after every event: one option per group; the box of the selected option
/// unlocked, the other boxes of its group locked; Text1 unlocked and Text12..Text16 locked; the
/// backgrounds that go with those states; every shown text one the system writes (a number text, "Error",
/// "< min" in Text5, "Out of Range" in Text10) or a text the user typed (`typed`); every list with a
/// valid selection; exactly one system check mark and the matching header; List1 a report or the listing.
inline Problems WindowProblems(const AmbientControls& controls, const std::set<std::string>& typed)
{
    Problems problems;
    const auto problem = [&](std::string text) { problems.push_back(std::move(text)); };

    if ((controls.Option8 ? 1 : 0) + (controls.Option9 ? 1 : 0) != 1)
        problem("the pressure group does not have exactly one selected option");
    if (HumidityOption(controls) == 0)
        problem("the humidity group does not have exactly one selected option");

    const std::vector<int> inputs = InputBoxes(controls);
    for (int box = 1; box <= 16; ++box) {
        const ValueBox& value_box = BoxOf(controls, box);
        const std::string name = "Text" + std::to_string(box);
        const bool input = std::find(inputs.begin(), inputs.end(), box) != inputs.end();
        if (value_box.locked == input)
            problem(name + (input ? " is an input but locked" : " is computed but unlocked"));
        const Background background = value_box.background;
        const bool yellow_ok = box == 2 && background == Background::Yellow;
        if (input && background != Background::Standard && background != Background::Red && !yellow_ok)
            problem(name + " is an input with a background other than standard or red");
        if (!input && background != Background::Cyan && !yellow_ok)
            problem(name + " is computed but not cyan");
        const std::string& text = value_box.text;
        const bool allowed = IsNumberText(text) || text == "Error" || (box == 5 && text == "< min")
            || (box == 10 && text == "Out of Range") || typed.count(text) != 0;
        if (!allowed)
            problem(name + " shows \"" + text + "\", neither a number text nor a text of the system or user");
        // Text2 keeps its smaller layout font; the calculation gives Text10 the normal size on every run
        // that reaches the pressure, and the small one only with "Out of Range". A refused temperature ends
        // the run before that, and Text10 keeps the size of the run before.
        const bool reached_pressure = controls.Text1.background != Background::Red;
        const bool small_out_of_range
            = box == 10 && value_box.font_size == 7 && (text == "Out of Range" || !reached_pressure);
        if (value_box.font_size != (box == 2 ? 8.25 : 9) && !small_out_of_range)
            problem(name + " has the wrong font size");
    }

    for (const NamedLabel& label : kLimitLabels) {
        const std::string& caption = (controls.*(label.label)).caption;
        const bool limit = label.name == "Label4" || label.name == "Label5" || label.name == "Label6"
            || label.name == "Label7" || label.name == "Label8" || label.name == "Label9";
        if (!IsNumberText(caption) && (limit || caption != "Error"))
            problem(std::string(label.name) + " shows \"" + caption + "\"");
    }

    for (int list = 1; list <= 16; ++list) {
        const UnitList& unit_list = ListOf(controls, list);
        if (unit_list.selected < 0 || unit_list.selected >= static_cast<int>(unit_list.items.size()))
            problem("Combo" + std::to_string(list) + " has no valid selection");
    }

    const int systems = (controls.menu_metric ? 1 : 0) + (controls.menu_british ? 1 : 0)
        + (controls.menu_customized ? 1 : 0);
    if (systems != 1)
        problem("not exactly one unit system is checked");
    const std::string header = controls.menu_metric ? "Unit (Metric)"
        : controls.menu_british                     ? "Unit (British)"
                                                    : "Unit (Customized)";
    if (controls.Label27 != header)
        problem("Label27 reads \"" + controls.Label27 + "\" for the checked system");
    if (controls.menu_IAPWS == controls.menu_HW)
        problem("not exactly one formulation is checked");

    const ListBox& list = controls.List1;
    if (list.background == Background::Red) {
        if (list.lines != kOutOfRangeReport && list.lines != kVapourPressureReport)
            problem("List1 is red without a report");
    } else if (list.background == Background::LightOrange) {
        const std::string formulation
            = controls.menu_IAPWS ? "Sat. Formulation:  IAPWS" : "Sat. Formulation:  Hyland-Wexler";
        if (list.lines.size() != 11 || list.lines[0] != formulation)
            problem("List1 is not the composition listing of the checked formulation");
    } else {
        problem("List1 has a background other than red or light orange");
    }
    return problems;
}

/// The shown value of a number text, or nothing for "Error", "< min" and texts that are not numbers.
inline std::optional<double> Shown(const std::string& text)
{
    if (!IsNumberText(text))
        return std::nullopt;
    return NumberValue(text);
}

/// Sum of one column (1 = volume, 2 = weight) of the composition rows of a completed listing.
inline std::optional<double> CompositionColumnSum(const ListBox& list, int column)
{
    if (list.lines.size() != 11)
        return std::nullopt;
    double sum = 0;
    for (std::size_t row = 6; row < 11; ++row) {
        std::vector<std::string> words;
        std::string word;
        for (const char c : list.lines[row] + ' ') {
            if (c == ' ') {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        if (words.size() != 3 || !IsNumberText(words[static_cast<std::size_t>(column)]))
            return std::nullopt;
        sum += NumberValue(words[static_cast<std::size_t>(column)]);
    }
    return sum;
}

/// Physical invariants of a completed run (the caller checks Completed first):
/// - relative humidity shown within [0, 100] where the routes cap it: the humidity ratio, dew point and
///   wet bulb routes cap it at 100; it is non-negative where the given parameter cannot be negative (every
///   route but the wet bulb, whose shown minimum may give a humidity ratio a hair below zero);
/// - wet bulb <= dry bulb, and, for a state at most saturated (vapour pressure not above the saturation
///   pressure at the ambient temperature), dew point <= wet bulb whenever a dew point is shown. Each
///   comparison allows the rounding of the two shown texts (half a unit of their third decimal) and 5e-5 K
///   for the single-precision ambient temperature and the 1e-6 K bisections. A state above saturation
///   arises only from a given value typed at its rounded-up maximum label; its dew point lies above the
///   dry bulb by however much the label's rounding allows, so it is not compared;
/// - each column of the composition listing sums to 100 within the rounding of its five four-decimal
///   entries (5 x 0.00005) and 1e-6 for the single-precision argon percentages.
/// `option` is the humidity option of the run that wrote the outputs (an option click afterwards changes
/// the selection but recalculates nothing).
inline Problems PhysicalProblems(const AmbientControls& controls, const AmbientState& state, int option)
{
    Problems problems;
    const auto problem = [&](std::string text) { problems.push_back(std::move(text)); };

    const std::optional<double> rh = Shown(controls.Text4.text);
    if (!rh) {
        problem("no relative humidity shown: \"" + controls.Text4.text + "\"");
    } else {
        const bool capped = option == 1 || option == 3 || option == 4;
        if (capped && *rh > 100)
            problem("relative humidity " + controls.Text4.text + " above 100 on a capped route");
        if (*rh < 0 && (option != 4 || state.humidity_ratio >= 0))
            problem("relative humidity " + controls.Text4.text + " below 0");
    }

    constexpr double kSlack = 5e-5;
    const auto temperature = [&](const ValueBox& box, const UnitList& unit) -> std::optional<double> {
        const std::optional<double> value = Shown(box.text);
        return value ? Kelvin(*value, unit.text()) : std::nullopt;
    };
    // Every temperature of the window is shown with 3 decimals (trailing zeros dropped), computed or as
    // the maximum label a typed one is checked against: half a unit of the third decimal in kelvin.
    const auto rounding
        = [&](const ValueBox&, const UnitList& unit) { return 0.0005 * KelvinPerUnit(unit.text()); };
    const std::optional<double> dry = temperature(controls.Text1, controls.Combo1);
    const std::optional<double> wet = temperature(controls.Text6, controls.Combo4);
    const std::optional<double> dew = temperature(controls.Text5, controls.Combo3);
    if (!dry || !wet) {
        problem("dry or wet bulb not shown as a number");
    } else if (*wet > *dry + rounding(controls.Text6, controls.Combo4) + kSlack) {
        problem("wet bulb " + controls.Text6.text + " above dry bulb " + controls.Text1.text);
    }
    if (!dew && controls.Text5.text != "< min")
        problem("dew point neither a number nor \"< min\": \"" + controls.Text5.text + "\"");
    const SaturationMethod method = controls.menu_IAPWS ? kIapws : kHylandWexler;
    const double saturation = SaturationPressure(state.temperature, method);
    // 1e-6: the single-precision rounding of the vapour pressure of a state given at exactly 100 %.
    const bool at_most_saturated = state.vapour_pressure <= saturation * (1 + 1e-6);
    if (dew && wet && at_most_saturated
        && *dew > *wet + rounding(controls.Text5, controls.Combo3) + rounding(controls.Text6, controls.Combo4)
                + kSlack)
        problem("dew point " + controls.Text5.text + " above wet bulb " + controls.Text6.text);

    for (const int column : { 1, 2 }) {
        const std::optional<double> sum = CompositionColumnSum(controls.List1, column);
        if (!sum)
            problem("composition column " + std::to_string(column) + " unreadable");
        else if (std::fabs(*sum - 100) > 5 * 0.00005 + 1e-6)
            problem("composition column " + std::to_string(column) + " sums to " + NumberText(*sum, 6));
    }
    return problems;
}

/// Names of the controls in which two control models differ, with both values of a differing text.
inline Problems Differences(const AmbientControls& a, const AmbientControls& b)
{
    Problems differences;
    for (const NamedBox& box : kValueBoxes) {
        if (a.*(box.box) != b.*(box.box))
            differences.push_back(std::string(box.name) + ": \"" + (a.*(box.box)).text + "\" / \""
                + (b.*(box.box)).text + "\"");
    }
    for (const NamedList& list : kUnitLists) {
        if (a.*(list.list) != b.*(list.list))
            differences.push_back(std::string(list.name));
    }
    for (const NamedOption& option : kOptions) {
        if (a.*(option.option) != b.*(option.option))
            differences.push_back(std::string(option.name));
    }
    for (const NamedLabel& label : kLimitLabels) {
        if (a.*(label.label) != b.*(label.label))
            differences.push_back(std::string(label.name) + ": \"" + (a.*(label.label)).caption + "\" / \""
                + (b.*(label.label)).caption + "\"");
    }
    if (a.Label27 != b.Label27)
        differences.push_back("Label27");
    if (a.List1 != b.List1)
        differences.push_back("List1");
    if (a.menu_IAPWS != b.menu_IAPWS || a.menu_HW != b.menu_HW || a.menu_metric != b.menu_metric
        || a.menu_british != b.menu_british || a.menu_customized != b.menu_customized)
        differences.push_back("menu check marks");
    return differences;
}

inline std::string Joined(const Problems& problems)
{
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

} // namespace humidora::checks
