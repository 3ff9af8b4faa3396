// Phases 5 and 6: the ambient temperature, and the pressure or the altitude with the other one derived
// through the standard atmosphere.
#include "calc/ambient/ambient_phases.h"
#include "calc/units/number_text.h"
#include "calc/units/units.h"

namespace humidora::ambient {

bool ReadTemperature(Run& run)
{
    AmbientControls& c = run.controls;
    const std::optional<double> typed = AcceptedValue(c.Text1, c.Label5, c.Label4);
    const std::optional<double> kelvin = typed ? TemperatureToKelvin(c.Combo1.text(), *typed) : std::nullopt;
    if (!kelvin) {
        run.refusal = InputRefusal(c, kQuantities[0], RefusalReason::UnknownUnit);
        c.Text1.background = Background::Red;
        WriteErrorIntoHumidityOutputs(c);
        return false;
    }
    c.Text1.background = Background::Standard;
    // Held in single precision; every later step uses the rounded value (25 C is 298.149993896484375 K).
    run.state.temperature = Single(*kelvin);
    return true;
}

namespace {

bool ReadPressure(Run& run)
{
    AmbientControls& c = run.controls;
    c.Text10.background = Background::Cyan;
    const auto unit = FindPressureUnit(c.Combo2.text());
    const std::optional<double> typed = unit ? AcceptedValue(c.Text2, c.Label7, c.Label6) : std::nullopt;
    if (!typed) {
        run.refusal = InputRefusal(c, kQuantities[1], RefusalReason::UnknownUnit);
        c.Text2.background = Background::Red;
        c.Text10.text = "Error";
        WriteErrorIntoHumidityOutputs(c);
        return false;
    }
    c.Text2.background = Background::Standard;
    run.state.pressure = Finite(unit->ToBase(*typed));
    const float altitude = Single(run.routines.altitude_from_pressure(run.state.pressure));
    run.state.altitude = altitude;
    if (kAltitudeMinM <= altitude && altitude <= kAltitudeMaxM) {
        // The quotient is a double although the altitude itself is single.
        if (const auto altitude_unit = FindAltitudeUnit(c.Combo10.text()))
            c.Text10.Show(altitude_unit->FromBase(altitude),
                NumberText(altitude_unit->FromBase(altitude), altitude_unit->decimals));
    } else {
        c.Text10.font_size = 7;
        c.Text10.text = "Out of Range";
    }
    return true;
}

bool ReadAltitude(Run& run)
{
    AmbientControls& c = run.controls;
    c.Text2.background = Background::Cyan;
    const auto unit = FindAltitudeUnit(c.Combo10.text());
    const std::optional<double> typed = unit ? AcceptedValue(c.Text10, c.Label9, c.Label8) : std::nullopt;
    if (!typed) {
        run.refusal = InputRefusal(c, kQuantities[2], RefusalReason::UnknownUnit);
        c.Text10.background = Background::Red;
        c.Text2.text = "Error";
        WriteErrorIntoHumidityOutputs(c);
        return false;
    }
    c.Text10.background = Background::Standard;
    run.state.altitude = Finite(unit->ToBase(*typed));
    const float pressure = Single(run.routines.pressure_from_altitude(run.state.altitude));
    run.state.pressure = pressure;
    // The altitude limits keep the derived pressure inside the pressure limits: it is not checked.
    if (const auto pressure_unit = FindPressureUnit(c.Combo2.text()))
        c.Text2.Show(pressure_unit->FromBase(pressure),
            NumberText(pressure_unit->FromBase(pressure), pressure_unit->decimals));
    return true;
}

} // namespace

bool ReadPressureOrAltitude(Run& run)
{
    // Every run restores the normal font, which also undoes the small one of "Out of Range".
    run.controls.Text10.font_size = 9;
    return run.controls.Option9 ? ReadAltitude(run) : ReadPressure(run);
}

} // namespace humidora::ambient
