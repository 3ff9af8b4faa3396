#include "calc/units/refusal.h"

#include "calc/units/quantities.h"

#include <array>
#include <utility>

namespace humidora {
namespace {

/// "120 %": a value and its unit as the window shows them side by side.
std::string WithUnit(const std::string& value, const std::string& unit)
{
    return unit.empty() ? value : value + ' ' + unit;
}

} // namespace

std::string RefusalSentence(const Refusal& r)
{
    const std::string_view caption = QuantityCaption(r.quantity);
    const std::string subject = caption.empty() ? "The input" : std::string(caption);
    switch (r.reason) {
    case RefusalReason::NotANumber: {
        if (r.text.find_first_not_of(" \t\r\n") == std::string::npos)
            return subject + " is empty: type a number";
        std::string sentence = subject + " '" + r.text + "' is not a number";
        // A comma is the usual slip of a user whose locale writes decimals with one.
        if (r.text.find(',') != std::string::npos)
            sentence += " (the decimal point is '.')";
        return sentence;
    }
    case RefusalReason::BelowMinimum:
        return subject + ' ' + WithUnit(r.text, r.unit) + " is below its minimum of "
            + WithUnit(r.minimum, r.unit);
    case RefusalReason::AboveMaximum:
        return subject + ' ' + WithUnit(r.text, r.unit) + " is above its maximum of "
            + WithUnit(r.maximum, r.unit);
    case RefusalReason::ReachesAmbientPressure:
        if (r.maximum.empty())
            return subject + ' ' + WithUnit(r.text, r.unit)
                + " puts the partial pressure of water at or above the ambient pressure";
        return subject + ' ' + WithUnit(r.text, r.unit) + " reaches the ambient pressure "
            + WithUnit(r.maximum, r.unit);
    case RefusalReason::UnknownUnit:
        return subject + " cannot be read in the unit '" + r.unit + "'";
    case RefusalReason::ProcessRule:
        return "The process cannot run as given";
    case RefusalReason::NotComputable:
        break;
    }
    return "The state cannot be computed: an intermediate result lies beyond the range of the arithmetic";
}

std::string_view RefusalReasonName(RefusalReason reason)
{
    switch (reason) {
    case RefusalReason::NotANumber:
        return "not_a_number";
    case RefusalReason::BelowMinimum:
        return "below_minimum";
    case RefusalReason::AboveMaximum:
        return "above_maximum";
    case RefusalReason::ReachesAmbientPressure:
        return "reaches_ambient_pressure";
    case RefusalReason::UnknownUnit:
        return "unknown_unit";
    case RefusalReason::ProcessRule:
        return "process_rule";
    case RefusalReason::NotComputable:
        break;
    }
    return "not_computable";
}

std::string_view QuantityCaption(std::string_view key)
{
    const Quantity* quantity = FindQuantity(key);
    return quantity == nullptr ? std::string_view() : quantity->caption;
}

} // namespace humidora
