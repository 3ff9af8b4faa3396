// The dialogs of the chart's data: the column chooser of File > Plot Data..., the zones of File > Zones...
// and the size of File > Export....
#pragma once

#include "calc/document/chart_data.h"

#include <QDialog>
#include <QSize>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace humidora::ui {

/// Which column of a CSV file holds the dry bulb, which the humidity (its parameter and unit), and where
/// the pressure comes from (a fixed pressure or altitude, or a column), with the file's delimiter and
/// decimal separator. The header is read when the file or the delimiter changes.
class PlotDataDialog : public QDialog
{
    Q_OBJECT

public:
    /// Starts from `source` (its path may be empty); `window` gives the units, formulation and pressure
    /// used where source has none.
    PlotDataDialog(const DataSource& source, QWidget* parent = nullptr);

    /// The choices as a data source; meaningful after accept().
    DataSource source() const;

    /// Reads the header of the file named in the path box into the column lists; false (with the reason
    /// shown under the choices) when it cannot be read.
    bool readHeader();

    void accept() override;

private:
    /// The unit lists of the humidity parameter and of the pressure or altitude chosen.
    void fillUnits();
    void fillPressureUnits();
    void choose(QComboBox* box, const std::string& text);

    DataSource start_;
    QLineEdit* path_;
    QComboBox* delimiter_;
    QCheckBox* decimal_comma_;
    QComboBox* temperature_column_;
    QComboBox* temperature_unit_;
    QComboBox* humidity_parameter_;
    QComboBox* humidity_column_;
    QComboBox* humidity_unit_;
    QComboBox* pressure_source_;
    QLineEdit* pressure_value_;
    QComboBox* pressure_column_;
    QComboBox* pressure_unit_;
    QCheckBox* hours_;
    QLabel* problem_;
};

/// The zones, one a line as "name=Comfort,temperature=20:26,relative-humidity=30:60" (ranges LOW:HIGH in
/// the main window's units, or LOW:HIGH:UNIT). OK checks every line and names the first problem.
class ZonesDialog : public QDialog
{
    Q_OBJECT

public:
    ZonesDialog(const std::vector<Zone>& zones, const AmbientInputs& units, QWidget* parent = nullptr);
    const std::vector<Zone>& zones() const { return zones_; }
    void accept() override;

private:
    AmbientInputs units_;
    std::vector<Zone> zones_;
    QPlainTextEdit* text_;
    QLabel* problem_;
};

/// The size of an exported picture: pixels, or a print size in millimetres at a resolution.
class ExportSizeDialog : public QDialog
{
    Q_OBJECT

public:
    ExportSizeDialog(const QSize& pixels, QWidget* parent = nullptr);
    /// The size in pixels the choices give.
    QSize pixels() const;
    void accept() override;

private:
    void update();

    QComboBox* mode_;
    QSpinBox* width_;
    QSpinBox* height_;
    QDoubleSpinBox* width_mm_;
    QDoubleSpinBox* height_mm_;
    QSpinBox* dpi_;
    QLabel* result_;
};

} // namespace humidora::ui
