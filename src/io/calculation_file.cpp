#include "io/calculation_file.h"

#include "calc/document/product.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "chart/data_layer.h"
#include "io/save_file.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringList>
#include <cmath>
#include <tuple>
#include <vector>

namespace humidora {
namespace {

constexpr std::string_view kFormulationIapws = "IAPWS";
constexpr std::string_view kFormulationHylandWexler = "Hyland-Wexler";
constexpr std::array<std::string_view, 3> kSystemNames = { "Metric", "British", "Customized" };
constexpr std::string_view kPressureGiven = "pressure";
constexpr std::string_view kAltitudeGiven = "altitude";

const QStringList kTopMembers = { "format", "version", "saved_by", "formulation", "unit_system", "units",
    "pressure_given", "humidity_given", "inputs", "shown_results" };
/// Members that version 2 adds to the top level; each is written, and required, from that version on.
const QStringList kVersion2Members = { "points", "processes", "properties" };
const QStringList kInputMembers = { "temperature", "pressure", "altitude", "humidity" };
const QStringList kWindowInputMembers
    = { "formulation", "unit_system", "units", "pressure_given", "humidity_given", "inputs" };
const QStringList kPropertyMembers = { "project", "engineer", "notes" };
/// The measurement uncertainty: an optional top-level member of every version, written only when the
/// calculation's settings differ from the defaults, so that a file without it reads as without
/// uncertainty.
const QString kUncertaintyMember = QStringLiteral("uncertainty");
const QStringList kUncertaintyMembers
    = { "enabled", "temperature", "humidity", "pressure", "form", "form_coverage", "coverage" };
constexpr int kFirstVersionWithPoints = 2;

QString Quoted(const QString& text)
{
    return QStringLiteral("\"%1\"").arg(text);
}

QString Count(double value)
{
    return QString::fromStdString(PlainNumberText(value));
}

/// The control model as created: the items of every list, to check selections against.
const AmbientControls& Blank()
{
    static const AmbientControls controls;
    return controls;
}

/// Index of a quantity's unit list in AmbientInputs::selections.
std::size_t ListIndex(const Quantity& quantity)
{
    return static_cast<std::size_t>(quantity.listNumber() - 1);
}

bool IsHumidityOption(int number)
{
    const Quantity* quantity = FindQuantityByOption(number);
    return quantity != nullptr && quantity->isHumidity();
}

QStringList HumidityKeys()
{
    QStringList keys;
    for (const Quantity* quantity : kHumidityQuantities)
        keys << QString::fromUtf8(quantity->key);
    return keys;
}

QString ListedChoices(const QStringList& choices)
{
    QStringList quoted;
    for (const QString& choice : choices)
        quoted << Quoted(choice);
    return quoted.join(QStringLiteral(", "));
}

/// Which control characters a text may hold beside the printable ones.
enum class Breaks
{
    Tabs,         ///< one line: a tab at most
    TabsAndLines, ///< free text: tabs and line breaks
};

QString TextProblem(const QString& name, const std::string& text, int limit = kInputTextLimit,
    Breaks breaks = Breaks::Tabs, const char* holder = "a box holds")
{
    const QString value = QString::fromStdString(text);
    if (value.toStdString() != text)
        return QStringLiteral("the %1 text is not valid UTF-8").arg(name);
    if (value.size() > limit) {
        return QStringLiteral("the %1 text is %2 characters long; %3 at most %4")
            .arg(name, Count(static_cast<double>(value.size())), QLatin1String(holder), Count(limit));
    }
    for (const QChar c : value) {
        const bool allowed = c == QLatin1Char('\t')
            || (breaks == Breaks::TabsAndLines && (c == QLatin1Char('\n') || c == QLatin1Char('\r')));
        if ((c.unicode() < 0x20 && !allowed) || c.unicode() == 0x7f) {
            return QStringLiteral("the %1 text contains %2")
                .arg(name,
                    breaks == Breaks::Tabs ? QStringLiteral("a line break or another control character")
                                           : QStringLiteral("a control character"));
        }
    }
    return {};
}

/// A point's name: one line, not empty.
QString NameProblem(const QString& what, const std::string& name)
{
    if (name.empty())
        return QStringLiteral("%1 has an empty name").arg(what);
    return TextProblem(what + QStringLiteral(" name"), name, kPointNameLimit, Breaks::Tabs, "a name has");
}

/// The member of a process parameter: its key with '_' for '-', in SI (a temperature in K, a load in kW,
/// a flow in kg/s, each named by its unit; relative humidities and humidity ratios as fractions).
QString ParameterMember(const ProcessParameter& parameter)
{
    return QString::fromStdString(parameter.Member());
}

/// Strict reading of one object: each accessor records the first problem met; later calls return
/// harmless defaults, so the caller checks problem() once at the end of a group.
class MemberReader
{
public:
    MemberReader(const QJsonObject& object, QString where)
        : object_(object)
        , where_(std::move(where))
    {
    }

