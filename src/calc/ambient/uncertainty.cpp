// Linear propagation and Monte Carlo propagation of the inputs' measurement uncertainty.
#include "calc/ambient/uncertainty.h"

#include "calc/ambient/calculate_ambient.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "calc/units/units.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace humidora {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Size of a kelvin in a temperature unit's degrees (1 for C and K, 1.8 for F and R).
double DegreesPerKelvin(std::string_view unit)
{
    const std::optional<double> zero = TemperatureToKelvin(unit, 0);
    const std::optional<double> one = TemperatureToKelvin(unit, 1);
    return zero && one ? 1 / (*one - *zero) : 1;
}

bool IsTemperatureBox(int box)
{
    return box == 1 || box == 5 || box == 6;
}

double LabelValue(const LimitLabel& label, double none)
{
    const std::optional<double> value = NumberTextValue(label.caption);
    return value ? *value : none;
}

// The finite-difference step of an input. Two noises bound it from below: the ambient temperature is
// held in single precision inside the calculation (an ulp of 3e-5 K at 300 K), and the wet bulb is solved
// by bisection to an interval of 1e-6 K, so each step must move the wet bulb by a few thousandths of a
// kelvin for its coefficients to keep three digits. The truncation of a central difference,
// h^2 f'''/(6 f'), bounds it from above: for the saturation curve and the logarithm of the dew point it
// stays below 1e-4 with these steps. So: 0.1 K for temperatures, 1 % of the value for the amounts of water
// (the single-precision vapour pressure's rounding of 6e-8 is then 3e-6 of a coefficient), 0.1 % of the
// pressure and 20 m of altitude (about 240 Pa, derived in single precision to 8e-3 Pa).
double StepOf(const Quantity& quantity, const UnitItem& unit, double x, double minimum, double maximum)
{
    const int box = quantity.boxNumber();
    if (IsTemperatureBox(box))
        return 0.1 * DegreesPerKelvin(unit.key);
    if (box == 10)
        return unit.FromBase(20.0);
    if (box == 2)
        return 1e-3 * std::max(std::abs(x), std::isfinite(maximum) ? 1e-2 * maximum : 1.0);
    const double span = std::isfinite(maximum - minimum) ? maximum - minimum : 1.0;
    return std::max(1e-2 * std::abs(x), 1e-5 * span);
}

