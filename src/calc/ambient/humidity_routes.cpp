// Phase 8: the humidity state from the one parameter the user gives, by eight routes that differ in what
// they solve first and in the order in which they write the seven other boxes.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"

namespace humidora::ambient {
namespace {

// The saturation pressure at the lowest temperature of the property routines, the reach of the dew point:
// a constant of the formulation, which each thread forms once per routine and formulation.
double LowestSaturationPressure(const PropertyRoutines& routines, SaturationMethod method)
{
    struct Remembered
    {
        decltype(PropertyRoutines::saturation_pressure) routine = nullptr;
        SaturationMethod method = 0;
        double pressure = 0;
    };
    thread_local Remembered last;
    if (last.routine != routines.saturation_pressure || last.method != method)
        last = { routines.saturation_pressure, method,
            Finite(routines.saturation_pressure(kLowestTemperatureK, method)) };
    return last.pressure;
}

float VapourPressureBelowAmbient(const HumidityRun& h, double value)
{
    const float p_v = Single(value);
    if (p_v >= h.P)
        throw VapourPressureReachesAmbient {};
    return p_v;
}

// R1: vapour pressure from the humidity ratio.
float VapourPressureFromHumidityRatio(const HumidityRun& h, double W)
{
    return VapourPressureBelowAmbient(h, Quotient(h.P * W, kMolarMassRatio + W));
}

// R2: humidity ratio from the vapour pressure.
double HumidityRatioFromVapourPressure(const HumidityRun& h, float p_v)
{
    return Quotient(kMolarMassRatio * p_v, h.P - p_v);
}

// R3, and with R4 the cap at saturation that only the routes of the humidity ratio, the dew point and the
// wet bulb apply.
double RelativeHumidity(const HumidityRun& h, float p_v, bool capped)
{
    double phi = Quotient(p_v, h.Ps);
    if (capped && phi > 1)
        phi = 1;
    h.s.relative_humidity = phi;
    return phi;
}

// R5: molecular weight of the moist air, then the water mass fraction.
void Mixture(const HumidityRun& h, double x)
{
    const double M = Finite(kWaterMolarMass * x + kDryAirMolarMass * (1 - x));
    h.s.molar_mass = M;
    h.s.water_mass_fraction = Quotient(kWaterMolarMass * x, M);
}

// R6: absolute humidity, held in single precision.
float AbsoluteHumidity(const HumidityRun& h, double x)
{
    const float rho_v = Single(Quotient(x * h.P * kWaterMolarMass, kUniversalGasConstant * h.T));
    h.s.absolute_humidity = rho_v;
    return rho_v;
}

// R7: the dew point, when the vapour pressure is within reach of the property routines.
void DewPointStep(const HumidityRun& h, float p_v)
{
    const double p_min = LowestSaturationPressure(h.routines, h.method);
    if (p_v >= p_min) {
        const double dew_point = Finite(h.routines.saturation_temperature(p_v, h.method));
        h.s.dew_point = dew_point;
        h.out.DewPoint(dew_point);
    } else {
        h.out.DewPointBelowMinimum();
    }
}

// R8: the wet bulb; not kept beyond the run.
double WetBulb(const HumidityRun& h, double W)
{
    return Finite(h.routines.wet_bulb_temperature(W, h.T, h.P, h.method));
}

// The shared tail of the routes of the humidity ratio, relative humidity, dew point and wet bulb.
void SharedTail(const HumidityRun& h, float p_v)
{
    const double x = Quotient(p_v, h.P);
    h.s.water_mole_fraction = x;
    Mixture(h, x);
    const float rho_v = AbsoluteHumidity(h, x);
    h.out.MoleFraction(x);
    h.out.MassFraction(h.s.water_mass_fraction);
    h.out.AbsoluteHumidity(rho_v);
    h.out.PartialPressure(p_v);
}

void HumidityRatioGiven(const HumidityRun& h, double W)
{
    h.s.humidity_ratio = W;
    const float p_v = VapourPressureFromHumidityRatio(h, W);
    h.s.vapour_pressure = p_v;
    h.out.RelativeHumidity(RelativeHumidity(h, p_v, true));
    DewPointStep(h, p_v);
    h.out.WetBulb(WetBulb(h, W));
    SharedTail(h, p_v);
}

void RelativeHumidityGiven(const HumidityRun& h, double phi)
{
    h.s.relative_humidity = phi;
    const float p_v = VapourPressureBelowAmbient(h, h.Ps * phi);
    h.s.vapour_pressure = p_v;
    const double W = HumidityRatioFromVapourPressure(h, p_v);
    h.s.humidity_ratio = W;
    h.out.HumidityRatio(W);
    DewPointStep(h, p_v);
    h.out.WetBulb(WetBulb(h, W));
    SharedTail(h, p_v);
}

void DewPointGiven(const HumidityRun& h, double dew_point_K)
{
    // The given dew point is checked against its labels only, not against the reach of R7.
    h.s.dew_point = dew_point_K;
    const float p_v
        = VapourPressureBelowAmbient(h, Finite(h.routines.saturation_pressure(dew_point_K, h.method)));
    h.s.vapour_pressure = p_v;
    const double phi = RelativeHumidity(h, p_v, true);
    const double W = Quotient(kMolarMassRatio, Quotient(h.P, p_v) - 1);
    h.s.humidity_ratio = W;
    h.out.HumidityRatio(W);
    h.out.RelativeHumidity(phi);
    h.out.WetBulb(WetBulb(h, W));
    SharedTail(h, p_v);
}

void WetBulbGiven(const HumidityRun& h, double wet_bulb_K)
{
    // Kept as it comes, also a little below zero at the shown minimum of the wet bulb.
    const double W = Finite(h.routines.humidity_ratio_from_wet_bulb(wet_bulb_K, h.T, h.P, h.method));
    h.s.humidity_ratio = W;
    const float p_v = VapourPressureFromHumidityRatio(h, W);
    h.s.vapour_pressure = p_v;
    const double phi = RelativeHumidity(h, p_v, true);
    h.out.HumidityRatio(W);
    h.out.RelativeHumidity(phi);
    DewPointStep(h, p_v);
    SharedTail(h, p_v);
}

void AbsoluteHumidityGiven(const HumidityRun& h, float rho_v)
{
    h.s.absolute_humidity = rho_v;
    const double x = Quotient(h.T * kUniversalGasConstant * rho_v, kWaterMolarMass * h.P);
    h.s.water_mole_fraction = x;
    const float p_v = VapourPressureBelowAmbient(h, h.P * x);
    h.s.vapour_pressure = p_v;
    Mixture(h, x);
    const double phi = RelativeHumidity(h, p_v, false);
    const double W = HumidityRatioFromVapourPressure(h, p_v);
    h.s.humidity_ratio = W;
    const double wet_bulb = WetBulb(h, W);
    h.out.RelativeHumidity(phi);
    h.out.MoleFraction(x);
    h.out.MassFraction(h.s.water_mass_fraction);
    h.out.HumidityRatio(W);
    DewPointStep(h, p_v);
    h.out.WetBulb(wet_bulb);
    h.out.PartialPressure(p_v);
}

void PartialPressureGiven(const HumidityRun& h, double given_Pa)
{
    const float p_v = VapourPressureBelowAmbient(h, given_Pa);
    h.s.vapour_pressure = p_v;
    const double phi = RelativeHumidity(h, p_v, false);
    const double W = HumidityRatioFromVapourPressure(h, p_v);
    h.s.humidity_ratio = W;
    const double wet_bulb = WetBulb(h, W);
    const double x = Quotient(p_v, h.P);
    h.s.water_mole_fraction = x;
    Mixture(h, x);
    const float rho_v = AbsoluteHumidity(h, x);
    DewPointStep(h, p_v);
    h.out.RelativeHumidity(phi);
    h.out.MoleFraction(x);
    h.out.MassFraction(h.s.water_mass_fraction);
    h.out.HumidityRatio(W);
    h.out.WetBulb(wet_bulb);
    h.out.AbsoluteHumidity(rho_v);
}

void MoleFractionGiven(const HumidityRun& h, double x)
{
    h.s.water_mole_fraction = x;
    const float p_v = VapourPressureBelowAmbient(h, h.P * x);
    h.s.vapour_pressure = p_v;
    const double phi = RelativeHumidity(h, p_v, false);
    const double W = HumidityRatioFromVapourPressure(h, p_v);
    h.s.humidity_ratio = W;
    const double wet_bulb = WetBulb(h, W);
    Mixture(h, x);
    const float rho_v = AbsoluteHumidity(h, x);
    DewPointStep(h, p_v);
    h.out.RelativeHumidity(phi);
    h.out.MassFraction(h.s.water_mass_fraction);
    h.out.HumidityRatio(W);
    h.out.WetBulb(wet_bulb);
    h.out.AbsoluteHumidity(rho_v);
    h.out.PartialPressure(p_v);
}

void MassFractionGiven(const HumidityRun& h, double w)
{
    h.s.water_mass_fraction = w;
    const double x = Quotient(kDryAirMolarMass * w, kWaterMolarMass + kMolarMassDifference * w);
    h.s.water_mole_fraction = x;
    const float p_v = VapourPressureBelowAmbient(h, h.P * x);
    h.s.vapour_pressure = p_v;
    const double phi = RelativeHumidity(h, p_v, false);
    const double W = HumidityRatioFromVapourPressure(h, p_v);
    h.s.humidity_ratio = W;
    const double wet_bulb = WetBulb(h, W);
    // Only the molecular weight: the given mass fraction is kept as it is.
    h.s.molar_mass = Finite(kWaterMolarMass * x + kDryAirMolarMass * (1 - x));
    const float rho_v = AbsoluteHumidity(h, x);
    DewPointStep(h, p_v);
    h.out.RelativeHumidity(phi);
    h.out.MoleFraction(x);
    h.out.HumidityRatio(W);
    h.out.WetBulb(wet_bulb);
    h.out.AbsoluteHumidity(rho_v);
    h.out.PartialPressure(p_v);
}

} // namespace

// The humidity ratio and the relative humidity are multiplied by the reciprocal of their factor (x 0.001,
// x 0.01) where the other routes divide by it.
void RunHumidityRoute(const HumidityRun& h, const Quantity& selected, const UnitItem& unit, double v)
{
    using C = AmbientControls;
    const bool C::*option = selected.option;
    if (option == &C::Option1)
        HumidityRatioGiven(h, v * (1 / unit.factor));
    else if (option == &C::Option2)
        RelativeHumidityGiven(h, v * (1 / unit.factor));
    else if (option == &C::Option3)
        DewPointGiven(h, *TemperatureToKelvin(unit.key, v));
    else if (option == &C::Option4)
        WetBulbGiven(h, *TemperatureToKelvin(unit.key, v));
    else if (option == &C::Option5)
        AbsoluteHumidityGiven(h, Single(unit.ToBase(v)));
    else if (option == &C::Option10)
        PartialPressureGiven(h, unit.ToBase(v));
    else if (option == &C::Option6)
        MoleFractionGiven(h, unit.ToBase(v));
    else
        MassFractionGiven(h, unit.ToBase(v));
}

namespace {

// The window's boxes as the outputs of a route, each written in the unit of its list.
class BoxOutputs final : public HumidityOutputs
{
public:
    explicit BoxOutputs(AmbientControls& c)
        : c_(c)
    {
    }
    void HumidityRatio(double W) override { WriteHumidityRatio(c_, W); }
    void RelativeHumidity(double phi) override { WriteRelativeHumidity(c_, phi); }
    void DewPoint(double dew_point_K) override { WriteDewPoint(c_, dew_point_K); }
    void DewPointBelowMinimum() override { WriteDewPointBelowMinimum(c_); }
    void WetBulb(double wet_bulb_K) override { WriteWetBulb(c_, wet_bulb_K); }
    void AbsoluteHumidity(float rho_v) override { WriteAbsoluteHumidity(c_, rho_v); }
    void MoleFraction(double x) override { WriteMoleFraction(c_, x); }
    void MassFraction(double w) override { WriteMassFraction(c_, w); }
    void PartialPressure(float p_v) override { WritePartialPressure(c_, p_v); }

private:
    AmbientControls& c_;
};

// The branches are tried in this order; the option group keeps exactly one selected.
const Quantity* SelectedHumidityQuantity(const AmbientControls& c)
{
    for (const Quantity* quantity : kHumidityRouteOrder) {
        if (c.*(quantity->option))
            return quantity;
    }
    return nullptr;
}

} // namespace

bool SolveHumidity(Run& run)
{
    AmbientControls& c = run.controls;
    for (const Quantity* quantity : kHumidityQuantities) {
        if (!(c.*(quantity->option)))
            (c.*(quantity->box)).background = Background::Cyan;
    }
    const Quantity* selected = SelectedHumidityQuantity(c);
    if (selected == nullptr) {
        WriteErrorIntoHumidityOutputs(c);
        return false;
    }
    ValueBox& box = c.*(selected->box);
    const auto refuse = [&](RefusalReason otherwise) {
        run.refusal = InputRefusal(c, *selected, otherwise);
        box.background = Background::Red;
        WriteErrorIntoHumidityOutputs(c);
        return false;
    };
    const std::optional<double> typed = AcceptedValue(box, c.*(selected->minimum), c.*(selected->maximum));
    if (!typed)
        return refuse(RefusalReason::UnknownUnit);
    box.background = Background::Standard;

    const std::optional<UnitItem> unit = FindUnit(selected->units, (c.*(selected->list)).text());
    if (!unit)
        return refuse(RefusalReason::UnknownUnit);
    BoxOutputs boxes(c);
    const HumidityRun h { boxes, run.state, run.routines, run.method, run.state.temperature,
        run.state.pressure, run.saturation_pressure };
    // A refusal found inside a route leaves every humidity field as the last accepted run left it.
    const AmbientState before = run.state;
    try {
        RunHumidityRoute(h, *selected, *unit, *typed);
    } catch (const VapourPressureReachesAmbient&) {
        run.state = before;
        return refuse(RefusalReason::ReachesAmbientPressure);
    }
    return true;
}

} // namespace humidora::ambient
