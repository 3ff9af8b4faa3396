// The chart window on the real main window, offscreen: it follows every recalculation, a click sets the
// main window's state as typed, a refused point changes nothing, zoom, pan and the remembered range, and
// the exported pictures.
#include "form_ambient_testing.h"
#include "io/chart_picture.h"
#include "ui/form_chart.h"

#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using testing_ui::WindowUnderTest;

namespace {

/// Option > Psychrometric Chart: the chart, shown in its dock of the main window.
Form_chart* OpenChart(WindowUnderTest& w)
{
    w.action("menu_chart")->trigger();
    Form_chart* chart = w.window->chart();
    return chart != nullptr && chart->isVisibleTo(w.window.get()) ? chart : nullptr;
}

QPoint PixelOf(Form_chart* chart, double T_K, double W)
{
    const humidora::chart::PixelPoint p = chart->canvas()->axes().ToPixel({ T_K, W });
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

} // namespace

class FormChartTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void markerFollowsEveryKeystrokeAndHidesWhenRefused();
    void followsPressureFormulationAndSystem();
    void clickSetsTheStateAsTyped();
    void clickAboveSaturationChangesNothing();
    void readoutShowsTheWindowsTexts();
    void plotKeepsItsPlaceWhenAReadingOrMessageAppears();
    void draggingTheMarkerMovesTheState();
    void wheelZoomsDragPansHomeResets();
    void rangeIsRememberedBetweenRuns();
    void exportsEachFormat();
    void copyPutsTheChartOnTheClipboard();
};

void FormChartTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
}

void FormChartTest::cleanup()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->isVisible())
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QSettings().clear();
}

void FormChartTest::markerFollowsEveryKeystrokeAndHidesWhenRefused()
{
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    QVERIFY(chart);
    QCOMPARE(chart->windowTitle(), QStringLiteral("Psychrometric Chart"));
    QVERIFY(chart->model().marker().has_value());
    QCOMPARE(chart->model().marker()->T_K, 298.149993896484375);

    w.text(1)->selectAll();
    QTest::keyClicks(w.text(1), "3");
    QCOMPARE(chart->model().marker()->T_K, double(float(276.15)));
    QTest::keyClicks(w.text(1), "0");
    QCOMPARE(chart->model().marker()->T_K, double(float(303.15)));
    QCOMPARE(chart->model().marker()->W, w.window->logic().state().humidity_ratio);

    w.text(4)->selectAll();
    QTest::keyClicks(w.text(4), "150");
    QVERIFY(!chart->model().marker().has_value());
    QVERIFY(!chart->picture().marker.has_value());
}

void FormChartTest::followsPressureFormulationAndSystem()
{
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    QTest::mouseClick(w.option(9), Qt::LeftButton);
    w.text(10)->selectAll();
    QTest::keyClicks(w.text(10), "1500");
    QCOMPARE(chart->model().setup().pressure_Pa, w.window->logic().state().pressure);
    QVERIFY(chart->model().setup().pressure_Pa < 90000);
    w.action("menu_HW")->trigger();
    QCOMPARE(chart->model().setup().method, humidora::kHylandWexler);
    w.action("menu_british")->trigger();
    QCOMPARE(chart->model().setup().system, humidora::chart::ChartSystem::British);
    QVERIFY(chart->picture().subtitle.find("PSI") != std::string::npos);
}

void FormChartTest::clickSetsTheStateAsTyped()
{
    WindowUnderTest w;
    w.window->show();
    Form_chart* chart = OpenChart(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const long before = w.window->logic().calculations();
    const QPoint at = PixelOf(chart, 293.15, 0.008);
    const humidora::chart::ChartReadout expected = chart->model().ReadoutAt(
        chart->canvas()->axes(), chart->canvas()->axes().FromPixel({ double(at.x()), double(at.y()) }));
    QVERIFY(expected.accepted);

    QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, at);
    QVERIFY(w.option(1)->isChecked());
    QCOMPARE(w.text(1)->text(), QString::fromStdString(expected.inputs.temperature));
    QCOMPARE(w.text(3)->text(), QString::fromStdString(expected.inputs.humidity));
    QCOMPARE(w.window->logic().calculations(), before + 1);
    // Typed into the window, the same texts give the same state: the click is a typed state.
    QVERIFY(std::abs(w.text(1)->text().toDouble() - 20) < 0.05);
    QVERIFY(std::abs(w.text(3)->text().toDouble() - 0.008) < 0.0001);
    QCOMPARE(w.text(4)->text(), QString::fromStdString(expected.values[2].text));
    QVERIFY(w.text(3)->isReadOnly() == false);
    QVERIFY(chart->model().marker().has_value());
    QCOMPARE(chart->model().marker()->W, w.window->logic().state().humidity_ratio);
}

