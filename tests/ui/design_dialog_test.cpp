// The "Add Process" dialog with the design's kinds, offscreen: supply air from a room's loads (its fields
// in the window's units, the leaving supply point with its flow, the ADP and volume among the loads) and
// heat recovery (its two points in the order chosen, the leaving exhaust point's name), with refusals.
#include "ui/process_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace humidora;

namespace {

AmbientInputs Typed(const std::string& temperature, const std::string& relative_humidity)
{
    AmbientInputs inputs;
    inputs.temperature = temperature;
    inputs.humidity_option = 2;
    inputs.humidity = relative_humidity;
    return inputs;
}

/// Adds a point with `inputs` (and a flow in kg/s) to the document, as the window would.
void Add(
    CalculationDocument& document, const AmbientInputs& inputs, std::optional<double> flow = std::nullopt)
{
    document.SetInputs(inputs, "Type");
    const int row = document.AddPoint();
    if (flow)
        QVERIFY(document.SetPointFlow(row, QString::number(*flow).toStdString()));
}

struct Dialog
{
    ProcessDialog dialog;

    Dialog(CalculationDocument& document, const AmbientInputs& units, const QString& kind)
        : dialog(document, units)
    {
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("combo_process_kind"));
        combo->setCurrentIndex(combo->findText(kind));
    }
    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(QLatin1String(name)); }
    QString problem() { return dialog.findChild<QLabel*>(QStringLiteral("label_process_problem"))->text(); }
    void select(int row)
    {
        dialog.findChild<QListWidget*>(QStringLiteral("list_process_points"))->item(row)->setSelected(true);
    }
    bool hasCaption(const QString& text)
    {
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text() == text)
                return true;
        }
        return false;
    }
};

} // namespace

class DesignDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void supplyAirFromTheRoomLoads()
    {
        CalculationDocument document;
        const StatePointsList& list = document.points();
        Add(document, Typed("24", "50"));
        Dialog d(document, AmbientInputs(), QStringLiteral("Supply Air from Room Loads"));
        QVERIFY(d.edit("edit_sensible-load")->isVisibleTo(&d.dialog));
        QVERIFY(!d.edit("edit_adp")->isVisibleTo(&d.dialog));
        QVERIFY(!d.edit("edit_exhaust_name")->isVisibleTo(&d.dialog));
        d.select(0);
        d.edit("edit_sensible-load")->setText(QStringLiteral("30"));
        d.edit("edit_latent-load")->setText(QStringLiteral("10"));
        d.edit("edit_supply-temperature")->setText(QStringLiteral("26"));
        QVERIFY(!d.dialog.apply());
        QVERIFY2(d.problem().contains(
                     QStringLiteral("supply dry bulb 26 C must lie below 24 C, the room dry bulb")),
            qPrintable(d.problem()));
        QCOMPARE(list.points().size(), std::size_t(1));
        d.edit("edit_supply-temperature")->setText(QStringLiteral("13"));
        d.edit("edit_result_name")->setText(QStringLiteral("SA"));
        QVERIFY2(d.dialog.apply(), qPrintable(d.problem()));
        QCOMPARE(list.points().size(), std::size_t(2));
        QCOMPARE(list.points()[1].name, std::string("SA"));
        QVERIFY(std::abs(*list.points()[1].flow_kg_s - 2.6734) < 1e-4);
        const std::vector<ProcessRow> rows = list.ShownProcessRows(AmbientInputs());
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(rows[0].kind), QStringLiteral("Supply Air from Room Loads"));
        std::string loads;
        for (const LoadLine& line : rows[0].loads)
            loads += LineText(line) + "; ";
        QVERIFY2(loads.find("Apparatus Dew Point 9.466 C") != std::string::npos, loads.c_str());
        QVERIFY2(loads.find("Supply Volume Flow 2.1949 m^3/s") != std::string::npos, loads.c_str());
        QVERIFY2(loads.find("Sensible Heat Ratio .75") != std::string::npos, loads.c_str());
    }

    void supplyFieldsInBritishUnits()
    {
        CalculationDocument document;
        const StatePointsList& list = document.points();
        AmbientInputs british = Typed("75.2", "50");
        british.system = UnitSystem::British;
        british.selections = kBritishSelection;
        british.pressure = "14.6959494";
        Add(document, british);
        Dialog d(document, british, QStringLiteral("Supply Air from Room Loads"));
        QVERIFY(d.hasCaption(QStringLiteral("Room Total Load (btu/h)")));
        QVERIFY(d.hasCaption(QStringLiteral("Supply Dry-Air Flow (lb/h)")));
        QVERIFY(!d.hasCaption(QStringLiteral("Room Total Load (kW)")));
        d.select(0);
        d.edit("edit_total-load")->setText(QStringLiteral("136485.67"));
        d.edit("edit_sensible-heat-ratio")->setText(QStringLiteral("0.75"));
        d.edit("edit_supply-flow")->setText(QStringLiteral("21825.76"));
        QVERIFY2(d.dialog.apply(), qPrintable(d.problem()));
        QVERIFY(std::abs(*list.points()[1].flow_kg_s - 2.75) < 1e-6);
        QVERIFY(std::abs(*list.processes()[0].total_load_kW - 40) < 1e-5); // 136485.67 btu/h
    }

    void heatRecoveryTakesItsPointsInTheOrderChosen()
    {
        CalculationDocument document;
        const StatePointsList& list = document.points();
        Add(document, Typed("22", "40"), 1.8); // A: exhaust
        Add(document, Typed("-5", "80"), 2.0); // B: outdoor
        Dialog d(document, AmbientInputs(), QStringLiteral("Heat Recovery"));
        QVERIFY(d.edit("edit_exhaust_name")->isVisibleTo(&d.dialog));
        d.edit("edit_sensible-effectiveness")->setText(QStringLiteral("0.7"));
        d.select(1);
        QVERIFY(!d.dialog.apply());
        QCOMPARE(d.problem(),
            QStringLiteral("Heat Recovery takes two points, the outdoor air and the exhaust air, not 1."));
        d.select(0); // chosen second: the exhaust
        d.edit("edit_result_name")->setText(QStringLiteral("OA2"));
        d.edit("edit_exhaust_name")->setText(QStringLiteral("EA2"));
        QVERIFY2(d.dialog.apply(), qPrintable(d.problem()));
        const ProcessSpec& kept = list.processes().at(0);
        QCOMPARE(kept.points, (std::vector<std::string> { "B", "A" }));
        QCOMPARE(kept.exhaust_result_name, std::string("EA2"));
        QCOMPARE(list.points().size(), std::size_t(4));
        // The outdoor air is warmed, the exhaust cooled; both keep their flows.
        const ProcessOutcome outcome = list.Evaluate(kept);
        QVERIFY(outcome.refusal.empty());
        QVERIFY(outcome.result.leaving.state.T_K > 268.15);
        QVERIFY(outcome.result.exhaust_leaving->state.T_K < 295.15);
        QCOMPARE(list.points()[2].name, std::string("OA2"));
        QCOMPARE(*list.points()[2].flow_kg_s, 2.0);
        QCOMPARE(list.points()[3].name, std::string("EA2"));
        QCOMPARE(*list.points()[3].flow_kg_s, 1.8);
        const std::vector<ProcessRow> rows = list.ShownProcessRows(AmbientInputs());
        QCOMPARE(QString::fromStdString(rows[0].to), QStringLiteral("OA2, EA2"));
        // Edited, the recovery keeps its points in its own order (the outdoor air B is the later row) and
        // both leaving points, which take the new states.
        Dialog edit(document, AmbientInputs(), QStringLiteral("Heat Recovery"));
        edit.dialog.editProcess(0);
        QCOMPARE(edit.edit("edit_exhaust_name")->text(), QStringLiteral("EA2"));
        edit.edit("edit_sensible-effectiveness")->setText(QStringLiteral("0.5"));
        QVERIFY2(edit.dialog.apply(), qPrintable(edit.problem()));
        QCOMPARE(list.processes().at(0).points, (std::vector<std::string> { "B", "A" }));
        QCOMPARE(*list.processes().at(0).sensible_effectiveness, 0.5);
        QCOMPARE(list.points().size(), std::size_t(4));
        const ProcessOutcome edited = list.EvaluateKept(0);
        QVERIFY(edited.refusal.empty());
        QVERIFY(
            std::abs(ViewPoint(list.points()[2].inputs).state.T_K - edited.result.leaving.state.T_K) < 1e-4);
        QVERIFY(
            std::abs(ViewPoint(list.points()[3].inputs).state.T_K - edited.result.exhaust_leaving->state.T_K)
            < 1e-4);
        // A name already in use refuses the next one.
        Dialog again(document, AmbientInputs(), QStringLiteral("Heat Recovery"));
        again.select(1);
        again.select(0);
        again.edit("edit_sensible-effectiveness")->setText(QStringLiteral("0.7"));
        again.edit("edit_exhaust_name")->setText(QStringLiteral("EA2"));
        QVERIFY(!again.dialog.apply());
        QCOMPARE(again.problem(), QStringLiteral("There is a point EA2 already."));
    }
};

QTEST_MAIN(DesignDialogTest)
#include "design_dialog_test.moc"
