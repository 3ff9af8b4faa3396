// The main window's behaviour without any toolkit: which boxes are inputs, when the state is
// recalculated, the unit systems and the formulation entries. A front end forwards the user's events
// here and shows controls(); the command line drives the same object, so both show the same state.
#pragma once

#include "calc/ambient/ambient_inputs.h"
#include "calc/ambient/ambient_state.h"
#include "calc/ambient/uncertainty.h"
#include "calc/units/ambient_controls.h"
#include "calc/units/quantities.h"
#include "calc/units/refusal.h"

#include <array>
#include <optional>
#include <string>

namespace humidora {

class AmbientWindow
{
public:
    /// The window as created: controls with their captions, lists, start texts and lock states, no list
    /// selected yet and nothing computed.
    AmbientWindow();

    /// Start-up: the sixteen unit lists get their start selections in the order Combo1..Combo16 (each a
    /// selection change with its own behaviour), then one final CalculateAmbient; the focus goes to Text1.
    void Open();

    /// The user selects option button `option` (1..10): its box becomes the input of its group (unlocked,
    /// standard background), the others of the group computed (locked, cyan); the focus moves to that box
    /// with its whole text selected. No recalculation.
    void ClickOption(int option);

    /// The text of value box `box` (1..16) changes, by the user or by the program. Recalculates when the
    /// box is an input (Text1 always; the others while their option is selected). A locked box is never
    /// edited by the user; a front end does not forward edits of one.
    void EditText(int box, const std::string& text);

    /// The user (or the program) selects item `index` of unit list `list` (1..16). The lists with a single
    /// "%" item do nothing; the thirteen others switch the window to Customized when the item is not the
    /// checked system's reference item, then recalculate.
    void SelectUnit(int list, int index);

    /// "Metric" / "British": check marks and Label27, every list set to the system's item, Text2 reset,
    /// then one more recalculation. They run in full also when the system is already checked.
    void ChooseMetric();
    void ChooseBritish();

    /// Option > "Convert Values When Units Change": when on, a change of a unit list (by the user or by a
    /// unit system) rewrites the number in that list's box while the box is an input, so that the state
    /// stays the same: the shortest text in the new unit that shows every box as before (95 F becomes 35
    /// C), and a system change converts the pressure instead of resetting it. When off (the default), the
    /// typed number stays and is read in the new unit. Text that is no number is never rewritten.
    void SetConvertOnUnitChange(bool convert) { convert_on_unit_change_ = convert; }
    bool convertOnUnitChange() const { return convert_on_unit_change_; }

    /// The formulation entries: move the check mark, then recalculate (also when already checked).
    void ChooseIapws();
    void ChooseHylandWexler();

    /// Replaces every input and choice at once (opening a saved calculation, the command line): check
    /// marks, Label27, list selections, selected options with their boxes' lock states and backgrounds,
    /// and the input texts; then one recalculation. The inputs are taken as they are, also when they
    /// would be refused (the recalculation shows the refusal as if typed). Out-of-range indices or option
    /// numbers are the caller's error: the caller validates first.
    void RestoreInputs(const AmbientInputs& inputs);

    /// The inputs and choices of the current state (inverse of RestoreInputs).
    AmbientInputs CurrentInputs() const;

    const AmbientControls& controls() const { return controls_; }
    const AmbientState& state() const { return state_; }
    /// Why the last recalculation was refused; nothing when it was accepted (or none has run yet).
    const std::optional<Refusal>& refusal() const { return refusal_; }

    /// Number (1..16) of the value box that should have the keyboard focus, with its whole text selected
    /// when focus_select_all() is true.
    int focus_box() const { return focus_box_; }
    bool focus_select_all() const { return focus_select_all_; }

    /// Option > Measurement Uncertainty...: the accuracies of the inputs and whether the outputs show
    /// their expanded uncertainty. Setting them recomputes the uncertainty of the state shown; every
    /// recalculation does so while they are on.
    void SetUncertainty(const UncertaintySettings& settings);
    const UncertaintySettings& uncertainty() const { return uncertainty_; }
    /// The uncertainty of the state shown: ok() false while it is off or the state is refused.
    const UncertaintyResult& uncertaintyResult() const { return uncertainty_result_; }
    /// What the window shows beside value box `box` (1..16): "± 0.74" in the box's unit, with " !" where
    /// the interval reaches beyond the quantity's range; empty while off, refused or not computed.
    std::string UncertaintyLabel(int box) const;
    /// The caption over the uncertainties: "± U (k = 2, about 95 %)"; empty while off.
    std::string UncertaintyCaption() const;

    /// Number of CalculateAmbient runs since construction.
    long calculations() const { return calculations_; }
    /// A copy of the window put in place of this one (undo, redo) goes on counting from `count`: the runs
    /// count what was computed, and bringing a copy back computes nothing.
    void ContinueCount(long count) { calculations_ = count; }

private:
    void Recalculate();
    void UpdateUncertainty();
    /// True when value box `box` (1..16) takes the user's input now.
    bool IsInput(int box) const;
    /// Writes the value typed in `quantity`'s box, in item `from` of its list, as the text in item `to`
    /// that shows the same state, and recalculates.
    void WriteConverted(const Quantity& quantity, int from, int to);
    void ChooseSystem(UnitSystem system, const std::array<int, 16>& selection, std::string_view pressure);

    AmbientControls controls_;
    AmbientState state_;
    std::optional<Refusal> refusal_;
    int focus_box_ = 1;
    bool focus_select_all_ = false;
    long calculations_ = 0;
    UncertaintySettings uncertainty_;
    UncertaintyResult uncertainty_result_;
    bool convert_on_unit_change_ = false;
};

/// A value typed in unit item `from` of `quantity`'s list expressed in its item `to` (the temperatures
/// through kelvin, the others through the calculation's unit); nullopt for an index out of the list.
std::optional<double> ConvertBetweenUnits(const Quantity& quantity, int from, int to, double value);

/// The value box (1..16) that belongs to option button `option` (1..10), or 0.
int BoxOfOption(int option);

} // namespace humidora
