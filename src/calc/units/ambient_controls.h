// A toolkit-free model of the main window's controls: what the ambient-air calculation reads and writes,
// and what every front end (the Qt window, the command line, the tests) shows. Members carry the
// controls' own names (Text1, Combo2, Option8, Label20, List1, menu_IAPWS) so that a reader can match
// them with the window one to one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

/// Backgrounds that the calculation and the window logic give to boxes, labels and the listing.
enum class Background
{
    Standard,    ///< the platform's text-entry background (an input box)
    Cyan,        ///< (0, 255, 255): a box that shows a computed value
    Red,         ///< (255, 0, 0): a refused input, or the listing showing a report
    Yellow,      ///< (255, 255, 0): the vapour-pressure report on Text2 and Label20
    LightRed,    ///< (255, 128, 128): maximum labels
    GreyGreen,   ///< (129, 177, 162): minimum labels
    LightOrange, ///< (255, 192, 128): the composition listing
};

struct Rgb
{
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

/// RGB of a background; Standard maps to white, the usual text-entry background.
Rgb BackgroundRgb(Background background);

/// A single-line value box.
struct ValueBox
{
    std::string text;
    bool locked = true;
    Background background = Background::Cyan;
    double font_size = 9; ///< points; "Out of Range" in Text10 is shown at 7
    /// The number a computed text was written from, in the box's unit and before its rounding, for front
    /// ends that want it at full precision; meaningful only while the text is a number the run wrote.
    double value = 0;

    /// A computed box shows `shown`, written from `number`.
    void Show(double number, std::string shown)
    {
        value = number;
        text = std::move(shown);
    }

    /// What the window shows; the number behind a text is not part of it (a box that became an input
    /// still holds the number of its last computed text).
    bool operator==(const ValueBox& other) const
    {
        return text == other.text && locked == other.locked && background == other.background
            && font_size == other.font_size;
    }
};

/// A drop-down unit list whose text cannot be typed: fixed items and the selected index (-1 = none).
struct UnitList
{
    std::vector<std::string> items;
    int selected = -1;

    /// The selected item's text, or "" when nothing is selected.
    const std::string& text() const;
    /// Index of an item, or -1.
    int IndexOf(std::string_view item) const;

    bool operator==(const UnitList&) const = default;
};

/// A limit label: caption and background.
struct LimitLabel
{
    std::string caption;
    Background background = Background::GreyGreen;

    bool operator==(const LimitLabel&) const = default;
};

/// The listing box List1.
struct ListBox
{
    std::vector<std::string> lines;
    Background background = Background::LightOrange;

    bool operator==(const ListBox&) const = default;
};

/// Every control of the main window that the calculation or the window logic reads or writes, in the
/// state the window is created with (before the start-up selections of the unit lists).
struct AmbientControls
{
    AmbientControls();

    // Value boxes. Text1 (temperature) is always an input, Text12..Text16 always computed.
    ValueBox Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10, Text11, Text12, Text13,
        Text14, Text15, Text16;

    // Unit lists.
    UnitList Combo1, Combo2, Combo3, Combo4, Combo5, Combo6, Combo7, Combo8, Combo9, Combo10, Combo11,
        Combo12, Combo13, Combo14, Combo15, Combo16;

    // Option buttons. Option8/Option9 form the pressure group; Option1..Option7 and Option10 the humidity
    // group. The window logic keeps exactly one selected in each group.
    bool Option1 = false, Option2 = true, Option3 = false, Option4 = false, Option5 = false, Option6 = false,
         Option7 = false, Option8 = true, Option9 = false, Option10 = false;

    // Minimum and maximum labels: temperature Label5/Label4, pressure Label7/Label6, altitude Label9/Label8,
    // and the humidity ranges Label10..Label25 (see the table in ambient_controls.cpp).
    LimitLabel Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label12, Label13, Label14,
        Label15, Label16, Label17, Label18, Label19, Label20, Label21, Label22, Label23, Label24, Label25;

    /// Caption of the unit-column header: "Unit (Metric)", "Unit (British)" or "Unit (Customized)".
    std::string Label27 = "Unit (Metric)";

    ListBox List1;

    // Menu check marks: the formulation pair and the unit-system triple.
    bool menu_IAPWS = true, menu_HW = false;
    bool menu_metric = true, menu_british = false, menu_customized = false;

    bool operator==(const AmbientControls&) const = default;
};

/// Name tables: every control of the model with its name, for front ends that bind by name.
struct NamedBox
{
    std::string_view name;
    ValueBox AmbientControls::*box;
};
struct NamedList
{
    std::string_view name;
    UnitList AmbientControls::*list;
};
struct NamedOption
{
    std::string_view name;
    bool AmbientControls::*option;
};
struct NamedLabel
{
    std::string_view name;
    LimitLabel AmbientControls::*label;
};
extern const std::array<NamedBox, 16> kValueBoxes;    ///< Text1..Text16 in number order
extern const std::array<NamedList, 16> kUnitLists;    ///< Combo1..Combo16 in number order
extern const std::array<NamedOption, 10> kOptions;    ///< Option1..Option10 in number order
extern const std::array<NamedLabel, 22> kLimitLabels; ///< Label4..Label25 in number order

/// The control of a number: value box Text`number` (1..16), unit list Combo`number` (1..16), option button
/// Option`number` (1..10), limit label Label`number` (4..25). A number outside its range is the caller's
/// error.
ValueBox& BoxOf(AmbientControls& controls, int number);
const ValueBox& BoxOf(const AmbientControls& controls, int number);
UnitList& ListOf(AmbientControls& controls, int number);
const UnitList& ListOf(const AmbientControls& controls, int number);
bool& OptionOf(AmbientControls& controls, int number);
bool OptionOf(const AmbientControls& controls, int number);

/// The number of a control (Text`n`, Combo`n`, Option`n`, Label`n`), or 0 for a null member.
int BoxNumber(ValueBox AmbientControls::*box);
int ListNumber(UnitList AmbientControls::*list);
int OptionNumber(bool AmbientControls::*option);
int LabelNumber(LimitLabel AmbientControls::*label);

/// Unit systems: the item index every unit list gets in the Metric and in the British system
/// (Combo1..Combo16 in number order), and the pressure text each writes into Text2.
extern const std::array<int, 16> kMetricSelection;
extern const std::array<int, 16> kBritishSelection;
inline constexpr std::string_view kMetricPressureText = "101.325";
inline constexpr std::string_view kBritishPressureText = "14.6957";

} // namespace humidora
