// Phase 9: specific gas constant, density, specific volume, molecular weight and specific enthalpy of the
// moist air.
#include "calc/air_process.h"
#include "calc/ambient_phases.h"
#include "calc/number_text.h"

namespace humidora::ambient {
namespace {

constexpr double kJoulePerCalorie = 4.1868;
constexpr double kKgPerCubicMetrePerLbPerCubicFoot = 16.01846;
constexpr double kBtuPerLbPerKjPerKg = 0.42992;

// Sets a box from a unit table; a unit outside the table leaves the box as it is.
struct UnitValue
{
    std::string_view unit;
    double shown;
    int decimals;
};
void WriteInUnit(ValueBox& box, const std::string& unit, std::initializer_list<UnitValue> table)
{
    for (const UnitValue& entry : table) {
        if (entry.unit == unit) {
            box.Show(entry.shown, NumberText(Finite(entry.shown), entry.decimals));
            return;
        }
    }
}

} // namespace

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

    // The unit tables only name the values each unit shows; a value is checked when it is written.
    WriteInUnit(c.Text12, c.Combo12.text(),
        {
            { "kJ/kg-K", R / 1000, 6 },
            { "J/kg-K", R, 3 },
            { "cal/kg-K", R / kJoulePerCalorie, 3 },
            { "kcal/kg-K", R / 4186.8, 6 },
            { "btu/lb-R", R / 4186.8, 6 },
        });
    // kg/kmol and lbm/lbmol are the same number: Combo13 is not read.
    c.Text13.Show(M, NumberText(Finite(M), 5));
    WriteInUnit(c.Text14, c.Combo14.text(),
        {
            { "kg/m^3", rho, 4 },
            { "g/cm^3", rho / 1000, 7 },
            { "lb/ft^3", rho / kKgPerCubicMetrePerLbPerCubicFoot, 5 },
        });
    WriteInUnit(c.Text15, c.Combo15.text(),
        {
            { "m^3/kg (dry air)", v, 5 },
            { "cm^3/g (dry air)", v * 1000, 2 },
            { "ft^3/lb (dry air)", v * kKgPerCubicMetrePerLbPerCubicFoot, 5 },
        });
    WriteInUnit(c.Text16, c.Combo16.text(),
        {
            { "kJ/kg (dry air)", h, 5 },
            { "kcal/kg (dry air)", h / kJoulePerCalorie, 5 },
            { "btu/lb (dry air)", h * kBtuPerLbPerKjPerKg, 5 },
        });
}

} // namespace humidora::ambient
