#include "ui/chart_data_dialogs.h"

#include "calc/units/ambient_controls.h"
#include "calc/units/quantities.h"
#include "chart/data_layer.h"
#include "io/chart_picture.h"
#include "io/data_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace humidora::ui {
namespace {

// The delimiters offered, as shown and as read.
const std::pair<const char*, char> kDelimiters[]
    = { { ",", ',' }, { ";", ';' }, { "Tab", '\t' }, { "|", '|' }, { "Space", ' ' } };
// Where the pressure comes from.
enum PressureSource
{
    FixedPressure,
    FixedAltitude,
    PressureColumn,
    AltitudeColumn
};

QStringList Items(int list)
{
    const AmbientControls lists;
    QStringList items;
    for (const std::string& item : ListOf(lists, list).items)
        items << QString::fromStdString(item);
    return items;
}

QComboBox* Combo(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QDialogButtonBox* Buttons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLabel* ProblemLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: rgb(198, 40, 40)"));
    return label;
}

} // namespace

PlotDataDialog::PlotDataDialog(const DataSource& source, QWidget* parent)
    : QDialog(parent)
    , start_(source)
{
    setObjectName(QStringLiteral("plot_data_dialog"));
    setWindowTitle(QStringLiteral("Plot Data"));
    auto* form = new QFormLayout;
    path_ = new QLineEdit(QString::fromStdString(source.path), this);
    path_->setObjectName(QStringLiteral("data_path"));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("data_browse"));
    auto* file_row = new QHBoxLayout;
    file_row->addWidget(path_, 1);
    file_row->addWidget(browse);
    form->addRow(QStringLiteral("CSV &file:"), file_row);

    delimiter_ = Combo("data_delimiter", this);
    for (const auto& [text, c] : kDelimiters)
        delimiter_->addItem(QString::fromUtf8(text), QChar(c));
    delimiter_->setCurrentIndex(std::max(0, delimiter_->findData(QChar(source.delimiter))));
    decimal_comma_ = new QCheckBox(QStringLiteral("Decimal &comma"), this);
    decimal_comma_->setObjectName(QStringLiteral("data_decimal_comma"));
    decimal_comma_->setChecked(source.decimal_comma);
    auto* format_row = new QHBoxLayout;
    format_row->addWidget(delimiter_);
    format_row->addWidget(decimal_comma_);
    format_row->addStretch();
    form->addRow(QStringLiteral("&Delimiter:"), format_row);

    temperature_column_ = Combo("data_temperature_column", this);
    temperature_unit_ = Combo("data_temperature_unit", this);
    temperature_unit_->addItems(Items(1));
    auto* temperature_row = new QHBoxLayout;
    temperature_row->addWidget(temperature_column_, 1);
    temperature_row->addWidget(temperature_unit_);
    form->addRow(QStringLiteral("Dry &bulb column:"), temperature_row);

    humidity_parameter_ = Combo("data_humidity_parameter", this);
    for (const Quantity& quantity : kQuantities) {
        if (quantity.isHumidity())
            humidity_parameter_->addItem(
                QString::fromUtf8(quantity.caption.data(), qsizetype(quantity.caption.size())),
                quantity.optionNumber());
    }
    humidity_column_ = Combo("data_humidity_column", this);
    humidity_unit_ = Combo("data_humidity_unit", this);
    auto* humidity_row = new QHBoxLayout;
    humidity_row->addWidget(humidity_parameter_);
    humidity_row->addWidget(humidity_column_, 1);
    humidity_row->addWidget(humidity_unit_);
    form->addRow(QStringLiteral("&Humidity:"), humidity_row);

    pressure_source_ = Combo("data_pressure_source", this);
    pressure_source_->addItems({ QStringLiteral("Fixed pressure"), QStringLiteral("Fixed altitude"),
        QStringLiteral("Pressure column"), QStringLiteral("Altitude column") });
    pressure_value_ = new QLineEdit(this);
    pressure_value_->setObjectName(QStringLiteral("data_pressure_value"));
    pressure_column_ = Combo("data_pressure_column", this);
    pressure_unit_ = Combo("data_pressure_unit", this);
    auto* pressure_row = new QHBoxLayout;
    pressure_row->addWidget(pressure_source_);
    pressure_row->addWidget(pressure_value_, 1);
    pressure_row->addWidget(pressure_column_, 1);
    pressure_row->addWidget(pressure_unit_);
    form->addRow(QStringLiteral("&Pressure:"), pressure_row);

    hours_ = new QCheckBox(QStringLiteral("Each row is one &hour (counts are told in hours)"), this);
    hours_->setObjectName(QStringLiteral("data_hours"));
    hours_->setChecked(source.hourly);
    form->addRow(QString(), hours_);
    problem_ = ProblemLabel("data_problem", this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(Buttons(this));

    // The start: the source's choices, or the window's units and pressure.
    const AmbientInputs& inputs = source.inputs;
    temperature_unit_->setCurrentIndex(inputs.selections[0]);
    humidity_parameter_->setCurrentIndex(std::max(0, humidity_parameter_->findData(inputs.humidity_option)));
    const bool column = !source.pressure_column.empty();
    pressure_source_->setCurrentIndex(inputs.altitude_given ? (column ? AltitudeColumn : FixedAltitude)
                                                            : (column ? PressureColumn : FixedPressure));
    pressure_value_->setText(
        QString::fromStdString(inputs.altitude_given ? inputs.altitude : inputs.pressure));
    fillUnits();
    fillPressureUnits();

    connect(humidity_parameter_, &QComboBox::currentIndexChanged, this, &PlotDataDialog::fillUnits);
    connect(pressure_source_, &QComboBox::currentIndexChanged, this, &PlotDataDialog::fillPressureUnits);
    connect(path_, &QLineEdit::editingFinished, this, &PlotDataDialog::readHeader);
    connect(delimiter_, &QComboBox::currentIndexChanged, this, &PlotDataDialog::readHeader);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Plot Data"), path_->text(),
            QStringLiteral("CSV files (*.csv *.txt);;All files (*)"));
        if (path.isEmpty())
            return;
        path_->setText(path);
        readHeader();
    });
    if (!source.path.empty())
        readHeader();
}

