// One keystroke in the main window, end to end: the key event, the forwarded edit, the recalculation and
// the push of the whole control model to the widgets; optionally also the repaint that follows.
#include "calc/windows/ambient_window.h"
#include "io/chart_picture.h"
#include "ui/desktop_services.h"
#include "ui/form_ambient.h"
#include "ui/form_chart.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

class NoDesktop final : public humidora::DesktopServices
{
public:
    humidora::DocumentOpening openDocument(const QString&) override { return {}; }
    bool openAddress(const QString&) override { return false; }
};

/// Types alternately `first` and `second` into the input box of `option` (0: the temperature box); with
/// `chart`, the chart window is open and follows every keystroke.
void Keystroke(benchmark::State& state, int option, const char* box_name, Qt::Key first, Qt::Key second,
    bool repaint, bool chart = false)
{
    Form_ambient window(std::make_unique<NoDesktop>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    if (chart) {
        window.findChild<QAction*>(QStringLiteral("menu_chart"))->trigger();
        QWidget* chart_window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<Form_chart*>(widget) != nullptr)
                chart_window = widget;
        }
        if (chart_window == nullptr || !QTest::qWaitForWindowExposed(chart_window)) {
            state.SkipWithError("the chart window was not exposed");
            return;
        }
        chart_window->resize(1200, 800);
        window.activateWindow();
    }
    if (option != 0)
        QTest::mouseClick(
            window.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(option)), Qt::LeftButton);
    auto* box = window.findChild<QLineEdit*>(QLatin1String(box_name));
    box->setFocus();
    box->end(false);
    QCoreApplication::processEvents();
    const long before = window.logic().calculations();

    bool odd = true;
    for (auto _ : state) {
        QTest::keyClick(box, odd ? first : second);
        odd = !odd;
        if (repaint)
            QCoreApplication::processEvents();
    }
    const long runs = window.logic().calculations() - before;
    if (runs != static_cast<long>(state.iterations()))
        state.SkipWithError("not one recalculation per keystroke");
    state.counters["recalculations"] = static_cast<double>(runs);
}

// "25" -> "2" -> "25": every output changes, every input stays accepted.
void BM_KeystrokeTemperature(benchmark::State& state)
{
    Keystroke(state, 0, "Text1", Qt::Key_Backspace, Qt::Key_5, false);
}
void BM_KeystrokeTemperatureWithRepaint(benchmark::State& state)
{
    Keystroke(state, 0, "Text1", Qt::Key_Backspace, Qt::Key_5, true);
}
// "25" -> "251" -> "25": the refusal report and back, the most widgets changing colour.
void BM_KeystrokeTemperatureRefusedWithRepaint(benchmark::State& state)
{
    Keystroke(state, 0, "Text1", Qt::Key_1, Qt::Key_Backspace, true);
}
// The wet bulb as given parameter: the route with the most bisection steps.
void BM_KeystrokeWetBulb(benchmark::State& state)
{
    Keystroke(state, 4, "Text6", Qt::Key_1, Qt::Key_Backspace, false);
}
void BM_KeystrokeWetBulbWithRepaint(benchmark::State& state)
{
    Keystroke(state, 4, "Text6", Qt::Key_1, Qt::Key_Backspace, true);
}

// With the chart open: the recalculation, the chart following it (marker, cached lines) and the repaint of
// both windows.
void BM_KeystrokeWithChartOpenAndRepaint(benchmark::State& state)
{
    Keystroke(state, 0, "Text1", Qt::Key_Backspace, Qt::Key_5, true, true);
}

// The chart of the main window's state painted into a 1920 x 1200 image, its lines already cached (as
// on every repaint after the first).
void BM_ChartPaint1920x1200(benchmark::State& state)
{
    humidora::AmbientWindow window;
    window.Open();
    humidora::chart::ChartModel model;
    model.SetRange(static_cast<humidora::chart::ChartRange>(state.range(0)));
    model.Follow(window);
    const humidora::chart::ChartPicture picture = model.Picture();
    QImage image(1920, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        humidora::PaintChart(painter, QSizeF(image.size()), picture);
    }
}

BENCHMARK(BM_KeystrokeTemperature)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeWithChartOpenAndRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartPaint1920x1200)->ArgName("range")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeTemperatureWithRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeTemperatureRefusedWithRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeWetBulb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeWetBulbWithRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
