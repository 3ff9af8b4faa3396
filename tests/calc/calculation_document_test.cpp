// The live calculation: points by identity (renaming keeps processes, deleting takes them along), the
// points' texts computed once per change, and every change as one recorded step that restores exactly.
#include "calc/document/calculation_document.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace humidora {
namespace {

/// The steps a document records, as a history would keep them.
struct Recorded
{
    DocumentStep step;
    DocumentState before;
    DocumentState after;
};

struct Recorder
{
    explicit Recorder(CalculationDocument& document)
    {
        document.SetRecorder(
            [this](const DocumentStep& step, DocumentState before, const DocumentState& after) {
                steps.push_back({ step, std::move(before), after });
            });
    }
    std::vector<Recorded> steps;
};

/// A summer design: outdoor air A (35 C, 40 %) and return air B (24 C, 50 %), mixed to C.
void AddSummerDesign(CalculationDocument& document)
{
    document.EditText(1, "35");
    document.EditText(4, "40");
    document.AddPoint();
    document.EditText(1, "24");
    document.EditText(4, "50");
    document.AddPoint();
    document.SetPointFlow(0, "1");
    document.SetPointFlow(1, "3");
    ProcessSpec mix;
    mix.points = { "A", "B" };
    ASSERT_EQ(document.AddProcess(mix), "");
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "C" };
    heat.to_temperature_K = 273.15 + 30;
    ASSERT_EQ(document.AddProcess(heat), "");
}

/// A cooling coil from point `from` with an apparatus dew point of 10 C and a bypass factor of 0.1.
ProcessSpec CoilFrom(const std::string& from)
{
    ProcessSpec coil;
    coil.kind = ProcessKind::Coil;
    coil.points = { from };
    coil.adp_K = 273.15 + 10;
    coil.bypass_factor = 0.1;
    return coil;
}

TEST(CalculationDocument, RenamingAPointKeepsItsProcesses)
{
    CalculationDocument document;
    AddSummerDesign(document);
    const std::vector<ProcessRow> before
        = document.points().ShownProcessRows(document.window().CurrentInputs());
    ASSERT_TRUE(document.RenamePoint(0, "OA"));
    ASSERT_TRUE(document.RenamePoint(2, "MA"));
    const StatePointsList& points = document.points();
    EXPECT_EQ(points.processes()[0].points, (std::vector<std::string> { "OA", "B" }));
    EXPECT_EQ(points.processes()[0].result_name, "MA");
    EXPECT_EQ(points.processes()[1].points, std::vector<std::string> { "MA" });
    const std::vector<ProcessRow> after = points.ShownProcessRows(document.window().CurrentInputs());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].refusal, "") << i;
        ASSERT_EQ(after[i].loads.size(), before[i].loads.size());
        for (std::size_t k = 0; k < after[i].loads.size(); ++k)
            EXPECT_EQ(after[i].loads[k].text, before[i].loads[k].text);
    }
    EXPECT_EQ(after[0].from, "OA, B");
    EXPECT_EQ(after[0].to, "MA");
    // A name another point has, or none, is refused and changes nothing.
    EXPECT_FALSE(document.RenamePoint(1, "MA"));
    EXPECT_FALSE(document.RenamePoint(1, "  "));
    EXPECT_EQ(document.points().points()[1].name, "B");
    // The file form names the points by their names now.
    const Calculation file = document.ToCalculation();
    EXPECT_EQ(file.processes[1].points, std::vector<std::string> { "MA" });
}

TEST(CalculationDocument, DeletingAPointDeletesTheProcessesThatUseIt)
{
    struct Case
    {
        std::vector<int> rows;
        std::string question;
        std::vector<std::string> points_left;
        std::size_t processes_left;
    };
    const std::vector<Case> cases = {
        { { 0 }, "Delete point A and the process that uses it?", { "B", "C", "D" }, 1 },
        { { 2 }, "Delete point C and the 2 processes that use it?", { "A", "B", "D" }, 0 },
        { { 3 }, "Delete point D and the process that uses it?", { "A", "B", "C" }, 1 },
        { { 0, 1 }, "Delete points A and B and the process that uses them?", { "C", "D" }, 1 },
        { { 3, 0, 1 }, "Delete points A, B and D and the 2 processes that use them?", { "C" }, 0 },
        { { 7, -1 }, "", { "A", "B", "C", "D" }, 2 },
    };
    for (const Case& c : cases) {
        CalculationDocument document;
        AddSummerDesign(document);
        EXPECT_EQ(document.DeleteQuestion(c.rows), c.question);
        document.DeletePoints(c.rows);
        std::vector<std::string> names;
        for (const StatePoint& point : document.points().points())
            names.push_back(point.name);
        EXPECT_EQ(names, c.points_left) << c.question;
        EXPECT_EQ(document.points().processes().size(), c.processes_left) << c.question;
        // What is left still computes: no process names a point that is gone.
        for (std::size_t i = 0; i < document.points().processes().size(); ++i)
            EXPECT_EQ(document.points().EvaluateKept(static_cast<int>(i)).refusal, "") << c.question;
    }
    // A point no process uses goes without a question.
    CalculationDocument document;
    document.AddPoint();
    EXPECT_EQ(document.DeleteQuestion({ 0 }), "");
}

