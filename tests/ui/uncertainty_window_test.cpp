// Option > Measurement Uncertainty... on the real main window, offscreen: the dialog found by its
// objectName and typed into, the "± U" labels beside the outputs, a flagged interval, refused fields, and the
// settings kept with the calculation file.
#include "ui/file_commands.h"
#include "ui/form_ambient.h"
#include "ui/form_chart.h"
#include "ui/state_points_dock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QDialog* OpenDialog(Form_ambient& form)
{
    form.findChild<QAction*>(QStringLiteral("menu_uncertainty"))->trigger();
    return form.findChild<QDialog*>(QStringLiteral("Form_uncertainty"));
}

void Type(QDialog* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void ClickOk(QDialog* dialog)
{
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

QLabel* Label(Form_ambient& form, int box)
{
    return form.findChild<QLabel*>(QStringLiteral("Uncertainty%1").arg(box));
}

} // namespace

class UncertaintyWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void theChartDrawsTheRegionOfTheStateAndOfEachMeasuredPoint()
    {
        Form_ambient form;
        auto* dock = new humidora::StatePointsDock(form);
        form.show();
        form.findChild<QPushButton*>(QStringLiteral("button_add_point"))->click();
        form.findChild<QAction*>(QStringLiteral("menu_chart"))->trigger();
        Form_chart* chart = form.chart(); // in its dock of the main window
        QVERIFY(chart);
        QVERIFY(chart->picture().marker_region.empty());
        QCOMPARE(chart->picture().overlay.points.size(), std::size_t(1));
        QVERIFY(chart->picture().overlay.points[0].region.empty());

        // On: the marker and the point (stated like the window) get their regions, the same one here.
        QDialog* dialog = OpenDialog(form);
        QVERIFY(dialog);
        ClickOk(dialog);
        const humidora::chart::ChartPicture on = chart->picture();
        QCOMPARE(on.marker_region.size(), std::size_t(humidora::chart::kRegionSegments));
        QVERIFY(on.overlay.points[0].region == on.marker_region);

        // The window gives the dew point now: the accuracy of the humidity is the dew point's, which means
        // nothing for the point given by its relative humidity; its region goes, the marker's stays.
        QTest::mouseClick(form.findChild<QRadioButton*>(QStringLiteral("Option3")), Qt::LeftButton);
        QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("Option3"))->isChecked());
        QVERIFY(!chart->picture().marker_region.empty());
        QVERIFY(chart->picture().overlay.points[0].region.empty());

        // Off: none.
        dialog = OpenDialog(form);
        dialog->findChild<QCheckBox*>("uncertainty_on")->setChecked(false);
        ClickOk(dialog);
        QVERIFY(chart->picture().marker_region.empty());
        QVERIFY(chart->picture().overlay.points[0].region.empty());
        Q_UNUSED(dock);
    }

    void typicalSensorsShowEveryOutputWithItsExpandedUncertainty()
    {
        Form_ambient form;
        new humidora::StatePointsDock(form);
        form.show();
        QVERIFY(!Label(form, 5)->isVisible());
        QDialog* dialog = OpenDialog(form);
        QVERIFY(dialog);
        // The typical sensors are the starting point: +-0.2 K, +-2 %, +-0.1 kPa.
        QCOMPARE(dialog->findChild<QLineEdit*>("accuracy_temperature")->text(), QStringLiteral(".2"));
        QCOMPARE(dialog->findChild<QLineEdit*>("accuracy_humidity")->text(), QStringLiteral("2"));
        QCOMPARE(dialog->findChild<QLineEdit*>("accuracy_pressure")->text(), QStringLiteral(".1"));
        QVERIFY(dialog->findChild<QCheckBox*>("uncertainty_on")->isChecked());
        ClickOk(dialog);
        // The dew point (Text5) of the start-up state: 13.864 +- 0.74 C; the caption gives the coverage.
        QCOMPARE(Label(form, 5)->text(), QString::fromUtf8("± 0.74"));
        QVERIFY(Label(form, 5)->isVisible());
        QCOMPARE(Label(form, 16)->text(), QString::fromUtf8("± 1.3"));
        QCOMPARE(form.findChild<QLabel*>("UncertaintyCaption")->text(),
            QString::fromUtf8("± U (k = 2, about 95 %)"));
        // The labels take a column of their own: nothing they overlap, every box and label keeps its place.
        QApplication::processEvents();
        const auto place = [&form](const QWidget* widget) {
            return QRect(widget->mapTo(&form, QPoint(0, 0)), widget->size());
        };
        for (int box = 1; box <= 16; ++box) {
            const QRect label = place(Label(form, box));
            for (const QWidget* other : form.findChildren<QWidget*>()) {
                const bool control = qobject_cast<const QLineEdit*>(other)
                    || other->objectName().startsWith("Label") || other->objectName().startsWith("Combo");
                if (control && other->isVisible() && other != Label(form, box))
                    QVERIFY2(!label.intersects(place(other)), qPrintable(other->objectName()));
            }
        }
        if (qEnvironmentVariableIsSet("HUMIDORA_UNCERTAINTY_SHOT"))
            form.grab().save(qEnvironmentVariable("HUMIDORA_UNCERTAINTY_SHOT"));
        // Edit > Copy Results carries them in columns of their own.
        form.findChild<QAction*>(QStringLiteral("menu_copy_results"))->trigger();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.contains("U Dew Point Temperature (k = 2) (C)"), qPrintable(copied));
        QVERIFY2(copied.contains("\t0.74\t"), qPrintable(copied));
        // A keystroke recalculates them; at 99 % the relative humidity's interval passes 100 %: flagged.
        QLineEdit* rh = form.findChild<QLineEdit*>("Text4");
        rh->selectAll();
        QTest::keyClicks(rh, "99");
        QCOMPARE(Label(form, 4)->text(), QString::fromUtf8("± 2.3 !"));
        QVERIFY(Label(form, 4)->toolTip().contains("101.309"));
        // A refused input shows no uncertainty.
        rh->selectAll();
        QTest::keyClicks(rh, "120");
        QCOMPARE(Label(form, 5)->text(), QString());
    }

    void badFieldsAreNamedAndTheDialogStaysOpen()
    {
        Form_ambient form;
        form.show();
        QDialog* dialog = OpenDialog(form);
        Type(dialog, "accuracy_temperature", "-1");
        ClickOk(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QLabel*>("uncertainty_problem")->text(),
            QStringLiteral("the accuracy of the temperature -1 is below its minimum of 0"));
        Type(dialog, "accuracy_temperature", "0,2");
        ClickOk(dialog);
        QVERIFY(dialog->findChild<QLabel*>("uncertainty_problem")->text().contains("is not a number"));
        QVERIFY(!form.logic().uncertainty().enabled);
    }

    void keptWithTheCalculationFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sensor.humidora");
        Form_ambient form;
        auto* files = new humidora::FileCommands(
            form, [&](humidora::FileCommands::Prompt, const QString&) { return path; },
            [](const QString&) { return humidora::FileCommands::ChangesAnswer::Discard; });
        form.show();
        QDialog* dialog = OpenDialog(form);
        Type(dialog, "accuracy_humidity", "3");
        ClickOk(dialog);
        QVERIFY(files->hasUnsavedChanges());
        QVERIFY(files->saveFile(path));
        Form_ambient other;
        auto* reader = new humidora::FileCommands(
            other, [&](humidora::FileCommands::Prompt, const QString&) { return path; },
            [](const QString&) { return humidora::FileCommands::ChangesAnswer::Discard; });
        other.show();
        QVERIFY(reader->openFile(path));
        QCOMPARE(other.logic().uncertainty(), form.logic().uncertainty());
        QCOMPARE(Label(other, 5)->text(), Label(form, 5)->text());
        QVERIFY(!reader->hasUnsavedChanges());
    }
};

QTEST_MAIN(UncertaintyWindowTest)
#include "uncertainty_window_test.moc"
