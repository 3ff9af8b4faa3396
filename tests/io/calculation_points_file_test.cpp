// Calculation files of version 2: the state points, the processes on them and the project's properties
// beside the main window's inputs; version 1 stays as it was for a calculation without them.
#include "calc/points/state_points_list.h"
#include "io/calculation_file.h"
#include "typed_inputs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace humidora {
namespace {

using humidora::testing::Typed;

/// Outdoor and return air mixed, the mixture through a coil, then a steam humidifier: the points and
/// processes as the "State Points" window makes them, with properties whose notes span lines.
Calculation Sample()
{
    StatePointsList list;
    list.Add(Typed("32", 3, "22"), 2.0);
    list.Add(Typed("24", 2, "50"), 6.0);
    ProcessSpec mix;
    mix.points = { "A", "B" };
    EXPECT_EQ(list.AddProcess(mix), "");
    ProcessSpec coil;
    coil.kind = ProcessKind::Coil;
    coil.points = { "C" };
    coil.result_name = "Coil off";
    coil.adp_K = 283.15;
    coil.bypass_factor = 0.12;
    EXPECT_EQ(list.AddProcess(coil), "");
    ProcessSpec reheat;
    reheat.kind = ProcessKind::Heat;
    reheat.points = { "Coil off" };
    reheat.to_temperature_K = 295.15;
    EXPECT_EQ(list.AddProcess(reheat), "");
    ProcessSpec steam;
    steam.kind = ProcessKind::Steam;
    steam.points = { "D" };
    steam.to_relative_humidity = 0.6;
    steam.steam_temperature_K = 383.15;
    EXPECT_EQ(list.AddProcess(steam), "");
    Calculation calculation { Typed("28.5", 4, "20") };
    calculation.points = list.points();
    calculation.processes = list.processes();
    calculation.properties
        = { "Hall 3 supply \"AHU-2\"", "R. Ortiz", "Summer design day.\nCoil: 10 C ADP\r\n\tTBC" };
    return calculation;
}

QJsonObject SampleObject()
{
    return QJsonDocument::fromJson(CalculationJson(Sample())).object();
}

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson();
}

/// The sample document with one change to its object.
QByteArray Edited(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject object = SampleObject();
    edit(object);
    return Json(object);
}

/// The sample document with one change to element `index` of its "points" or "processes".
QByteArray EditedElement(const char* list, int index, const std::function<void(QJsonObject&)>& edit)
{
    return Edited([&](QJsonObject& top) {
        QJsonArray array = top.value(QLatin1String(list)).toArray();
        QJsonObject element = array.at(index).toObject();
        edit(element);
        array.replace(index, element);
        top.insert(QLatin1String(list), array);
    });
}

QByteArray EditedProperty(const char* member, const QJsonValue& value)
{
    return Edited([&](QJsonObject& top) {
        QJsonObject properties = top.value("properties").toObject();
        properties.insert(QLatin1String(member), value);
        top.insert("properties", properties);
    });
}

TEST(CalculationPointsFile, PointsProcessesAndPropertiesReadBackExactly)
{
    const Calculation calculation = Sample();
    ASSERT_EQ(calculation.points.size(), std::size_t(6));
    const QByteArray json = CalculationJson(calculation);
    EXPECT_EQ(QJsonDocument::fromJson(json).object().value("version").toInt(), 2);
    const CalculationRead read = ParseCalculation(json);
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_TRUE(*read.calculation == calculation);
    // Full precision: the leaving states and flows come back to the last bit, so every process evaluates
    // to the same loads after opening.
    StatePointsList before;
    before.SetPoints(calculation.points);
    StatePointsList after;
    after.SetPoints(read.calculation->points);
    for (std::size_t i = 0; i < calculation.processes.size(); ++i) {
        const ProcessOutcome a = before.Evaluate(calculation.processes[i]);
        const ProcessOutcome b = after.Evaluate(read.calculation->processes[i]);
        ASSERT_EQ(a.refusal, "");
        EXPECT_EQ(a.result.loads.total_kW, b.result.loads.total_kW) << i;
        EXPECT_EQ(a.result.leaving.state.W, b.result.leaving.state.W) << i;
    }
}

