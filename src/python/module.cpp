// The compiled part of the Python package: the calculation on numbers over whole arrays, run without the
// interpreter's lock and on all cores for large arrays, and the saturation routines and the unit
// converter element by element. The package's Python part (humidora/__init__.py) checks and broadcasts
// the arguments and hands over contiguous float64 arrays of one length.
#include "calc/ambient/numeric_state.h"
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/points/state_points.h"
#include "calc/units/refusal.h"
#include "calc/units/units.h"
#include "calc/windows/saturation_window.h"
#include "calc/windows/unit_converter.h"
#include "core/properties.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace py = pybind11;

namespace humidora::python {
namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Elements handed to a thread at a time: enough to make the hand-over negligible, few enough that a
// thread slowed by other work on the machine leaves the rest to the others.
constexpr std::size_t kElementsPerPart = 4096;

// Runs body(begin, end) over [0, n) in parts of kElementsPerPart, on every core for large n, each thread
// taking the next part as it finishes one; each part writes only its own elements, so the results stay
// in input order.
template <typename Body> void InParts(std::size_t n, Body body)
{
    const std::size_t parts = (n + kElementsPerPart - 1) / kElementsPerPart;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next { 0 };
    const auto run = [&] {
        for (std::size_t part; (part = next.fetch_add(1)) < parts;)
            body(part * kElementsPerPart, std::min(n, (part + 1) * kElementsPerPart));
    };
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < std::min(cores, parts); ++i)
        threads.emplace_back(run);
    run();
    for (std::thread& thread : threads)
        thread.join();
}

const double* Data(const Array& array, std::size_t n, const char* name)
{
    if (array.ndim() != 1 || static_cast<std::size_t>(array.shape(0)) != n)
        throw py::value_error(std::string(name) + ": expected a one-dimensional array of the common length");
    return array.data();
}

// The states of n elements: a (16, n) array of values in kQuantities row order, and the refused
// elements' indices with their sentences.
py::tuple States(const std::string& humidity, bool altitude_given, bool iapws,
    const std::vector<int>& selections, const Array& temperature, const Array& pressure,
    const Array& humidity_values)
{
    NumericSetup setup;
    setup.humidity = FindQuantity(humidity);
    if (setup.humidity == nullptr || !setup.humidity->isHumidity())
        throw py::value_error("humidity: no humidity parameter \"" + humidity + "\"");
    setup.altitude_given = altitude_given;
    setup.method = iapws ? kIapws : kHylandWexler;
    if (selections.size() != setup.selections.size())
        throw py::value_error("units: expected 16 unit selections");
    std::copy(selections.begin(), selections.end(), setup.selections.begin());
    const NumericCalculation calculation = [&] {
        try {
            return NumericCalculation(setup);
        } catch (const std::invalid_argument& error) {
            throw py::value_error(std::string("units: ") + error.what());
        }
    }();

    const std::size_t n = static_cast<std::size_t>(temperature.size());
    const double* t = Data(temperature, n, "temperature");
    const double* p = Data(pressure, n, "pressure");
    const double* h = Data(humidity_values, n, "humidity");
    py::array_t<double> values({ std::size_t(16), n });
    double* out = values.mutable_data();
    // The refused elements of each part, gathered in input order afterwards.
    std::vector<std::vector<std::pair<std::size_t, std::string>>> refusals(
        (n + kElementsPerPart - 1) / kElementsPerPart);
    {
        py::gil_scoped_release unlocked;
        InParts(n, [&](std::size_t begin, std::size_t end) {
            auto& refused = refusals[begin / kElementsPerPart];
            NumericState state;
            for (std::size_t i = begin; i < end; ++i) {
                calculation.Compute(t[i], p[i], h[i], state);
                for (std::size_t row = 0; row < 16; ++row)
                    out[row * n + i] = state.values[row];
                if (state.refusal)
                    refused.emplace_back(i, RefusalSentence(*state.refusal));
            }
        });
    }
    std::vector<std::size_t> indices;
    py::list sentences;
    for (const auto& list : refusals) {
        for (const auto& [index, sentence] : list) {
            indices.push_back(index);
            sentences.append(py::str(sentence));
        }
    }
    return py::make_tuple(values, py::array(py::cast(indices)), sentences);
}

// The unit item of `key` among `units`; a ValueError naming `argument` otherwise.
UnitItem UnitOf(std::span<const UnitItem> units, const std::string& key, const char* argument)
{
    if (const std::optional<UnitItem> unit = FindUnit(units, key))
        return *unit;
    std::string known;
    for (const UnitItem& unit : units)
        known += (known.empty() ? "\"" : ", \"") + std::string(unit.key) + "\"";
    throw py::value_error(std::string(argument) + ": unknown unit \"" + key + "\"; one of " + known);
}