    const QString& problem() const { return problem_; }
    bool ok() const { return problem_.isEmpty(); }
    void fail(const QString& problem)
    {
        if (problem_.isEmpty())
            problem_ = problem;
    }

    void refuseUnknown(const QStringList& known)
    {
        for (const QString& key : object_.keys()) {
            if (!known.contains(key))
                fail(QStringLiteral("%1 has an unknown member %2").arg(where_, Quoted(key)));
        }
    }

    QJsonValue member(const QString& key)
    {
        if (!object_.contains(key)) {
            fail(QStringLiteral("%1 has no %2 member").arg(where_, Quoted(key)));
            return {};
        }
        return object_.value(key);
    }

    QString text(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && !value.isString())
            fail(QStringLiteral("the %1 member of %2 is not a text").arg(Quoted(key), where_));
        return ok() ? value.toString() : QString();
    }

    QJsonObject object(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && !value.isObject())
            fail(QStringLiteral("the %1 member of %2 is not an object").arg(Quoted(key), where_));
        return ok() ? value.toObject() : QJsonObject();
    }

    QJsonArray array(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && !value.isArray())
            fail(QStringLiteral("the %1 member of %2 is not a list").arg(Quoted(key), where_));
        return ok() ? value.toArray() : QJsonArray();
    }

    /// A finite number.
    double number(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && (!value.isDouble() || !std::isfinite(value.toDouble())))
            fail(QStringLiteral("the %1 member of %2 is not a finite number").arg(Quoted(key), where_));
        return ok() ? value.toDouble() : 0;
    }

    /// A text that must be one of `choices`; returns its index, or -1.
    int choice(const QString& key, const QStringList& choices)
    {
        const QString value = text(key);
        if (!ok())
            return -1;
        const int index = static_cast<int>(choices.indexOf(value));
        if (index < 0) {
            fail(QStringLiteral("the %1 member is %2; it must be one of %3")
                     .arg(Quoted(key), Quoted(value), ListedChoices(choices)));
        }
        return index;
    }

private:
    const QJsonObject& object_;
    QString where_;
    QString problem_;
};

QString ParseErrorText(const QJsonParseError& error, qsizetype size)
{
    QString text = QStringLiteral("the file is not valid JSON (%1 at byte %2)")
                       .arg(error.errorString(), Count(static_cast<double>(error.offset)));
    if (error.offset >= size - 1)
        text += QStringLiteral("; it ends too early, perhaps cut off while copying");
    return text;
}

} // namespace

QJsonObject ShownStateJson(const AmbientControls& shown)
{
    QJsonObject quantities;
    for (const Quantity& quantity : kQuantities) {
        const ValueBox& box = shown.*quantity.box;
        QJsonObject entry;
        entry.insert("text", QString::fromStdString(box.text));
        entry.insert("unit", QString::fromStdString((shown.*quantity.list).text()));
        if (quantity.minimum != nullptr) {
            entry.insert("min", QString::fromStdString((shown.*quantity.minimum).caption));
            entry.insert("max", QString::fromStdString((shown.*quantity.maximum).caption));
        }
        const bool input = !box.locked;
        entry.insert("role", box.background == Background::Red ? "refused" : input ? "input" : "computed");
        quantities.insert(QString::fromUtf8(quantity.key), entry);
    }
    QJsonArray listing;
    for (const std::string& line : shown.List1.lines)
        listing.append(QString::fromStdString(line));
    QJsonObject results;
    results.insert("quantities", quantities);
    results.insert("listing", listing);
    return results;
}

QString InputsProblem(const AmbientInputs& inputs)
{
    for (const Quantity& quantity : kQuantities) {
        const std::size_t list = ListIndex(quantity);
        const int selected = inputs.selections[list];
        const int size = static_cast<int>((Blank().*quantity.list).items.size());
        if (selected < 0 || selected >= size) {
            return QStringLiteral("the unit list of %1 has no item %2")
                .arg(QString::fromUtf8(quantity.key), Count(static_cast<double>(selected)));
        }
    }
    if (!IsHumidityOption(inputs.humidity_option)) {
        return QStringLiteral("option %1 is not a humidity parameter")
            .arg(Count(static_cast<double>(inputs.humidity_option)));
    }
    const std::pair<const char*, const std::string*> texts[]
        = { { "temperature", &inputs.temperature }, { "pressure", &inputs.pressure },
              { "altitude", &inputs.altitude }, { "humidity", &inputs.humidity } };
    for (const auto& [name, text] : texts) {
        const QString problem = TextProblem(QLatin1String(name), *text);
        if (!problem.isEmpty())
            return problem;
    }
    if (inputs.system != UnitSystem::Customized) {
        const bool metric = inputs.system == UnitSystem::Metric;
        const std::array<int, 16>& reference = metric ? kMetricSelection : kBritishSelection;
        for (const Quantity& quantity : kQuantities) {
            const std::size_t list = ListIndex(quantity);
            if (inputs.selections[list] == reference[list])
                continue;
            const UnitList& items = Blank().*quantity.list;
            return QStringLiteral("the unit system is %1, but the unit of %2 is %3 instead of %4")
                .arg(Quoted(QString::fromUtf8(kSystemNames[metric ? 0 : 1])), QString::fromUtf8(quantity.key),
                    Quoted(QString::fromStdString(
                        items.items[static_cast<std::size_t>(inputs.selections[list])])),
                    Quoted(QString::fromStdString(items.items[static_cast<std::size_t>(reference[list])])));
        }
    }
    return {};
}

