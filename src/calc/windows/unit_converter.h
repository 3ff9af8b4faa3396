// The unit converter's behaviour without any toolkit: one number converted between the units of seven
// quantities, always in two steps through the quantity's base unit. A front end forwards the user's
// events here and shows controls(); the command line drives the same object.
#pragma once

#include "calc/units/ambient_controls.h"
#include "calc/units/number_text.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

inline constexpr int kConverterQuantityCount = 7;

/// A quantity of the converter: its item text in Combo1, its unit items (the same in both unit lists)
/// and the base unit every conversion passes through.
struct ConverterQuantity
{
    std::string_view name;
    std::vector<std::string_view> units;
    std::string_view base_unit;
};

/// The seven quantities in Combo1's order.
const std::array<ConverterQuantity, kConverterQuantityCount>& ConverterQuantities();

/// Value x given in `unit` expressed in the base unit of its quantity, and a value b in the base unit
/// expressed in `unit`, with the converter's factors and order of evaluation. nullopt for a text that is
/// no unit of the converter. Overflow gives +-inf.
std::optional<double> IntoBaseUnit(std::string_view unit, double x);
std::optional<double> OutOfBaseUnit(std::string_view unit, double b);

/// What Text2 shows when a valid number converts to a value beyond the double range.
inline constexpr std::string_view kConverterOutOfRange = "Out of Range";

/// Background colours of the converter's window and controls.
inline constexpr Rgb kConverterWindowBackground = { 216, 219, 204 };
inline constexpr Rgb kConverterQuantityLabelBackground = { 255, 128, 128 }; ///< Label1
inline constexpr Rgb kConverterUnitLabelBackground = { 129, 177, 162 };     ///< Label2, Label3
inline constexpr Rgb kConverterQuantityListBackground = { 250, 251, 219 };  ///< Combo1
inline constexpr Rgb kConverterResultBackground = { 255, 192, 128 };        ///< Text2

/// The controls of the converter, in the state the window is created with (before opening): every list
/// filled and visible, none selected.
struct UnitConverterControls
{
    UnitConverterControls();

    UnitList Combo1;                                      ///< the quantity
    std::array<UnitList, kConverterQuantityCount> Combo2; ///< "From" unit, one list per quantity
    std::array<UnitList, kConverterQuantityCount> Combo3; ///< "To" unit, one list per quantity
    std::array<bool, kConverterQuantityCount> Combo2_visible;
    std::array<bool, kConverterQuantityCount> Combo3_visible;
    std::string Text1 = "1"; ///< the number to convert
    std::string Text2 = "1"; ///< the result (read-only)

    bool operator==(const UnitConverterControls&) const = default;
};

/// The controls that can be asked to take the keyboard focus.
enum class ConverterControl
{
    Combo1,
    Text1
};

/// A request to move the keyboard focus, optionally selecting the whole text of the box.
/// After "Error" the focus goes to Text1 with its whole text selected, so that the next keystroke
/// replaces a wrong entry; a text that is only the beginning of a number ("-", "1E") is not selected,
/// because selecting it would make the next keystroke erase what the user is typing.
struct FocusRequest
{
    ConverterControl control;
    bool select_all = false;

    bool operator==(const FocusRequest&) const = default;
};

class UnitConverter
{
public:
    UnitConverter() = default;

    /// Opening: quantity 0 is selected (with its behaviour), then for every quantity in turn its "From"
    /// and its "To" list get their first item, each a selection that converts; the focus goes to Combo1.
    void Open();

    /// Quantity `index` chosen in Combo1: all fourteen unit lists are hidden, the pair of the quantity is
    /// shown, then the conversion runs. An index outside the list is ignored.
    void SelectQuantity(int index);

    /// Item `index` chosen in Combo2(quantity) or Combo3(quantity): the conversion runs. Indices outside
    /// the lists are ignored.
    void SelectFromUnit(int quantity, int index);
    void SelectToUnit(int quantity, int index);

    /// The text of Text1 changes (every keystroke or paste): the conversion runs.
    void EditText1(const std::string& text);

    const UnitConverterControls& controls() const { return controls_; }

    /// The focus request of the last event that made one, handed out once.
    std::optional<FocusRequest> TakeFocusRequest();

    /// Number of conversion runs since construction (including those that showed "Error").
    long conversions() const { return conversions_; }

private:
    void Convert();

    UnitConverterControls controls_;
    std::optional<FocusRequest> focus_request_;
    long conversions_ = 0;
};

} // namespace humidora