SaturationMethod MethodOf(const std::string& method)
{
    if (method == "iapws")
        return kIapws;
    if (method == "hyland-wexler")
        return kHylandWexler;
    throw py::value_error("method: unknown method \"" + method + "\"; one of \"iapws\", \"hyland-wexler\"");
}

template <typename Element> py::array_t<double> Elementwise(const Array& input, Element element)
{
    const std::size_t n = static_cast<std::size_t>(input.size());
    py::array_t<double> result(std::vector<py::ssize_t>(input.shape(), input.shape() + input.ndim()));
    const double* in = input.data();
    double* out = result.mutable_data();
    {
        py::gil_scoped_release unlocked;
        InParts(n, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                out[i] = element(in[i]);
        });
    }
    return result;
}

py::array_t<double> SaturationPressureOf(const Array& temperature, const std::string& method,
    const std::string& temperature_unit, const std::string& pressure_unit)
{
    const SaturationMethod m = MethodOf(method);
    const UnitItem t_unit = UnitOf(kTemperatureUnits, temperature_unit, "temperature_unit");
    const UnitItem p_unit = UnitOf(kPressureUnits, pressure_unit, "pressure_unit");
    return Elementwise(temperature, [&](double t) {
        const std::optional<double> kelvin = TemperatureToKelvin(t_unit.key, t);
        if (!kelvin
            || !(kSaturationLowestTemperatureK <= *kelvin && *kelvin <= kSaturationHighestTemperatureK))
            return kNaN;
        return p_unit.FromBase(SaturationPressure(*kelvin, m));
    });
}

py::array_t<double> SaturationTemperatureOf(const Array& pressure, const std::string& method,
    const std::string& pressure_unit, const std::string& temperature_unit)
{
    const SaturationMethod m = MethodOf(method);
    const UnitItem p_unit = UnitOf(kPressureUnits, pressure_unit, "pressure_unit");
    const UnitItem t_unit = UnitOf(kTemperatureUnits, temperature_unit, "temperature_unit");
    return Elementwise(pressure, [&](double p) {
        const double pascal = p_unit.ToBase(p);
        if (!(kSaturationLowestPressurePa <= pascal && pascal <= kSaturationHighestPressurePa))
            return kNaN;
        return *TemperatureFromKelvin(t_unit.key, SaturationTemperature(pascal, m));
    });
}

py::array_t<double> Convert(
    const Array& value, const std::string& quantity, const std::string& from_unit, const std::string& to_unit)
{
    const ConverterQuantity* found = nullptr;
    std::string known;
    for (const ConverterQuantity& q : ConverterQuantities()) {
        known += (known.empty() ? "\"" : ", \"") + std::string(q.name) + "\"";
        if (q.name == quantity)
            found = &q;
    }
    if (!found)
        throw py::value_error("quantity: unknown quantity \"" + quantity + "\"; one of " + known);
    const auto check = [&](const std::string& unit, const char* argument) {
        if (std::find(found->units.begin(), found->units.end(), unit) == found->units.end())
            throw py::value_error(std::string(argument) + ": \"" + unit + "\" is no unit of " + quantity);
    };
    check(from_unit, "from_unit");
    check(to_unit, "to_unit");
    return Elementwise(value, [&](double x) {
        const double base = *IntoBaseUnit(from_unit, x);
        const double result = *OutOfBaseUnit(to_unit, base);
        return std::isfinite(result) ? result : kNaN;
    });
}

// ---- Air-handling processes --------------------------------------------------------------------------
// The processes of "humidora-cli process": points typed as the main window's inputs in the units of the
// system, the process run by src/calc, and the answer in the shape of "process --json".

// The shortest text of a number, as a user would type it into a box.
std::string Typed(double value)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

py::dict PointDict(const std::string& name, const PointView& view, std::optional<double> flow_kg_s,
    std::optional<AirState> exact)
{
    const PointFigures figures = FiguresOf(name, view, flow_kg_s, exact);
    py::dict texts;
    for (const auto& [key, text] : figures.texts)
        texts[py::str(std::string(key))] = text;
    const auto number = [&](double value) {
        return figures.state ? py::object(py::float_(value)) : py::object(py::none());
    };
    py::dict point;
    point["name"] = figures.name;
    point["T_K"] = number(figures.state ? figures.state->T_K : 0);
    point["W"] = number(figures.state ? figures.state->W : 0);
    point["h_kJ_per_kg"] = number(figures.enthalpy_kJ_kg);
    point["flow_kg_per_s"] = flow_kg_s ? py::object(py::float_(*flow_kg_s)) : py::object(py::none());
    point["texts"] = texts;
    return point;
}