TEST(CalculationDocument, IdentitiesAreNeverGivenTwice)
{
    CalculationDocument document;
    AddSummerDesign(document);
    const std::vector<int> first = document.points().ids();
    ASSERT_EQ(first.size(), 4U);
    document.DeletePoints({ 3 });
    const int row = document.AddPoint();
    const int id = document.points().IdOf(row);
    for (const int old : first)
        EXPECT_NE(id, old);
    // The new point took the free name D, but not the deleted D's identity.
    EXPECT_EQ(document.points().points()[static_cast<std::size_t>(row)].name, "D");
    // Moving a point moves its identity along.
    const int a = document.points().IdOf(0);
    ASSERT_TRUE(document.MovePoint(0, +1));
    EXPECT_EQ(document.points().RowOf(a), 1);
    EXPECT_EQ(document.points().points()[1].name, "A");
    EXPECT_FALSE(document.MovePoint(0, -1));
    EXPECT_EQ(document.points().RowOf(0), -1);
}

TEST(CalculationDocument, AProcessFromAFileWithoutItsPointStaysRefusedWhenTheNameComesBack)
{
    // A file may name a point it does not hold. The process is refused with the name it gave, and a
    // point given that name later is another point: the process does not take it.
    Calculation file;
    file.points.push_back({ "A", AmbientInputs {}, std::nullopt });
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "X" };
    heat.result_name = "A";
    heat.to_temperature_K = 300;
    file.processes.push_back(heat);
    CalculationDocument document;
    document.Load(file);
    EXPECT_EQ(document.points().EvaluateKept(0).refusal, "There is no point X.");
    document.AddPoint();
    ASSERT_TRUE(document.RenamePoint(1, "X"));
    EXPECT_EQ(document.points().EvaluateKept(0).refusal, "There is no point X.");
    // Its leaving point A is used by it: deleting A asks and deletes it.
    EXPECT_EQ(document.DeleteQuestion({ 0 }), "Delete point A and the process that uses it?");
    // Written back, the file is as it was read.
    Calculation loaded = document.ToCalculation();
    EXPECT_EQ(loaded.processes, file.processes);
}

TEST(CalculationDocument, PointTextsAreComputedOncePerChange)
{
    CalculationDocument document;
    AddSummerDesign(document);
    const StatePointsList& points = document.points();
    const AmbientInputs metric = document.window().CurrentInputs();
    const TextTable first = points.Shown(metric);
    const long computed = points.viewsComputed();
    // Shown again, and with another state typed in the same units: nothing is computed.
    EXPECT_EQ(points.Shown(metric).rows, first.rows);
    document.EditText(1, "12");
    EXPECT_EQ(points.Shown(document.window().CurrentInputs()).rows, first.rows);
    EXPECT_EQ(points.viewsComputed(), computed);
    // Other units, or a changed point, compute each point once.
    document.ChooseBritish();
    const TextTable british = points.Shown(document.window().CurrentInputs());
    EXPECT_EQ(points.viewsComputed(), computed + 4);
    EXPECT_NE(british.rows, first.rows);
    document.RenamePoint(0, "OA");
    points.Shown(document.window().CurrentInputs());
    EXPECT_EQ(points.viewsComputed(), computed + 8);
}

