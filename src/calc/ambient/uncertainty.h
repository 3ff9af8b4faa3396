// Measurement uncertainty of a state of moist air: the accuracies of the three inputs (dry bulb, the given
// humidity parameter, the pressure or the altitude) carried to every quantity of the main window by the
// law of propagation of uncertainty, with the covariance of the outputs that share inputs, and checked by
// a Monte Carlo propagation of the inputs' distributions through the same calculation.
//
// Use:
//   ControlsEvaluator evaluator(window.controls());        // the state as the window shows it
//   (or NumericEvaluator over a NumericCalculation, SetBase(x) per state, for many states of one setup)
//   const UncertaintyResult result = PropagateUncertainty(evaluator, settings);
//   result.quantities[i].U                                   // expanded uncertainty of kQuantities[i]
//   const MonteCarloResult check = RunMonteCarlo(evaluator, settings, { .draws = 100000 });
#pragma once

#include "calc/ambient/numeric_state.h"
#include "calc/units/ambient_controls.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace humidora {

/// How an accuracy is stated.
enum class AccuracyForm
{
    Rectangular, ///< a sensor's "+-a": a rectangular distribution of half-width a, u = a / sqrt(3)
    Expanded,    ///< an expanded uncertainty U stated with its coverage factor k: u = U / k (normal)
    Standard,    ///< a standard uncertainty u itself (normal)
};

/// The measurement uncertainty of a calculation's inputs as the user states it. Each accuracy is in the
/// unit its input is shown in; an accuracy of 0 makes that input exact.
struct UncertaintySettings
{
    bool enabled = false;
    double temperature = 0.2; ///< accuracy of the dry bulb
    double humidity = 2;      ///< accuracy of the given humidity parameter
    double pressure = 0.1;    ///< accuracy of the pressure, or of the altitude when that is given
    AccuracyForm form = AccuracyForm::Rectangular;
    double form_coverage = 2; ///< the k an Expanded accuracy is stated with
    double coverage = 2;      ///< k of the results' expanded uncertainties (2: about 95 %)

    bool operator==(const UncertaintySettings&) const = default;
};

/// The three uncertain inputs, in this order in every array below.
enum UncertainInput
{
    kTemperatureInput,
    kHumidityInput,
    kPressureInput,
};
inline constexpr std::size_t kUncertainInputs = 3;
using InputVector = std::array<double, kUncertainInputs>;
/// One value per row of kQuantities, in the unit its list shows.
using QuantityVector = std::array<double, 16>;

/// The standard uncertainty of an accuracy stated in `form` (form_coverage is the k of an Expanded one).
double StandardUncertainty(double accuracy, AccuracyForm form, double form_coverage);

/// The standard uncertainties of the three inputs.
InputVector InputStandardUncertainties(const UncertaintySettings& settings);

/// Why the settings cannot be used, naming the quantity, the value and the limit ("the accuracy of the
/// dry bulb -1 is below its minimum of 0"); nothing when they can.
std::optional<std::string> UncertaintySettingsProblem(const UncertaintySettings& settings);

/// Typical sensor accuracies, rectangular, in the units the controls show: 0.2 K of dry bulb, 2 % of
/// relative humidity (0.5 K of a dew point or wet bulb, 2 % of the value of another humidity parameter),
/// 0.1 kPa of pressure (10 m of altitude). Coverage k = 2; switched on.
UncertaintySettings TypicalAccuracies(const AmbientControls& controls);

/// The names of the forms on the command line and in files: "rectangular", "expanded", "standard".
std::string_view AccuracyFormName(AccuracyForm form);
std::optional<AccuracyForm> AccuracyFormFromName(std::string_view name);

/// The calculation as a function of its three input doubles. An evaluator keeps the state it was made
/// from (the base point) and evaluates it again at other input values; it is not shared between threads
/// (Clone gives each thread its own).
class StateEvaluator
{
public:
    virtual ~StateEvaluator() = default;

    /// The inputs of the base state, in the units they are shown in.
    virtual InputVector BaseInputs() const = 0;
    /// The allowed range of each input at the base state, both ends included (+-infinity for none).
    virtual InputVector InputMinimum() const = 0;
    virtual InputVector InputMaximum() const = 0;
    /// The row of kQuantities of each input.
    virtual std::array<std::size_t, kUncertainInputs> InputRows() const = 0;
    /// The finite-difference step of each input, in its unit (see uncertainty.cpp for the choice).
    virtual InputVector Steps() const = 0;
    /// The quantities of the base state (NaN where the window shows no number).
    virtual QuantityVector BaseOutputs() const = 0;
    /// The range of each quantity at the base state, in its unit (+-infinity where it has none).
    virtual QuantityVector OutputMinimum() const = 0;
    virtual QuantityVector OutputMaximum() const = 0;

    /// Every quantity at inputs `x`; false when the calculation refuses them. A quantity the calculation
    /// shows no number for (a dew point "< min") is NaN.
    virtual bool Evaluate(const InputVector& x, QuantityVector& y) = 0;
    virtual std::unique_ptr<StateEvaluator> Clone() const = 0;
};

/// The calculation on numbers (numeric_state.h) as an evaluator: the same doubles the window shows, with
/// the window's refusals, and no text formed. The calculation is shared; each clone keeps its own base.
class NumericEvaluator : public StateEvaluator
{
public:
    explicit NumericEvaluator(std::shared_ptr<const NumericCalculation> calculation);