// splitmix64: the seed of a block's generator from the run's seed and the block's number, so that
// neighbouring blocks start from unrelated states.
std::uint64_t MixSeed(std::uint64_t value)
{
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

// Uniform on [0, 1) and standard normal draws written out here rather than taken from <random>'s
// distributions, whose algorithms the standard leaves to each library: the same seed must give the same
// draws everywhere. The normal is Box-Muller's cosine branch.
double Uniform01(std::mt19937_64& generator)
{
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

double StandardNormal(std::mt19937_64& generator)
{
    const double u1 = static_cast<double>((generator() >> 11) + 1) * 0x1.0p-53; // (0, 1]
    const double u2 = Uniform01(generator);
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

constexpr long kBlockSize = 1024;

} // namespace

double StandardUncertainty(double accuracy, AccuracyForm form, double form_coverage)
{
    switch (form) {
    case AccuracyForm::Rectangular:
        return accuracy / std::sqrt(3.0);
    case AccuracyForm::Expanded:
        return accuracy / form_coverage;
    case AccuracyForm::Standard:
        break;
    }
    return accuracy;
}

InputVector InputStandardUncertainties(const UncertaintySettings& settings)
{
    InputVector u {};
    const double accuracies[] = { settings.temperature, settings.humidity, settings.pressure };
    for (std::size_t i = 0; i < kUncertainInputs; ++i)
        u[i] = StandardUncertainty(accuracies[i], settings.form, settings.form_coverage);
    return u;
}

std::optional<std::string> UncertaintySettingsProblem(const UncertaintySettings& settings)
{
    const auto check
        = [](std::string_view name, double value, bool zero_allowed) -> std::optional<std::string> {
        if (std::isnan(value))
            return std::string(name) + " is not a number";
        if (value < 0 || (!zero_allowed && value == 0)) {
            return std::string(name) + " " + PlainNumberText(value) + " is "
                + (zero_allowed ? "below its minimum of 0" : "not above its minimum of 0");
        }
        if (std::isinf(value))
            return std::string(name) + " is beyond every finite value";
        return std::nullopt;
    };
    std::optional<std::string> problem = check("the accuracy of the temperature", settings.temperature, true);
    if (!problem)
        problem = check("the accuracy of the humidity", settings.humidity, true);
    if (!problem)
        problem = check("the accuracy of the pressure", settings.pressure, true);
    if (!problem && settings.form == AccuracyForm::Expanded)
        problem = check("the coverage factor of the accuracies", settings.form_coverage, false);
    if (!problem)
        problem = check("the coverage factor", settings.coverage, false);
    return problem;
}

UncertaintySettings TypicalAccuracies(const AmbientControls& controls)
{
    UncertaintySettings settings;
    settings.enabled = true;
    settings.temperature = NumberValue(UncertaintyText(0.2 * DegreesPerKelvin(controls.Combo1.text())));
    const Quantity* given = FindQuantityByOption(2);
    for (const Quantity* quantity : kHumidityQuantities) {
        if (controls.*(quantity->option))
            given = quantity;
    }
    const int humidity_box = given->boxNumber();
    const ValueBox& humidity = BoxOf(controls, humidity_box);
    if (humidity_box == 4) {
        settings.humidity = 2;
    } else if (IsTemperatureBox(humidity_box)) {
        settings.humidity
            = NumberValue(UncertaintyText(0.5 * DegreesPerKelvin((controls.*(given->list)).text())));
    } else {
        const double value = std::abs(NumberValue(humidity.text));
        settings.humidity
            = value > 0 && std::isfinite(value) ? NumberValue(UncertaintyText(0.02 * value)) : 0;
    }
    if (controls.Option9) {
        const std::optional<UnitItem> item = FindAltitudeUnit(controls.Combo10.text());
        settings.pressure = item ? NumberValue(UncertaintyText(item->FromBase(10.0))) : 10;
    } else {
        const std::optional<UnitItem> item = FindPressureUnit(controls.Combo2.text());
        settings.pressure = item ? NumberValue(UncertaintyText(item->FromBase(100.0))) : 0.1;
    }
    return settings;
}

std::string_view AccuracyFormName(AccuracyForm form)
{
    switch (form) {
    case AccuracyForm::Rectangular:
        return "rectangular";
    case AccuracyForm::Expanded:
        return "expanded";
    case AccuracyForm::Standard:
        break;
    }
    return "standard";
}

std::optional<AccuracyForm> AccuracyFormFromName(std::string_view name)
{
    for (const AccuracyForm form :
        { AccuracyForm::Rectangular, AccuracyForm::Expanded, AccuracyForm::Standard }) {
        if (AccuracyFormName(form) == name)
            return form;
    }
    return std::nullopt;
}

// ---- The calculation as a function of its inputs --------------------------------------------------------

NumericEvaluator::NumericEvaluator(std::shared_ptr<const NumericCalculation> calculation)
    : calculation_(std::move(calculation))
{
    const NumericSetup& setup = calculation_->setup();
    rows_[kTemperatureInput] = 0;
    rows_[kHumidityInput] = static_cast<std::size_t>(setup.humidity - kQuantities.data());
    rows_[kPressureInput] = setup.altitude_given ? 2 : 1;
    min_x_.fill(-kInfinity);
    max_x_.fill(kInfinity);
    min_y_.fill(-kInfinity);
    max_y_.fill(kInfinity);
    base_y_.fill(kNaN);
}

bool NumericEvaluator::SetBase(const InputVector& x)
{
    base_x_ = x;
    ok_ = Evaluate(x, base_y_);
    for (std::size_t i = 0; i < kUncertainInputs; ++i)
        steps_[i] = StepOf(kQuantities[rows_[i]], calculation_->unit(rows_[i]), x[i], min_x_[i], max_x_[i]);
    return ok_;
}

void NumericEvaluator::SetBase(const InputVector& x, const QuantityVector& y)
{
    base_x_ = x;
    base_y_ = y;
    ok_ = true;
    for (std::size_t i = 0; i < kUncertainInputs; ++i)
        steps_[i] = StepOf(kQuantities[rows_[i]], calculation_->unit(rows_[i]), x[i], min_x_[i], max_x_[i]);
}

void NumericEvaluator::SetRanges(const InputVector& minimum, const InputVector& maximum,
    const QuantityVector& lowest, const QuantityVector& highest)
{
    min_x_ = minimum;
    max_x_ = maximum;
    min_y_ = lowest;
    max_y_ = highest;
    for (std::size_t i = 0; i < kUncertainInputs; ++i)
        steps_[i]
            = StepOf(kQuantities[rows_[i]], calculation_->unit(rows_[i]), base_x_[i], min_x_[i], max_x_[i]);
}

bool NumericEvaluator::Evaluate(const InputVector& x, QuantityVector& y)
{
    calculation_->Compute(x[kTemperatureInput], x[kPressureInput], x[kHumidityInput], state_);
    y = state_.values;
    return !state_.refusal;
}

std::unique_ptr<StateEvaluator> NumericEvaluator::Clone() const
{
    return std::make_unique<NumericEvaluator>(*this);
}

NumericSetup NumericSetupOfControls(const AmbientControls& controls)
{
    NumericSetup setup;
    for (const Quantity* quantity : kHumidityQuantities) {
        if (controls.*(quantity->option))
            setup.humidity = quantity;
    }
    setup.altitude_given = controls.Option9;
    setup.method = controls.menu_IAPWS ? kIapws : kHylandWexler;
    for (int list = 1; list <= 16; ++list)
        setup.selections[static_cast<std::size_t>(list - 1)] = ListOf(controls, list).selected;
    return setup;
}

namespace {

std::shared_ptr<const NumericCalculation> CalculationOf(const AmbientControls& controls)
{
    try {
        return std::make_shared<const NumericCalculation>(NumericSetupOfControls(controls));
    } catch (const std::invalid_argument&) {
        // Lists without a selection (a window not opened yet): a calculation whose base is refused.
        return std::make_shared<const NumericCalculation>();
    }
}

} // namespace

ControlsEvaluator::ControlsEvaluator(const AmbientControls& controls)
    : NumericEvaluator(CalculationOf(controls))
{
    // The state again with every range label, so that each quantity's range is that of this state.
    AmbientControls shown = controls;
    AmbientState state;
    const bool accepted = !CalculateAmbient(shown, state, PropertyRoutines {}, RunExtent::Window);
    InputVector x {}, minimum {}, maximum {};
    QuantityVector lowest {}, highest {};
    const std::array<std::size_t, kUncertainInputs> rows = InputRows();
    for (std::size_t i = 0; i < kUncertainInputs; ++i) {
        const Quantity& quantity = kQuantities[rows[i]];
        x[i] = NumberValue((shown.*(quantity.box)).text);
        minimum[i] = LabelValue(shown.*(quantity.minimum), -kInfinity);
        maximum[i] = LabelValue(shown.*(quantity.maximum), kInfinity);
    }
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const Quantity& quantity = kQuantities[row];
        lowest[row] = quantity.minimum ? LabelValue(shown.*(quantity.minimum), -kInfinity) : -kInfinity;
        highest[row] = quantity.maximum ? LabelValue(shown.*(quantity.maximum), kInfinity) : kInfinity;
    }
    SetRanges(minimum, maximum, lowest, highest);
    SetBase(x);
    ok_ = ok_ && accepted;
    if (!ok_)
        base_y_.fill(kNaN);
}

// ---- Linear propagation --------------------------------------------------------------------------------

UncertaintyResult PropagateUncertainty(StateEvaluator& evaluator, const UncertaintySettings& settings)
{
    UncertaintyResult result;
    result.k = settings.coverage;
    result.input_u = InputStandardUncertainties(settings);
    const InputVector x0 = evaluator.BaseInputs();
    const InputVector minimum = evaluator.InputMinimum();
    const InputVector maximum = evaluator.InputMaximum();
    const InputVector steps = evaluator.Steps();
    const QuantityVector y0 = evaluator.BaseOutputs();
    result.ok = std::isfinite(y0[0]);
    if (!result.ok)
        return result;

    // c[i][row]: the sensitivity of each quantity to input i. An input is its own quantity, with the
    // exact coefficients 1 and 0 (a difference of rounded x +- h would give 1 to within an ulp).
    std::array<QuantityVector, kUncertainInputs> c {};
    const auto input_rows = evaluator.InputRows();
    const auto exact_inputs = [&](std::size_t i) {
        for (std::size_t j = 0; j < kUncertainInputs; ++j)
            c[i][input_rows[j]] = i == j ? 1 : 0;
    };
    for (std::size_t i = 0; i < kUncertainInputs; ++i) {
        if (result.input_u[i] == 0)
            continue;
        const auto at = [&](double xi, QuantityVector& y) {
            InputVector x = x0;
            x[i] = xi;
            return evaluator.Evaluate(x, y);
        };
        const double h = steps[i];
        QuantityVector plus, minus;
        if (x0[i] - h >= minimum[i] && x0[i] + h <= maximum[i] && at(x0[i] + h, plus)
            && at(x0[i] - h, minus)) {
            for (std::size_t row = 0; row < 16; ++row)
                c[i][row] = (plus[row] - minus[row]) / (2 * h);
            exact_inputs(i);
            continue;
        }
        // Next to a limit, or where one side is refused: the second-order one-sided difference
        // (-3 f0 + 4 f1 - f2) / 2h towards the side that has room for two steps.
        result.one_sided[i] = true;
        QuantityVector one, two;
        bool done = false;
        for (const double direction : { 1.0, -1.0 }) {
            const double room = direction > 0 ? maximum[i] - x0[i] : x0[i] - minimum[i];
            const double step = std::min(h, room / 2);
            if (!(step > 0) || !at(x0[i] + direction * step, one) || !at(x0[i] + 2 * direction * step, two))
                continue;
            for (std::size_t row = 0; row < 16; ++row)
                c[i][row] = direction * (-3 * y0[row] + 4 * one[row] - two[row]) / (2 * step);
            done = true;
            break;
        }
        if (done)
            exact_inputs(i);
        else
            c[i].fill(kNaN);
    }

    for (std::size_t row = 0; row < 16; ++row) {
        QuantityUncertainty& q = result.quantities[row];
        q.value = y0[row];
        double variance = 0;
        for (std::size_t i = 0; i < kUncertainInputs; ++i) {
            q.sensitivity[i] = c[i][row];
            if (result.input_u[i] != 0)
                variance += (c[i][row] * result.input_u[i]) * (c[i][row] * result.input_u[i]);
        }
        q.computed = std::isfinite(y0[row]) && std::isfinite(variance);
        if (!q.computed)
            continue;
        q.u = std::sqrt(variance);
        q.U = result.k * q.u;
        q.low = q.value - q.U;
        q.high = q.value + q.U;
        q.flagged = q.low < evaluator.OutputMinimum()[row] || q.high > evaluator.OutputMaximum()[row];
    }
    // The covariance is symmetric (each product is formed as c_a c_b either way round): half of it is
    // computed and mirrored.
    for (std::size_t a = 0; a < 16; ++a) {
        for (std::size_t b = a; b < 16; ++b) {
            double sum = 0;
            for (std::size_t i = 0; i < kUncertainInputs; ++i) {
                if (result.input_u[i] != 0)
                    sum += c[i][a] * c[i][b] * result.input_u[i] * result.input_u[i];
            }
            const bool both = result.quantities[a].computed && result.quantities[b].computed;
            result.covariance[a][b] = both ? sum : kNaN;
            result.covariance[b][a] = result.covariance[a][b];
        }
    }
    return result;
}

double CoverageProbability(double k)
{
    return std::erf(k / std::numbers::sqrt2);
}

// ---- Monte Carlo ---------------------------------------------------------------------------------------

MonteCarloResult RunMonteCarlo(
    const StateEvaluator& evaluator, const UncertaintySettings& settings, const MonteCarloOptions& options)
{
    MonteCarloResult result;
    result.probability = CoverageProbability(settings.coverage);
    const QuantityVector y0 = evaluator.BaseOutputs();
    if (!std::isfinite(y0[0]) || options.draws <= 0)
        return result;
    result.ok = true;
    result.draws = options.draws;

    const InputVector x0 = evaluator.BaseInputs();
    const InputVector u = InputStandardUncertainties(settings);
    const bool rectangular = settings.form == AccuracyForm::Rectangular;
    const long draws = options.draws;
    const long blocks = (draws + kBlockSize - 1) / kBlockSize;
    std::vector<QuantityVector> outputs(static_cast<std::size_t>(draws));
    std::vector<char> refused(static_cast<std::size_t>(draws), 0);

    std::atomic<long> next_block { 0 };
    const auto work = [&](StateEvaluator& own) {
        for (long block = next_block++; block < blocks; block = next_block++) {
            std::mt19937_64 generator(MixSeed(options.seed ^ MixSeed(static_cast<std::uint64_t>(block))));
            const long end = std::min(draws, (block + 1) * kBlockSize);
            for (long draw = block * kBlockSize; draw < end; ++draw) {
                InputVector x = x0;
                for (std::size_t i = 0; i < kUncertainInputs; ++i) {
                    if (u[i] == 0)
                        continue;
                    x[i] += rectangular ? (2 * Uniform01(generator) - 1) * u[i] * std::sqrt(3.0)
                                        : u[i] * StandardNormal(generator);
                }
                const auto index = static_cast<std::size_t>(draw);
                refused[index] = !own.Evaluate(x, outputs[index]);
            }
        }
    };
    const int threads = static_cast<int>(std::clamp<long>(
        options.threads > 0 ? options.threads : std::max(1U, std::thread::hardware_concurrency()), 1,
        blocks));
    std::vector<std::unique_ptr<StateEvaluator>> evaluators;
    for (int t = 0; t < threads; ++t)
        evaluators.push_back(evaluator.Clone());
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work, std::ref(*evaluators[static_cast<std::size_t>(t)]));
    work(*evaluators[0]);
    for (std::thread& worker : workers)
        worker.join();

    result.refused = std::count(refused.begin(), refused.end(), 1);
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(draws));
    for (std::size_t row = 0; row < 16; ++row) {
        values.clear();
        for (std::size_t draw = 0; draw < outputs.size(); ++draw) {
            if (!refused[draw] && std::isfinite(outputs[draw][row]))
                values.push_back(outputs[draw][row]);
        }
        QuantityMonteCarlo& q = result.quantities[row];
        q.draws = static_cast<long>(values.size());
        if (values.empty()) {
            q.low = q.high = kNaN;
            continue;
        }
        // The probabilistically symmetric interval: as many values below it as above it.
        const double tail = (1 - result.probability) / 2 * static_cast<double>(values.size());
        const auto lower = static_cast<std::size_t>(std::floor(tail));
        const std::size_t upper = values.size() - 1 - lower;
        std::nth_element(values.begin(), values.begin() + static_cast<long>(lower), values.end());
        q.low = values[lower];
        std::nth_element(values.begin() + static_cast<long>(lower), values.begin() + static_cast<long>(upper),
            values.end());
        q.high = values[upper];
    }
    return result;
}