double PointNumber(const py::handle& value, const std::string& where)
{
    if (py::isinstance<py::bool_>(value)
        || !(py::isinstance<py::float_>(value) || py::isinstance<py::int_>(value)))
        throw py::type_error(where + ": expected a number");
    return value.cast<double>();
}

py::dict Process(const std::string& kind_key, const py::list& point_mappings, const py::dict& parameters,
    const py::object& name, const py::object& pressure, const py::object& altitude, const std::string& method,
    const std::string& system, const py::object& pressure_unit, const py::object& altitude_unit,
    const py::object& flow_unit)
{
    const std::optional<ProcessKind> kind = FindProcessKind(kind_key);
    if (!kind)
        throw py::value_error("kind: unknown process \"" + kind_key + "\"");
    AmbientInputs base;
    base.iapws = MethodOf(method) == kIapws;
    if (system != "metric" && system != "british")
        throw py::value_error("system: unknown system \"" + system + "\"; one of \"metric\", \"british\"");
    const bool british = system == "british";
    base.system = british ? UnitSystem::British : UnitSystem::Metric;
    base.selections = british ? kBritishSelection : kMetricSelection;
    base.pressure = british ? kBritishPressureText : kMetricPressureText;
    const AmbientControls lists;
    const auto select = [&](const py::object& key, const UnitList& list, int index, const char* argument) {
        if (key.is_none())
            return;
        const int item = list.IndexOf(key.cast<std::string>());
        if (item < 0)
            throw py::value_error(
                std::string(argument) + ": unknown unit \"" + key.cast<std::string>() + "\"");
        if (item != base.selections[static_cast<std::size_t>(index)])
            base.system = UnitSystem::Customized;
        base.selections[static_cast<std::size_t>(index)] = item;
    };
    select(pressure_unit, lists.Combo2, 1, "pressure_unit");
    select(altitude_unit, lists.Combo10, 9, "altitude_unit");
    if (!pressure.is_none() && !altitude.is_none())
        throw py::value_error("pressure, altitude: give the pressure or the altitude, not both");
    if (!pressure.is_none())
        base.pressure = Typed(PointNumber(pressure, "pressure"));
    if (!altitude.is_none()) {
        base.altitude_given = true;
        base.altitude = Typed(PointNumber(altitude, "altitude"));
    }
    const std::string flow_key
        = flow_unit.is_none() ? std::string(DefaultFlowUnit(base.system)) : flow_unit.cast<std::string>();
    const std::optional<FlowUnit> unit = FindFlowUnit(flow_key);
    if (!unit)
        throw py::value_error("flow_unit: unknown flow unit \"" + flow_key + "\"");

    ProcessSpec recipe;
    recipe.kind = *kind;
    std::vector<std::string> given;
    for (const auto& [key, value] : parameters) {
        const std::string option = key.cast<std::string>();
        const ProcessParameter* parameter = FindParameter(option);
        if (parameter == nullptr || !parameter->TakenBy(*kind))
            throw py::type_error(kind_key + ": unexpected parameter " + option);
        recipe.*(parameter->field) = ParameterInSi(*parameter, PointNumber(value, option), base);
        given.push_back(option);
    }
    if (!MatchingForm(*kind, given)) {
        std::string forms;
        for (const ProcessForm& form : kProcessForms) {
            if (form.kind != *kind)
                continue;
            std::string names;
            for (const std::string_view required : form.required)
                names += (names.empty() ? "" : " and ") + std::string(required);
            forms += (forms.empty() ? "" : ", or ") + names;
        }
        throw py::type_error(kind_key + ": takes " + forms);
    }

    std::vector<StatePoint> points;
    for (const py::handle& mapping : point_mappings) {
        if (!py::isinstance<py::dict>(mapping))
            throw py::type_error("points: expected mappings of name, flow, temperature and one humidity key");
        StatePoint point;
        point.name = DefaultPointName(static_cast<int>(points.size()));
        point.inputs = base;
        point.inputs.humidity_option = 2;
        point.inputs.humidity = "50";
        point.inputs.temperature = british ? "77" : "25";
        std::optional<double> flow;
        bool humidity_given = false;
        for (const auto& [key, value] : mapping.cast<py::dict>()) {
            const std::string k = key.cast<std::string>();
            if (k == "name") {
                point.name = value.cast<std::string>();
            } else if (k == "temperature") {
                point.inputs.temperature = Typed(PointNumber(value, "points: temperature"));
            } else if (k == "flow") {
                flow = PointNumber(value, "points: flow");
            } else {
                const auto humidity = std::find_if(kHumidityQuantities.begin(), kHumidityQuantities.end(),
                    [&](const Quantity* quantity) { return quantity->key == k; });
                if (humidity == kHumidityQuantities.end())
                    throw py::value_error("points: unknown key \"" + k + "\"");
                if (humidity_given)
                    throw py::value_error("points: give at most one humidity key per point");
                humidity_given = true;
                point.inputs.humidity_option = (*humidity)->optionNumber();
                point.inputs.humidity = Typed(PointNumber(value, "points: " + k));
            }
        }
        if (flow) {
            const PointView view = ViewPoint(point.inputs);
            if (view.ok())
                point.flow_kg_s = FlowFromUnit(*flow, *unit, view.specific_volume);
        }
        points.push_back(std::move(point));
    }
    if (PointCountRefusal(*kind, points.size()))
        throw py::value_error("points: " + kind_key + " takes " + std::string(KindInfo(*kind).points_text));
    for (const StatePoint& p : points)
        recipe.points.push_back(p.name);
    recipe.result_name
        = name.is_none() ? DefaultPointName(static_cast<int>(points.size())) : name.cast<std::string>();
    if (*kind == ProcessKind::Recovery)
        recipe.exhaust_result_name = DefaultPointName(static_cast<int>(points.size()) + 1);

    ProcessOutcome outcome;
    {
        py::gil_scoped_release unlocked;
        outcome = RunProcess(recipe, points);
    }
    const bool ok = outcome.refusal.empty();
    py::list entering;
    for (std::size_t i = 0; i < outcome.entering.size(); ++i)
        entering.append(PointDict(points[i].name, outcome.entering[i], points[i].flow_kg_s, std::nullopt));
    py::dict loads;
    if (ok) {
        for (const auto& [key, value] : LoadFigures(outcome.result))
            loads[py::str(std::string(key))] = value;
    }
    py::dict answer;
    answer["points"] = entering;
    answer["result"] = ok ? py::object(PointDict(recipe.result_name, *outcome.leaving,
                           outcome.result.leaving.flow_kg_s, outcome.result.leaving.state))
                          : py::object(py::none());
    answer["loads"] = loads;
    if (*kind == ProcessKind::Recovery)
        answer["exhaust_result"] = ok && outcome.exhaust_leaving
            ? py::object(PointDict(recipe.exhaust_result_name, *outcome.exhaust_leaving,
                outcome.result.exhaust_leaving->flow_kg_s, outcome.result.exhaust_leaving->state))
            : py::object(py::none());
    py::dict refusal;
    if (!ok) {
        for (const auto& [key, text] :
            RefusalFigures(outcome.why.value_or(RuleRefusal(outcome.refusal)), ProcessName(recipe)))
            refusal[py::str(std::string(key))] = text;
    }
    answer["refusal"] = ok ? py::object(py::none()) : py::object(refusal);
    return answer;
}

} // namespace
} // namespace humidora::python

