// Calculation files and the report with the design's processes: supply air from a room's loads and heat
// recovery, with the leaving exhaust point, read back exactly; the files of the other kinds keep their
// members; broken design processes are refused with their reason; the report lists and draws them.
#include "calc/points/state_points_list.h"
#include "io/calculation_file.h"
#include "io/report.h"
#include "typed_inputs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace humidora {
namespace {

using humidora::testing::Typed;

/// A winter design: outdoor air through an enthalpy wheel against the exhaust, a room with its loads and
/// its supply air at 35 C; a summer room whose supply is given by its flow.
Calculation Design()
{
    StatePointsList list;
    list.Add(Typed("-10", 2, "80"), 2.0); // A: outdoor
    list.Add(Typed("22", 2, "40"), 1.8);  // B: exhaust
    list.Add(Typed("21", 2, "35"));       // C: winter room
    list.Add(Typed("24", 2, "50"));       // D: summer room
    ProcessSpec wheel;
    wheel.kind = ProcessKind::Recovery;
    wheel.points = { "A", "B" };
    wheel.result_name = "OA off wheel";
    wheel.sensible_effectiveness = 0.75;
    wheel.latent_effectiveness = 0.6;
    EXPECT_EQ(list.AddProcess(wheel), "");
    ProcessSpec winter;
    winter.kind = ProcessKind::Supply;
    winter.points = { "C" };
    winter.sensible_load_kW = -40;
    winter.latent_load_kW = 3;
    winter.supply_temperature_K = 308.15;
    EXPECT_EQ(list.AddProcess(winter), "");
    ProcessSpec summer;
    summer.kind = ProcessKind::Supply;
    summer.points = { "D" };
    summer.total_load_kW = 40;
    summer.sensible_heat_ratio = 0.75;
    summer.supply_flow_kg_s = 2.5;
    EXPECT_EQ(list.AddProcess(summer), "");
    Calculation calculation { Typed("24", 2, "50") };
    calculation.points = list.points();
    calculation.processes = list.processes();
    return calculation;
}

QJsonObject DesignObject()
{
    return QJsonDocument::fromJson(CalculationJson(Design())).object();
}

TEST(DesignFile, SupplyAndRecoveryReadBackExactly)
{
    const Calculation calculation = Design();
    // The wheel's two leaving points (the exhaust's under the first free name) and two supplies.
    ASSERT_EQ(calculation.points.size(), std::size_t(8));
    EXPECT_EQ(calculation.processes[0].exhaust_result_name, "E");
    const QByteArray json = CalculationJson(calculation);
    const CalculationRead read = ParseCalculation(json);
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_TRUE(*read.calculation == calculation);
    StatePointsList before, after;
    before.SetPoints(calculation.points);
    after.SetPoints(read.calculation->points);
    for (const ProcessSpec& process : read.calculation->processes) {
        const ProcessOutcome a = before.Evaluate(process);
        const ProcessOutcome b = after.Evaluate(process);
        ASSERT_EQ(a.refusal, "");
        EXPECT_EQ(a.result.loads.total_kW, b.result.loads.total_kW);
        EXPECT_EQ(a.result.leaving.state.W, b.result.leaving.state.W);
        EXPECT_EQ(a.result.leaving.flow_kg_s, b.result.leaving.flow_kg_s);
    }
    // The members in SI, each named by its unit; only the recovery has a leaving exhaust point.
    const QJsonArray processes = QJsonDocument::fromJson(json).object().value("processes").toArray();
    const QJsonObject wheel = processes.at(0).toObject();
    EXPECT_EQ(wheel.value("kind").toString(), "recovery");
    EXPECT_EQ(wheel.value("exhaust_result").toString(), "E");
    EXPECT_EQ(wheel.value("sensible_effectiveness").toDouble(), 0.75);
    const QJsonObject winter = processes.at(1).toObject();
    EXPECT_EQ(winter.value("kind").toString(), "supply");
    EXPECT_EQ(winter.value("sensible_load_kW").toDouble(), -40);
    EXPECT_EQ(winter.value("supply_temperature_K").toDouble(), 308.15);
    EXPECT_FALSE(winter.contains("exhaust_result"));
    EXPECT_EQ(processes.at(2).toObject().value("supply_flow_kg_per_s").toDouble(), 2.5);
}

QByteArray EditedProcess(int index, const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject top = DesignObject();
    QJsonArray array = top.value("processes").toArray();
    QJsonObject element = array.at(index).toObject();
    edit(element);
    array.replace(index, element);
    top.insert("processes", array);
    return QJsonDocument(top).toJson();
}

TEST(DesignFile, BrokenDesignProcessesAreRefusedWithTheirReason)
{
    const struct
    {
        const char* name;
        QByteArray text;
        const char* problem;
    } cases[] = {
        { "recovery of one point",
            EditedProcess(0, [](QJsonObject& p) { p.insert("points", QJsonArray { "A" }); }),
            "process 1 (\"recovery\") takes two points, the outdoor air and the exhaust air, not 1" },
        { "recovery of three points",
            EditedProcess(0,
                [](QJsonObject& p) {
                    p.insert("points", QJsonArray { "A", "B", "C" });
                }),
            "process 1 (\"recovery\") takes two points, the outdoor air and the exhaust air, not 3" },
        { "no exhaust name", EditedProcess(0, [](QJsonObject& p) { p.remove("exhaust_result"); }),
            "process 1: the leaving exhaust point has an empty name" },
        { "one name for both",
            EditedProcess(0, [](QJsonObject& p) { p.insert("exhaust_result", "OA off wheel"); }),
            "process 1: the leaving points have one name" },
        { "exhaust name on a supply",
            EditedProcess(1, [](QJsonObject& p) { p.insert("exhaust_result", "Z"); }),
            "process 2 (\"supply\") has no leaving exhaust point" },
        { "both load forms", EditedProcess(1, [](QJsonObject& p) { p.insert("total_load_kW", 10); }),
            "process 2 (\"supply\"): Supply Air from Room Loads takes Room Sensible Load and Room Latent "
            "Load and "
            "Supply Dry Bulb, or " },
        { "load as text", EditedProcess(1, [](QJsonObject& p) { p.insert("latent_load_kW", "3"); }),
            "process 2: the \"latent_load_kW\" member of the process is not a finite number" },
        { "effectiveness on a supply",
            EditedProcess(2, [](QJsonObject& p) { p.insert("sensible_effectiveness", 0.5); }),
            "process 3 (\"supply\"): Supply Air from Room Loads takes no Sensible Effectiveness." },
        { "effectiveness above 1",
            EditedProcess(0, [](QJsonObject& p) { p.insert("sensible_effectiveness", 1.5); }),
            "process 1 (\"recovery\"): Sensible Effectiveness 1.5 is above its maximum of 1." },
        { "a flow of 0",
            EditedProcess(2,
                [](QJsonObject& p) {
                    p.remove("supply_temperature_K");
                    p.insert("supply_flow_kg_per_s", 0);
                }),
            "process 3 (\"supply\"): Supply Dry-Air Flow 0 kg/s must lie above 0 kg/s." },
    };
    for (const auto& c : cases) {
        const CalculationRead read = ParseCalculation(c.text);
        ASSERT_FALSE(read) << c.name;
        EXPECT_TRUE(read.problem.contains(c.problem)) << c.name << ": " << read.problem.toStdString();
    }
}

TEST(DesignReport, ListsAndDrawsTheDesignsProcesses)
{
    const Calculation design = Design();
    StatePointsList list;
    list.SetPoints(design.points);
    list.SetProcesses(design.processes);
    AmbientWindow window;
    window.Open();
    ReportDetails details;
    details.chart = ReportChart(window);
    AddStatePoints(details, list, window.CurrentInputs());
    ASSERT_EQ(details.processes.size(), std::size_t(3));
    for (const ProcessRow& row : details.processes)
        EXPECT_EQ(row.refusal, "");
    EXPECT_EQ(details.processes[0].to, "OA off wheel, E");
    // The summer room's line to its ADP is drawn, ending on saturation; the winter room has none.
    ASSERT_EQ(details.chart->overlay.guides.size(), std::size_t(1));
    const chart::ChartPoint adp = details.chart->overlay.guides[0].points.back();
    EXPECT_NEAR(RelativeHumidityOf({ adp.T_K, adp.W }, ProcessConditions {}), 1, 1e-9);
    // The PDF holds every line of their parameters and loads.
    QTemporaryDir folder;
    const QString pdf = folder.filePath("design.pdf");
    ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), details), QString());
    QProcess pdftotext;
    pdftotext.start("pdftotext", { "-layout", pdf, "-" });
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const char* line : { "Recovered Total", "Exhaust Condensate", "Apparatus Dew Point",
             "Supply Volume Flow", "Latent Effectiveness", "Sensible Effectiveness" })
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
}

} // namespace
} // namespace humidora
