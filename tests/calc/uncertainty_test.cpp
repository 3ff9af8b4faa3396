// Measurement uncertainty: sensitivities against the relations they differentiate, the stability of the
// finite differences, the linear propagation against Monte Carlo, limits, and the texts.
#include "calc/ambient/uncertainty.h"
#include "calc/units/quantities.h"
#include "calc/windows/ambient_window.h"
#include "core/properties.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace humidora {
namespace {

constexpr std::size_t kTemperatureRow = 0, kRelativeHumidityRow = 3, kHumidityRatioRow = 4, kDewPointRow = 6,
                      kWetBulbRow = 7, kEnthalpyRow = 15;

AmbientInputs Inputs(const std::string& temperature, int option, const std::string& humidity,
    const std::string& pressure = "101.325")
{
    AmbientInputs inputs;
    inputs.temperature = temperature;
    inputs.humidity_option = option;
    inputs.humidity = humidity;
    inputs.pressure = pressure;
    return inputs;
}

AmbientControls Shown(const AmbientInputs& inputs)
{
    AmbientWindow window;
    window.Open();
    window.RestoreInputs(inputs);
    return window.controls();
}

UncertaintySettings Accuracies(
    double temperature, double humidity, double pressure, AccuracyForm form = AccuracyForm::Rectangular)
{
    UncertaintySettings settings;
    settings.enabled = true;
    settings.temperature = temperature;
    settings.humidity = humidity;
    settings.pressure = pressure;
    settings.form = form;
    return settings;
}

// The evaluator with its steps scaled, to see how the coefficients move with the step.
class ScaledSteps final : public StateEvaluator
{
public:
    ScaledSteps(const ControlsEvaluator& inner, double scale)
        : inner_(inner)
        , scale_(scale)
    {
    }
    InputVector BaseInputs() const override { return inner_.BaseInputs(); }
    InputVector InputMinimum() const override { return inner_.InputMinimum(); }
    InputVector InputMaximum() const override { return inner_.InputMaximum(); }
    std::array<std::size_t, kUncertainInputs> InputRows() const override { return inner_.InputRows(); }
    InputVector Steps() const override
    {
        InputVector steps = inner_.Steps();
        for (double& step : steps)
            step *= scale_;
        return steps;
    }
    QuantityVector BaseOutputs() const override { return inner_.BaseOutputs(); }
    QuantityVector OutputMinimum() const override { return inner_.OutputMinimum(); }
    QuantityVector OutputMaximum() const override { return inner_.OutputMaximum(); }
    bool Evaluate(const InputVector& x, QuantityVector& y) override { return inner_.Evaluate(x, y); }
    std::unique_ptr<StateEvaluator> Clone() const override
    {
        return std::make_unique<ScaledSteps>(inner_, scale_);
    }

private:
    ControlsEvaluator inner_;
    double scale_;
};

// W = 0.62198 phi p_s / (P - phi p_s) at fixed dry bulb and pressure, so dW/dphi = 0.62198 p_s P / (P -
// phi p_s)^2; and the dew point follows p_s(T_d) = phi p_s(T), so dT_d/dphi = p_s(T) / p_s'(T_d). The
// saturation pressure is taken at the single-precision dry bulb the calculation holds; p_s' by a central
// difference of the double-precision routine (step 1e-3 K: error about 1e-7 relative).
TEST(UncertaintySensitivity, HumidityRatioAndDewPointFollowTheirRelationsToRelativeHumidity)
{
    struct Case
    {
        const char* temperature;
        const char* relative_humidity;
        const char* pressure;
    };
    for (const Case& c : { Case { "25", "50", "101.325" }, Case { "5", "10", "90" },
             Case { "40", "80", "101.325" }, Case { "-10", "60", "70" } }) {
        SCOPED_TRACE(std::string(c.temperature) + " C " + c.relative_humidity + " % " + c.pressure + " kPa");
        ControlsEvaluator evaluator(Shown(Inputs(c.temperature, 2, c.relative_humidity, c.pressure)));
        ASSERT_TRUE(evaluator.ok());
        const UncertaintyResult result = PropagateUncertainty(evaluator, Accuracies(0.2, 2, 0.1));
        ASSERT_TRUE(result.ok);
        const double T = static_cast<float>(std::atof(c.temperature) + 273.15);
        const double P = std::atof(c.pressure) * 1000;
        const double phi = std::atof(c.relative_humidity) / 100;
        const double ps = SaturationPressure(T, kIapws);
        const double dW_dphi = 0.62198 * ps * P / std::pow(P - phi * ps, 2);
        // Per percent of relative humidity, in kg/kg.
        EXPECT_NEAR(result.quantities[kHumidityRatioRow].sensitivity[kHumidityInput], dW_dphi / 100,
            1e-4 * dW_dphi / 100);
        const double Td = SaturationTemperature(phi * ps, kIapws);
        const double slope
            = (SaturationPressure(Td + 1e-3, kIapws) - SaturationPressure(Td - 1e-3, kIapws)) / 2e-3;
        EXPECT_NEAR(result.quantities[kDewPointRow].sensitivity[kHumidityInput], ps / slope / 100,
            1e-3 * ps / slope / 100);
        // An input is its own quantity: sensitivity 1, and its u is its own.
        EXPECT_EQ(result.quantities[kTemperatureRow].sensitivity[kTemperatureInput], 1);
        EXPECT_NEAR(result.quantities[kRelativeHumidityRow].u, 2 / std::sqrt(3.0), 1e-14);
    }
}

// The chosen steps give coefficients that a step half or twice as long confirms to three significant
// digits, for every humidity parameter as input, in both unit systems and with the altitude given.
TEST(UncertaintySensitivity, CoefficientsAreStableToThreeDigitsAgainstTheStep)
{
    struct Case
    {
        const char* name;
        AmbientInputs inputs;
    };
    std::vector<Case> cases = {
        { "relative humidity", Inputs("25", 2, "50") },
        { "humidity ratio", Inputs("30", 1, ".012") },
        { "dew point", Inputs("20", 3, "10") },
        { "wet bulb", Inputs("35", 4, "25") },
        { "absolute humidity", Inputs("15", 5, ".008") },
        { "mole fraction", Inputs("28", 6, ".02") },
        { "mass fraction", Inputs("28", 7, ".012") },
        { "partial pressure", Inputs("22", 10, "1.5") },
        { "cold", Inputs("-20", 2, "70", "80") },
    };
    Case british { "british", Inputs("77", 2, "50", "14.6957") };
    british.inputs.system = UnitSystem::British;
    british.inputs.selections = kBritishSelection;
    cases.push_back(british);
    Case altitude { "altitude", Inputs("25", 2, "50") };
    altitude.inputs.altitude_given = true;
    altitude.inputs.altitude = "1500";
    cases.push_back(altitude);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AmbientControls shown = Shown(c.inputs);
        const UncertaintySettings settings = TypicalAccuracies(shown);
        ControlsEvaluator evaluator(shown);
        ASSERT_TRUE(evaluator.ok());
        const UncertaintyResult chosen = PropagateUncertainty(evaluator, settings);
        for (const double scale : { 0.5, 2.0 }) {
            ScaledSteps other(evaluator, scale);
            const UncertaintyResult check = PropagateUncertainty(other, settings);
            for (std::size_t row = 0; row < 16; ++row) {
                for (std::size_t i = 0; i < kUncertainInputs; ++i) {
                    const double a = chosen.quantities[row].sensitivity[i];
                    const double b = check.quantities[row].sensitivity[i];
                    ASSERT_TRUE(std::isfinite(a)) << kQuantities[row].key << " input " << i;
                    // Three significant digits of the larger coefficients of the row; a coefficient
                    // a thousand times below the row's largest effect cannot move the result.
                    double largest = 0;
                    for (std::size_t j = 0; j < kUncertainInputs; ++j)
                        largest = std::max(
                            largest, std::abs(chosen.quantities[row].sensitivity[j] * chosen.input_u[j]));
                    const double tolerance = std::max(5e-4 * std::abs(a), 1e-4 * largest / chosen.input_u[i]);
                    EXPECT_NEAR(a, b, tolerance)
                        << kQuantities[row].key << " input " << i << " scale " << scale;
                }
            }
        }
    }
}