TEST(CalculationDocument, KeptTextsAreThePointsOwnInEveryUnits)
{
    // The kept table against each point's view computed afresh with the window's full inputs, for
    // the unit systems and some customized lists.
    CalculationDocument document;
    AddSummerDesign(document);
    std::vector<AmbientInputs> windows;
    AmbientInputs metric;
    windows.push_back(metric);
    AmbientInputs british;
    british.system = UnitSystem::British;
    british.selections = kBritishSelection;
    british.pressure = "14.6957";
    windows.push_back(british);
    AmbientInputs customized = metric;
    customized.system = UnitSystem::Customized;
    customized.selections[0] = 2;
    customized.selections[5] = 1;
    customized.humidity_option = 7;
    customized.humidity = "10";
    windows.push_back(customized);
    for (const AmbientInputs& window : windows) {
        const StatePointsList& points = document.points();
        const TextTable& shown = points.Shown(window);
        ASSERT_EQ(shown.rows.size(), points.points().size());
        for (std::size_t i = 0; i < shown.rows.size(); ++i) {
            const PointView view = points.ViewInWindowUnits(static_cast<int>(i), window);
            EXPECT_EQ(shown.rows[i],
                PointRowTexts(points.points()[i].name, view, points.points()[i].flow_kg_s,
                    StatePointsList::TableFlowUnit(window.system)));
        }
    }
}

/// One kind of step: what it does and the name it is recorded under.
struct StepCase
{
    std::string name;
    std::function<void(CalculationDocument&)> change;
};

std::vector<StepCase> StepCases()
{
    UncertaintySettings uncertainty;
    uncertainty.enabled = true;
    ChartData chart;
    chart.zones.push_back({ "Comfort", { 20, 26, "C" }, std::nullopt, std::nullopt, std::nullopt });
    const ProcessSpec coil = CoilFrom("C");
    AmbientInputs picked;
    picked.temperature = "18";
    return {
        { "Typing in Ambient Temperature", [](CalculationDocument& d) { d.EditText(1, "30"); } },
        { "Choose Dew Point Temperature", [](CalculationDocument& d) { d.ClickOption(3); } },
        { "Unit of Ambient Temperature", [](CalculationDocument& d) { d.SelectUnit(1, 1); } },
        { "British Units", [](CalculationDocument& d) { d.ChooseBritish(); } },
        { "Hyland-Wexler Formulation", [](CalculationDocument& d) { d.ChooseHylandWexler(); } },
        { "Measurement Uncertainty", [=](CalculationDocument& d) { d.SetUncertainty(uncertainty); } },
        { "Pick State on Chart",
            [=](CalculationDocument& d) { d.SetInputs(picked, "Pick State on Chart"); } },
        { "Add Point E", [](CalculationDocument& d) { d.AddPoint(); } },
        { "Rename Point A", [](CalculationDocument& d) { d.RenamePoint(0, "OA"); } },
        { "Flow of Point B", [](CalculationDocument& d) { d.SetPointFlow(1, "2.5"); } },
        { "Move Point B Up", [](CalculationDocument& d) { d.MovePoint(1, -1); } },
        { "Delete Point C", [](CalculationDocument& d) { d.DeletePoints({ 2 }); } },
        { "Load Point A", [](CalculationDocument& d) { d.LoadPoint(0); } },
        { "Add Cooling Coil", [=](CalculationDocument& d) { d.AddProcess(coil); } },
        { "Edit Heating / Sensible Cooling",
            [](CalculationDocument& d) {
                ProcessSpec warmer = d.points().processes()[1];
                warmer.to_temperature_K = 273.15 + 32;
                d.EditProcess(1, warmer);
            } },
        { "Delete Mixing", [](CalculationDocument& d) { d.DeleteProcess(0); } },
        { "Properties",
            [](CalculationDocument& d) {
                d.SetProperties({ "Office", "J. Doe", "Summer" });
            } },
        { "Chart Data", [=](CalculationDocument& d) { d.SetChartData(chart); } },
    };
}

TEST(CalculationDocument, EveryKindOfStepIsRecordedWithItsNameAndRestoresBothWays)
{
    for (const StepCase& c : StepCases()) {
        CalculationDocument document;
        AddSummerDesign(document);
        Recorder recorder(document);
        const DocumentState start = document.state();
        int told = 0;
        document.Listen([&] { ++told; });
        c.change(document);
        ASSERT_EQ(recorder.steps.size(), 1U) << c.name;
        const Recorded& step = recorder.steps.front();
        EXPECT_EQ(step.step.name, c.name);
        EXPECT_EQ(step.step.merge, c.name.rfind("Typing", 0) == 0 ? 1 : 0) << c.name;
        EXPECT_GE(told, 1) << c.name;
        EXPECT_TRUE(SameState(step.before, start)) << c.name;
        EXPECT_TRUE(SameState(step.after, document.state())) << c.name;
        EXPECT_FALSE(SameState(step.before, step.after)) << c.name;
        const Calculation changed = document.ToCalculation();
        document.Restore(step.before);
        EXPECT_TRUE(SameState(document.state(), start)) << c.name;
        EXPECT_TRUE(document.window().controls() == start.window.controls()) << c.name;
        document.Restore(step.after);
        EXPECT_TRUE(document.ToCalculation() == changed) << c.name;
    }
}