void PlotDataDialog::choose(QComboBox* box, const std::string& text)
{
    const int index = box->findText(QString::fromStdString(text));
    if (index >= 0)
        box->setCurrentIndex(index);
}

void PlotDataDialog::fillUnits()
{
    const AmbientInputs& inputs = start_.inputs;
    const Quantity* humidity = FindQuantityByOption(humidity_parameter_->currentData().toInt());
    const int humidity_list = humidity->listNumber();
    humidity_unit_->clear();
    humidity_unit_->addItems(Items(humidity_list));
    humidity_unit_->setCurrentIndex(inputs.selections[static_cast<std::size_t>(humidity_list - 1)]);
}

void PlotDataDialog::fillPressureUnits()
{
    const AmbientInputs& inputs = start_.inputs;
    const int source = pressure_source_->currentIndex();
    const bool altitude = source == FixedAltitude || source == AltitudeColumn;
    const int list = altitude ? 10 : 2;
    pressure_unit_->clear();
    pressure_unit_->addItems(Items(list));
    pressure_unit_->setCurrentIndex(inputs.selections[static_cast<std::size_t>(list - 1)]);
    const bool column = source == PressureColumn || source == AltitudeColumn;
    pressure_value_->setVisible(!column);
    pressure_column_->setVisible(column);
}

