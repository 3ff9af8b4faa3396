#include "cli/point_output.h"

#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QJsonArray>

namespace humidora::cli {
namespace {

const std::string& Item(const UnitList AmbientControls::*list, const AmbientInputs& inputs, int index)
{
    static const AmbientControls lists;
    return (lists.*list)
        .items.at(static_cast<std::size_t>(inputs.selections.at(static_cast<std::size_t>(index))));
}

} // namespace

void PrintRows(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<int> widths(header.size(), 0);
    const auto widen = [&](const std::vector<std::string>& row) {
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], static_cast<int>(QString::fromStdString(row[i]).size()));
    };
    widen(header);
    for (const auto& row : rows)
        widen(row);
    const auto print = [&](const std::vector<std::string>& row) {
        QString line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += QString::fromStdString(row[i]).leftJustified(widths[i] + 2);
        PrintOut(line.trimmed());
    };
    print(header);
    for (const auto& row : rows)
        print(row);
}

std::optional<double> ReadNumber(const QString& text)
{
    const std::string value = text.toStdString();
    if (!IsNumberText(value))
        return std::nullopt;
    return NumberValue(value);
}

std::optional<int> ReadPointContext(const QCommandLineParser& parser, const PointOptions& options,
    const QString& command, PointContext& context)
{
    AmbientInputs& base = context.base;
    bool british = false;
    if (const std::optional<int> status = options.readMethodAndSystem(parser, command, base.iapws, british))
        return status;
    base.system = british ? UnitSystem::British : UnitSystem::Metric;
    base.selections = british ? kBritishSelection : kMetricSelection;
    base.pressure = british ? kBritishPressureText : kMetricPressureText;
    if (const std::optional<int> status = options.checkPressureOrAltitude(parser, command))
        return status;
    const AmbientControls lists;
    const auto select
        = [&](const QCommandLineOption& option, const UnitList& list, int index) -> std::optional<int> {
        if (!parser.isSet(option))
            return std::nullopt;
        const int item = UnitIndex(list.items, parser.value(option));
        if (item < 0)
            return UnknownKey(command, option.names().first().replace('-', ' '), parser.value(option),
                UnitKeys(list.items));
        if (item != base.selections[static_cast<std::size_t>(index)])
            base.system = UnitSystem::Customized;
        base.selections[static_cast<std::size_t>(index)] = item;
        return std::nullopt;
    };
    if (auto status = select(options.pressure_unit, lists.Combo2, 1))
        return status;
    if (auto status = select(options.altitude_unit, lists.Combo10, 9))
        return status;
    if (parser.isSet(options.pressure))
        base.pressure = parser.value(options.pressure).toStdString();
    if (parser.isSet(options.altitude)) {
        base.altitude_given = true;
        base.altitude = parser.value(options.altitude).toStdString();
    }
    const QString flow = parser.isSet(options.flow_unit)
        ? parser.value(options.flow_unit)
        : FromModel(std::string(DefaultFlowUnit(base.system)));
    const std::optional<FlowUnit> unit = FindFlowUnit(flow.toStdString());
    if (!unit) {
        QStringList keys;
        for (const FlowUnit& u : kFlowUnits)
            keys << QString::fromUtf8(u.key.data(), static_cast<qsizetype>(u.key.size()));
        return UnknownKey(command, "flow unit", flow, keys);
    }
    context.flow_unit = *unit;
    return std::nullopt;
}

std::optional<int> ParsePointSpec(
    const QString& recipe, const PointContext& context, int index, const QString& command, StatePoint& point)
{
    point.name = DefaultPointName(index);
    point.inputs = context.base;
    point.inputs.humidity_option = 2;
    point.inputs.humidity = "50";
    point.inputs.temperature = "25";
    if (context.base.system == UnitSystem::British)
        point.inputs.temperature = "77";
    std::optional<double> flow;
    bool humidity_given = false;
    const auto usage = [&](const QString& why) {
        PrintError(command + ": --point \"" + recipe + "\": " + why);
        return kUsageError;
    };
    for (const QString& pair : recipe.split(',')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            return usage("\"" + pair + "\" is not key=value");
        const QString key = pair.left(equals).trimmed();
        const QString value = pair.mid(equals + 1);
        if (key == "name") {
            point.name = value.toStdString();
            continue;
        }
        if (key == "temperature") {
            point.inputs.temperature = value.toStdString();
            continue;
        }
        if (key == "flow") {
            flow = ReadNumber(value);
            if (!flow)
                return usage("flow \"" + value + "\" is not a number");
            continue;
        }
        const auto humidity = std::find_if(kHumidityQuantities.begin(), kHumidityQuantities.end(),
            [&](const Quantity* quantity) { return key == FromModel(std::string(quantity->command_name)); });
        if (humidity == kHumidityQuantities.end())
            return usage("unknown key \"" + key + "\"");
        if (humidity_given)
            return usage("give at most one humidity key");
        humidity_given = true;
        point.inputs.humidity_option = (*humidity)->optionNumber();
        point.inputs.humidity = value.toStdString();
    }
    if (flow) {
        // A volume flow is taken at the point's own state; a refused point keeps none.
        const PointView view = ViewPoint(point.inputs);
        if (view.ok())
            point.flow_kg_s = FlowFromUnit(*flow, context.flow_unit, view.specific_volume);
    }
    return std::nullopt;
}