// At an input's limit (100 % and 0 % relative humidity, the dew point equal to the dry bulb) the central
// difference is impossible: the one-sided difference gives the same coefficient as central differences
// close by, and the interval reaching beyond the limit is flagged, never clipped.
TEST(UncertaintyLimits, OneSidedAtTheEndsOfTheRangeAndIntervalsBeyondAFlaggedLimit)
{
    ControlsEvaluator saturated(Shown(Inputs("25", 2, "100")));
    const UncertaintyResult at_limit = PropagateUncertainty(saturated, Accuracies(0.2, 2, 0.1));
    ASSERT_TRUE(at_limit.ok);
    EXPECT_TRUE(at_limit.one_sided[kHumidityInput]);
    ControlsEvaluator near(Shown(Inputs("25", 2, "99")));
    const UncertaintyResult central = PropagateUncertainty(near, Accuracies(0.2, 2, 0.1));
    EXPECT_FALSE(central.one_sided[kHumidityInput]);
    EXPECT_NEAR(at_limit.quantities[kDewPointRow].sensitivity[kHumidityInput],
        central.quantities[kDewPointRow].sensitivity[kHumidityInput],
        0.01 * central.quantities[kDewPointRow].sensitivity[kHumidityInput]);
    const QuantityUncertainty& rh = at_limit.quantities[kRelativeHumidityRow];
    EXPECT_TRUE(rh.flagged);
    EXPECT_GT(rh.high, 100);
    EXPECT_NEAR(rh.high, 100 + 2 * 2 / std::sqrt(3.0), 1e-12);

    ControlsEvaluator dry(Shown(Inputs("25", 2, "0")));
    const UncertaintyResult at_zero = PropagateUncertainty(dry, Accuracies(0.2, 2, 0.1));
    EXPECT_TRUE(at_zero.one_sided[kHumidityInput]);
    EXPECT_TRUE(at_zero.quantities[kHumidityRatioRow].computed);
    EXPECT_TRUE(at_zero.quantities[kHumidityRatioRow].flagged);
    EXPECT_LT(at_zero.quantities[kHumidityRatioRow].low, 0);

    // Dew point given equal to the dry bulb: a lower dry bulb is refused, the other side is taken.
    ControlsEvaluator dew(Shown(Inputs("20", 3, "20")));
    const UncertaintyResult refused_side = PropagateUncertainty(dew, Accuracies(0.2, 0.5, 0.1));
    ASSERT_TRUE(refused_side.ok);
    EXPECT_TRUE(refused_side.one_sided[kTemperatureInput]);
    EXPECT_TRUE(refused_side.quantities[kEnthalpyRow].computed);

    // A refused base has no uncertainty at all.
    ControlsEvaluator refused(Shown(Inputs("25", 2, "120")));
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(PropagateUncertainty(refused, Accuracies(0.2, 2, 0.1)).ok);
}