TEST(CalculationPointsFile, EachPartAloneMakesVersionTwoAndNothingMakesVersionOne)
{
    const Calculation sample = Sample();
    const std::pair<const char*, std::function<void(Calculation&)>> parts[] = {
        { "points", [&](Calculation& c) { c.points = sample.points; } },
        { "a process naming points not kept", [&](Calculation& c) { c.processes = sample.processes; } },
        { "project only", [](Calculation& c) { c.properties.project = "P"; } },
        { "notes only", [](Calculation& c) { c.properties.notes = "\n"; } },
    };
    for (const auto& [name, add] : parts) {
        Calculation calculation { Typed("30", 1, "0.01") };
        add(calculation);
        const QByteArray json = CalculationJson(calculation);
        EXPECT_EQ(QJsonDocument::fromJson(json).object().value("version").toInt(), 2) << name;
        const CalculationRead read = ParseCalculation(json);
        ASSERT_TRUE(read) << name << ": " << read.problem.toStdString();
        EXPECT_TRUE(*read.calculation == calculation) << name;
    }
    const QJsonObject plain = QJsonDocument::fromJson(CalculationJson({ Typed("30", 1, "0.01") })).object();
    EXPECT_EQ(plain.value("version").toInt(), 1);
    for (const char* member : { "points", "processes", "properties" })
        EXPECT_FALSE(plain.contains(QLatin1String(member))) << member;
}

TEST(CalculationPointsFile, VersionOneFilesOpenAndSaveByteForByte)
{
    // A version-1 document, as every earlier Humidora wrote it (shown results included), opened and
    // written again without points: not one byte differs.
    AmbientControls shown;
    shown.Text1.text = "25";
    shown.List1.lines = { "Sat. Formulation:  IAPWS", "" };
    for (const AmbientInputs& inputs : { AmbientInputs {}, Typed("-5", 3, "-12") }) {
        for (const AmbientControls* with :
            std::initializer_list<const AmbientControls*> { nullptr, &shown }) {
            const QByteArray v1 = CalculationJson({ inputs }, with);
            ASSERT_TRUE(v1.contains("\"version\": 1\n"));
            const CalculationRead read = ParseCalculation(v1);
            ASSERT_TRUE(read) << read.problem.toStdString();
            EXPECT_FALSE(read.calculation->HasMoreThanInputs());
            EXPECT_EQ(CalculationJson(*read.calculation, with), v1);
        }
    }
}

TEST(CalculationPointsFile, VersionOneThenPointsThenReadBack)
{
    // v1 -> v2 -> read back: opening a version-1 file, adding points and saving keeps the inputs.
    const CalculationRead v1 = ParseCalculation(CalculationJson({ Typed("18", 5, "0.009") }));
    ASSERT_TRUE(v1);
    Calculation calculation = *v1.calculation;
    StatePointsList list;
    list.Add(calculation.inputs, 1.25);
    calculation.points = list.points();
    const CalculationRead v2 = ParseCalculation(CalculationJson(calculation));
    ASSERT_TRUE(v2) << v2.problem.toStdString();
    EXPECT_EQ(v2.calculation->inputs, v1.calculation->inputs);
    EXPECT_TRUE(*v2.calculation == calculation);
}

TEST(CalculationPointsFile, ANewerVersionIsRefusedWhateverItHolds)
{
    for (const int version : { 3, 17 }) {
        const CalculationRead read = ParseCalculation(Edited([&](QJsonObject& o) {
            o.insert("version", version);
            o.insert("charts", QJsonArray {});
        }));
        EXPECT_FALSE(read);
        EXPECT_TRUE(read.problem.contains(
            QStringLiteral("format version %1, from a newer Humidora; this one reads up to version 2")
                .arg(version)))
            << read.problem.toStdString();
    }
}

struct HostileCase
{
    const char* name;
    std::function<QByteArray()> document;
    const char* problem; ///< a part of the expected message
};

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.name;
}

class HostileVersionTwo : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(HostileVersionTwo, IsRefusedWithItsProblem)
{
    const CalculationRead read = ParseCalculation(GetParam().document());
    EXPECT_FALSE(read.calculation.has_value());
    EXPECT_TRUE(read.problem.contains(QString::fromUtf8(GetParam().problem)))
        << "message: " << read.problem.toStdString();
}

QByteArray ManyPoints(int count)
{
    return Edited([&](QJsonObject& top) {
        const QJsonObject first = top.value("points").toArray().at(0).toObject();
        QJsonArray points;
        for (int i = 0; i < count; ++i) {
            QJsonObject point = first;
            point.insert("name", QStringLiteral("P%1").arg(i));
            points.append(point);
        }
        top.insert("points", points);
        top.insert("processes", QJsonArray {});
    });
}

