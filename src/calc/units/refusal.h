// Why a calculation was refused, as data and as one sentence. The calculation produces it for every run
// that ends in a report; the window shows the sentence as the refused box's tool tip and in the status
// bar, the command line on standard error and as the JSON object "refusal", the batch mode in its status
// column. All of them read the same words, in the unit the user has chosen.
#pragma once

#include <string>
#include <string_view>

namespace humidora {

enum class RefusalReason
{
    NotANumber,             ///< the text is not one number ('.' is the decimal point)
    BelowMinimum,           ///< below the caption of the minimum label
    AboveMaximum,           ///< above the caption of the maximum label
    ReachesAmbientPressure, ///< the water vapour would reach the ambient pressure
    UnknownUnit,            ///< the unit list shows no unit the quantity can be read in
    NotComputable,          ///< an intermediate result left the range of the arithmetic
    ProcessRule,            ///< a process cannot run as given (its points, its form, what it can reach)
};

/// A refused run. Every text is as the window shows it: `text` as typed (or, for the vapour pressure at
/// saturation, the value of its limit label), `minimum` and `maximum` the captions of the limit labels
/// (for ReachesAmbientPressure, `maximum` is the ambient pressure in `unit`), `unit` the item of the
/// quantity's unit list. Empty where a field does not apply.
struct Refusal
{
    std::string quantity; ///< machine name of the quantity, e.g. "relative_humidity"; empty for NotComputable
    std::string text;
    RefusalReason reason = RefusalReason::NotComputable;
    std::string minimum;
    std::string maximum;
    std::string unit;
    int box = 0; ///< value box (1..16) that shows the refusal, 0 when none is marked

    bool operator==(const Refusal&) const = default;
};

/// The sentence that tells the user what to correct, e.g. "Relative Humidity 120 % is above its maximum
/// of 100 %" or "Relative Humidity '50,5' is not a number (the decimal point is '.')".
std::string RefusalSentence(const Refusal& refusal);

/// Machine name of a reason, for JSON and tables: "not_a_number", "below_minimum", "above_maximum",
/// "reaches_ambient_pressure", "unknown_unit", "not_computable", "process_rule".
std::string_view RefusalReasonName(RefusalReason reason);

/// Caption of a quantity of the main window by its machine name (QuantityControls::key), e.g.
/// "relative_humidity" gives "Relative Humidity"; empty for an unknown name.
std::string_view QuantityCaption(std::string_view key);

} // namespace humidora