// Random states with small uncertainties: the linear half-width U and the Monte Carlo interval's
// half-width agree within 5 % for every quantity (the draws' sampling error of a 95 % quantile at 20000
// draws is about 1 %).
TEST(UncertaintyMonteCarlo, AgreesWithTheLinearPropagationForSmallUncertainties)
{
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<double> temperature(-10, 45), humidity(10, 90), pressure(70, 105);
    for (int trial = 0; trial < 6; ++trial) {
        const AmbientInputs inputs = Inputs(std::to_string(temperature(generator)), 2,
            std::to_string(humidity(generator)), std::to_string(pressure(generator)));
        SCOPED_TRACE(inputs.temperature + " C " + inputs.humidity + " % " + inputs.pressure + " kPa");
        ControlsEvaluator evaluator(Shown(inputs));
        ASSERT_TRUE(evaluator.ok());
        const UncertaintySettings settings = Accuracies(0.1, 1, 0.1, AccuracyForm::Standard);
        const UncertaintyResult linear = PropagateUncertainty(evaluator, settings);
        const MonteCarloResult mc = RunMonteCarlo(evaluator, settings, { .draws = 20000, .seed = 11 });
        ASSERT_TRUE(mc.ok);
        EXPECT_EQ(mc.refused, 0);
        for (std::size_t row = 0; row < 16; ++row) {
            const QuantityUncertainty& q = linear.quantities[row];
            if (!q.computed || q.U == 0)
                continue;
            const double half = (mc.quantities[row].high - mc.quantities[row].low) / 2;
            EXPECT_NEAR(half, q.U, 0.05 * q.U) << kQuantities[row].key;
            EXPECT_EQ(mc.quantities[row].draws, 20000) << kQuantities[row].key;
        }
    }
}