const HostileCase kHostile[] = {
    // Structure and types.
    { "VersionOneWithPoints", [] { return Edited([](QJsonObject& o) { o.insert("version", 1); }); },
        "unknown member \"p" },
    { "PropertiesMissing", [] { return Edited([](QJsonObject& o) { o.remove("properties"); }); },
        "no \"properties\" member" },
    { "PointsNotAList", [] { return Edited([](QJsonObject& o) { o.insert("points", QJsonObject {}); }); },
        "\"points\" member of the calculation is not a list" },
    { "PointNotAnObject",
        [] { return Edited([](QJsonObject& o) { o.insert("points", QJsonArray { "A" }); }); },
        "point 1 is not an object" },
    { "NameNotText", [] { return EditedElement("points", 0, [](QJsonObject& p) { p.insert("name", 1); }); },
        "point 1: the \"name\" member of the point is not a text" },
    { "FlowAsText",
        [] { return EditedElement("points", 1, [](QJsonObject& p) { p.insert("flow_kg_per_s", "6"); }); },
        "point 2: the \"flow_kg_per_s\" member of the point is not a finite number" },
    { "FlowInfinite",
        [] {
            QByteArray text = Json(SampleObject());
            return text.replace("\"flow_kg_per_s\": 2", "\"flow_kg_per_s\": 1e999");
        },
        "not valid JSON" },
    { "FlowZero",
        [] { return EditedElement("points", 0, [](QJsonObject& p) { p.insert("flow_kg_per_s", 0); }); },
        "the flow of point 1 is not a positive number" },
    { "UnknownPointMember",
        [] { return EditedElement("points", 0, [](QJsonObject& p) { p.insert("colour", "red"); }); },
        "point 1: the point has an unknown member \"colour\"" },
    { "PointUnitUnknown",
        [] {
            return EditedElement("points", 2, [](QJsonObject& p) {
                QJsonObject units = p.value("units").toObject();
                units.insert("temperature", "°C");
                p.insert("units", units);
            });
        },
        "point 3: the unit \"°C\" of temperature" },
    { "PointInputsMissing",
        [] { return EditedElement("points", 0, [](QJsonObject& p) { p.remove("inputs"); }); },
        "point 1: the point has no \"inputs\" member" },
    { "DuplicateMemberInAPoint",
        [] {
            QByteArray text = Json(SampleObject());
            return text.replace("\"name\": \"A\"", "\"name\": \"A\", \"name\": \"Z\"");
        },
        "the member \"name\" occurs twice" },
    { "UnknownProcessKind",
        [] { return EditedElement("processes", 0, [](QJsonObject& p) { p.insert("kind", "cyclone"); }); },
        "process 1: the \"kind\" member is \"cyclone\"" },
    { "ProcessPointsNotTexts",
        [] {
            return EditedElement("processes", 0, [](QJsonObject& p) {
                p.insert("points", QJsonArray { "A", 2 });
            });
        },
        "process 1: a point of \"points\" is not a text" },
    { "MixOfOnePoint",
        [] {
            return EditedElement(
                "processes", 0, [](QJsonObject& p) { p.insert("points", QJsonArray { "A" }); });
        },
        "process 1 (\"mix\") takes two or more points, not 1" },
    { "CoilOfTwoPoints",
        [] {
            return EditedElement("processes", 1, [](QJsonObject& p) {
                p.insert("points", QJsonArray { "A", "B" });
            });
        },
        "process 2 (\"coil\") takes one point, not 2" },
    { "ParameterAsText",
        [] { return EditedElement("processes", 1, [](QJsonObject& p) { p.insert("adp_K", "283"); }); },
        "process 2: the \"adp_K\" member of the process is not a finite number" },
    { "ParameterOfAnotherKind",
        [] {
            return EditedElement(
                "processes", 1, [](QJsonObject& p) { p.insert("steam_temperature_K", 373.15); });
        },
        "process 2 (\"coil\"): Cooling Coil takes no Steam Temperature." },
    { "IncompleteForm",
        [] { return EditedElement("processes", 1, [](QJsonObject& p) { p.remove("bypass_factor"); }); },
        "process 2 (\"coil\"): Cooling Coil takes Apparatus Dew Point and Bypass Factor (0..1), or" },
    { "TwoForms",
        [] {
            return EditedElement("processes", 3, [](QJsonObject& p) { p.insert("to_humidity_ratio", 0.01); });
        },
        "process 4 (\"steam\"): Steam Humidifier takes Leaving Humidity Ratio, or Leaving Relative" },
    { "UnknownProcessMember",
        [] { return EditedElement("processes", 0, [](QJsonObject& p) { p.insert("fan_kW", 3); }); },
        "process 1: the process has an unknown member \"fan_kW\"" },
    // Names and texts.
    { "DuplicatePointNames",
        [] { return EditedElement("points", 1, [](QJsonObject& p) { p.insert("name", "A"); }); },
        "two points are named \"A\"" },
    { "EmptyName", [] { return EditedElement("points", 1, [](QJsonObject& p) { p.insert("name", ""); }); },
        "point 2 has an empty name" },
    { "NameWithLineBreak",
        [] { return EditedElement("points", 1, [](QJsonObject& p) { p.insert("name", "B\nC"); }); },
        "the point 2 name text contains a line break" },
    { "OverlongName",
        [] {
            return EditedElement(
                "points", 1, [](QJsonObject& p) { p.insert("name", QString(201, QChar('B'))); });
        },
        "the point 2 name text is 201 characters long; a name has at most 200" },
    { "ProcessNamingAnOverlongPoint",
        [] {
            return EditedElement(
                "processes", 1, [](QJsonObject& p) { p.insert("result", QString(300, QChar('x'))); });
        },
        "process 2: the leaving point name text is 300 characters long" },
    { "ProjectWithLineBreak", [] { return EditedProperty("project", "Hall 3\nHall 4"); },
        "the project text contains a line break" },
    { "EngineerWithEscape", [] { return EditedProperty("engineer", QStringLiteral("R.\x1b[2J")); },
        "the engineer text contains a line break or another control character" },
    { "NotesWithControlCharacter", [] { return EditedProperty("notes", QStringLiteral("line\nbell\x07")); },
        "the notes text contains a control character" },
    { "OverlongNotes", [] { return EditedProperty("notes", QString(100001, QChar('n'))); },
        "the notes text is 100001 characters long; a calculation keeps at most 100000" },
    { "PropertyNotText", [] { return EditedProperty("project", 3); },
        "the \"project\" member of \"properties\" is not a text" },
    { "UnknownProperty", [] { return EditedProperty("client", "ACME"); },
        "\"properties\" has an unknown member \"client\"" },
    // Sizes.
    { "TooManyPoints", [] { return ManyPoints(1001); },
        "the calculation has 1001 points; it may hold at most 1000" },
    { "TooManyProcesses",
        [] {
            return Edited([](QJsonObject& o) {
                const QJsonValue first = o.value("processes").toArray().at(0);
                QJsonArray processes;
                for (int i = 0; i < 1001; ++i)
                    processes.append(first);
                o.insert("processes", processes);
            });
        },
        "the calculation has 1001 processes; it may hold at most 1000" },
};

