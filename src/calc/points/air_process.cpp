#include "calc/points/air_process.h"

#include "core/bisection.h"

#include <cmath>
#include <limits>

namespace humidora {
namespace {

constexpr double kHighestAmbientK = 373.15; ///< the calculator's highest dry bulb
constexpr double kSecondsPerHour = 3600;

/// A state whose relative humidity exceeds 1 by no more than this is saturated: the round-off of the
/// enthalpy relation and its inverse, and of the 1e-6 K bisections, is far below it.
constexpr double kSaturationTolerance = 1e-9;

double Celsius(double T_K)
{
    return T_K - kCelsiusOffset;
}

ProcessResult Refused(std::string reason)
{
    ProcessResult result;
    result.refusal = std::move(reason);
    return result;
}

ProcessResult Breached(std::string reason, std::string quantity, bool above, double value, double limit)
{
    ProcessResult result = Refused(std::move(reason));
    result.breach.emplace();
    result.breach->quantity = std::move(quantity);
    result.breach->above = above;
    result.breach->value = value;
    result.breach->limit = limit;
    return result;
}

/// Why a state lies outside what the calculator can show, or nothing.
std::optional<ProcessResult> LimitProblem(const AirState& state, const ProcessConditions& conditions)
{
    if (!std::isfinite(state.T_K) || !std::isfinite(state.W))
        return Refused("The leaving state cannot be computed.");
    if (state.T_K < kLowestTemperatureK)
        return Breached("The leaving dry bulb would lie below the lowest the calculator accepts.",
            "temperature", false, state.T_K, kLowestTemperatureK);
    if (state.T_K > kHighestAmbientK)
        return Breached("The leaving dry bulb would lie above the highest the calculator accepts.",
            "temperature", true, state.T_K, kHighestAmbientK);
    if (state.W < 0)
        return Breached("The leaving humidity ratio would be negative.", "humidity_ratio", false, state.W, 0);
    if (SaturationPressure(state.T_K, conditions.method) >= conditions.pressure_Pa)
        return Refused("At the leaving dry bulb the saturation pressure reaches the barometric pressure.");
    if (const double phi = RelativeHumidityOf(state, conditions); phi > 1 + kSaturationTolerance)
        return Breached("The leaving air would be supersaturated.", "relative_humidity", true, phi, 1);
    return std::nullopt;
}

/// The entering stream's own check: a process starts only from a state the calculator accepts.
std::string EnteringProblem(const Stream& stream, const ProcessConditions& conditions)
{
    if (stream.flow_kg_s && !(*stream.flow_kg_s > 0 && std::isfinite(*stream.flow_kg_s)))
        return "A dry-air flow must be a positive number.";
    const std::optional<ProcessResult> problem = LimitProblem(stream.state, conditions);
    if (!problem)
        return {};
    return "The entering state is outside the calculator's limits: " + problem->refusal;
}

/// The leaving stream of a one-stream process at `state`, with the entering flow; refused outside the limits.
ProcessResult Leaving(const Stream& entering, const AirState& state, const ProcessConditions& conditions)
{
    if (std::optional<ProcessResult> problem = LimitProblem(state, conditions))
        return *problem;
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
    const double p_v = VapourPressureOfHumidityRatio(W, conditions.pressure_Pa);
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
/// the relative humidity phi2, the humidity ratio following in closed form.
///
/// 1 K steps find the first bracket that holds the target: the humidity rises from the entering state
/// on, but towards hot steam it may fall again as the saturation pressure outgrows the vapour pressure.
/// The bisection then keeps both ends and returns the end the calculator accepts: the one that reaches
/// the target when it is not supersaturated, else the one just short of it. A midpoint could lie on
/// either side, and a target of exactly 100 % would then be refused half of the time.
ProcessResult HumidifiedTo(const Stream& entering, double phi2, double T_from, double T_to, double h_water,
    const ProcessConditions& conditions)
{
    const auto state_at = [&](double T_K) -> AirState {
        return { T_K, HumidityRatioAfterWaterAdded(entering.state, T_K, h_water) };
    };
    const auto phi_at = [&](double T_K) { return RelativeHumidityOf(state_at(T_K), conditions); };
    const double phi1 = RelativeHumidityOf(entering.state, conditions);
    if (!(phi2 >= phi1 && phi2 <= 1))
        return Refused("The leaving relative humidity must lie between the entering one and 100 %.");
    if (phi2 == phi1)
        return Humidified(entering, entering.state, conditions);
    const double step = T_to > T_from ? 1 : -1;
    double short_of = T_from, reached = T_from;
    do {
        short_of = reached;
        reached = step > 0 ? std::min(short_of + step, T_to) : std::max(short_of + step, T_to);
    } while (phi_at(reached) < phi2 && reached != T_to);
    if (!(phi_at(reached) >= phi2))
        return Refused("The humidifier cannot reach that relative humidity.");
    // Halving down to a few ulps of the dry bulb keeps the relative humidity within 1e-12 of the target.
    for (int steps = 0; steps < 200 && std::fabs(reached - short_of) > 1e-10; ++steps) {
        const double mid = (short_of + reached) * 0.5;
        if (mid == short_of || mid == reached)
            break;
        (phi_at(mid) >= phi2 ? reached : short_of) = mid;
    }
    const AirState at_target = state_at(reached);
    if (!LimitProblem(at_target, conditions))
        return Humidified(entering, at_target, conditions);
    return Humidified(entering, state_at(short_of), conditions);
}

/// Evaporative humidification: where the line of the water's enthalpy meets saturation, the lowest dry
/// bulb it reaches. The wet bulb lies on it only to the round-off of its own solution, on either side.
double EvaporativeSaturation(const AirState& in, double T_wb, const ProcessConditions& conditions)
{
    const double h_water = LiquidWaterEnthalpy(T_wb);
    const auto phi_at = [&](double T_K) {
        return RelativeHumidityOf({ T_K, HumidityRatioAfterWaterAdded(in, T_K, h_water) }, conditions);
    };
    // Below the wet bulb by more than its round-off the line is supersaturated.
    double lo = std::max(T_wb - 1, kLowestTemperatureK);
    double hi = in.T_K;
    if (!(phi_at(lo) >= 1))
        return lo;
    for (int steps = 0; steps < 200 && std::fabs(hi - lo) > 1e-10; ++steps) {
        const double mid = (lo + hi) * 0.5;
        if (mid == lo || mid == hi)
            break;
        (phi_at(mid) >= 1 ? lo : hi) = mid;
    }
    return hi;
}

/// Steam humidifiers: the enthalpy the steam brings, from its flow and its temperature.
ProcessResult WithSteamEnergy(ProcessResult result, const Stream& entering, double steam_K)
{
    if (!result.refused() && entering.flow_kg_s)
        result.loads.steam_energy_kW
            = *entering.flow_kg_s * (result.leaving.state.W - entering.state.W) * SteamEnthalpy(steam_K);
    return result;
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
    result.loads.condensate_enthalpy_kW = -Kilowatt(m, (in.W - leaving.W) * LiquidWaterEnthalpy(leaving.T_K));
    if (sensible + latent != 0)
        result.loads.sensible_heat_ratio = sensible / (sensible + latent);
    result.loads.water_kg_per_h = m * (in.W - leaving.W) * kSecondsPerHour;
    return result;
}

} // namespace

std::optional<double> HumidityRatioAt(double T_K, double phi, const ProcessConditions& conditions)
{
    const double p_v = phi * SaturationPressure(T_K, conditions.method);
    if (!(p_v < conditions.pressure_Pa))
        return std::nullopt;
    return HumidityRatioOfVapourPressure(p_v, conditions.pressure_Pa);
}

std::optional<double> SaturationHumidityRatio(double T_K, const ProcessConditions& conditions)
{
    return HumidityRatioAt(T_K, 1, conditions);
}

double RelativeHumidityOf(const AirState& state, const ProcessConditions& conditions)
{
    const double p_v = VapourPressureOfHumidityRatio(state.W, conditions.pressure_Pa);
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
    // dew point (too much) that total enthalpy rises with the temperature. The dew point is itself solved
    // to 1e-6 K, and a mixture a hair above saturation puts it within that of the dry bulb: the upper end
    // moves up until the bracket holds, and a bracket that cannot be made to hold refuses the mixture
    // rather than return one of its ends.
    const auto total_enthalpy = [&](double T_K) {
        const std::optional<double> Ws = SaturationHumidityRatio(T_K, conditions);
        if (!Ws)
            return std::numeric_limits<double>::quiet_NaN();
        return MoistAirEnthalpy(T_K, *Ws) + (W - *Ws) * LiquidWaterEnthalpy(T_K);
    };
    double lo = mixed.T_K;
    double hi = std::max(DewPoint(W, conditions), lo);
    for (int widen = 0; widen < 8 && !(total_enthalpy(hi) >= h); ++widen)
        hi += 1e-6 * (1 << (2 * widen));
    if (!(total_enthalpy(lo) <= h && total_enthalpy(hi) >= h))
        return Refused("The temperature of the fogged mixture cannot be found.");
    for (int steps = 0; steps < 200 && hi - lo > 1e-10; ++steps) {
        const double mid = (lo + hi) * 0.5;
        if (mid == lo || mid == hi)
            break;
        (total_enthalpy(mid) >= h ? hi : lo) = mid;
    }
    const double T = hi;
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
        return Refused("The apparatus dew point must lie below the entering dry bulb and within the "
                       "calculator's range.");
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
        return Breached("The leaving dry bulb would lie below the lowest the calculator accepts.",
            "temperature", false, T2_K, kLowestTemperatureK);
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
            return Refused(
                "The line through the two states meets saturation below the lowest temperature the "
                "calculator accepts.");
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
    // An effectiveness of 1 saturates the air: where the line meets saturation, not beyond it.
    const double T2
        = std::max(in.T_K - effectiveness * (in.T_K - T_wb), EvaporativeSaturation(in, T_wb, conditions));
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
    // The search runs a little past the wet bulb: the line meets saturation within its round-off of it.
    return HumidifiedTo(entering, phi2, in.T_K, std::max(T_wb - 1, kLowestTemperatureK),
        LiquidWaterEnthalpy(T_wb), conditions);
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
    return WithSteamEnergy(
        Humidified(entering, { W2 == in.W ? in.T_K : TemperatureFromEnthalpy(h2, W2), W2 }, conditions),
        entering, steam_K);
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
    return WithSteamEnergy(
        HumidifiedTo(entering, phi2, in.T_K, T_end, SteamEnthalpy(steam_K), conditions), entering, steam_K);
}

} // namespace humidora
