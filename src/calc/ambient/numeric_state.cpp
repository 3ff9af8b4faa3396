// The calculation on numbers. It takes the steps of CalculateAmbient's run for the values in the same
// order, with the same checked arithmetic and the same humidity routes, and replaces each text by the
// number it stands for: an input by its value, a limit label by the value of its caption, a value box by
// the number it is written from.
#include "calc/ambient/numeric_state.h"

#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"
#include "core/moist_air.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace humidora {

using namespace ambient;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Rows of kQuantities.
enum Row : std::size_t
{
    kTemperatureRow,
    kPressureRow,
    kAltitudeRow,
    kRelativeHumidityRow,
    kHumidityRatioRow,
    kAbsoluteHumidityRow,
    kDewPointRow,
    kWetBulbRow,
    kPartialPressureRow,
    kMoleFractionRow,
    kMassFractionRow,
    kGasConstantRow,
    kMolecularWeightRow,
    kDensityRow,
    kSpecificVolumeRow,
    kEnthalpyRow,
};

// A limit label as a number: the value its caption is written from, with the caption's decimals.
struct Label
{
    double shown = 0;
    int decimals = 0;
    Precision precision = Precision::Double;

    std::string Caption() const { return NumberText(shown, decimals, precision); }

    // The value the caption reads as. A rounded value of at most fourteen significant digits is the double
    // nearest to its decimal text, and that text is what the caption shows and reads back; any other
    // value goes by way of its text.
    double Value() const
    {
        static constexpr double kPowers[] = { 1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6 };
        if (precision == Precision::Double && decimals >= 0 && decimals < 7) {
            const double rounded = RoundHalfEven(shown, decimals);
            if (std::fabs(rounded) * kPowers[decimals] < 1e14)
                return rounded;
        }
        return NumberValue(Caption());
    }
};

// A temperature range label (dew point, wet bulb) in `unit`: the ambient temperature's Rankine value is
// formed and shown in single precision.
Label RangeTemperatureLabel(double theta_K, const UnitItem& unit, bool ambient)
{
    if (ambient && Is(unit.key, kRankine))
        return { Single(SingleRankineFromKelvin(theta_K)), 3, Precision::Single };
    return { Finite(*RangeTemperatureFromKelvin(unit.key, theta_K)), 3 };
}

// The shortest text that reads back as `value`: what a user would type for it.
std::string TypedText(double value)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The window's input rule on a number: finite and between the values of the two captions.
bool Accepted(double value, double minimum, double maximum)
{
    return std::isfinite(value) && minimum <= value && value <= maximum;
}

bool Accepted(double value, const Label& minimum, const Label& maximum)
{
    return Accepted(value, minimum.Value(), maximum.Value());
}

// The refusal of input row `row` with the window's reasons, in the words of its limit labels.
Refusal InputRefusal(std::size_t row, const UnitItem& unit, double value, const Label& minimum,
    const Label& maximum, RefusalReason otherwise)
{
    const Quantity& quantity = kQuantities[row];
    RefusalReason reason = otherwise;
    if (!std::isfinite(value))
        reason = RefusalReason::NotANumber;
    else if (value < minimum.Value())
        reason = RefusalReason::BelowMinimum;
    else if (value > maximum.Value())
        reason = RefusalReason::AboveMaximum;
    return { std::string(quantity.key), TypedText(value), reason, minimum.Caption(), maximum.Caption(),
        std::string(unit.key), quantity.boxNumber() };
}

// The seven computed humidity parameters as the numbers behind the window's boxes.
class NumberOutputs final : public HumidityOutputs
{
public:
    NumberOutputs(const NumericCalculation& calculation, std::array<double, 16>& values)
        : calculation_(calculation)
        , values_(values)
    {
    }
    void HumidityRatio(double W) override { Linear(kHumidityRatioRow, W); }
    void RelativeHumidity(double phi) override { Linear(kRelativeHumidityRow, phi); }
    void DewPoint(double dew_point_K) override
    {
        // The box writes the thousandfold value rounded to an integer; the number is the unrounded one.
        const double thousandfold = *DewPointThousandfold(calculation_.unit(kDewPointRow).key, dew_point_K);
        Finite(thousandfold);
        values_[kDewPointRow] = thousandfold / 1000;
    }
    void DewPointBelowMinimum() override { values_[kDewPointRow] = kNaN; }
    void WetBulb(double wet_bulb_K) override
    {
        wet_bulb_ = wet_bulb_K;
        values_[kWetBulbRow] = Finite(*TemperatureFromKelvin(calculation_.unit(kWetBulbRow).key, wet_bulb_K));
    }
    void AbsoluteHumidity(float rho_v) override
    {
        const UnitItem& unit = calculation_.unit(kAbsoluteHumidityRow);
        Held(kAbsoluteHumidityRow, unit.FromBase(rho_v), AbsoluteHumidityHeldInSingle(unit));
    }
    void MoleFraction(double x) override { Linear(kMoleFractionRow, x); }
    void MassFraction(double w) override { Linear(kMassFractionRow, w); }
    void PartialPressure(float p_v) override
    {
        const UnitItem& unit = calculation_.unit(kPartialPressureRow);
        Held(kPartialPressureRow, unit.FromBase(p_v), PartialPressureHeldInSingle(unit));
    }