QString CalculationProblem(const Calculation& calculation)
{
    QString problem = InputsProblem(calculation.inputs);
    if (!problem.isEmpty())
        return problem;
    if (const std::optional<std::string> uncertainty = UncertaintySettingsProblem(calculation.uncertainty))
        return QString::fromStdString(*uncertainty);

    const std::vector<StatePoint>& points = calculation.points;
    if (points.size() > kPointLimit) {
        return QStringLiteral("the calculation has %1 points; it may hold at most %2")
            .arg(Count(static_cast<double>(points.size())), Count(kPointLimit));
    }
    QSet<QString> names;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StatePoint& point = points[i];
        const QString what = QStringLiteral("point %1").arg(i + 1);
        problem = NameProblem(what, point.name);
        if (problem.isEmpty() && names.contains(QString::fromStdString(point.name)))
            problem
                = QStringLiteral("two points are named %1").arg(Quoted(QString::fromStdString(point.name)));
        if (problem.isEmpty() && point.flow_kg_s
            && !(std::isfinite(*point.flow_kg_s) && *point.flow_kg_s > 0))
            problem = QStringLiteral("the flow of %1 is not a positive number").arg(what);
        if (problem.isEmpty()) {
            problem = InputsProblem(point.inputs);
            if (!problem.isEmpty())
                problem = what + QStringLiteral(": ") + problem;
        }
        if (!problem.isEmpty())
            return problem;
        names.insert(QString::fromStdString(point.name));
    }

    const std::vector<ProcessSpec>& processes = calculation.processes;
    if (processes.size() > kProcessLimit) {
        return QStringLiteral("the calculation has %1 processes; it may hold at most %2")
            .arg(Count(static_cast<double>(processes.size())), Count(kProcessLimit));
    }
    for (std::size_t i = 0; i < processes.size(); ++i) {
        const ProcessSpec& process = processes[i];
        const QString what = QStringLiteral("process %1").arg(i + 1);
        const QString kind = Quoted(QString::fromUtf8(ProcessKindKey(process.kind)));
        if (PointCountRefusal(process.kind, process.points.size()) || process.points.size() > kPointLimit) {
            return QStringLiteral("%1 (%2) takes %3, not %4")
                .arg(what, kind, QString::fromUtf8(KindInfo(process.kind).points_text),
                    Count(static_cast<double>(process.points.size())));
        }
        for (const std::string& name : process.points) {
            problem = NameProblem(what + QStringLiteral(": a point"), name);
            if (!problem.isEmpty())
                return problem;
        }
        problem = NameProblem(what + QStringLiteral(": the leaving point"), process.result_name);
        if (!problem.isEmpty())
            return problem;
        // Heat recovery names its leaving exhaust point too; no other kind has one.
        if (process.kind == ProcessKind::Recovery) {
            problem = NameProblem(
                what + QStringLiteral(": the leaving exhaust point"), process.exhaust_result_name);
            if (!problem.isEmpty())
                return problem;
            if (process.exhaust_result_name == process.result_name)
                return what + QStringLiteral(": the leaving points have one name");
        } else if (!process.exhaust_result_name.empty()) {
            return QStringLiteral("%1 (%2) has no leaving exhaust point").arg(what, kind);
        }
        if (const std::optional<ProcessRefusal> refusal = ParametersRefusal(process, calculation.inputs))
            return QStringLiteral("%1 (%2): %3").arg(what, kind, QString::fromStdString(refusal->sentence));
    }

    const ProjectProperties& properties = calculation.properties;
    const std::tuple<const char*, const std::string*, Breaks> texts[] = {
        { "project", &properties.project, Breaks::Tabs },
        { "engineer", &properties.engineer, Breaks::Tabs },
        { "notes", &properties.notes, Breaks::TabsAndLines },
    };
    for (const auto& [name, text, breaks] : texts) {
        problem = TextProblem(QLatin1String(name), *text,
            breaks == Breaks::Tabs ? kPropertyTextLimit : kNotesLimit, breaks, "a calculation keeps");
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

namespace {

/// The members of the main window's inputs (also those of every state point).
void InsertInputs(QJsonObject& object, const AmbientInputs& inputs)
{
    QJsonObject units;
    for (const Quantity& quantity : kQuantities) {
        const UnitList& list = Blank().*quantity.list;
        const int selected = inputs.selections[ListIndex(quantity)];
        const bool valid = selected >= 0 && selected < static_cast<int>(list.items.size());
        units.insert(QString::fromUtf8(quantity.key),
            valid ? QString::fromStdString(list.items[static_cast<std::size_t>(selected)]) : QString());
    }
    QJsonObject texts;
    texts.insert("temperature", QString::fromStdString(inputs.temperature));
    texts.insert("pressure", QString::fromStdString(inputs.pressure));
    texts.insert("altitude", QString::fromStdString(inputs.altitude));
    texts.insert("humidity", QString::fromStdString(inputs.humidity));

    const Quantity* humidity = FindQuantityByOption(inputs.humidity_option);
    object.insert(
        "formulation", QString::fromUtf8(inputs.iapws ? kFormulationIapws : kFormulationHylandWexler));
    object.insert("unit_system", QString::fromUtf8(kSystemNames[static_cast<std::size_t>(inputs.system)]));
    object.insert("units", units);
    object.insert(
        "pressure_given", QString::fromUtf8(inputs.altitude_given ? kAltitudeGiven : kPressureGiven));
    object.insert("humidity_given", humidity != nullptr ? QString::fromUtf8(humidity->key) : QString());
    object.insert("inputs", texts);
}

QJsonArray PointsJson(const std::vector<StatePoint>& points)
{
    QJsonArray array;
    for (const StatePoint& point : points) {
        QJsonObject object;
        object.insert("name", QString::fromStdString(point.name));
        if (point.flow_kg_s)
            object.insert("flow_kg_per_s", *point.flow_kg_s);
        InsertInputs(object, point.inputs);
        array.append(object);
    }
    return array;
}

QJsonArray ProcessesJson(const std::vector<ProcessSpec>& processes)
{
    QJsonArray array;
    for (const ProcessSpec& process : processes) {
        QJsonObject object;
        object.insert("kind", QString::fromUtf8(ProcessKindKey(process.kind)));
        QJsonArray names;
        for (const std::string& name : process.points)
            names.append(QString::fromStdString(name));
        object.insert("points", names);
        object.insert("result", QString::fromStdString(process.result_name));
        if (process.kind == ProcessKind::Recovery)
            object.insert("exhaust_result", QString::fromStdString(process.exhaust_result_name));
        for (const ProcessParameter& parameter : kProcessParameters) {
            if (const std::optional<double>& value = process.*(parameter.field))
                object.insert(ParameterMember(parameter), *value);
        }
        array.append(object);
    }
    return array;
}

/// Reads the members of a window's inputs from `reader`'s object into `inputs`; returns the problem.
QString ReadInputs(MemberReader& reader, AmbientInputs& inputs)
{
    const int formulation = reader.choice(
        "formulation", { QString::fromUtf8(kFormulationIapws), QString::fromUtf8(kFormulationHylandWexler) });
    const int system = reader.choice("unit_system",
        { QString::fromUtf8(kSystemNames[0]), QString::fromUtf8(kSystemNames[1]),
            QString::fromUtf8(kSystemNames[2]) });
    const int pressure_given = reader.choice(
        "pressure_given", { QString::fromUtf8(kPressureGiven), QString::fromUtf8(kAltitudeGiven) });
    const int humidity = reader.choice("humidity_given", HumidityKeys());
    const QJsonObject units = reader.object("units");
    const QJsonObject texts = reader.object("inputs");
    if (!reader.ok())
        return reader.problem();
    inputs.iapws = formulation == 0;
    inputs.system = static_cast<UnitSystem>(system);
    inputs.altitude_given = pressure_given == 1;
    inputs.humidity_option = FindQuantity(HumidityKeys().at(humidity).toStdString())->optionNumber();

    MemberReader unit_reader(units, QStringLiteral("\"units\""));
    QStringList quantity_keys;
    for (const Quantity& quantity : kQuantities)
        quantity_keys << QString::fromUtf8(quantity.key);
    unit_reader.refuseUnknown(quantity_keys);
    for (const Quantity& quantity : kQuantities) {
        QStringList items;
        for (const std::string& item : (Blank().*quantity.list).items)
            items << QString::fromStdString(item);
        const QString key = QString::fromUtf8(quantity.key);
        const QString unit = unit_reader.text(key);
        if (!unit_reader.ok())
            break;
        const int index = static_cast<int>(items.indexOf(unit));
        if (index < 0) {
            unit_reader.fail(QStringLiteral("the unit %1 of %2 is not a unit of that list (%3)")
                                 .arg(Quoted(unit), key, ListedChoices(items)));
            break;
        }
        inputs.selections[ListIndex(quantity)] = index;
    }
    if (!unit_reader.ok())
        return unit_reader.problem();

    MemberReader text_reader(texts, QStringLiteral("\"inputs\""));
    text_reader.refuseUnknown(kInputMembers);
    inputs.temperature = text_reader.text("temperature").toStdString();
    inputs.pressure = text_reader.text("pressure").toStdString();
    inputs.altitude = text_reader.text("altitude").toStdString();
    inputs.humidity = text_reader.text("humidity").toStdString();
    if (!text_reader.ok())
        return text_reader.problem();
    return InputsProblem(inputs);
}

/// Each element of `array` must be an object; `what` names one ("point", "process").
QString ElementProblem(const QJsonArray& array, const char* what, const char* plural, std::size_t limit)
{
    if (static_cast<std::size_t>(array.size()) > limit) {
        return QStringLiteral("the calculation has %1 %2; it may hold at most %3")
            .arg(Count(static_cast<double>(array.size())), QLatin1String(plural),
                Count(static_cast<double>(limit)));
    }
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array.at(i).isObject())
            return QStringLiteral("%1 %2 is not an object").arg(QLatin1String(what)).arg(i + 1);
    }
    return {};
}

