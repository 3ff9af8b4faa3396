// The main window's inputs with a dry bulb and one humidity parameter typed, the rest at start-up.
#pragma once

#include "calc/ambient/ambient_inputs.h"

#include <string>

namespace humidora::testing {

inline AmbientInputs Typed(const std::string& temperature, int option, const std::string& humidity)
{
    AmbientInputs inputs;
    inputs.temperature = temperature;
    inputs.humidity_option = option;
    inputs.humidity = humidity;
    return inputs;
}

} // namespace humidora::testing