    /// The wet bulb the route formed (K), NaN when it was given.
    double wet_bulb() const { return wet_bulb_; }

private:
    void Linear(std::size_t row, double value)
    {
        values_[row] = Finite(calculation_.unit(row).FromBase(value));
    }
    void Held(std::size_t row, double shown, bool single)
    {
        values_[row] = single ? static_cast<double>(Single(shown)) : Finite(shown);
    }

    const NumericCalculation& calculation_;
    std::array<double, 16>& values_;
    double wet_bulb_ = kNaN;
};

// The limits of the three ambient inputs in their units, as the window's limit labels show them.
struct AmbientLimits
{
    Label minimum, maximum;
};

AmbientLimits TemperatureLimits(const UnitItem& unit)
{
    return { { *LimitTemperatureFromKelvin(unit.key, kTemperatureMinK), 3 },
        { *LimitTemperatureFromKelvin(unit.key, kTemperatureMaxK), 3 } };
}

AmbientLimits PressureLimits(const UnitItem& unit)
{
    return { { unit.FromBase(kPressureMinPa), unit.decimals },
        { unit.FromBase(kPressureMaxPa), unit.decimals } };
}

AmbientLimits AltitudeLimits(const UnitItem& unit)
{
    return { { unit.FromBase(kAltitudeMinM), kAltitudeLimitDecimals },
        { unit.FromBase(kAltitudeMaxM), kAltitudeLimitDecimals } };
}

// One run, as CalculateAmbient's phases 5 to 10 for the values take it.
class NumericRun
{
public:
    NumericRun(const NumericCalculation& calculation, NumericState& out)
        : c_(calculation)
        , setup_(calculation.setup())
        , out_(out)
        , s_(out.state)
    {
    }

    void Run(double temperature, double pressure_or_altitude, double humidity)
    {
        out_.refusal.reset();
        out_.values.fill(kNaN);
        s_.dew_point = kNaN;
        try {
            if (!ReadTemperature(temperature) || !ReadPressureOrAltitude(pressure_or_altitude)
                || !SaturationState() || !SolveHumidity(humidity)) {
                out_.values.fill(kNaN);
                return;
            }
            OtherProperties();
            Composition();
        } catch (const ArithmeticFailure&) {
            out_.refusal = Refusal {};
            out_.values.fill(kNaN);
        }
    }

private:
    bool ReadTemperature(double value)
    {
        const UnitItem& unit = c_.unit(kTemperatureRow);
        if (!Accepted(value, c_.ambient_limits()[0], c_.ambient_limits()[1])) {
            const AmbientLimits limits = TemperatureLimits(unit);
            out_.refusal = InputRefusal(
                kTemperatureRow, unit, value, limits.minimum, limits.maximum, RefusalReason::UnknownUnit);
            return false;
        }
        // Held in single precision; every later step uses the rounded value.
        s_.temperature = Single(*TemperatureToKelvin(unit.key, value));
        out_.values[kTemperatureRow] = value;
        return true;
    }