void FormChartTest::clickAboveSaturationChangesNothing()
{
    WindowUnderTest w;
    w.window->show();
    Form_chart* chart = OpenChart(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const humidora::AmbientInputs before = w.window->logic().CurrentInputs();
    const long calculations = w.window->logic().calculations();
    QTest::mouseClick(chart->canvas(), Qt::LeftButton, {}, PixelOf(chart, 283.15, 0.025));
    QVERIFY(w.window->logic().CurrentInputs() == before);
    QCOMPARE(w.window->logic().calculations(), calculations);
    QVERIFY(chart->statusBar()->currentMessage().contains(QStringLiteral("supersaturated")));
}

void FormChartTest::readoutShowsTheWindowsTexts()
{
    WindowUnderTest w;
    w.action("menu_british")->trigger();
    Form_chart* chart = OpenChart(w);
    chart->showReadout(PixelOf(chart, 300, 0.01));
    const QString readout = chart->findChild<QLabel*>(QStringLiteral("chart_readout"))->text();
    for (const char* part : { "Ambient Temperature", "F", "Humidity Ratio", "(lb moisture)/(lb dry air)",
             "Relative Humidity", "Wet Bulb Temperature", "Dew Point Temperature", "Specific Enthalpy",
             "btu/lb (dry air)", "Specific Volume", "ft^3/lb (dry air)" })
        QVERIFY2(readout.contains(QLatin1String(part)), qPrintable(readout));
    chart->showReadout(PixelOf(chart, 283.15, 0.025));
    QVERIFY(chart->findChild<QLabel*>(QStringLiteral("chart_readout"))->text().contains("supersaturated"));
}

void FormChartTest::plotKeepsItsPlaceWhenAReadingOrMessageAppears()
{
    WindowUnderTest w;
    w.window->show();
    Form_chart* chart = OpenChart(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const QRect canvas = chart->canvas()->geometry();
    // A reading of seven quantities takes two lines at this width.
    chart->showReadout(PixelOf(chart, 300, 0.01));
    QCoreApplication::processEvents();
    QVERIFY(!chart->findChild<QLabel*>(QStringLiteral("chart_readout"))->text().isEmpty());
    QCOMPARE(chart->canvas()->geometry(), canvas);
    chart->statusBar()->showMessage(QStringLiteral("A message"));
    QCoreApplication::processEvents();
    QCOMPARE(chart->canvas()->geometry(), canvas);
    chart->statusBar()->clearMessage();
    chart->findChild<QLabel*>(QStringLiteral("chart_readout"))->clear();
    QCoreApplication::processEvents();
    QCOMPARE(chart->canvas()->geometry(), canvas);
}

void FormChartTest::draggingTheMarkerMovesTheState()
{
    WindowUnderTest w;
    w.window->show();
    Form_chart* chart = OpenChart(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const humidora::chart::ChartPoint marker = *chart->model().marker();
    QTest::mousePress(chart->canvas(), Qt::LeftButton, {}, PixelOf(chart, marker.T_K, marker.W));
    const QPoint to = PixelOf(chart, 303.15, 0.012);
    QMouseEvent move(
        QEvent::MouseMove, to, chart->canvas()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(chart->canvas(), &move);
    QTest::mouseRelease(chart->canvas(), Qt::LeftButton, {}, to);
    QVERIFY(std::abs(w.window->logic().state().temperature - 303.15) < 0.1);
    QVERIFY(std::abs(w.window->logic().state().humidity_ratio - 0.012) < 0.0001);
    // The field did not pan: the drag moved the state.
    QCOMPARE(chart->model().field(), humidora::chart::PresetField(humidora::chart::ChartRange::Normal));
}

void FormChartTest::wheelZoomsDragPansHomeResets()
{
    WindowUnderTest w;
    w.window->show();
    Form_chart* chart = OpenChart(w);
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    const humidora::chart::ChartField normal = chart->model().field();
    const QPoint centre = PixelOf(chart, 293.15, 0.01);
    QWheelEvent wheel(centre, chart->canvas()->mapToGlobal(centre), {}, QPoint(0, 240), Qt::NoButton, {},
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->canvas(), &wheel);
    const humidora::chart::ChartField zoomed = chart->model().field();
    QVERIFY(zoomed.t_max_K - zoomed.t_min_K < 0.8 * (normal.t_max_K - normal.t_min_K));

    const humidora::AmbientInputs inputs = w.window->logic().CurrentInputs();
    QTest::mousePress(chart->canvas(), Qt::LeftButton, {}, centre);
    const QPoint to = centre + QPoint(80, 0);
    QMouseEvent move(
        QEvent::MouseMove, to, chart->canvas()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(chart->canvas(), &move);
    QTest::mouseRelease(chart->canvas(), Qt::LeftButton, {}, to);
    QVERIFY(chart->model().field().t_min_K < zoomed.t_min_K);
    QVERIFY(w.window->logic().CurrentInputs() == inputs);

    QTest::keyClick(chart, Qt::Key_Home);
    QCOMPARE(chart->model().field(), normal);
}

void FormChartTest::rangeIsRememberedBetweenRuns()
{
    {
        WindowUnderTest w;
        Form_chart* chart = OpenChart(w);
        chart->findChild<QAction*>(QStringLiteral("menu_chart_low"))->trigger();
        QCOMPARE(chart->model().field(), humidora::chart::PresetField(humidora::chart::ChartRange::Low));
        chart->close();
    }
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    QCOMPARE(chart->model().range(), humidora::chart::ChartRange::Low);
    QCOMPARE(chart->model().field(), humidora::chart::PresetField(humidora::chart::ChartRange::Low));
    QVERIFY(chart->findChild<QAction*>(QStringLiteral("menu_chart_low"))->isChecked());

    // A remembered field the chart may not show is left for the preset.
    chart->close();
    QSettings().setValue(QStringLiteral("chart/field"), QVariantList { 100.0, 50.0, 0.0, 2.0 });
    Form_chart* again = OpenChart(w);
    QCOMPARE(again->model().field(), humidora::chart::PresetField(humidora::chart::ChartRange::Low));
}

void FormChartTest::exportsEachFormat()
{
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    chart->resize(1100, 760);
    QTemporaryDir dir;
    QVERIFY(chart->exportTo(dir.filePath("chart.png")));
    QCOMPARE(QImageReader(dir.filePath("chart.png")).size(), chart->canvas()->size());
    QVERIFY(chart->exportTo(dir.filePath("chart.svg")));
    QFile svg(dir.filePath("chart.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&svg);
    int texts = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        texts += reader.isStartElement() && reader.name() == QLatin1String("text");
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QVERIFY(texts > 40);
    QVERIFY(chart->exportTo(dir.filePath("chart.pdf")));
    QProcess info;
    info.start("pdfinfo", { dir.filePath("chart.pdf") });
    QVERIFY(info.waitForFinished());
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\n")));
    QVERIFY(!chart->exportTo(dir.filePath("missing/chart.png")));
    QVERIFY(chart->statusBar()->currentMessage().contains(QStringLiteral("Could not write")));
}

void FormChartTest::copyPutsTheChartOnTheClipboard()
{
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    chart->findChild<QAction*>(QStringLiteral("menu_chart_copy"))->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), chart->canvas()->size());
}

QTEST_MAIN(FormChartTest)
#include "form_chart_test.moc"