INSTANTIATE_TEST_SUITE_P(Cases, HostileVersionTwo, ::testing::ValuesIn(kHostile),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalculationPointsFile, AThousandPointsAreStillACalculation)
{
    const CalculationRead read = ParseCalculation(ManyPoints(1000));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->points.size(), std::size_t(1000));
}

TEST(CalculationPointsFile, AProcessWhosePointWasDeletedIsKept)
{
    // The window keeps a process whose point the user deleted or renamed, refused until a point of that
    // name returns; a file it saved must open again with it.
    Calculation calculation = Sample();
    calculation.points.erase(calculation.points.begin()); // "A", entering the mix
    const CalculationRead read = ParseCalculation(CalculationJson(calculation));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_TRUE(*read.calculation == calculation);
    StatePointsList list;
    list.SetPoints(read.calculation->points);
    EXPECT_EQ(list.Evaluate(read.calculation->processes.front()).refusal, "There is no point A.");
}

TEST(CalculationPointsFile, WhatCannotBeReadBackIsNotWritten)
{
    QTemporaryDir folder;
    const QString file = folder.filePath("points.humidora");
    ASSERT_EQ(WriteCalculationFile(file, Sample()), QString());
    const CalculationRead earlier = ReadCalculationFile(file);
    ASSERT_TRUE(earlier);

    const std::pair<const char*, std::function<void(Calculation&)>> faults[] = {
        { "two points are named", [](Calculation& c) { c.points[1].name = c.points[0].name; } },
        { "contains a line break", [](Calculation& c) { c.properties.engineer = "A\nB"; } },
        { "not a positive number", [](Calculation& c) { c.points[0].flow_kg_s = -1; } },
        { "Bypass Factor is not a finite number",
            [](Calculation& c) { c.processes[1].bypass_factor = std::nan(""); } },
        { "Bypass Factor 1.5 is above its maximum of 1",
            [](Calculation& c) { c.processes[1].bypass_factor = 1.5; } },
        { "the calculation has 1001 points", [](Calculation& c) { c.points.resize(1001, c.points[0]); } },
    };
    for (const auto& [problem, fault] : faults) {
        Calculation calculation = Sample();
        fault(calculation);
        const QString error = WriteCalculationFile(file, calculation);
        EXPECT_TRUE(error.contains(QLatin1String(problem))) << error.toStdString();
        EXPECT_TRUE(*ReadCalculationFile(file).calculation == *earlier.calculation) << problem;
    }
}

} // namespace
} // namespace humidora