    bool ReadPressureOrAltitude(double value)
    {
        const UnitItem& pressure_unit = c_.unit(kPressureRow);
        const UnitItem& altitude_unit = c_.unit(kAltitudeRow);
        if (setup_.altitude_given) {
            if (!Accepted(value, c_.ambient_limits()[4], c_.ambient_limits()[5])) {
                const AmbientLimits limits = AltitudeLimits(altitude_unit);
                out_.refusal = InputRefusal(kAltitudeRow, altitude_unit, value, limits.minimum,
                    limits.maximum, RefusalReason::UnknownUnit);
                return false;
            }
            s_.altitude = Finite(altitude_unit.ToBase(value));
            const float pressure = Single(PressureFromAltitude(s_.altitude));
            s_.pressure = pressure;
            out_.values[kAltitudeRow] = value;
            out_.values[kPressureRow] = pressure_unit.FromBase(pressure);
            return true;
        }
        if (!Accepted(value, c_.ambient_limits()[2], c_.ambient_limits()[3])) {
            const AmbientLimits limits = PressureLimits(pressure_unit);
            out_.refusal = InputRefusal(kPressureRow, pressure_unit, value, limits.minimum, limits.maximum,
                RefusalReason::UnknownUnit);
            return false;
        }
        s_.pressure = Finite(pressure_unit.ToBase(value));
        const float altitude = Single(AltitudeFromPressure(s_.pressure));
        s_.altitude = altitude;
        out_.values[kPressureRow] = value;
        // Outside its limits the altitude box shows "Out of Range".
        if (kAltitudeMinM <= altitude && altitude <= kAltitudeMaxM)
            out_.values[kAltitudeRow] = altitude_unit.FromBase(altitude);
        return true;
    }

    bool SaturationState()
    {
        const double T = s_.temperature;
        const double P = s_.pressure;
        Ps_ = Finite(SaturationPressure(T, setup_.method));
        const UnitItem& pp_unit = c_.unit(kPartialPressureRow);
        saturation_label_ = { Finite(pp_unit.FromBase(Ps_)), pp_unit.decimals };
        if (Ps_ >= P) {
            out_.refusal = Refusal { "partial_pressure", saturation_label_.Caption(),
                RefusalReason::ReachesAmbientPressure, {},
                NumberText(Finite(pp_unit.FromBase(P)), pp_unit.decimals), std::string(pp_unit.key), 2 };
            return false;
        }
        Ws_ = Quotient(kMolarMassRatio * Ps_, P - Ps_);
        xs_ = Quotient(Ps_, P);
        rho_s_ = Quotient(kWaterMolarMass * xs_ * P, kUniversalGasConstant * T);
        const double Ms = kWaterMolarMass * xs_ + kDryAirMolarMass * (1 - xs_);
        ws_ = Quotient(kWaterMolarMass * xs_, Ms);
        return true;
    }

    // The limit labels of the given humidity parameter.
    std::pair<Label, Label> HumidityLimits(std::size_t row, const UnitItem& unit)
    {
        const double T = s_.temperature;
        switch (row) {
        case kRelativeHumidityRow:
            return { Label { 0 }, Label { 100 } };
        case kHumidityRatioRow:
            return { Label { 0 }, Label { Finite(unit.FromBase(Ws_)), unit.decimals } };
        case kAbsoluteHumidityRow:
            return { Label { 0 }, Label { Finite(unit.FromBase(rho_s_)), unit.decimals } };
        case kDewPointRow:
            return { RangeTemperatureLabel(kLowestTemperatureK, unit, false),
                RangeTemperatureLabel(T, unit, true) };
        case kWetBulbRow: {
            const double Twb0
                = Finite(ZeroHumidityWetBulb(PropertyRoutines {}, T, s_.pressure, setup_.method));
            return { RangeTemperatureLabel(Twb0, unit, false), RangeTemperatureLabel(T, unit, true) };
        }
        case kPartialPressureRow:
            return { Label { 0 }, saturation_label_ };
        case kMoleFractionRow:
            return { Label { 0 }, Label { Finite(100 * xs_), 4 } };
        default:
            return { Label { 0 }, Label { Finite(100 * ws_), 4 } };
        }
    }

    bool SolveHumidity(double value)
    {
        const Quantity& selected = *setup_.humidity;
        const std::size_t row = static_cast<std::size_t>(&selected - kQuantities.data());
        const UnitItem& unit = c_.unit(row);
        const auto [minimum, maximum] = HumidityLimits(row, unit);
        if (!Accepted(value, minimum, maximum)) {
            out_.refusal = InputRefusal(row, unit, value, minimum, maximum, RefusalReason::UnknownUnit);
            return false;
        }
        NumberOutputs outputs(c_, out_.values);
        static const PropertyRoutines routines;
        const HumidityRun h { outputs, s_, routines, setup_.method, s_.temperature, s_.pressure, Ps_ };
        try {
            RunHumidityRoute(h, selected, unit, value);
        } catch (const VapourPressureReachesAmbient&) {
            out_.refusal
                = InputRefusal(row, unit, value, minimum, maximum, RefusalReason::ReachesAmbientPressure);
            return false;
        }
        out_.values[row] = value;
        out_.wet_bulb = row == kWetBulbRow ? *TemperatureToKelvin(unit.key, value) : outputs.wet_bulb();
        return true;
    }

