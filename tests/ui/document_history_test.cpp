// Undo and redo on the real main window: the Edit menu's entries, their shortcuts and step names, the
// keystrokes of one box as one step, the question before deleting points that processes use; and long
// random sequences of edits undone to the start and redone to the end, the calculation file written at
// both ends byte for byte the same as before.
#include "calc/document/calculation_document.h"
#include "form_ambient_testing.h"
#include "io/calculation_file.h"
#include "ui/document_history.h"
#include "ui/state_points_dock.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <random>

using testing_ui::WindowUnderTest;

namespace {

QByteArray FileOf(const humidora::CalculationDocument& document, const QString& path)
{
    const QString error
        = humidora::WriteCalculationFile(path, document.ToCalculation(), &document.window().controls());
    if (!error.isEmpty())
        qFatal("%s", qPrintable(error));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

/// A random edit of the document of every kind; `random` decides which and with what.
void RandomEdit(humidora::CalculationDocument& document, std::mt19937& random)
{
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const int points = static_cast<int>(document.points().points().size());
    static const char* const kTexts[] = { "25", "2", "30.5", "-5", "80", "50", "", "x", "101", "12" };
    switch (pick(16)) {
    case 0:
    case 1:
    case 2: {
        // Typing in a box that is an input now: one character less, or another text.
        const humidora::AmbientInputs inputs = document.window().CurrentInputs();
        const int box = std::array { 1, humidora::BoxOfOption(inputs.humidity_option),
            inputs.altitude_given ? 10 : 2 }[static_cast<std::size_t>(pick(3))];
        std::string text
            = (document.window().controls().*humidora::kValueBoxes[static_cast<std::size_t>(box - 1)].box)
                  .text;
        text = pick(3) == 0 ? text.substr(0, text.empty() ? 0 : text.size() - 1) : kTexts[pick(10)];
        document.EditText(box, text);
        break;
    }
    case 3:
        document.ClickOption(1 + pick(10));
        break;
    case 4: {
        const int list = 1 + pick(16);
        const humidora::UnitList& items
            = document.window().controls().*humidora::kUnitLists[static_cast<std::size_t>(list - 1)].list;
        document.SelectUnit(list, pick(static_cast<int>(items.items.size())));
    } break;
    case 5:
        pick(2) ? document.ChooseBritish() : document.ChooseMetric();
        break;
    case 6:
        pick(2) ? document.ChooseHylandWexler() : document.ChooseIapws();
        break;
    case 7:
    case 8:
        document.AddPoint();
        break;
    case 9:
        if (points > 0)
            document.RenamePoint(pick(points), std::string(1, static_cast<char>('K' + pick(8))));
        break;
    case 10:
        if (points > 0)
            document.SetPointFlow(pick(points), pick(4) == 0 ? "" : kTexts[pick(10)]);
        break;
    case 11:
        if (points > 1)
            document.MovePoint(pick(points), pick(2) ? 1 : -1);
        break;
    case 12:
        if (points > 0)
            document.DeletePoints({ pick(points) });
        break;
    case 13:
        if (points > 0)
            document.LoadPoint(pick(points));
        break;
    case 14: {
        if (points == 0)
            break;
        humidora::ProcessSpec recipe;
        if (points > 1 && pick(2) == 0) {
            recipe.points = { document.points().points()[static_cast<std::size_t>(pick(points))].name,
                document.points().points()[static_cast<std::size_t>(pick(points))].name };
        } else {
            recipe.kind = humidora::ProcessKind::Heat;
            recipe.points = { document.points().points()[static_cast<std::size_t>(pick(points))].name };
            recipe.to_temperature_K = 280 + pick(30);
        }
        document.AddProcess(recipe);
        break;
    }
    case 15: {
        const int which = pick(4);
        if (which == 0 && !document.points().processes().empty())
            document.DeleteProcess(pick(static_cast<int>(document.points().processes().size())));
        if (which == 1)
            document.SetProperties({ "Project " + std::to_string(pick(5)), "", "" });
        if (which == 2) {
            humidora::UncertaintySettings settings;
            settings.enabled = pick(2) == 0;
            settings.humidity = 1 + pick(3);
            document.SetUncertainty(settings);
        }
        if (which == 3) {
            humidora::ChartData data;
            if (pick(2))
                data.zones.push_back(
                    { "Zone", { 20.0 + pick(3), 26, "C" }, std::nullopt, std::nullopt, std::nullopt });
            document.SetChartData(data);
        }
        break;
    }
    }
}

} // namespace

class DocumentHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void editMenuEntriesAndShortcuts();
    void keystrokesOfOneBoxAreOneStep();
    void undoShowsExactlyWhatTheWindowShowed();
    void deletingUsedPointsAsksAndUndoes();
    void randomSequencesUndoToTheStartAndRedoToTheEnd_data();
    void randomSequencesUndoToTheStartAndRedoToTheEnd();
};

