#include "calc/air_process.h"

#include "core/bisection.h"

#include <cmath>

namespace humidora {
namespace {

constexpr double kVapourHeatCapacity = 1.805; ///< kJ/(kg K)
constexpr double kHeatOfVaporization = 2501;  ///< kJ/kg at 0 C
constexpr double kWaterHeatCapacity = 4.186;  ///< kJ/(kg K), liquid
constexpr double kHighestAmbientK = 373.15;   ///< the calculator's highest dry bulb
constexpr double kSecondsPerHour = 3600;
constexpr double kDryAirGasConstant = 287.1;     ///< J/(kg K)
constexpr double kVolumeMolarMassRatio = 1.6078; ///< dry air over water, in the specific volume

/// A state whose relative humidity exceeds 1 by no more than this is saturated: the round-off of the
/// enthalpy relation and its inverse, and of the 1e-6 K bisections, is far below it.
constexpr double kSaturationTolerance = 1e-9;

double Celsius(double T_K)
{
    return T_K - kCelsiusOffset;
}

/// Why a state lies outside what the calculator can show, or an empty text.
std::string LimitProblem(const AirState& state, const ProcessConditions& conditions)
{
    if (!std::isfinite(state.T_K) || !std::isfinite(state.W))
        return "The leaving state cannot be computed.";
    if (state.T_K < kLowestTemperatureK)
        return "The leaving dry bulb would lie below -100 C, the lowest the calculator accepts.";
    if (state.T_K > kHighestAmbientK)
        return "The leaving dry bulb would lie above 100 C, the highest the calculator accepts.";
    if (state.W < 0)
        return "The leaving humidity ratio would be negative.";
    if (SaturationPressure(state.T_K, conditions.method) >= conditions.pressure_Pa)
        return "At the leaving dry bulb the saturation pressure reaches the barometric pressure.";
    if (RelativeHumidityOf(state, conditions) > 1 + kSaturationTolerance)
        return "The leaving air would be supersaturated.";
    return {};
}

ProcessResult Refused(std::string reason)
{
    ProcessResult result;
    result.refusal = std::move(reason);
    return result;
}

/// The entering stream's own check: a process starts only from a state the calculator accepts.
std::string EnteringProblem(const Stream& stream, const ProcessConditions& conditions)
{
    if (stream.flow_kg_s && !(*stream.flow_kg_s > 0 && std::isfinite(*stream.flow_kg_s)))
        return "A dry-air flow must be a positive number.";
    const std::string problem = LimitProblem(stream.state, conditions);
    if (problem.empty())
        return {};
    return "The entering state is outside the calculator's limits: " + problem;
}

/// The leaving stream of a one-stream process at `state`, with the entering flow; refused outside the limits.
ProcessResult Leaving(const Stream& entering, const AirState& state, const ProcessConditions& conditions)
{
    if (std::string problem = LimitProblem(state, conditions); !problem.empty())
        return Refused(std::move(problem));
    ProcessResult result;
    result.leaving = { state, entering.flow_kg_s };
    return result;
}

/// kW from a flow (kg/s) and an enthalpy difference (kJ/kg dry air).
double Kilowatt(double flow_kg_s, double dh_kJ_kg)
{
    return flow_kg_s * dh_kJ_kg;
}

/// The dew point of a humidity ratio, by the calculator's inverse saturation routine.
double DewPoint(double W, const ProcessConditions& conditions)
{
    const double p_v = conditions.pressure_Pa * W / (kMolarMassRatio + W);
    return SaturationTemperature(p_v, conditions.method);
}

/// Humidifiers: the state reached by adding water of enthalpy h_water (kJ/kg) until the dry bulb is t2.
/// From h2 = h1 + (W2 - W1) h_water and h2 = h(t2, W2).
double HumidityRatioAfterWaterAdded(const AirState& entering, double T2_K, double h_water)
{
    const double t2 = Celsius(T2_K);
    return (MoistAirEnthalpy(entering.T_K, entering.W) - entering.W * h_water - kDryAirHeatCapacity * t2)
        / (kHeatOfVaporization + kVapourHeatCapacity * t2 - h_water);
}

/// Humidifiers: the loads of water added at enthalpy h_water.
ProcessResult Humidified(const Stream& entering, const AirState& state, const ProcessConditions& conditions)
{
    ProcessResult result = Leaving(entering, state, conditions);
    if (result.refused())
        return result;
    if (state.W < entering.state.W)
        return Refused("The leaving air would hold less water than the entering air.");
    if (entering.flow_kg_s)
        result.loads.water_kg_per_h = *entering.flow_kg_s * (state.W - entering.state.W) * kSecondsPerHour;
    return result;
}

/// Humidifiers: the dry bulb between T_from and T_to at which adding water of enthalpy h_water reaches
/// the relative humidity phi2, by bisection on the dry bulb (the humidity ratio follows in closed form).
ProcessResult HumidifiedTo(const Stream& entering, double phi2, double T_from, double T_to, double h_water,
    const ProcessConditions& conditions)
{
    const auto phi_at = [&](double T_K) {
        return RelativeHumidityOf(
            { T_K, HumidityRatioAfterWaterAdded(entering.state, T_K, h_water) }, conditions);
    };
    const double phi1 = RelativeHumidityOf(entering.state, conditions);
    if (!(phi2 >= phi1 && phi2 <= 1))
        return Refused("The leaving relative humidity must lie between the entering one and 100 %.");
    if (phi2 == phi1)
        return Humidified(entering, entering.state, conditions);
    // The humidity rises from the entering state on, but towards hot steam it may fall again as the
    // saturation pressure outgrows the vapour pressure: 1 K steps find the first bracket that holds it.
    const double step = T_to > T_from ? 1 : -1;
    double lo = T_from, hi = T_from;
    do {
        lo = hi;
        hi = step > 0 ? std::min(lo + step, T_to) : std::max(lo + step, T_to);
    } while (phi_at(hi) < phi2 && hi != T_to);
    if (!(phi_at(hi) >= phi2))
        return Refused("The humidifier cannot reach that relative humidity.");
    const double T2 = detail::Bisect(phi_at, phi2, lo, hi);
    return Humidified(
        entering, { T2, HumidityRatioAfterWaterAdded(entering.state, T2, h_water) }, conditions);
}

/// Coil loads and the bypass factor from the entering, leaving and ADP states.
ProcessResult CoilResult(const Stream& entering, const AirState& leaving, double adp_K, double bypass_factor,
    const ProcessConditions& conditions)
{
    ProcessResult result = Leaving(entering, leaving, conditions);
    if (result.refused())
        return result;
    result.apparatus_dew_point_K = adp_K;
    result.bypass_factor = bypass_factor;
    if (!entering.flow_kg_s)
        return result;
    const double m = *entering.flow_kg_s;
    const AirState& in = entering.state;
    const double h1 = MoistAirEnthalpy(in.T_K, in.W);
    const double h2 = MoistAirEnthalpy(leaving.T_K, leaving.W);
    // The condensate leaves at the leaving dry bulb and carries its enthalpy out of the air side.
    const double total = Kilowatt(m, (h1 - h2) - (in.W - leaving.W) * LiquidWaterEnthalpy(leaving.T_K));
    const double sensible
        = Kilowatt(m, MoistAirEnthalpy(in.T_K, leaving.W) - MoistAirEnthalpy(leaving.T_K, leaving.W));
    const double latent = Kilowatt(m, h1 - MoistAirEnthalpy(in.T_K, leaving.W));
    result.loads.total_kW = total;
    result.loads.sensible_kW = sensible;
    result.loads.latent_kW = latent;
    if (sensible + latent != 0)
        result.loads.sensible_heat_ratio = sensible / (sensible + latent);
    result.loads.water_kg_per_h = m * (in.W - leaving.W) * kSecondsPerHour;
    return result;
}

} // namespace

double MoistAirEnthalpy(double T_K, double W)
{
    const double t = T_K - kCelsiusOffset;
    return kDryAirHeatCapacity * t + W * (kHeatOfVaporization + kVapourHeatCapacity * t);
}

double SpecificVolume(double T_K, double W, double pressure_Pa)
{
    return kDryAirGasConstant * T_K * (1 + kVolumeMolarMassRatio * W) / pressure_Pa;
}

double TemperatureFromEnthalpy(double h_kJ_kg, double W)
{
    return (h_kJ_kg - kHeatOfVaporization * W) / (kDryAirHeatCapacity + kVapourHeatCapacity * W)
        + kCelsiusOffset;
}

double LiquidWaterEnthalpy(double T_K)
{
    return kWaterHeatCapacity * Celsius(T_K);
}

double SteamEnthalpy(double T_K)
{
    return kHeatOfVaporization + kVapourHeatCapacity * Celsius(T_K);
}

std::optional<double> HumidityRatioAt(double T_K, double phi, const ProcessConditions& conditions)
{
    const double p_v = phi * SaturationPressure(T_K, conditions.method);
    if (!(p_v < conditions.pressure_Pa))
        return std::nullopt;
    return kMolarMassRatio * p_v / (conditions.pressure_Pa - p_v);
}

std::optional<double> SaturationHumidityRatio(double T_K, const ProcessConditions& conditions)
{
    return HumidityRatioAt(T_K, 1, conditions);
}

double RelativeHumidityOf(const AirState& state, const ProcessConditions& conditions)
{
    const double p_v = conditions.pressure_Pa * state.W / (kMolarMassRatio + state.W);
    return p_v / SaturationPressure(state.T_K, conditions.method);
}

ProcessResult Mix(const std::vector<Stream>& streams, const ProcessConditions& conditions)
{
    if (streams.size() < 2)
        return Refused("Mixing needs two or more streams.");
    double m = 0, water = 0, enthalpy = 0;
    for (const Stream& stream : streams) {
        if (!stream.flow_kg_s)
            return Refused("Mixing needs the dry-air flow of every stream.");
        if (std::string problem = EnteringProblem(stream, conditions); !problem.empty())
            return Refused(std::move(problem));
        m += *stream.flow_kg_s;
        water += *stream.flow_kg_s * stream.state.W;
        enthalpy += *stream.flow_kg_s * MoistAirEnthalpy(stream.state.T_K, stream.state.W);
    }
    const double W = water / m;
    const double h = enthalpy / m;
    const AirState mixed { TemperatureFromEnthalpy(h, W), W };
    if (RelativeHumidityOf(mixed, conditions) <= 1 + kSaturationTolerance) {
        ProcessResult result = Leaving(streams.front(), mixed, conditions);
        result.leaving.flow_kg_s = m;
        return result;
    }
    // Fog: the saturated state whose air, vapour and suspended liquid water carry the mixture's enthalpy.
    // Between the mixture's dry bulb (too little enthalpy there once the excess water is liquid) and its
    // dew point (too much) that total enthalpy rises with the temperature.
    const auto total_enthalpy = [&](double T_K) {
        const double Ws = SaturationHumidityRatio(T_K, conditions).value_or(W);
        return MoistAirEnthalpy(T_K, Ws) + (W - Ws) * LiquidWaterEnthalpy(T_K);
    };
    const double T = detail::Bisect(total_enthalpy, h, mixed.T_K, DewPoint(W, conditions));
    const std::optional<double> Ws = SaturationHumidityRatio(T, conditions);
    if (!Ws)
        return Refused("The fogged mixture lies beyond the calculator's limits.");
    ProcessResult result = Leaving(streams.front(), { T, *Ws }, conditions);
    if (result.refused())
        return result;
    result.fog = true;
    result.leaving.flow_kg_s = m;
    result.loads.water_kg_per_h = m * (W - *Ws) * kSecondsPerHour;
    return result;
}

ProcessResult Heat(const Stream& entering, double T2_K, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    const AirState leaving { T2_K, entering.state.W };
    if (T2_K < entering.state.T_K && RelativeHumidityOf(leaving, conditions) > 1 + kSaturationTolerance)
        return Refused("The leaving dry bulb lies below the dew point of the entering air: that is a cooling "
                       "coil, not sensible cooling.");
    ProcessResult result = Leaving(entering, leaving, conditions);
    if (!result.refused() && entering.flow_kg_s) {
        const double q = Kilowatt(*entering.flow_kg_s,
            MoistAirEnthalpy(T2_K, leaving.W) - MoistAirEnthalpy(entering.state.T_K, entering.state.W));
        result.loads.total_kW = q;
        result.loads.sensible_kW = q;
    }
    return result;
}

ProcessResult CoilByAdp(
    const Stream& entering, double adp_K, double bypass_factor, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    if (!(bypass_factor >= 0 && bypass_factor <= 1))
        return Refused("The bypass factor must lie between 0 and 1.");
    const AirState& in = entering.state;
    if (!(adp_K >= kLowestTemperatureK && adp_K < in.T_K))
        return Refused("The apparatus dew point must lie below the entering dry bulb and not below -100 C.");
    const std::optional<double> W_adp = SaturationHumidityRatio(adp_K, conditions);
    if (!W_adp)
        return Refused("At the apparatus dew point the saturation pressure reaches the barometric pressure.");
    if (*W_adp > in.W)
        return Refused("The apparatus dew point lies above the dew point of the entering air: the coil would "
                       "add water.");
    const double h_adp = MoistAirEnthalpy(adp_K, *W_adp);
    // The line's ends are exact: no round trip through the enthalpy moves them.
    AirState leaving = bypass_factor == 1 ? in : AirState { adp_K, *W_adp };
    if (bypass_factor > 0 && bypass_factor < 1) {
        leaving.W = *W_adp + bypass_factor * (in.W - *W_adp);
        const double h2 = h_adp + bypass_factor * (MoistAirEnthalpy(in.T_K, in.W) - h_adp);
        leaving.T_K = TemperatureFromEnthalpy(h2, leaving.W);
    }
    return CoilResult(entering, leaving, adp_K, bypass_factor, conditions);
}

ProcessResult CoilByLeaving(
    const Stream& entering, double T2_K, double phi2, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    const AirState& in = entering.state;
    if (!(phi2 > 0 && phi2 <= 1))
        return Refused("The leaving relative humidity must lie above 0 and not above 100 %.");
    if (!(T2_K < in.T_K))
        return Refused("The leaving dry bulb must lie below the entering dry bulb.");
    if (!(T2_K >= kLowestTemperatureK))
        return Refused("The leaving dry bulb would lie below -100 C, the lowest the calculator accepts.");
    const std::optional<double> W2 = HumidityRatioAt(T2_K, phi2, conditions);
    if (!W2)
        return Refused("At the leaving state the vapour pressure reaches the barometric pressure.");
    if (*W2 > in.W)
        return Refused("The leaving air would hold more water than the entering air: a coil only removes "
                       "water.");
    const AirState out { T2_K, *W2 };
    const double h1 = MoistAirEnthalpy(in.T_K, in.W);
    const double h2 = MoistAirEnthalpy(out.T_K, out.W);
    // The ADP is the saturated state on the line through both states, beyond the leaving one. Along the
    // saturation curve downwards from the leaving dew point the sign of the cross product changes first
    // there; a 1 K scan finds that bracket before any second crossing far down the curve.
    const auto side = [&](double T_K) {
        const double Ws = SaturationHumidityRatio(T_K, conditions).value_or(0);
        return (MoistAirEnthalpy(T_K, Ws) - h1) * (out.W - in.W) - (Ws - in.W) * (h2 - h1);
    };
    double hi = phi2 == 1 ? T2_K : DewPoint(out.W, conditions);
    double adp = hi;
    if (side(hi) != 0) {
        const bool positive = side(hi) > 0;
        double lo = hi;
        do {
            hi = lo;
            lo = std::max(hi - 1, kLowestTemperatureK);
        } while ((side(lo) > 0) == positive && lo > kLowestTemperatureK);
        if ((side(lo) > 0) == positive)
            return Refused("The line through the two states meets saturation below -100 C.");
        adp = detail::Bisect(side, 0.0, lo, hi);
    }
    const double h_adp = MoistAirEnthalpy(adp, SaturationHumidityRatio(adp, conditions).value_or(0));
    return CoilResult(entering, out, adp, (h2 - h_adp) / (h1 - h_adp), conditions);
}

ProcessResult EvaporativeByEffectiveness(
    const Stream& entering, double effectiveness, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    if (!(effectiveness >= 0 && effectiveness <= 1))
        return Refused("The saturation effectiveness must lie between 0 and 1.");
    const AirState& in = entering.state;
    const double T_wb = WetBulbTemperature(in.W, in.T_K, conditions.pressure_Pa, conditions.method);
    const double T2 = in.T_K - effectiveness * (in.T_K - T_wb);
    const double W2
        = effectiveness == 0 ? in.W : HumidityRatioAfterWaterAdded(in, T2, LiquidWaterEnthalpy(T_wb));
    return Humidified(entering, { T2, W2 }, conditions);
}

ProcessResult EvaporativeToRelativeHumidity(
    const Stream& entering, double phi2, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    const AirState& in = entering.state;
    const double T_wb = WetBulbTemperature(in.W, in.T_K, conditions.pressure_Pa, conditions.method);
    return HumidifiedTo(entering, phi2, in.T_K, T_wb, LiquidWaterEnthalpy(T_wb), conditions);
}

ProcessResult SteamToHumidityRatio(
    const Stream& entering, double W2, double steam_K, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    const AirState& in = entering.state;
    if (!(W2 >= in.W))
        return Refused("The leaving humidity ratio must not lie below the entering one.");
    const double h2 = MoistAirEnthalpy(in.T_K, in.W) + (W2 - in.W) * SteamEnthalpy(steam_K);
    return Humidified(entering, { W2 == in.W ? in.T_K : TemperatureFromEnthalpy(h2, W2), W2 }, conditions);
}

ProcessResult SteamToRelativeHumidity(
    const Stream& entering, double phi2, double steam_K, const ProcessConditions& conditions)
{
    if (std::string problem = EnteringProblem(entering, conditions); !problem.empty())
        return Refused(std::move(problem));
    const AirState& in = entering.state;
    // Steam moves the dry bulb towards its own temperature as it condenses into vapour: the leaving dry
    // bulb lies between the entering one and the steam's, which the humidity ratio would reach only at
    // infinity.
    const double T_end = steam_K > in.T_K ? std::min(steam_K - 1e-6, kHighestAmbientK)
                                          : std::max(steam_K + 1e-6, kLowestTemperatureK);
    if (steam_K == in.T_K)
        return Refused("Steam at the dry bulb of the air cannot be solved for a relative humidity; give the "
                       "leaving humidity ratio.");
    return HumidifiedTo(entering, phi2, in.T_K, T_end, SteamEnthalpy(steam_K), conditions);
}

} // namespace humidora
