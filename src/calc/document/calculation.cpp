#include "calc/document/calculation.h"

namespace humidora {

bool SameInputs(const AmbientInputs& a, const AmbientInputs& b)
{
    AmbientInputs given_a = a;
    AmbientInputs given_b = b;
    for (AmbientInputs* inputs : { &given_a, &given_b })
        (inputs->altitude_given ? inputs->pressure : inputs->altitude).clear();
    return given_a == given_b;
}

bool SameCalculation(const Calculation& a, const Calculation& b)
{
    return SameInputs(a.inputs, b.inputs) && a.points == b.points && a.processes == b.processes
        && a.properties == b.properties && a.uncertainty == b.uncertainty && a.chart_data == b.chart_data;
}

} // namespace humidora