    void OtherProperties()
    {
        const double T = s_.temperature;
        const double W = s_.humidity_ratio;
        const double M = s_.molar_mass;
        const double R = Quotient(kUniversalGasConstant, M);
        s_.gas_constant = R;
        const double v = Finite(SpecificVolume(T, W, s_.pressure));
        const double rho = Quotient(1 + W, v);
        s_.density = rho;
        const double h = Finite(MoistAirEnthalpy(T, W));
        out_.values[kGasConstantRow] = Finite(c_.unit(kGasConstantRow).FromBase(R));
        out_.values[kMolecularWeightRow] = Finite(M);
        out_.values[kDensityRow] = Finite(c_.unit(kDensityRow).FromBase(rho));
        out_.values[kSpecificVolumeRow] = Finite(c_.unit(kSpecificVolumeRow).FromBase(v));
        out_.values[kEnthalpyRow] = Finite(c_.unit(kEnthalpyRow).FromBase(h));
    }

    void Composition()
    {
        // Dry air's four species by volume and by weight, as the composition listing forms them.
        const double x = s_.water_mole_fraction;
        const double w = s_.water_mass_fraction;
        s_.n2_volume_fraction = Finite((1 - x) * 0.78084);
        s_.o2_volume_fraction = Finite((1 - x) * 0.209476);
        s_.ar_volume_fraction = Single((1 - x) * 0.009365);
        s_.co2_volume_fraction = Finite((1 - x) * 0.000319);
        s_.n2_mass_fraction = Finite((1 - w) * 0.755184);
        s_.o2_mass_fraction = Finite((1 - w) * 0.231415);
        s_.ar_mass_fraction = Single((1 - w) * 0.012916);
        s_.co2_mass_fraction = Finite((1 - w) * 0.000485);
    }

    const NumericCalculation& c_;
    const NumericSetup& setup_;
    NumericState& out_;
    AmbientState& s_;
    double Ps_ = 0, Ws_ = 0, xs_ = 0, rho_s_ = 0, ws_ = 0;
    Label saturation_label_;
};

} // namespace

std::string_view NotANumberText(std::size_t row)
{
    if (row == kDewPointRow)
        return "< min";
    if (row == kAltitudeRow)
        return "Out of Range";
    return {};
}

NumericCalculation::NumericCalculation(const NumericSetup& setup)
    : setup_(setup)
{
    if (setup.humidity == nullptr || !setup.humidity->isHumidity())
        throw std::invalid_argument("the given humidity is not one of the eight humidity parameters");
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const Quantity& quantity = kQuantities[row];
        const int index = setup.selections[static_cast<std::size_t>(quantity.listNumber() - 1)];
        if (index < 0 || static_cast<std::size_t>(index) >= quantity.units.size())
            throw std::invalid_argument(
                "no unit " + std::to_string(index) + " for " + std::string(quantity.key));
        units_[row] = &quantity.units[static_cast<std::size_t>(index)];
    }
    const AmbientLimits limits[] = { TemperatureLimits(unit(kTemperatureRow)),
        PressureLimits(unit(kPressureRow)), AltitudeLimits(unit(kAltitudeRow)) };
    for (std::size_t i = 0; i < 3; ++i) {
        ambient_limits_[2 * i] = limits[i].minimum.Value();
        ambient_limits_[2 * i + 1] = limits[i].maximum.Value();
    }
}

void NumericCalculation::Compute(
    double temperature, double pressure_or_altitude, double humidity, NumericState& state) const
{
    NumericRun(*this, state).Run(temperature, pressure_or_altitude, humidity);
}

NumericState NumericCalculation::Compute(
    double temperature, double pressure_or_altitude, double humidity) const
{
    NumericState state;
    Compute(temperature, pressure_or_altitude, humidity, state);
    return state;
}

NumericSetup NumericSetupOf(const AmbientInputs& inputs)
{
    return { FindQuantityByOption(inputs.humidity_option), inputs.altitude_given,
        inputs.iapws ? kIapws : kHylandWexler, inputs.selections };
}

} // namespace humidora