QString ReadPoints(const QJsonArray& array, std::vector<StatePoint>& points)
{
    if (QString problem = ElementProblem(array, "point", "points", kPointLimit); !problem.isEmpty())
        return problem;
    QStringList known = kWindowInputMembers;
    known << QStringLiteral("name") << QStringLiteral("flow_kg_per_s");
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QString what = QStringLiteral("point %1").arg(i + 1);
        MemberReader reader(object, QStringLiteral("the point"));
        reader.refuseUnknown(known);
        StatePoint point;
        point.name = reader.text("name").toStdString();
        if (object.contains("flow_kg_per_s"))
            point.flow_kg_s = reader.number("flow_kg_per_s");
        if (!reader.ok())
            return what + QStringLiteral(": ") + reader.problem();
        if (const QString problem = ReadInputs(reader, point.inputs); !problem.isEmpty())
            return what + QStringLiteral(": ") + problem;
        points.push_back(std::move(point));
    }
    return {};
}

QString ReadProcesses(const QJsonArray& array, std::vector<ProcessSpec>& processes)
{
    if (QString problem = ElementProblem(array, "process", "processes", kProcessLimit); !problem.isEmpty())
        return problem;
    QStringList known = { "kind", "points", "result", "exhaust_result" };
    QStringList kinds;
    for (const ProcessKindInfo& info : kProcessKinds)
        kinds << QString::fromUtf8(info.key);
    for (const ProcessParameter& parameter : kProcessParameters)
        known << ParameterMember(parameter);
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QString what = QStringLiteral("process %1").arg(i + 1);
        MemberReader reader(object, QStringLiteral("the process"));
        reader.refuseUnknown(known);
        ProcessSpec process;
        const int kind = reader.choice("kind", kinds);
        const QJsonArray names = reader.array("points");
        process.result_name = reader.text("result").toStdString();
        if (object.contains("exhaust_result"))
            process.exhaust_result_name = reader.text("exhaust_result").toStdString();
        for (const ProcessParameter& parameter : kProcessParameters) {
            if (object.contains(ParameterMember(parameter)))
                process.*(parameter.field) = reader.number(ParameterMember(parameter));
        }
        if (!reader.ok())
            return what + QStringLiteral(": ") + reader.problem();
        process.kind = *FindProcessKind(kinds.at(kind).toStdString());
        if (static_cast<std::size_t>(names.size()) > kPointLimit)
            return QStringLiteral("%1 names %2 points, more than a calculation holds")
                .arg(what)
                .arg(names.size());
        for (const QJsonValue& name : names) {
            if (!name.isString())
                return QStringLiteral("%1: a point of \"points\" is not a text").arg(what);
            process.points.push_back(name.toString().toStdString());
        }
        processes.push_back(std::move(process));
    }
    return {};
}

