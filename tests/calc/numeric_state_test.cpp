// The calculation on numbers against the window's run for the values (the batch's), input for input: the
// same acceptance, the same refusal, and every value the same double as the number behind the window's
// box. Every route (each humidity parameter, the pressure or the altitude), both formulations, the metric,
// British and customised units, over random states and over inputs at and next to every shown limit.
#include "calc/ambient/calculate_ambient.h"
#include "calc/ambient/numeric_state.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "calc/windows/ambient_window.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace humidora {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long kStates = 60'000; // the instrumented build is ten times slower
#else
constexpr long kStates = 1'000'000;
#endif

std::string Typed(double value)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The number a batch writes for a box: the typed value of an input, the number behind a computed text,
// NaN for a text that is not a number.
double BoxNumber(const ValueBox& box)
{
    if (!IsNumberText(box.text))
        return std::numeric_limits<double>::quiet_NaN();
    return box.locked ? box.value : NumberValue(box.text);
}

struct Comparison
{
    const NumericCalculation& numeric;
    const AmbientControls& template_controls;
    const AmbientState& template_state;
    std::size_t humidity_row;
    AmbientControls controls;
    AmbientState state;
    long compared = 0, accepted = 0, failures = 0;

    // Both runs on the same inputs; true when they agree. The window's controls stay for a look at its
    // labels.
    bool Run(double temperature, double pressure, double humidity)
    {
        for (const NamedBox& named : kValueBoxes)
            controls.*(named.box) = template_controls.*(named.box);
        state = template_state;
        controls.Text1.text = Typed(temperature);
        (controls.Option9 ? controls.Text10 : controls.Text2).text = Typed(pressure);
        (controls.*(kQuantities[humidity_row].box)).text = Typed(humidity);
        const std::optional<Refusal> refusal
            = CalculateAmbient(controls, state, PropertyRoutines {}, RunExtent::Values);
        const NumericState result = numeric.Compute(temperature, pressure, humidity);
        ++compared;
        bool same = refusal == result.refusal;
        std::string differs;
        if (!refusal) {
            ++accepted;
            // The record keeps the dew point of an earlier run where this one finds none.
            AmbientState numbers = result.state;
            if (std::isnan(numbers.dew_point))
                numbers.dew_point = state.dew_point;
            if (!(state == numbers))
                differs += " state";
            for (std::size_t row = 0; row < kQuantities.size(); ++row) {
                const ValueBox& box = controls.*(kQuantities[row].box);
                const double expected = BoxNumber(box);
                const double value = result.values[row];
                if (std::isnan(expected)
                        ? !(std::isnan(value) && box.text == NotANumberText(row))
                        : std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(value))
                    differs += " " + std::string(kQuantities[row].key) + " " + box.text + " " + Typed(value);
            }
            same = same && differs.empty();
        } else {
            for (const double value : result.values)
                same = same && std::isnan(value);
        }
        if (!same && ++failures <= 5)
            ADD_FAILURE() << "T " << Typed(temperature) << " P/alt " << Typed(pressure) << " "
                          << kQuantities[humidity_row].key << " " << Typed(humidity) << ": window "
                          << (refusal ? RefusalSentence(*refusal) : "ok") << ", numbers "
                          << (result.refusal ? RefusalSentence(*result.refusal) : "ok") << differs;
        return same;
    }
};

// A value as typed: at full precision, or rounded to a few decimals as a user writes it.
double AsTyped(double value, std::mt19937_64& random)
{
    const int decimals = static_cast<int>(random() % 6);
    if (random() % 2 == 0 || !std::isfinite(value))
        return value;
    return NumberValue(NumberText(value, decimals));
}

// A value at, next to or away from a limit caption, or one that is not a number at all.
double Edge(const std::string& caption, std::mt19937_64& random)
{
    const double limit = NumberValue(caption);
    switch (random() % 8) {
    case 0:
        return std::nextafter(limit, -INFINITY);
    case 1:
        return std::nextafter(limit, INFINITY);
    case 2:
        return std::numeric_limits<double>::quiet_NaN();
    case 3:
        return random() % 2 ? INFINITY : -INFINITY;
    case 4:
        return limit * (1 + 1e-9);
    default:
        return limit;
    }
}