QJsonObject PointJson(std::string_view name, const PointView& view, std::optional<double> flow_kg_s,
    const std::optional<AirState>& exact)
{
    const PointFigures figures = FiguresOf(name, view, flow_kg_s, exact);
    QJsonObject texts;
    for (const auto& [key, text] : figures.texts)
        texts[FromModel(std::string(key))] = FromModel(text);
    const std::optional<AirState>& state = figures.state;
    return {
        { "name", FromModel(figures.name) },
        { "T_K", state ? QJsonValue(state->T_K) : QJsonValue() },
        { "W", state ? QJsonValue(state->W) : QJsonValue() },
        { "h_kJ_per_kg", state ? QJsonValue(figures.enthalpy_kJ_kg) : QJsonValue() },
        { "flow_kg_per_s", figures.flow_kg_s ? QJsonValue(*figures.flow_kg_s) : QJsonValue() },
        { "texts", texts },
    };
}

QJsonObject ProcessJson(
    const ProcessSpec& recipe, const std::vector<StatePoint>& points, const ProcessOutcome& outcome)
{
    const bool ok = outcome.refusal.empty();
    QJsonArray entering;
    for (std::size_t i = 0; i < outcome.entering.size(); ++i)
        entering.append(PointJson(points[i].name, outcome.entering[i], points[i].flow_kg_s));
    QJsonObject loads;
    if (ok) {
        for (const auto& [key, value] : LoadFigures(outcome.result))
            loads[FromModel(std::string(key))] = value;
    }
    QJsonObject refusal;
    if (!ok) {
        for (const auto& [key, text] :
            RefusalFigures(outcome.why.value_or(RuleRefusal(outcome.refusal)), ProcessName(recipe)))
            refusal[FromModel(std::string(key))] = FromModel(text);
    }
    QJsonObject json {
        { "points", entering },
        { "result",
            ok ? QJsonValue(PointJson(recipe.result_name, *outcome.leaving, outcome.result.leaving.flow_kg_s,
                outcome.result.leaving.state))
               : QJsonValue() },
        { "loads", loads },
        { "refusal", ok ? QJsonValue() : QJsonValue(refusal) },
    };
    if (recipe.kind == ProcessKind::Recovery) {
        // The leaving exhaust air beside the leaving outdoor air.
        json["exhaust_result"] = ok && outcome.exhaust_leaving
            ? QJsonValue(PointJson(recipe.exhaust_result_name, *outcome.exhaust_leaving,
                outcome.result.exhaust_leaving->flow_kg_s, outcome.result.exhaust_leaving->state))
            : QJsonValue();
    }
    return json;
}

bool PrintProcess(const ProcessSpec& recipe, const std::vector<StatePoint>& points,
    const PointContext& context, bool json, const QString& command)
{
    const ProcessOutcome outcome = RunProcess(recipe, points);
    const bool ok = outcome.refusal.empty();
    if (json) {
        PrintJson(ProcessJson(recipe, points, outcome));
    } else {
        const AmbientControls& shown
            = outcome.entering.empty() ? AmbientControls() : outcome.entering.front().controls;
        std::vector<std::string> header;
        const std::vector<std::string> units = PointColumnUnits(shown, context.flow_unit.key);
        for (std::size_t i = 0; i < kPointColumns.size(); ++i)
            header.push_back(Heading(kPointColumns[i].caption, units[i]));
        std::vector<std::vector<std::string>> rows;
        for (std::size_t i = 0; i < outcome.entering.size(); ++i)
            rows.push_back(
                PointRowTexts(points[i].name, outcome.entering[i], points[i].flow_kg_s, context.flow_unit));
        if (ok)
            rows.push_back(PointRowTexts(
                recipe.result_name, *outcome.leaving, outcome.result.leaving.flow_kg_s, context.flow_unit));
        if (ok && outcome.exhaust_leaving)
            rows.push_back(PointRowTexts(recipe.exhaust_result_name, *outcome.exhaust_leaving,
                outcome.result.exhaust_leaving->flow_kg_s, context.flow_unit));
        PrintRows(header, rows);
        if (ok) {
            PrintOut(QString());
            const std::string& temperature_unit = Item(&AmbientControls::Combo1, context.base, 0);
            for (const LoadLine& line :
                LoadLines(outcome.result, recipe.kind, context.base.system, temperature_unit))
                PrintOut(((FromModel(line.caption) + ":").leftJustified(24) + FromModel(line.text) + " "
                    + FromModel(line.unit))
                             .trimmed());
        }
    }
    if (!ok)
        PrintError(command + ": " + FromModel(outcome.refusal));
    return ok;
}

} // namespace humidora::cli
