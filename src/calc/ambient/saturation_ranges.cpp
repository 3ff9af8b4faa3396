// Phase 7: the saturation state at the ambient temperature, the refusal of a saturation pressure that
// reaches the ambient pressure, and the allowed range of every humidity parameter in its label.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"

#include <algorithm>

namespace humidora::ambient {
namespace {

// A range label's temperature theta (K) in a unit of Combo3/Combo4. The ambient temperature is held in
// single precision, and its Rankine value is formed and rounded in single precision too.
std::optional<std::string> RangeTemperatureText(double theta_K, std::string_view unit, bool ambient)
{
    if (ambient && Is(unit, kRankine))
        return NumberText(Single(SingleRankineFromKelvin(theta_K)), 3, Precision::Single);
    const std::optional<double> shown = RangeTemperatureFromKelvin(unit, theta_K);
    if (!shown)
        return std::nullopt;
    return NumberText(Finite(*shown), 3);
}

void SetCaption(LimitLabel& label, const std::optional<std::string>& caption)
{
    if (caption)
        label.caption = *caption;
}

std::optional<std::string> AbsoluteHumidityRangeText(double rho_kg_m3, std::string_view unit)
{
    const std::optional<UnitItem> item = FindUnit(kAbsoluteHumidityUnits, unit);
    if (!item)
        return std::nullopt;
    return NumberText(Finite(item->FromBase(rho_kg_m3)), item->decimals);
}

// The report when the water could not stay vapour at the ambient temperature and pressure.
void GiveVapourPressureReport(AmbientControls& c)
{
    WriteErrorIntoHumidityOutputs(c);
    for (LimitLabel* label :
        { &c.Label10, &c.Label11, &c.Label12, &c.Label13, &c.Label14, &c.Label15, &c.Label16, &c.Label17,
            &c.Label18, &c.Label19, &c.Label21, &c.Label22, &c.Label23, &c.Label24, &c.Label25 })
        label->caption = "Error";
    GiveReport(c, "The partial pressure of water vapor", "exceeds the ambient pressure.");
    c.Text2.background = Background::Yellow;
    c.Label20.background = Background::Yellow;
}

} // namespace

// The wet bulb of dry air is a pure function of the temperature, the pressure and the formulation, which
// change far less often than the humidity: each thread remembers the last one.
double ZeroHumidityWetBulb(const PropertyRoutines& routines, double T, double P, SaturationMethod method)
{
    struct Remembered
    {
        decltype(PropertyRoutines::wet_bulb_temperature) routine = nullptr;
        double T = 0, P = 0;
        SaturationMethod method = 0;
        double wet_bulb = 0;
    };
    thread_local Remembered last;
    if (last.routine != routines.wet_bulb_temperature || !(last.T == T && last.P == P)
        || last.method != method)
        last
            = { routines.wet_bulb_temperature, T, P, method, routines.wet_bulb_temperature(0, T, P, method) };
    return last.wet_bulb;
}

bool WriteSaturationRanges(Run& run)
{
    AmbientControls& c = run.controls;
    const double T = run.state.temperature;
    const double P = run.state.pressure;
    const double Ps = Finite(run.routines.saturation_pressure(T, run.method));
    run.saturation_pressure = Ps;

    // Label20 shows Ps also when the state is refused just below.
    if (const auto unit = FindPressureUnit(c.Combo11.text()))
        c.Label20.caption = NumberText(Finite(unit->FromBase(Ps)), unit->decimals);
    if (Ps >= P) {
        // The partial pressure of water can at most reach Ps: it says why, in the unit of its own row.
        const auto unit = FindPressureUnit(c.Combo11.text());
        run.refusal = Refusal { "partial_pressure", c.Label20.caption, RefusalReason::ReachesAmbientPressure,
            {}, unit ? NumberText(Finite(unit->FromBase(P)), unit->decimals) : std::string(),
            c.Combo11.text(), 2 };
        GiveVapourPressureReport(c);
        return false;
    }

    const double Ws = Quotient(kMolarMassRatio * Ps, P - Ps);
    const double xs = Quotient(Ps, P);
    const double rho_s = Quotient(kWaterMolarMass * xs * P, kUniversalGasConstant * T);
    const double Ms = kWaterMolarMass * xs + kDryAirMolarMass * (1 - xs);
    const double ws = Quotient(kWaterMolarMass * xs, Ms);

    // A run for the values writes only the labels that the selected humidity input is checked against.
    // Every text below is of a finite number (the bisection of the wet bulb of dry air ends at a midpoint
    // of its finite bracket), so leaving one out never hides a failure the window would meet.
    const auto wanted = [&](LimitLabel AmbientControls::*label) {
        if (run.extent == RunExtent::Window)
            return true;
        return std::any_of(kHumidityQuantities.begin(), kHumidityQuantities.end(), [&](const Quantity* q) {
            return c.*(q->option) && (q->minimum == label || q->maximum == label);
        });
    };
    using C = AmbientControls;
    const double Twb0 = wanted(&C::Label19) ? Finite(ZeroHumidityWetBulb(run.routines, T, P, run.method)) : 0;
    if (wanted(&C::Label12))
        SetCaption(c.Label12, HumidityRatioText(Ws, c.Combo6.text()));
    if (wanted(&C::Label14))
        SetCaption(c.Label14, AbsoluteHumidityRangeText(rho_s, c.Combo7.text()));
    if (wanted(&C::Label16))
        SetCaption(c.Label16, RangeTemperatureText(T, c.Combo3.text(), true));
    if (wanted(&C::Label17))
        SetCaption(c.Label17, RangeTemperatureText(kLowestTemperatureK, c.Combo3.text(), false));
    if (wanted(&C::Label18))
        SetCaption(c.Label18, RangeTemperatureText(T, c.Combo4.text(), true));
    if (wanted(&C::Label19))
        SetCaption(c.Label19, RangeTemperatureText(Twb0, c.Combo4.text(), false));
    if (wanted(&C::Label22))
        c.Label22.caption = NumberText(Finite(100 * xs), 4);
    if (wanted(&C::Label24))
        c.Label24.caption = NumberText(Finite(100 * ws), 4);
    return true;
}

} // namespace humidora::ambient
