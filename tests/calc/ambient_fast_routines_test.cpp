// The recalculation with the core's fast inverse routines shows, text for text and bit for bit, what it
// shows with the plain bisections they shortcut: every route (each humidity parameter given, the
// pressure or the altitude), both formulations and both unit systems, over states from dry and cold to
// humid and hot, including inputs the window refuses. A run for the values only (the batch's) writes the
// same value boxes, state and refusal as the window's run.
#include "calc/ambient/calculate_ambient.h"
#include "calc/units/quantities.h"
#include "calc/windows/ambient_window.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace humidora {
namespace {

std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Runs one recalculation of the window's inputs with each set of routines and compares everything the
// window holds afterwards, the numbers behind the texts included. Returns whether the run was accepted.
bool ExpectSameRun(const AmbientWindow& window, const std::string& context)
{
    PropertyRoutines plain;
    plain.saturation_temperature = &PlainSaturationTemperature;
    plain.wet_bulb_temperature = &PlainWetBulbTemperature;
    AmbientControls fast_controls = window.controls(), plain_controls = window.controls();
    AmbientState fast_state = window.state(), plain_state = window.state();
    const std::optional<Refusal> fast_refusal = CalculateAmbient(fast_controls, fast_state);
    const std::optional<Refusal> plain_refusal = CalculateAmbient(plain_controls, plain_state, plain);
    EXPECT_EQ(fast_controls, plain_controls) << context;
    EXPECT_EQ(fast_state, plain_state) << context;
    EXPECT_EQ(fast_refusal.has_value(), plain_refusal.has_value()) << context;
    for (const NamedBox& named : kValueBoxes) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>((fast_controls.*(named.box)).value),
            std::bit_cast<std::uint64_t>((plain_controls.*(named.box)).value))
            << context << " " << named.name;
    }
    // The run for the values: the same boxes to the bit, state and refusal; only the listing and the
    // ranges of the humidity parameters not given may be left as they were.
    // It starts from ranges of another state, so that a range it failed to write would show.
    AmbientControls values_controls = window.controls();
    for (const Quantity* quantity : kHumidityQuantities) {
        (values_controls.*(quantity->minimum)).caption = "0";
        (values_controls.*(quantity->maximum)).caption = "0";
    }
    AmbientState values_state = window.state();
    const std::optional<Refusal> values_refusal
        = CalculateAmbient(values_controls, values_state, PropertyRoutines {}, RunExtent::Values);
    EXPECT_EQ(values_state, fast_state) << context;
    EXPECT_EQ(values_refusal, fast_refusal) << context;
    for (const NamedBox& named : kValueBoxes) {
        const ValueBox& box = values_controls.*(named.box);
        EXPECT_EQ(box, fast_controls.*(named.box)) << context << " " << named.name;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(box.value),
            std::bit_cast<std::uint64_t>((fast_controls.*(named.box)).value))
            << context << " " << named.name;
    }
    return !fast_refusal;
}

TEST(AmbientFastRoutines, EveryRouteShowsWhatThePlainBisectionsGive)
{
    std::mt19937_64 random(1414);
    std::uniform_real_distribution<double> unit(0, 1);
    long accepted = 0, runs = 0;
    for (const bool iapws : { true, false }) {
        for (const bool british : { false, true }) {
            for (int i = 0; i < 150; ++i) {
                // A state by its relative humidity, then the same state given by each humidity parameter
                // as the window showed it.
                AmbientInputs inputs;
                inputs.iapws = iapws;
                if (british) {
                    inputs.system = UnitSystem::British;
                    inputs.selections = kBritishSelection;
                }
                const double t_C = -95 + 190 * unit(random);
                inputs.temperature = Number(british ? t_C * 1.8 + 32 : t_C, 2);
                inputs.altitude_given = i % 5 == 0;
                if (inputs.altitude_given) {
                    const double altitude_m = -4000 + 14000 * unit(random);
                    inputs.altitude = Number(british ? altitude_m / 0.3048 : altitude_m, 0);
                } else {
                    const double p_kPa = 5 + (i % 7 == 0 ? 995 : 150) * unit(random);
                    inputs.pressure = Number(british ? p_kPa * 0.1450377 : p_kPa, 3);
                }
                inputs.humidity_option = 2;
                inputs.humidity = Number(i % 11 == 0 ? 101 * unit(random) - 0.5 : 100 * unit(random), 1);
                AmbientWindow window;
                window.Open();
                window.RestoreInputs(inputs);
                const AmbientControls shown = window.controls();
                for (const int option : { 1, 2, 3, 4, 5, 6, 7, 10 }) {
                    inputs.humidity_option = option;
                    inputs.humidity = BoxOf(shown, BoxOfOption(option)).text;
                    AmbientWindow route;
                    route.Open();
                    route.RestoreInputs(inputs);
                    accepted += ExpectSameRun(route,
                        std::string(iapws ? "IAPWS" : "Hyland-Wexler") + (british ? " British" : " Metric")
                            + " T " + inputs.temperature + " P " + inputs.pressure + inputs.altitude
                            + " option " + std::to_string(option) + " " + inputs.humidity);
                    ++runs;
                }
            }
        }
    }
    // Most runs are accepted, so the comparison covers the outputs and not only the refusals.
    EXPECT_GT(accepted, runs / 2);
}

} // namespace
} // namespace humidora