// Near saturation the linear interval crosses 100 % while every draw above 100 % is refused: the refused
// draws are counted, and the Monte Carlo interval of relative humidity ends inside the range, narrower
// than the linear one; the difference is what a user is shown.
TEST(UncertaintyMonteCarlo, NearSaturationRefusedDrawsAreCountedAndTheIntervalsDiffer)
{
    ControlsEvaluator evaluator(Shown(Inputs("25", 2, "99")));
    const UncertaintySettings settings = Accuracies(0.2, 2, 0.1);
    const UncertaintyResult linear = PropagateUncertainty(evaluator, settings);
    const MonteCarloResult mc = RunMonteCarlo(evaluator, settings, { .draws = 20000 });
    EXPECT_TRUE(linear.quantities[kRelativeHumidityRow].flagged);
    // Draws of 99 % +- 2 % above 100 % are a quarter of them.
    EXPECT_NEAR(static_cast<double>(mc.refused) / 20000, 0.25, 0.02);
    EXPECT_EQ(mc.quantities[kWetBulbRow].draws, 20000 - mc.refused);
    EXPECT_LE(mc.quantities[kRelativeHumidityRow].high, 100);
    EXPECT_GT(linear.quantities[kRelativeHumidityRow].high, 100);
}

// The draws depend on the seed alone: one thread or three give the same intervals, and so do two runs.
TEST(UncertaintyMonteCarlo, ResultsDependOnTheSeedNotOnTheThreads)
{
    ControlsEvaluator evaluator(Shown(Inputs("30", 2, "40")));
    const UncertaintySettings settings = Accuracies(0.2, 2, 0.1, AccuracyForm::Expanded);
    const MonteCarloResult one
        = RunMonteCarlo(evaluator, settings, { .draws = 5000, .seed = 3, .threads = 1 });
    const MonteCarloResult three
        = RunMonteCarlo(evaluator, settings, { .draws = 5000, .seed = 3, .threads = 3 });
    const MonteCarloResult other
        = RunMonteCarlo(evaluator, settings, { .draws = 5000, .seed = 4, .threads = 3 });
    for (std::size_t row = 0; row < 16; ++row) {
        EXPECT_EQ(one.quantities[row].low, three.quantities[row].low) << kQuantities[row].key;
        EXPECT_EQ(one.quantities[row].high, three.quantities[row].high) << kQuantities[row].key;
    }
    EXPECT_NE(one.quantities[kDewPointRow].low, other.quantities[kDewPointRow].low);
    EXPECT_NEAR(one.probability, 0.9545, 1e-4);
}