bool PlotDataDialog::readHeader()
{
    const auto header = ReadDataHeader(path_->text(), delimiter_->currentData().toChar().toLatin1());
    // The columns chosen so far stay chosen where the file still has them.
    const std::string chosen[] = { temperature_column_->currentText().toStdString(),
        humidity_column_->currentText().toStdString(), pressure_column_->currentText().toStdString() };
    for (QComboBox* box : { temperature_column_, humidity_column_, pressure_column_ })
        box->clear();
    if (const QString* problem = std::get_if<QString>(&header)) {
        problem_->setText(*problem);
        return false;
    }
    problem_->clear();
    QStringList columns;
    for (const std::string& column : std::get<std::vector<std::string>>(header))
        columns << QString::fromStdString(column);
    for (QComboBox* box : { temperature_column_, humidity_column_, pressure_column_ })
        box->addItems(columns);
    if (start_.humidity_column.empty() && columns.size() > 1)
        humidity_column_->setCurrentIndex(1);
    choose(temperature_column_, chosen[0].empty() ? start_.temperature_column : chosen[0]);
    choose(humidity_column_, chosen[1].empty() ? start_.humidity_column : chosen[1]);
    choose(pressure_column_, chosen[2].empty() ? start_.pressure_column : chosen[2]);
    return true;
}

DataSource PlotDataDialog::source() const
{
    DataSource source;
    source.path = path_->text().toStdString();
    source.delimiter = delimiter_->currentData().toChar().toLatin1();
    source.decimal_comma = decimal_comma_->isChecked();
    source.hourly = hours_->isChecked();
    source.temperature_column = temperature_column_->currentText().toStdString();
    source.humidity_column = humidity_column_->currentText().toStdString();
    AmbientInputs& inputs = source.inputs;
    inputs = start_.inputs;
    inputs.selections[0] = temperature_unit_->currentIndex();
    inputs.humidity_option = humidity_parameter_->currentData().toInt();
    const Quantity* humidity = FindQuantityByOption(inputs.humidity_option);
    inputs.selections[static_cast<std::size_t>(humidity->listNumber() - 1)] = humidity_unit_->currentIndex();
    const int from = pressure_source_->currentIndex();
    inputs.altitude_given = from == FixedAltitude || from == AltitudeColumn;
    inputs.selections[inputs.altitude_given ? 9 : 1] = pressure_unit_->currentIndex();
    if (from == PressureColumn || from == AltitudeColumn)
        source.pressure_column = pressure_column_->currentText().toStdString();
    else if (inputs.altitude_given)
        inputs.altitude = pressure_value_->text().toStdString();
    else
        inputs.pressure = pressure_value_->text().toStdString();
    inputs.system = inputs.selections == kMetricSelection ? UnitSystem::Metric
        : inputs.selections == kBritishSelection          ? UnitSystem::British
                                                          : UnitSystem::Customized;
    return source;
}

void PlotDataDialog::accept()
{
    if (!readHeader())
        return;
    if (decimal_comma_->isChecked() && delimiter_->currentData().toChar() == QLatin1Char(',')) {
        problem_->setText(QStringLiteral("A decimal comma needs another delimiter, such as ';'."));
        return;
    }
    QDialog::accept();
}

ZonesDialog::ZonesDialog(const std::vector<Zone>& zones, const AmbientInputs& units, QWidget* parent)
    : QDialog(parent)
    , units_(units)
    , zones_(zones)
{
    setObjectName(QStringLiteral("zones_dialog"));
    setWindowTitle(QStringLiteral("Zones"));
    auto* layout = new QVBoxLayout(this);
    auto* help = new QLabel(
        QStringLiteral("One zone a line: name=Comfort,temperature=20:26,relative-humidity=30:60 with "
                       "humidity-ratio=LOW:HIGH or dew-point=LOW:HIGH and/or relative-humidity=LOW:HIGH. "
                       "Ranges are in the main window's units, or LOW:HIGH:UNIT; their edges are inside."),
        this);
    help->setWordWrap(true);
    layout->addWidget(help);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("zones_text"));
    QStringList lines;
    for (const Zone& zone : zones)
        lines << QString::fromStdString(chart::ZoneText(zone));
    text_->setPlainText(lines.join('\n'));
    layout->addWidget(text_);
    problem_ = ProblemLabel("zones_problem", this);
    layout->addWidget(problem_);
    layout->addWidget(Buttons(this));
    resize(640, 300);
}