QJsonObject UncertaintySettingsJson(const UncertaintySettings& settings)
{
    return QJsonObject { { "enabled", settings.enabled }, { "temperature", settings.temperature },
        { "humidity", settings.humidity }, { "pressure", settings.pressure },
        { "form", QString::fromUtf8(AccuracyFormName(settings.form)) },
        { "form_coverage", settings.form_coverage }, { "coverage", settings.coverage } };
}

QString ReadUncertaintySettings(const QJsonObject& object, UncertaintySettings& settings)
{
    MemberReader reader(object, Quoted(kUncertaintyMember));
    reader.refuseUnknown(kUncertaintyMembers);
    const QJsonValue enabled = reader.member("enabled");
    if (reader.ok() && !enabled.isBool())
        reader.fail(QStringLiteral("the \"enabled\" member of %1 is not true or false")
                        .arg(Quoted(kUncertaintyMember)));
    settings.enabled = enabled.toBool();
    settings.temperature = reader.number("temperature");
    settings.humidity = reader.number("humidity");
    settings.pressure = reader.number("pressure");
    const int form = reader.choice("form", { "rectangular", "expanded", "standard" });
    if (form >= 0)
        settings.form = *AccuracyFormFromName(reader.text("form").toStdString());
    settings.form_coverage = reader.number("form_coverage");
    settings.coverage = reader.number("coverage");
    if (reader.ok()) {
        if (const std::optional<std::string> problem = UncertaintySettingsProblem(settings))
            reader.fail(QString::fromStdString(*problem));
    }
    return reader.problem();
}