// Editing a process moves its leaving point (same identity and name) and every point downstream to what
// the processes give now: the same texts as a design built afresh with the new parameters.
TEST(CalculationDocument, EditingAProcessCarriesItsLeavingPointAndTheOnesDownstream)
{
    const ProcessSpec cool = CoilFrom("D");
    // The summer design's heating (C to D at 30 C) edited to 40 C, with a process from D after it.
    CalculationDocument edited;
    AddSummerDesign(edited);
    ASSERT_EQ(edited.AddProcess(cool), "");
    const auto at_30 = edited.points().Shown(edited.window().CurrentInputs()).rows;
    ProcessSpec heat = edited.points().processes()[1];
    heat.to_temperature_K = 273.15 + 40;
    const int id_d = edited.points().IdOf(3);
    ASSERT_EQ(edited.EditProcess(1, heat), "");
    EXPECT_EQ(edited.points().IdOf(3), id_d);
    EXPECT_EQ(edited.points().points()[3].name, "D");
    // The same design built afresh with the heating to 40 C.
    CalculationDocument fresh;
    AddSummerDesign(fresh);
    fresh.DeletePoints({ 3 });
    heat.result_name = "D";
    ASSERT_EQ(fresh.AddProcess(heat), "");
    ASSERT_EQ(fresh.AddProcess(cool), "");
    const auto at_40 = edited.points().Shown(edited.window().CurrentInputs()).rows;
    EXPECT_EQ(at_40, fresh.points().Shown(fresh.window().CurrentInputs()).rows);
    ASSERT_EQ(at_40.size(), 5U);
    EXPECT_NE(at_40[3], at_30[3]); // D moved
    EXPECT_NE(at_40[4], at_30[4]); // and the coil's leaving point E with it
}

// An edit the processes refuse, or one that would start a process from a point its own leaving point
// feeds, changes nothing and says why.
TEST(CalculationDocument, AnEditThatIsRefusedChangesNothing)
{
    CalculationDocument document;
    AddSummerDesign(document);
    const ProcessSpec cool = CoilFrom("D");
    ASSERT_EQ(document.AddProcess(cool), "");
    Recorder recorder(document);
    const DocumentState start = document.state();
    ProcessSpec loop = document.points().processes()[1];
    loop.points = { "E" }; // E leaves the process that starts from D, which this one leaves at
    EXPECT_EQ(document.EditProcess(1, loop),
        "Point E depends on point D, which this process leaves at: a process cannot start from it.");
    ProcessSpec missing = loop;
    missing.points = { "Z" };
    EXPECT_EQ(document.EditProcess(1, missing), "There is no point Z.");
    EXPECT_EQ(document.EditProcess(7, cool), "There is no process 8.");
    EXPECT_TRUE(recorder.steps.empty());
    EXPECT_TRUE(SameState(document.state(), start));
}

/// The typed text of value box `box` and the selected item of unit list `list`.
std::pair<std::string, int> TypedIn(const DocumentState& state, int box, int list)
{
    const AmbientControls& controls = state.window.controls();
    return { (controls.*(kValueBoxes[static_cast<std::size_t>(box - 1)].box)).text,
        (controls.*(kUnitLists[static_cast<std::size_t>(list - 1)].list)).selected };
}

