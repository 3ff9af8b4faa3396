// Checked arithmetic of the calculation, and the helpers that every phase shares.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"

#include <cmath>

namespace humidora::ambient {

double Finite(double value)
{
    if (!std::isfinite(value))
        throw ArithmeticFailure {};
    return value;
}

float Single(double value)
{
    const float narrowed = NarrowToSingle(value);
    if (!std::isfinite(narrowed))
        throw ArithmeticFailure {};
    return narrowed;
}

double Quotient(double numerator, double denominator)
{
    if (denominator == 0)
        throw ArithmeticFailure {};
    return Finite(numerator / denominator);
}

std::optional<double> AcceptedValue(const ValueBox& box, const LimitLabel& minimum, const LimitLabel& maximum)
{
    const std::optional<double> value = NumberTextValue(box.text);
    if (value && NumberValue(minimum.caption) <= *value && *value <= NumberValue(maximum.caption))
        return value;
    return std::nullopt;
}

Refusal InputRefusal(
    const AmbientControls& controls, const QuantityControls& quantity, RefusalReason otherwise)
{
    const ValueBox& box = controls.*(quantity.box);
    const LimitLabel& minimum = controls.*(quantity.minimum);
    const LimitLabel& maximum = controls.*(quantity.maximum);
    RefusalReason reason = otherwise;
    if (!IsNumberText(box.text))
        reason = RefusalReason::NotANumber;
    else if (NumberValue(box.text) < NumberValue(minimum.caption))
        reason = RefusalReason::BelowMinimum;
    else if (NumberValue(box.text) > NumberValue(maximum.caption))
        reason = RefusalReason::AboveMaximum;
    return { std::string(quantity.key), box.text, reason, minimum.caption, maximum.caption,
        (controls.*(quantity.list)).text(), BoxNumber(quantity.box) };
}

void WriteErrorIntoHumidityOutputs(AmbientControls& controls)
{
    for (const QuantityControls* quantity : kHumidityQuantities) {
        if (!(controls.*(quantity->option)))
            (controls.*(quantity->box)).text = "Error";
    }
}

} // namespace humidora::ambient