void DocumentHistoryTest::editMenuEntriesAndShortcuts()
{
    WindowUnderTest w;
    auto* edit = w.find<QMenu>(QStringLiteral("menu_edit"));
    QVERIFY(edit);
    QAction* undo = w.action("menu_undo");
    QAction* redo = w.action("menu_redo");
    QVERIFY(undo && redo);
    QCOMPARE(edit->actions().value(0), undo);
    QCOMPARE(edit->actions().value(1), redo);
    QCOMPARE(undo->shortcuts(), QList<QKeySequence> { QKeySequence(QStringLiteral("Ctrl+Z")) });
    QCOMPARE(redo->shortcuts(),
        (QList<QKeySequence> {
            QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y")) }));
    // Nothing to undo at start-up.
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));
    w.window->document().ChooseBritish();
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo British Units"));
    undo->trigger();
    QVERIFY(w.window->logic().controls().menu_metric);
    QCOMPARE(redo->text(), QStringLiteral("&Redo British Units"));
    QVERIFY(!undo->isEnabled());
}

void DocumentHistoryTest::keystrokesOfOneBoxAreOneStep()
{
    WindowUnderTest w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QLineEdit* temperature = w.text(1);
    QLineEdit* humidity = w.text(4);
    const QString start = temperature->text();
    temperature->setFocus();
    temperature->selectAll();
    QTest::keyClicks(temperature, QStringLiteral("31.5"));
    QUndoStack& stack = w.window->history().stack();
    QCOMPARE(stack.count(), 1);
    QCOMPARE(w.action("menu_undo")->text(), QStringLiteral("&Undo Typing in Ambient Temperature"));
    // Another box is another step; back in the first box, a new one.
    humidity->setFocus();
    humidity->selectAll();
    QTest::keyClicks(humidity, QStringLiteral("60"));
    temperature->setFocus();
    QTest::keyClicks(temperature, QStringLiteral("1"));
    QCOMPARE(stack.count(), 3);
    QCOMPARE(temperature->text(), QStringLiteral("31.51"));
    // Ctrl+Z in the box undoes the calculation's step, not the box's own editing.
    QTest::keyClick(temperature, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(temperature->text(), QStringLiteral("31.5"));
    QTest::keyClick(temperature, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(humidity->text(), QStringLiteral("50"));
    QTest::keyClick(temperature, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(temperature->text(), start);
    // Both redo keys.
    QTest::keyClick(temperature, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(temperature->text(), QStringLiteral("31.5"));
    QTest::keyClick(temperature, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(humidity->text(), QStringLiteral("60"));
    // Typed back to what it was, a box leaves no step.
    temperature->setFocus();
    temperature->selectAll();
    const int steps = stack.index();
    QTest::keyClicks(temperature, QStringLiteral("7"));
    QCOMPARE(stack.index(), steps + 1);
    temperature->selectAll();
    QTest::keyClicks(temperature, QStringLiteral("31.5"));
    QCOMPARE(stack.index(), steps);
    QVERIFY(!stack.canRedo());
    // With no step to undo or redo, the keys do nothing: the box's own undo never runs behind the
    // calculation's back.
    QTest::keyClicks(temperature, QStringLiteral("9"));
    w.window->history().startAfresh();
    for (const Qt::KeyboardModifiers modifiers :
        { Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier }) {
        QTest::keyClick(temperature, Qt::Key_Z, modifiers);
        QCOMPARE(temperature->text(), QStringLiteral("31.59"));
    }
    QTest::keyClick(temperature, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(temperature->text(), QStringLiteral("31.59"));
    QCOMPARE(stack.count(), 0);
}

void DocumentHistoryTest::undoShowsExactlyWhatTheWindowShowed()
{
    // Steps of every kind the window's own controls make; after each undo and redo the widgets show the
    // control model recorded at that step.
    WindowUnderTest w;
    std::vector<humidora::AmbientControls> shown { w.model() };
    const auto step = [&](const std::function<void()>& change) {
        change();
        shown.resize(static_cast<std::size_t>(w.window->history().stack().index()) + 1, w.model());
        shown.back() = w.model();
    };
    step([&] { testing_ui::ChooseItem(w.combo(1), 1); });
    step([&] { QTest::mouseClick(w.option(3), Qt::LeftButton); });
    step([&] { w.action("menu_british")->trigger(); });
    step([&] { w.action("menu_HW")->trigger(); });
    step([&] { w.window->document().EditText(5, "200"); }); // refused: red, with its reason
    step([&] { w.action("menu_metric")->trigger(); });
    QCOMPARE(w.window->history().stack().count(), 6);
    for (int index = 5; index >= 0; --index) {
        w.action("menu_undo")->trigger();
        QCOMPARE(testing_ui::DifferenceFromModel(w, shown[static_cast<std::size_t>(index)]), QString());
    }
    for (int index = 1; index <= 6; ++index) {
        w.action("menu_redo")->trigger();
        QCOMPARE(testing_ui::DifferenceFromModel(w, shown[static_cast<std::size_t>(index)]), QString());
    }
}

void DocumentHistoryTest::deletingUsedPointsAsksAndUndoes()
{
    WindowUnderTest w;
    auto* dock = new humidora::StatePointsDock(*w.window);
    QStringList asked;
    bool answer = false;
    dock->setDeleteConfirmation([&](const QString& question) {
        asked << question;
        return answer;
    });
    humidora::CalculationDocument& document = w.window->document();
    document.EditText(1, "35");
    document.AddPoint();
    document.EditText(1, "24");
    document.AddPoint();
    QVERIFY(document.SetPointFlow(0, "1"));
    QVERIFY(document.SetPointFlow(1, "3"));
    humidora::ProcessSpec mix;
    mix.points = { "A", "B" };
    mix.result_name = "MA";
    QCOMPARE(document.AddProcess(mix), std::string());
    humidora::ProcessSpec heat;
    heat.kind = humidora::ProcessKind::Heat;
    heat.points = { "MA" };
    heat.to_temperature_K = 300;
    QCOMPARE(document.AddProcess(heat), std::string());
    auto* table = w.find<QTableWidget>(QStringLiteral("table_points"));
    QCOMPARE(table->rowCount(), 4);
    table->setCurrentCell(2, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const humidora::Calculation before = document.ToCalculation();
    dock->deleteSelected();
    QCOMPARE(asked, QStringList { QStringLiteral("Delete point MA and the 2 processes that use it?") });
    QVERIFY(document.ToCalculation() == before);
    answer = true;
    table->setCurrentCell(2, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dock->deleteSelected();
    QCOMPARE(document.points().points().size(), std::size_t(3));
    QVERIFY(document.points().processes().empty());
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(w.action("menu_undo")->text(), QStringLiteral("&Undo Delete Point MA"));
    w.action("menu_undo")->trigger();
    QVERIFY(document.ToCalculation() == before);
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->item(2, 0)->text(), QStringLiteral("MA"));
    QCOMPARE(w.find<QTableWidget>(QStringLiteral("table_processes"))->rowCount(), 2);
    // Renamed in the table, the point keeps its processes; the rename is a step too.
    table->item(2, 0)->setText(QStringLiteral("Mixed"));
    QCOMPARE(document.points().processes()[1].points, std::vector<std::string> { "Mixed" });
    QCOMPARE(w.action("menu_undo")->text(), QStringLiteral("&Undo Rename Point MA"));
    w.action("menu_undo")->trigger();
    QCOMPARE(document.points().processes()[1].points, std::vector<std::string> { "MA" });
}

void DocumentHistoryTest::randomSequencesUndoToTheStartAndRedoToTheEnd_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("edits");
    QTest::newRow("seed 1") << 1U << 400;
    QTest::newRow("seed 20") << 20U << 300;
    QTest::newRow("seed 333") << 333U << 500;
}

void DocumentHistoryTest::randomSequencesUndoToTheStartAndRedoToTheEnd()
{
    QFETCH(unsigned, seed);
    QFETCH(int, edits);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("calculation.humidora"));
    humidora::CalculationDocument document;
    humidora::DocumentHistory history(document);
    const QByteArray start = FileOf(document, path);
    std::mt19937 random(seed);
    // The state at each index of the history, as it was when that step was made.
    std::vector<humidora::DocumentState> states { document.state() };
    for (int i = 0; i < edits; ++i) {
        RandomEdit(document, random);
        // Now and then the user leaves a box: typing does not merge across it.
        if (random() % 5 == 0)
            history.endMerging();
        states.resize(static_cast<std::size_t>(history.stack().index()) + 1, document.state());
        states.back() = document.state();
    }
    const QByteArray end = FileOf(document, path);
    const int steps = history.stack().index();
    QVERIFY2(steps > edits / 3, qPrintable(QStringLiteral("only %1 steps").arg(steps)));
    QVERIFY(!history.isClean());
    while (history.stack().canUndo()) {
        history.undo();
        QVERIFY(
            humidora::SameState(document.state(), states[static_cast<std::size_t>(history.stack().index())]));
    }
    QCOMPARE(FileOf(document, path), start);
    QVERIFY(history.isClean());
    while (history.stack().canRedo()) {
        history.redo();
        QVERIFY(
            humidora::SameState(document.state(), states[static_cast<std::size_t>(history.stack().index())]));
    }
    QCOMPARE(history.stack().index(), steps);
    QCOMPARE(FileOf(document, path), end);
}

QTEST_MAIN(DocumentHistoryTest)
#include "document_history_test.moc"