PYBIND11_MODULE(_humidora, m)
{
    using namespace humidora;
    using namespace humidora::python;
    m.doc() = "Compiled core of the humidora package; use the functions of humidora itself.";
    m.def("_states", &States);
    m.def("_saturation_pressure", &SaturationPressureOf);
    m.def("_saturation_temperature", &SaturationTemperatureOf);
    m.def("_convert", &Convert);
    m.def("_process", &Process);
    py::list quantities, units, lists;
    for (const Quantity& quantity : kQuantities) {
        quantities.append(std::string(quantity.key));
        py::list keys;
        for (const UnitItem& unit : quantity.units)
            keys.append(std::string(unit.key));
        units.append(keys);
        lists.append(quantity.listNumber());
    }
    m.attr("_quantities") = quantities;
    m.attr("_units") = units;
    m.attr("_lists") = lists;
    py::list metric, british;
    for (std::size_t i = 0; i < 16; ++i) {
        metric.append(kMetricSelection[i]);
        british.append(kBritishSelection[i]);
    }
    m.attr("_metric") = metric;
    m.attr("_british") = british;
    // The short keys the command line takes for unit texts that are awkward to type ("g/kg", "inHg").
    py::dict aliases;
    for (const UnitAlias& alias : kUnitAliases)
        aliases[py::str(std::string(alias.alias))] = std::string(alias.key);
    m.attr("_aliases") = aliases;
}