QString ReadProperties(const QJsonObject& object, ProjectProperties& properties)
{
    MemberReader reader(object, QStringLiteral("\"properties\""));
    reader.refuseUnknown(kPropertyMembers);
    properties.project = reader.text("project").toStdString();
    properties.engineer = reader.text("engineer").toStdString();
    properties.notes = reader.text("notes").toStdString();
    return reader.problem();
}

} // namespace

// ---- The chart's data and zones ------------------------------------------------------------------------
// An optional member "chart_data" of a version 2 file: the data file plotted on the chart (its path and
// how its rows are read, never the rows) and the zones. A file without it reads as a chart without either.

namespace {

constexpr std::size_t kZoneLimit = 100;
const QStringList kChartDataMembers = { "data_file", "zones" };
const QStringList kDataFileMembers
    = { "path", "temperature_column", "humidity_column", "pressure_column", "delimiter", "decimal_comma",
          "hours", "formulation", "unit_system", "units", "pressure_given", "humidity_given", "inputs" };
const QStringList kZoneMembers = { "name", "dry_bulb", "humidity_ratio", "dew_point", "relative_humidity" };
const QStringList kRangeMembers = { "low", "high", "unit" };

QJsonObject RangeJson(const ZoneRange& range)
{
    return { { "low", range.low }, { "high", range.high }, { "unit", QString::fromStdString(range.unit) } };
}

QJsonObject ChartDataJson(const ChartData& data)
{
    QJsonObject object;
    if (data.source) {
        const DataSource& source = *data.source;
        QJsonObject file;
        InsertInputs(file, source.inputs);
        file.insert("path", QString::fromStdString(source.path));
        file.insert("temperature_column", QString::fromStdString(source.temperature_column));
        file.insert("humidity_column", QString::fromStdString(source.humidity_column));
        file.insert("pressure_column", QString::fromStdString(source.pressure_column));
        file.insert("delimiter", QString(QChar(source.delimiter)));
        file.insert("decimal_comma", source.decimal_comma);
        file.insert("hours", source.hourly);
        object.insert("data_file", file);
    }
    QJsonArray zones;
    for (const Zone& zone : data.zones) {
        QJsonObject entry { { "name", QString::fromStdString(zone.name) },
            { "dry_bulb", RangeJson(zone.dry_bulb) } };
        if (zone.humidity_ratio)
            entry.insert("humidity_ratio", RangeJson(*zone.humidity_ratio));
        if (zone.dew_point)
            entry.insert("dew_point", RangeJson(*zone.dew_point));
        if (zone.relative_humidity)
            entry.insert("relative_humidity", RangeJson(*zone.relative_humidity));
        zones.append(entry);
    }
    object.insert("zones", zones);
    return object;
}

QString ReadRange(MemberReader& zone_reader, const QString& key, ZoneRange& range)
{
    const QJsonObject object = zone_reader.object(key);
    if (!zone_reader.ok())
        return zone_reader.problem();
    MemberReader reader(object, Quoted(key));
    reader.refuseUnknown(kRangeMembers);
    range.low = reader.number("low");
    range.high = reader.number("high");
    range.unit = reader.text("unit").toStdString();
    return reader.problem();
}

QString ReadChartData(const QJsonObject& object, ChartData& data)
{
    MemberReader reader(object, QStringLiteral("\"chart_data\""));
    reader.refuseUnknown(kChartDataMembers);
    const QJsonArray zones = reader.array("zones");
    if (!reader.ok())
        return reader.problem();
    if (object.contains("data_file")) {
        const QJsonObject file = reader.object("data_file");
        if (!reader.ok())
            return reader.problem();
        MemberReader file_reader(file, QStringLiteral("\"data_file\""));
        file_reader.refuseUnknown(kDataFileMembers);
        DataSource source;
        source.path = file_reader.text("path").toStdString();
        source.temperature_column = file_reader.text("temperature_column").toStdString();
        source.humidity_column = file_reader.text("humidity_column").toStdString();
        source.pressure_column = file_reader.text("pressure_column").toStdString();
        const QString delimiter = file_reader.text("delimiter");
        const QJsonValue comma = file_reader.member("decimal_comma");
        const QJsonValue hours = file_reader.member("hours");
        if (!file_reader.ok())
            return file_reader.problem();
        if (delimiter.size() != 1 || delimiter[0].unicode() > 126 || delimiter[0] == '"'
            || delimiter[0] < ' ')
            return QStringLiteral(
                "the \"delimiter\" member of \"data_file\" must be one character other than a quote");
        if (!comma.isBool() || !hours.isBool())
            return QStringLiteral(
                "the \"decimal_comma\" and \"hours\" members of \"data_file\" are true or false");
        source.delimiter = static_cast<char>(delimiter[0].unicode());
        source.decimal_comma = comma.toBool();
        source.hourly = hours.toBool();
        if (QString problem = ReadInputs(file_reader, source.inputs); !problem.isEmpty())
            return problem;
        for (const auto& [name, text] : { std::pair { "path", &source.path },
                 std::pair { "temperature_column", &source.temperature_column },
                 std::pair { "humidity_column", &source.humidity_column },
                 std::pair { "pressure_column", &source.pressure_column } }) {
            if (QString problem = TextProblem(QString::fromUtf8(name), *text, 4096); !problem.isEmpty())
                return problem;
        }
        data.source = std::move(source);
    }
    if (static_cast<std::size_t>(zones.size()) > kZoneLimit)
        return QStringLiteral("the chart has more than %1 zones").arg(kZoneLimit);
    for (const QJsonValue& value : zones) {
        if (!value.isObject())
            return QStringLiteral("a zone of \"zones\" is not an object");
        const QJsonObject object = value.toObject();
        MemberReader zone_reader(object, QStringLiteral("a zone"));
        zone_reader.refuseUnknown(kZoneMembers);
        Zone zone;
        zone.name = zone_reader.text("name").toStdString();
        if (!zone_reader.ok())
            return zone_reader.problem();
        if (QString problem = NameProblem(QStringLiteral("a zone"), zone.name); !problem.isEmpty())
            return problem;
        if (QString problem = ReadRange(zone_reader, "dry_bulb", zone.dry_bulb); !problem.isEmpty())
            return problem;
        for (const auto& [key, range] : { std::pair { "humidity_ratio", &zone.humidity_ratio },
                 std::pair { "dew_point", &zone.dew_point },
                 std::pair { "relative_humidity", &zone.relative_humidity } }) {
            if (!object.contains(key))
                continue;
            range->emplace();
            if (QString problem = ReadRange(zone_reader, key, **range); !problem.isEmpty())
                return problem;
        }
        if (const auto problem = chart::ZoneProblem(zone))
            return QString::fromStdString(*problem);
        data.zones.push_back(std::move(zone));
    }
    return {};
}

} // namespace