// ---- Texts and the joint region ------------------------------------------------------------------------

std::string CoverageCaption(double k)
{
    return "k = " + PlainNumberText(k) + ", about "
        + PlainNumberText(std::round(100 * CoverageProbability(k))) + " %";
}

std::string UncertaintyText(double U)
{
    if (!std::isfinite(U))
        return "Error";
    if (U == 0)
        return "0";
    const double magnitude = std::abs(U);
    int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(magnitude))));
    // 0.0996 to two digits is 0.10: one decimal fewer once the rounding reaches the next power of ten.
    if (decimals > 0 && std::round(magnitude * std::pow(10.0, decimals)) >= 100)
        --decimals;
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, U, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

UncertaintyEllipse CoverageEllipse(double x, double y, double var_x, double var_y, double cov_xy)
{
    UncertaintyEllipse ellipse;
    ellipse.x = x;
    ellipse.y = y;
    const double mean = (var_x + var_y) / 2;
    const double spread = std::hypot((var_x - var_y) / 2, cov_xy);
    ellipse.a = std::sqrt(kChiSquare95TwoDof * std::max(0.0, mean + spread));
    ellipse.b = std::sqrt(kChiSquare95TwoDof * std::max(0.0, mean - spread));
    ellipse.angle = 0.5 * std::atan2(2 * cov_xy, var_x - var_y);
    return ellipse;
}

} // namespace humidora
