// Phase 9: specific gas constant, density, specific volume, molecular weight and specific enthalpy of the
// moist air.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "core/moist_air.h"

namespace humidora::ambient {
void WriteOtherProperties(Run& run)
{
    AmbientControls& c = run.controls;
    AmbientState& s = run.state;
    const double T = s.temperature;
    const double P = s.pressure;
    const double W = s.humidity_ratio;
    const double M = s.molar_mass;

    const double R = Quotient(kUniversalGasConstant, M);
    s.gas_constant = R;
    const double v = Finite(SpecificVolume(T, W, P));
    // The density comes from the specific volume, not from R.
    const double rho = Quotient(1 + W, v);
    s.density = rho;
    // The relation that the air-handling processes use too, so that their states read the same here.
    const double h = Finite(MoistAirEnthalpy(T, W));

    WriteInUnit(c.Text12, c.Combo12, kGasConstantUnits, R);
    // kg/kmol and lbm/lbmol are the same number: Combo13 is not read.
    c.Text13.Show(M, NumberText(Finite(M), kMolecularWeightUnits[0].decimals));
    WriteInUnit(c.Text14, c.Combo14, kDensityUnits, rho);
    WriteInUnit(c.Text15, c.Combo15, kSpecificVolumeUnits, v);
    WriteInUnit(c.Text16, c.Combo16, kEnthalpyUnits, h);
}

} // namespace humidora::ambient