TEST(CalculationDocument, AConvertingUnitChangeIsOneStepThatUndoesToTheTypedTextAndUnit)
{
    struct Case
    {
        const char* name;
        bool convert;
        std::function<void(CalculationDocument&)> change;
        std::string step;
        std::string temperature_after; ///< the dry bulb's text after the change
    };
    const int fahrenheit = kTemperatureUnits[2].key == "F" ? 2 : -1;
    ASSERT_EQ(fahrenheit, 2);
    const std::vector<Case> cases = {
        { "unit list, converting", true, [](CalculationDocument& d) { d.SelectUnit(1, 2); }, UnitStepName(1),
            "95" },
        { "unit list, re-reading", false, [](CalculationDocument& d) { d.SelectUnit(1, 2); }, UnitStepName(1),
            "35" },
        { "unit system, converting", true, [](CalculationDocument& d) { d.ChooseBritish(); }, "British Units",
            "95" },
        { "unit system, re-reading", false, [](CalculationDocument& d) { d.ChooseBritish(); },
            "British Units", "35" },
    };
    for (const Case& c : cases) {
        CalculationDocument document;
        document.ClickOption(8); // the pressure is typed too
        document.EditText(2, "95");
        document.EditText(1, "35");
        document.SetConvertOnUnitChange(c.convert);
        Recorder recorder(document);
        const DocumentState start = document.state();
        c.change(document);
        ASSERT_EQ(recorder.steps.size(), 1U) << c.name;
        EXPECT_EQ(recorder.steps[0].step.name, c.step) << c.name;
        EXPECT_EQ(TypedIn(document.state(), 1, 1), std::make_pair(c.temperature_after, 2)) << c.name;
        if (c.convert) {
            // The state stays: pressure, temperature and humidity as before.
            const AmbientState& now = document.window().state();
            const AmbientState& was = start.window.state();
            EXPECT_NEAR(now.pressure, was.pressure, 1e-6 * was.pressure) << c.name;
            EXPECT_NEAR(now.temperature, was.temperature, 1e-4) << c.name;
            EXPECT_NEAR(now.humidity_ratio, was.humidity_ratio, 1e-6 * was.humidity_ratio) << c.name;
        }
        const DocumentState after = document.state();
        document.Restore(recorder.steps[0].before);
        EXPECT_EQ(TypedIn(document.state(), 1, 1), std::make_pair(std::string("35"), 0)) << c.name;
        EXPECT_EQ(TypedIn(document.state(), 2, 2), TypedIn(start, 2, 2)) << c.name;
        EXPECT_TRUE(document.window().controls() == start.window.controls()) << c.name;
        document.Restore(recorder.steps[0].after);
        EXPECT_TRUE(document.window().controls() == after.window.controls()) << c.name;
        // The preference is the user's, not the calculation's: undo and redo keep it.
        EXPECT_EQ(document.convertOnUnitChange(), c.convert) << c.name;
    }
}

TEST(CalculationDocument, AChangeThatChangesNothingIsNoStep)
{
    const std::vector<std::function<void(CalculationDocument&)>> nothing = {
        [](CalculationDocument& d) { d.RenamePoint(0, "A"); },
        [](CalculationDocument& d) { d.RenamePoint(0, "B"); },
        [](CalculationDocument& d) { d.SetPointFlow(0, "-1"); },
        [](CalculationDocument& d) { d.SetPointFlow(0, "x"); },
        [](CalculationDocument& d) { d.MovePoint(0, -1); },
        [](CalculationDocument& d) { d.MovePoint(3, +1); },
        [](CalculationDocument& d) { d.DeletePoints({ 9 }); },
        [](CalculationDocument& d) { d.DeleteProcess(5); },
        [](CalculationDocument& d) { d.LoadPoint(-1); },
        [](CalculationDocument& d) { d.SelectUnit(1, 0); },
        [](CalculationDocument& d) { d.SetProperties({}); },
        [](CalculationDocument& d) {
            ProcessSpec refused;
            refused.points = { "A" }; // a mixing of one point
            EXPECT_NE(d.AddProcess(refused), "");
        },
    };
    for (std::size_t i = 0; i < nothing.size(); ++i) {
        CalculationDocument document;
        AddSummerDesign(document);
        Recorder recorder(document);
        nothing[i](document);
        EXPECT_TRUE(recorder.steps.empty()) << i << ": " << recorder.steps.front().step.name;
    }
}

TEST(CalculationDocument, ListenersHearEveryChangeUntilTheyStop)
{
    CalculationDocument document;
    int a = 0;
    int b = 0;
    const int first = document.Listen([&] { ++a; });
    document.Listen([&] { ++b; });
    document.EditText(1, "20");
    document.AddPoint();
    document.Restore(document.state());
    document.Load(document.ToCalculation());
    EXPECT_EQ(a, 4);
    document.StopListening(first);
    document.EditText(1, "21");
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 5);
}

TEST(CalculationDocument, RecalculatingShowsWhatReopeningShowsWithoutAStep)
{
    // After an option click without typing, the boxes show the state before; recalculating from the inputs
    // shows what the file opened again shows, and records nothing.
    CalculationDocument document;
    document.ClickOption(3);
    Recorder recorder(document);
    CalculationDocument reopened;
    reopened.Load(document.ToCalculation());
    EXPECT_FALSE(document.window().controls() == reopened.window().controls());
    document.Recalculate();
    EXPECT_TRUE(document.window().controls() == reopened.window().controls());
    EXPECT_TRUE(recorder.steps.empty());
}

} // namespace
} // namespace humidora