QByteArray CalculationJson(const Calculation& calculation, const AmbientControls* shown)
{
    // A calculation of the window's inputs alone stays version 1, readable by every Humidora.
    const bool points = calculation.HasMoreThanInputs();
    QJsonObject document;
    document.insert("format", QLatin1String(kCalculationFormat));
    document.insert("version", points ? kCalculationFormatVersion : 1);
    document.insert("saved_by", QString::fromUtf8(kProductTitle));
    InsertInputs(document, calculation.inputs);
    if (points) {
        document.insert("points", PointsJson(calculation.points));
        document.insert("processes", ProcessesJson(calculation.processes));
        const ProjectProperties& properties = calculation.properties;
        document.insert("properties",
            QJsonObject { { "project", QString::fromStdString(properties.project) },
                { "engineer", QString::fromStdString(properties.engineer) },
                { "notes", QString::fromStdString(properties.notes) } });
        if (!calculation.chart_data.empty())
            document.insert("chart_data", ChartDataJson(calculation.chart_data));
    }
    if (calculation.uncertainty != UncertaintySettings {})
        document.insert(kUncertaintyMember, UncertaintySettingsJson(calculation.uncertainty));
    if (shown != nullptr)
        document.insert("shown_results", ShownStateJson(*shown));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

CalculationRead ParseCalculation(const QByteArray& json)
{
    CalculationRead read;
    auto refuse = [&read](const QString& problem) {
        read.calculation.reset();
        read.problem = problem;
        return read;
    };

    QByteArray text = json;
    if (text.startsWith("\xEF\xBB\xBF")) // a byte-order mark left by some editors
        text.remove(0, 3);
    if (text.trimmed().isEmpty())
        return refuse(QStringLiteral("the file is empty"));

    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(ParseErrorText(error, text.size()));
    if (!document.isObject())
        return refuse(QStringLiteral("the file is not a Humidora calculation (it holds no JSON object)"));
    if (const std::optional<QString> duplicate = DuplicateJsonMember(text))
        return refuse(QStringLiteral("the member %1 occurs twice in one object").arg(Quoted(*duplicate)));

    const QJsonObject top = document.object();
    const QJsonValue format = top.value("format");
    if (!format.isString() || format.toString() != QLatin1String(kCalculationFormat))
        return refuse(QStringLiteral("the file is not a Humidora calculation (no format marker)"));
    const QJsonValue version = top.value("version");
    if (!version.isDouble() || version.toDouble() != static_cast<double>(version.toInteger())
        || version.toInteger() < 1) {
        return refuse(QStringLiteral("the \"version\" member must be a whole number from 1 up"));
    }
    if (version.toInteger() > kCalculationFormatVersion) {
        return refuse(
            QStringLiteral("the file has format version %1, from a newer Humidora; this one reads up to "
                           "version %2")
                .arg(Count(static_cast<double>(version.toInteger())), Count(kCalculationFormatVersion)));
    }
    const bool with_points = version.toInteger() >= kFirstVersionWithPoints;

    MemberReader reader(top, QStringLiteral("the calculation"));
    reader.refuseUnknown(
        (with_points ? kTopMembers + kVersion2Members + QStringList { "chart_data" } : kTopMembers)
        + QStringList { kUncertaintyMember });
    if (top.contains("saved_by"))
        reader.text("saved_by");
    if (top.contains("shown_results"))
        reader.object("shown_results"); // for readers of the file only: never used
    Calculation calculation;
    QString problem = ReadInputs(reader, calculation.inputs);
    if (problem.isEmpty() && with_points) {
        const QJsonArray points = reader.array("points");
        const QJsonArray processes = reader.array("processes");
        const QJsonObject properties = reader.object("properties");
        problem = reader.problem();
        if (problem.isEmpty())
            problem = ReadPoints(points, calculation.points);
        if (problem.isEmpty())
            problem = ReadProcesses(processes, calculation.processes);
        if (problem.isEmpty())
            problem = ReadProperties(properties, calculation.properties);
        if (problem.isEmpty() && top.contains("chart_data")) {
            const QJsonObject chart_data = reader.object("chart_data");
            problem = reader.problem();
            if (problem.isEmpty())
                problem = ReadChartData(chart_data, calculation.chart_data);
        }
        if (problem.isEmpty())
            problem = CalculationProblem(calculation);
    }
    if (problem.isEmpty() && top.contains(kUncertaintyMember)) {
        const QJsonObject uncertainty = reader.object(kUncertaintyMember);
        problem = reader.problem();
        if (problem.isEmpty())
            problem = ReadUncertaintySettings(uncertainty, calculation.uncertainty);
    }
    if (!problem.isEmpty())
        return refuse(problem);
    read.calculation = std::move(calculation);
    return read;
}

CalculationRead ReadCalculationFile(const QString& path)
{
    const QString name = Quoted(QDir::toNativeSeparators(path));
    auto refuse = [&name](const QString& problem) {
        CalculationRead read;
        read.problem = QStringLiteral("Cannot open %1: %2.").arg(name, problem);
        return read;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // Read one byte past the limit rather than trusting size(): pipes and special files report 0.
    const QByteArray bytes = file.read(kCalculationFileLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > kCalculationFileLimit) {
        return refuse(QStringLiteral("the file is larger than %1 bytes, far more than any calculation")
                          .arg(Count(static_cast<double>(kCalculationFileLimit))));
    }
    CalculationRead read = ParseCalculation(bytes);
    if (!read)
        return refuse(read.problem);
    return read;
}

QString WriteCalculationFile(
    const QString& path, const Calculation& calculation, const AmbientControls* shown)
{
    const QString name = Quoted(QDir::toNativeSeparators(path));
    auto failed = [&name](const QString& reason) {
        return QStringLiteral("Could not save %1: %2. Any earlier file of that name is unchanged.")
            .arg(name, reason);
    };
    const QString problem = CalculationProblem(calculation);
    if (!problem.isEmpty())
        return failed(problem);
    const QByteArray bytes = CalculationJson(calculation, shown);
    // Never write what opening would refuse.
    if (bytes.size() > kCalculationFileLimit) {
        return failed(QStringLiteral("the calculation would take %1 bytes, more than the %2 a file may hold")
                          .arg(Count(static_cast<double>(bytes.size())),
                              Count(static_cast<double>(kCalculationFileLimit))));
    }

    const QString reason = SaveBytes(path, bytes);
    if (!reason.isEmpty())
        return failed(reason);
    return {};
}

std::optional<QString> DuplicateJsonMember(const QByteArray& json)
{
    // The text has already been parsed, so only strings need care: a member name is the string that
    // opens an object or follows a comma inside one.
    struct Level
    {
        bool object;
        bool expect_name;
        QSet<QString> names;
    };
    std::vector<Level> levels;
    const qsizetype size = json.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = json[i];
        if (c == '{' || c == '[') {
            levels.push_back({ c == '{', c == '{', {} });
        } else if (c == '}' || c == ']') {
            if (!levels.empty())
                levels.pop_back();
        } else if (c == ',') {
            if (!levels.empty() && levels.back().object)
                levels.back().expect_name = true;
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < size && json[i] != '"'; ++i) {
                if (json[i] == '\\')
                    ++i;
            }
            if (levels.empty() || !levels.back().object || !levels.back().expect_name)
                continue;
            levels.back().expect_name = false;
            // Let Qt decode the escapes, so that "a" and "\u0061" count as one name.
            const QByteArray quoted = json.mid(start, i - start + 1);
            const QString name = QJsonDocument::fromJson("[" + quoted + "]").array().at(0).toString();
            if (levels.back().names.contains(name))
                return name;
            levels.back().names.insert(name);
        }
    }
    return std::nullopt;
}

} // namespace humidora