TEST(NumericState, EveryRouteTakesTheWindowsDecisionsAndDoubles)
{
    std::mt19937_64 random(2323);
    std::uniform_real_distribution<double> unit(0, 1);
    const std::array<std::size_t, 8> humidity_rows = { 3, 4, 5, 6, 7, 8, 9, 10 };
    const long per_setup = kStates / (8 * 2 * 2 * 3);
    long compared = 0, accepted = 0, failures = 0;
    for (const std::size_t humidity_row : humidity_rows) {
        for (const bool altitude_given : { false, true }) {
            for (const bool iapws : { true, false }) {
                for (const int system : { 0, 1, 2 }) {
                    AmbientInputs inputs;
                    inputs.iapws = iapws;
                    inputs.altitude_given = altitude_given;
                    inputs.altitude = "0";
                    inputs.humidity_option = kQuantities[humidity_row].optionNumber();
                    if (system == 1) {
                        inputs.system = UnitSystem::British;
                        inputs.selections = kBritishSelection;
                        inputs.pressure = std::string(kBritishPressureText);
                    } else if (system == 2) {
                        inputs.system = UnitSystem::Customized;
                        const AmbientControls lists;
                        for (int list = 1; list <= 16; ++list)
                            inputs.selections[static_cast<std::size_t>(list - 1)]
                                = static_cast<int>(random() % ListOf(lists, list).items.size());
                    }
                    AmbientWindow window;
                    window.Open();
                    window.RestoreInputs(inputs);
                    const NumericCalculation numeric(NumericSetupOf(inputs));
                    NumericSetup by_relative_humidity = NumericSetupOf(inputs);
                    by_relative_humidity.humidity = &kQuantities[3];
                    const NumericCalculation states(by_relative_humidity);
                    Comparison comparison { numeric, window.controls(), window.state(), humidity_row,
                        window.controls(), window.state() };
                    const AmbientControls& c = window.controls();
                    const LimitLabel& p_min = altitude_given ? c.Label9 : c.Label7;
                    const LimitLabel& p_max = altitude_given ? c.Label8 : c.Label6;
                    const double t_lo = NumberValue(c.Label5.caption), t_hi = NumberValue(c.Label4.caption);
                    const double p_lo = NumberValue(p_min.caption), p_hi = NumberValue(p_max.caption);
                    for (long i = 0; i < per_setup; ++i) {
                        // Mostly states inside the limits, some beyond them, some exactly at them.
                        double t = AsTyped(t_lo + (t_hi - t_lo) * (1.1 * unit(random) - 0.05), random);
                        double p = AsTyped(p_lo + (p_hi - p_lo) * std::pow(unit(random), 3), random);
                        if (i % 23 == 0)
                            t = Edge(random() % 2 ? c.Label5.caption : c.Label4.caption, random);
                        if (i % 29 == 0)
                            p = Edge(random() % 2 ? p_min.caption : p_max.caption, random);
                        // The humidity of a random state in the given parameter's unit, as typed.
                        const NumericState state = states.Compute(t, p, 100 * std::pow(unit(random), 0.5));
                        double h = state.refusal || std::isnan(state.values[humidity_row])
                            ? 100 * unit(random)
                            : AsTyped(state.values[humidity_row] * (0.97 + 0.06 * unit(random)), random);
                        if (i % 31 == 0)
                            h = -h;
                        comparison.Run(t, p, h);
                        // The same state at and next to the shown limits of the humidity parameter.
                        if (i % 3 == 0 && !std::isnan(h)) {
                            const Quantity& q = kQuantities[humidity_row];
                            const std::string caption
                                = (comparison.controls.*(random() % 2 ? q.minimum : q.maximum)).caption;
                            if (IsNumberText(caption))
                                comparison.Run(t, p, Edge(caption, random));
                        }
                    }
                    compared += comparison.compared;
                    accepted += comparison.accepted;
                    failures += comparison.failures;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GE(compared, kStates);
    // Most states are accepted, so the values are compared and not only the refusals.
    EXPECT_GT(accepted, compared / 2);
}

// A setup the calculation cannot run is refused when it is made.
TEST(NumericState, RefusesASetupWithoutAHumidityParameterOrWithAnUnknownUnit)
{
    NumericSetup setup;
    setup.humidity = FindQuantity("density");
    EXPECT_THROW(NumericCalculation { setup }, std::invalid_argument);
    setup.humidity = FindQuantity("dew_point");
    setup.selections[0] = 4;
    EXPECT_THROW(NumericCalculation { setup }, std::invalid_argument);
    setup.selections[0] = -1;
    EXPECT_THROW(NumericCalculation { setup }, std::invalid_argument);
}

// The values of the default state, the dry end and the refusals, as the window shows them.
TEST(NumericState, DryAirAndRefusalsReadAsTheWindowShowsThem)
{
    const NumericCalculation calculation;
    const NumericState dry = calculation.Compute(25, 101.325, 0);
    ASSERT_FALSE(dry.refusal);
    EXPECT_TRUE(std::isnan(dry.values[6])); // the dew point of dry air: "< min"
    EXPECT_EQ(NotANumberText(6), "< min");
    EXPECT_EQ(dry.values[4], 0);

    const NumericState above = calculation.Compute(25, 101.325, 100.5);
    ASSERT_TRUE(above.refusal);
    EXPECT_EQ(RefusalSentence(*above.refusal), "Relative Humidity 100.5 % is above its maximum of 100 %");
    const NumericState nan = calculation.Compute(std::nan(""), 101.325, 50);
    ASSERT_TRUE(nan.refusal);
    EXPECT_EQ(nan.refusal->reason, RefusalReason::NotANumber);
    EXPECT_EQ(nan.refusal->quantity, "temperature");
    // A saturation pressure beyond the ambient pressure: 99 C at 5 kPa.
    const NumericState boiling = calculation.Compute(99, 5, 50);
    ASSERT_TRUE(boiling.refusal);
    EXPECT_EQ(boiling.refusal->reason, RefusalReason::ReachesAmbientPressure);
}

} // namespace
} // namespace humidora
