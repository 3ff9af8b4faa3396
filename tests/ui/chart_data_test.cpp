// The chart's data in the window, offscreen: the column chooser reads the header and gives the source of
// its choices, the zones dialog checks every line, the export size in pixels or print size, and the chart
// window reads the file off its thread, shows the layer, and keeps the settings when the file is missing.
#include "form_ambient_testing.h"
#include "ui/chart_data_dialogs.h"
#include "ui/form_chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using testing_ui::WindowUnderTest;

namespace {

/// Option > Psychrometric Chart: the chart, shown in its dock of the main window.
Form_chart* OpenChart(WindowUnderTest& w)
{
    w.action("menu_chart")->trigger();
    Form_chart* chart = w.window->chart();
    return chart != nullptr && chart->isVisibleTo(w.window.get()) ? chart : nullptr;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& contents)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(contents);
    return file.fileName();
}

template <class T> T* Child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QLatin1String(name));
}

} // namespace

class ChartDataTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void columnChooserReadsTheHeaderAndGivesItsChoices();
    void zonesDialogChecksEveryLine();
    void exportSizeInPixelsOrPrintSize();
    void chartWindowPlotsTheFileAndKeepsSettingsOfAMissingOne();
};

void ChartDataTest::columnChooserReadsTheHeaderAndGivesItsChoices()
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "log.csv", "time;Temp;Dew;P\n1;20,5;10;1013\n");
    humidora::DataSource start;
    start.path = path.toStdString();
    start.delimiter = ';';
    humidora::ui::PlotDataDialog dialog(start);
    auto* temperature = Child<QComboBox>(&dialog, "data_temperature_column");
    QCOMPARE(temperature->count(), 4);
    temperature->setCurrentText("Temp");
    auto* parameter = Child<QComboBox>(&dialog, "data_humidity_parameter");
    parameter->setCurrentIndex(parameter->findText("Dew Point Temperature"));
    Child<QComboBox>(&dialog, "data_humidity_column")->setCurrentText("Dew");
    Child<QComboBox>(&dialog, "data_humidity_unit")->setCurrentText("F");
    auto* pressure = Child<QComboBox>(&dialog, "data_pressure_source");
    pressure->setCurrentText("Pressure column");
    Child<QComboBox>(&dialog, "data_pressure_column")->setCurrentText("P");
    Child<QComboBox>(&dialog, "data_pressure_unit")->setCurrentText("mBar");
    Child<QCheckBox>(&dialog, "data_decimal_comma")->setChecked(true);
    Child<QCheckBox>(&dialog, "data_hours")->setChecked(true);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const humidora::DataSource source = dialog.source();
    QCOMPARE(source.temperature_column, std::string("Temp"));
    QCOMPARE(source.humidity_column, std::string("Dew"));
    QCOMPARE(source.pressure_column, std::string("P"));
    QCOMPARE(source.inputs.humidity_option, 3);
    QCOMPARE(source.inputs.selections[2], 2); // F in the dew point's list
    QCOMPARE(source.inputs.selections[1], 3); // mBar
    QCOMPARE(source.inputs.system, humidora::UnitSystem::Customized);
    QVERIFY(!source.inputs.altitude_given);
    QCOMPARE(source.delimiter, ';');
    QVERIFY(source.decimal_comma && source.hourly);

    // A file that cannot be read keeps the dialog open with the reason.
    humidora::ui::PlotDataDialog missing(humidora::DataSource {});
    Child<QLineEdit>(&missing, "data_path")->setText(dir.filePath("none.csv"));
    missing.accept();
    QVERIFY(missing.result() != QDialog::Accepted);
    QVERIFY(Child<QLabel>(&missing, "data_problem")->text().contains("Could not read the data file"));
}

void ChartDataTest::zonesDialogChecksEveryLine()
{
    const humidora::AmbientInputs metric;
    humidora::ui::ZonesDialog dialog({}, metric);
    auto* text = Child<QPlainTextEdit>(&dialog, "zones_text");
    text->setPlainText(
        "name=Comfort,temperature=20:26,relative-humidity=30:60\n\nname=Bad,temperature=30:20");
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(Child<QLabel>(&dialog, "zones_problem")->text(),
        QStringLiteral(
            "Line 3: The zone \"Bad\": the dry bulb's low end 30 C lies above its high end 20 C."));
    text->setPlainText("name=Comfort,temperature=20:26,relative-humidity=30:60\nname=Dry,temperature=68:80:F,"
                       "dew-point=0:10");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.zones().size(), std::size_t(2));
    QCOMPARE(dialog.zones()[1].dry_bulb.unit, std::string("F"));
    QCOMPARE(dialog.zones()[1].dew_point->unit, std::string("C"));
    // The dialog shows the zones it was given, each reading back to itself.
    humidora::ui::ZonesDialog again(dialog.zones(), metric);
    again.accept();
    QVERIFY(again.zones() == dialog.zones());
}

void ChartDataTest::exportSizeInPixelsOrPrintSize()
{
    humidora::ui::ExportSizeDialog dialog(QSize(1920, 1200));
    QCOMPARE(dialog.pixels(), QSize(1920, 1200));
    Child<QComboBox>(&dialog, "export_size_mode")->setCurrentIndex(1);
    Child<QDoubleSpinBox>(&dialog, "export_width_mm")->setValue(254);
    Child<QDoubleSpinBox>(&dialog, "export_height_mm")->setValue(127);
    Child<QSpinBox>(&dialog, "export_dpi")->setValue(300);
    QCOMPARE(dialog.pixels(), QSize(3000, 1500));
    // Beyond the largest picture: refused, with the limits.
    Child<QSpinBox>(&dialog, "export_dpi")->setValue(1200);
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QVERIFY(Child<QLabel>(&dialog, "export_result")->text().endsWith("200 x 150 to 8000 x 8000 pixels"));
}

void ChartDataTest::chartWindowPlotsTheFileAndKeepsSettingsOfAMissingOne()
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "w.csv", "T,RH\n20,30\n26,60\n30,50\nwarm,50\n");
    WindowUnderTest w;
    Form_chart* chart = OpenChart(w);
    QVERIFY(chart);
    humidora::ChartData data;
    data.source.emplace();
    data.source->path = path.toStdString();
    data.source->temperature_column = "T";
    data.source->humidity_column = "RH";
    data.zones.push_back({ "Comfort", { 20, 26, "C" }, {}, {}, humidora::ZoneRange { 30, 60, "%" } });
    w.window->setChartData(data);
    QTRY_VERIFY(chart->model().rows() != nullptr);
    QCOMPARE(chart->model().rows()->points.size(), std::size_t(3));
    QVERIFY(chart->statusBar()->currentMessage().contains("4 rows, 1 refused (row 4: Ambient Temperature"));
    const humidora::chart::ChartPicture picture = chart->picture();
    QVERIFY(picture.data);
    QCOMPARE(picture.data->zones.front().legend, std::string("Comfort: 3 rows: 2 inside, 66.7 %"));
    QCOMPARE(picture.data->points.size(), std::size_t(3));

    // The file moved away: reported, the zones still drawn, the settings kept.
    QFile::rename(path, dir.filePath("moved.csv"));
    data.source->hourly = true;
    w.window->setChartData(data);
    QTRY_VERIFY(!chart->reading());
    QVERIFY(chart->statusBar()->currentMessage().startsWith("Could not read the data file"));
    QVERIFY(chart->model().rows() == nullptr);
    QCOMPARE(chart->picture().data->zones.size(), std::size_t(1));
    QVERIFY(w.window->chartData() == data);
}

QTEST_MAIN(ChartDataTest)
#include "chart_data_test.moc"