void ZonesDialog::accept()
{
    std::vector<Zone> zones;
    int number = 0;
    for (const QString& line : text_->toPlainText().split('\n')) {
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        auto zone = chart::ParseZone(line.trimmed().toStdString(), units_);
        if (const std::string* problem = std::get_if<std::string>(&zone)) {
            problem_->setText(
                QStringLiteral("Line %1: %2.").arg(number).arg(QString::fromStdString(*problem)));
            return;
        }
        zones.push_back(std::get<Zone>(zone));
    }
    zones_ = std::move(zones);
    QDialog::accept();
}

ExportSizeDialog::ExportSizeDialog(const QSize& pixels, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("export_size_dialog"));
    setWindowTitle(QStringLiteral("Export Size"));
    auto* form = new QFormLayout;
    mode_ = Combo("export_size_mode", this);
    mode_->addItems({ QStringLiteral("Pixels"), QStringLiteral("Print size") });
    form->addRow(QStringLiteral("&Size in:"), mode_);
    const auto spin = [this](const char* name, int low, int high, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(low, high);
        box->setValue(value);
        return box;
    };
    width_ = spin("export_width", kSmallestChart.width(), kLargestChart.width(), pixels.width());
    height_ = spin("export_height", kSmallestChart.height(), kLargestChart.height(), pixels.height());
    form->addRow(QStringLiteral("&Width (pixels):"), width_);
    form->addRow(QStringLiteral("&Height (pixels):"), height_);
    const auto length = [this](const char* name, double value) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(10, 2000);
        box->setDecimals(1);
        box->setValue(value);
        box->setSuffix(QStringLiteral(" mm"));
        return box;
    };
    width_mm_ = length("export_width_mm", 297);
    height_mm_ = length("export_height_mm", 210);
    dpi_ = spin("export_dpi", 36, 1200, 300);
    form->addRow(QStringLiteral("Print w&idth:"), width_mm_);
    form->addRow(QStringLiteral("Print h&eight:"), height_mm_);
    form->addRow(QStringLiteral("&Resolution (DPI):"), dpi_);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("export_result"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addWidget(Buttons(this));
    for (QDoubleSpinBox* box : { width_mm_, height_mm_ })
        connect(box, &QDoubleSpinBox::valueChanged, this, &ExportSizeDialog::update);
    for (QSpinBox* box : { width_, height_, dpi_ })
        connect(box, &QSpinBox::valueChanged, this, &ExportSizeDialog::update);
    connect(mode_, &QComboBox::currentIndexChanged, this, &ExportSizeDialog::update);
    update();
}

QSize ExportSizeDialog::pixels() const
{
    if (mode_->currentIndex() == 0)
        return { width_->value(), height_->value() };
    const auto to_pixels
        = [this](double mm) { return static_cast<int>(std::lround(mm / 25.4 * dpi_->value())); };
    return { to_pixels(width_mm_->value()), to_pixels(height_mm_->value()) };
}

void ExportSizeDialog::update()
{
    const bool print = mode_->currentIndex() == 1;
    for (QWidget* widget : std::initializer_list<QWidget*> { width_mm_, height_mm_, dpi_ })
        widget->setEnabled(print);
    for (QWidget* widget : std::initializer_list<QWidget*> { width_, height_ })
        widget->setEnabled(!print);
    const QSize size = pixels();
    result_->setText(IsChartSize(size)
            ? QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height())
            : QStringLiteral("%1 x %2 pixels: a picture must be %3 x %4 to %5 x %6 pixels")
                  .arg(size.width())
                  .arg(size.height())
                  .arg(kSmallestChart.width())
                  .arg(kSmallestChart.height())
                  .arg(kLargestChart.width())
                  .arg(kLargestChart.height()));
}

void ExportSizeDialog::accept()
{
    if (IsChartSize(pixels()))
        QDialog::accept();
}

} // namespace humidora::ui