    /// Moves the base to inputs `x`; false (and no base state) when the calculation refuses them. The
    /// inputs' limits and the quantities' ranges are unknown (+-infinity) until SetRanges: a refused
    /// difference then finds the limit, and nothing is flagged.
    bool SetBase(const InputVector& x);
    /// The same for an accepted state whose quantities `y` are already known (a batch row's).
    void SetBase(const InputVector& x, const QuantityVector& y);
    const NumericCalculation& calculation() const { return *calculation_; }
    void SetRanges(const InputVector& minimum, const InputVector& maximum, const QuantityVector& lowest,
        const QuantityVector& highest);
    bool ok() const { return ok_; }

    InputVector BaseInputs() const override { return base_x_; }
    InputVector InputMinimum() const override { return min_x_; }
    InputVector InputMaximum() const override { return max_x_; }
    std::array<std::size_t, kUncertainInputs> InputRows() const override { return rows_; }
    InputVector Steps() const override { return steps_; }
    QuantityVector BaseOutputs() const override { return base_y_; }
    QuantityVector OutputMinimum() const override { return min_y_; }
    QuantityVector OutputMaximum() const override { return max_y_; }
    bool Evaluate(const InputVector& x, QuantityVector& y) override;
    std::unique_ptr<StateEvaluator> Clone() const override;

protected:
    bool ok_ = false;
    QuantityVector base_y_ {};

private:
    std::shared_ptr<const NumericCalculation> calculation_;
    NumericState state_;
    std::array<std::size_t, kUncertainInputs> rows_ {};
    InputVector base_x_ {}, min_x_ {}, max_x_ {}, steps_ {};
    QuantityVector min_y_ {}, max_y_ {};
};

/// The evaluator of the state a window shows: its inputs, units and choices; the limits of the inputs and
/// the ranges of the quantities are the window's labels at that state.
class ControlsEvaluator final : public NumericEvaluator
{
public:
    /// The state of `controls`; when the window refuses it there is no base state (ok() false).
    explicit ControlsEvaluator(const AmbientControls& controls);
};

/// The calculation on numbers for the inputs, units and choices that `controls` show.
NumericSetup NumericSetupOfControls(const AmbientControls& controls);

/// The uncertainty of one quantity.
struct QuantityUncertainty
{
    bool computed = false;      ///< the base shows a number and every sensitivity could be formed
    double value = 0;           ///< the base value, unrounded
    double u = 0;               ///< combined standard uncertainty
    double U = 0;               ///< expanded uncertainty k u
    double low = 0, high = 0;   ///< value -+ U, never clipped
    bool flagged = false;       ///< the interval reaches beyond the quantity's range at the base state
    InputVector sensitivity {}; ///< dy/dx of each input, per unit of each
};

/// The linear propagation of the inputs' uncertainties through the calculation.
struct UncertaintyResult
{
    bool ok = false;        ///< the base state was computed
    double k = 2;           ///< coverage factor of U
    InputVector input_u {}; ///< standard uncertainty of each input
    std::array<QuantityUncertainty, 16> quantities {};
    /// Covariance of the quantities (kQuantities order, their units); NaN where not computed.
    std::array<QuantityVector, 16> covariance {};
    /// One-sided differences were taken for this input (next to its limit or where the other side is
    /// refused).
    std::array<bool, kUncertainInputs> one_sided {};
};

/// u_c(y)^2 = sum (c_i u_i)^2, c_i = dy/dx_i by central differences of the evaluator's steps (second-order
/// one-sided next to an input's limit or where one side is refused), U = k u_c. At most six evaluations
/// besides the base.
UncertaintyResult PropagateUncertainty(StateEvaluator& evaluator, const UncertaintySettings& settings);

/// The coverage probability of a coverage factor for a normal distribution: erf(k / sqrt 2), 0.9545 for
/// k = 2.
double CoverageProbability(double k);

/// A Monte Carlo propagation.
struct MonteCarloOptions
{
    long draws = 100000;
    std::uint64_t seed = 20080901; ///< the same seed gives the same draws on every machine and thread count
    int threads = 0;               ///< 0: the machine's cores
};

struct QuantityMonteCarlo
{
    double low = 0, high = 0; ///< probabilistically symmetric interval at the coverage probability
    long draws = 0;           ///< draws that gave this quantity a number
};

struct MonteCarloResult
{
    bool ok = false;
    double probability = 0; ///< the coverage probability of the intervals
    long draws = 0;         ///< draws made
    long refused = 0;       ///< draws the calculation refused
    std::array<QuantityMonteCarlo, 16> quantities {};
};

/// N draws of the inputs (uniform for a Rectangular accuracy, normal otherwise, each input independent)
/// through the evaluator; the interval of each quantity spans its (1 - p)/2 and (1 + p)/2 quantiles with
/// p = CoverageProbability(settings.coverage). Draws are made in blocks of a fixed size, each from a
/// generator seeded by the seed and the block's number, so the result does not depend on the threads.
MonteCarloResult RunMonteCarlo(
    const StateEvaluator& evaluator, const UncertaintySettings& settings, const MonteCarloOptions& options);

/// The coverage a front end shows: "k = 2, about 95 %" (the probability of a normal distribution).
std::string CoverageCaption(double k);

/// An expanded uncertainty written with two significant digits in fixed notation ("0.74", "12", "0.0031").
std::string UncertaintyText(double U);

/// The 95 % region of two quantities from their covariance: an ellipse with centre (x, y), semi-axes a >= b
/// and the angle of the a axis from the x axis (radians); the chi-square quantile of two degrees of
/// freedom, 5.991, scales it.
struct UncertaintyEllipse
{
    double x = 0, y = 0;
    double a = 0, b = 0;
    double angle = 0;
};
inline constexpr double kChiSquare95TwoDof = 5.991464547107979;
UncertaintyEllipse CoverageEllipse(double x, double y, double var_x, double var_y, double cov_xy);

} // namespace humidora