TEST(UncertaintySettings, FormsGiveTheirStandardUncertaintiesAndBadValuesAreNamed)
{
    EXPECT_DOUBLE_EQ(StandardUncertainty(2, AccuracyForm::Rectangular, 2), 2 / std::sqrt(3.0));
    EXPECT_DOUBLE_EQ(StandardUncertainty(2, AccuracyForm::Expanded, 4), 0.5);
    EXPECT_DOUBLE_EQ(StandardUncertainty(2, AccuracyForm::Standard, 4), 2);

    struct Case
    {
        UncertaintySettings settings;
        const char* problem; // empty: accepted
    };
    UncertaintySettings zero_k = Accuracies(0.2, 2, 0.1, AccuracyForm::Expanded);
    zero_k.form_coverage = 0;
    UncertaintySettings zero_coverage = Accuracies(0, 0, 0);
    zero_coverage.coverage = 0;
    const Case cases[] = {
        { Accuracies(0.2, 2, 0.1), "" },
        { Accuracies(0, 0, 0), "" },
        { Accuracies(-1, 2, 0.1), "the accuracy of the temperature -1 is below its minimum of 0" },
        { Accuracies(0.2, NAN, 0.1), "the accuracy of the humidity is not a number" },
        { Accuracies(0.2, 2, INFINITY), "the accuracy of the pressure is beyond every finite value" },
        { zero_k, "the coverage factor of the accuracies 0 is not above its minimum of 0" },
        { zero_coverage, "the coverage factor 0 is not above its minimum of 0" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(UncertaintySettingsProblem(c.settings).value_or(""), c.problem);
}

TEST(UncertaintyTexts, TwoSignificantDigitsInFixedNotation)
{
    const std::pair<double, const char*> cases[] = { { 0.7412, "0.74" }, { 0.0996, "0.10" }, { 12.4, "12" },
        { 0.0031234, "0.0031" }, { 1.25, "1.2" }, { 0, "0" }, { 99.6, "100" }, { NAN, "Error" } };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(UncertaintyText(value), text) << value;
}

// The ellipse of uncorrelated quantities lies along the axes with semi-axes sqrt(5.991 var); a perfect
// correlation collapses it onto the line y = x.
TEST(UncertaintyEllipse, AxesFromTheCovariance)
{
    const UncertaintyEllipse plain = CoverageEllipse(1, 2, 4, 1, 0);
    EXPECT_DOUBLE_EQ(plain.a, std::sqrt(kChiSquare95TwoDof * 4));
    EXPECT_DOUBLE_EQ(plain.b, std::sqrt(kChiSquare95TwoDof));
    EXPECT_DOUBLE_EQ(plain.angle, 0);
    const UncertaintyEllipse line = CoverageEllipse(0, 0, 1, 1, 1);
    EXPECT_NEAR(line.angle, std::atan(1.0), 1e-15);
    EXPECT_NEAR(line.b, 0, 1e-7);
    EXPECT_DOUBLE_EQ(line.a, std::sqrt(kChiSquare95TwoDof * 2));
}

TEST(UncertaintySettings, TypicalAccuraciesFollowTheUnitsShown)
{
    const UncertaintySettings metric = TypicalAccuracies(Shown(Inputs("25", 2, "50")));
    EXPECT_TRUE(metric.enabled);
    EXPECT_DOUBLE_EQ(metric.temperature, 0.2);
    EXPECT_DOUBLE_EQ(metric.humidity, 2);
    EXPECT_DOUBLE_EQ(metric.pressure, 0.1);
    AmbientInputs british = Inputs("77", 3, "50", "14.6957");
    british.system = UnitSystem::British;
    british.selections = kBritishSelection;
    const UncertaintySettings typical = TypicalAccuracies(Shown(british));
    EXPECT_DOUBLE_EQ(typical.temperature, 0.36);
    EXPECT_DOUBLE_EQ(typical.humidity, 0.9);
    EXPECT_DOUBLE_EQ(typical.pressure, 0.015);
}

} // namespace
} // namespace humidora
