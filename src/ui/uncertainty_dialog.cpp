#include "ui/uncertainty_dialog.h"

#include "calc/units/number_text.h"
#include "calc/units/quantities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

namespace {

QString Number(double value)
{
    return QString::fromStdString(humidora::PlainNumberText(value));
}

// "Relative Humidity (%)": the caption of a quantity's row with the unit its list shows.
QString Caption(const humidora::Quantity& quantity, const humidora::AmbientControls& controls)
{
    return QString::fromUtf8(quantity.caption.data(), static_cast<qsizetype>(quantity.caption.size()))
        + QStringLiteral(" (") + QString::fromStdString((controls.*(quantity.list)).text())
        + QStringLiteral(")");
}

} // namespace

UncertaintyDialog::UncertaintyDialog(
    const humidora::UncertaintySettings& settings, const humidora::AmbientControls& controls, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
    , controls_(controls)
{
    setObjectName(QStringLiteral("Form_uncertainty"));
    setWindowTitle(QStringLiteral("Measurement Uncertainty"));
    const humidora::Quantity* humidity = humidora::FindQuantityByOption(2);
    for (const humidora::Quantity* quantity : humidora::kHumidityQuantities) {
        if (controls.*(quantity->option))
            humidity = quantity;
    }
    const humidora::Quantity& pressure = humidora::kQuantities[controls.Option9 ? 2 : 1];

    const auto field = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    on_ = new QCheckBox(QStringLiteral("Show the expanded uncertainty of every output"), this);
    on_->setObjectName(QStringLiteral("uncertainty_on"));
    temperature_ = field("accuracy_temperature");
    humidity_ = field("accuracy_humidity");
    pressure_ = field("accuracy_pressure");
    form_ = new QComboBox(this);
    form_->setObjectName(QStringLiteral("accuracy_form"));
    form_->addItems({ QStringLiteral("Rectangular: a sensor's \u00b1a (u = a/\u221a3)"),
        QStringLiteral("Expanded: U with coverage factor k (u = U/k)"),
        QStringLiteral("Standard uncertainty u") });
    form_coverage_ = field("accuracy_coverage");
    coverage_ = field("coverage");
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("uncertainty_problem"));
    problem_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0)"));
    problem_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(on_);
    form->addRow(QStringLiteral("Accuracy of ") + Caption(humidora::kQuantities[0], controls), temperature_);
    form->addRow(QStringLiteral("Accuracy of ") + Caption(*humidity, controls), humidity_);
    form->addRow(QStringLiteral("Accuracy of ") + Caption(pressure, controls), pressure_);
    form->addRow(QStringLiteral("The accuracies are"), form_);
    form->addRow(QStringLiteral("Their coverage factor k"), form_coverage_);
    form->addRow(QStringLiteral("Coverage factor k of the results"), coverage_);
    connect(form_, &QComboBox::currentIndexChanged, this,
        [this](int index) { form_coverage_->setEnabled(index == 1); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* typical = buttons->addButton(QStringLiteral("Typical Sensors"), QDialogButtonBox::ResetRole);
    typical->setObjectName(QStringLiteral("typical_sensors"));
    connect(typical, &QPushButton::clicked, this, [this] { show(humidora::TypicalAccuracies(controls_)); });
    connect(buttons, &QDialogButtonBox::accepted, this, &UncertaintyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    // Never set for this calculation: the typical sensors are the starting point.
    show(settings == humidora::UncertaintySettings {} ? humidora::TypicalAccuracies(controls) : settings);
}

void UncertaintyDialog::show(const humidora::UncertaintySettings& settings)
{
    on_->setChecked(settings.enabled);
    temperature_->setText(Number(settings.temperature));
    humidity_->setText(Number(settings.humidity));
    pressure_->setText(Number(settings.pressure));
    form_->setCurrentIndex(static_cast<int>(settings.form));
    form_coverage_->setText(Number(settings.form_coverage));
    form_coverage_->setEnabled(settings.form == humidora::AccuracyForm::Expanded);
    coverage_->setText(Number(settings.coverage));
}

void UncertaintyDialog::accept()
{
    humidora::UncertaintySettings read;
    read.enabled = on_->isChecked();
    read.form = static_cast<humidora::AccuracyForm>(form_->currentIndex());
    const std::tuple<QLineEdit*, double*, const char*> fields[] = {
        { temperature_, &read.temperature, "the accuracy of the temperature" },
        { humidity_, &read.humidity, "the accuracy of the humidity" },
        { pressure_, &read.pressure, "the accuracy of the pressure" },
        { form_coverage_, &read.form_coverage, "the coverage factor of the accuracies" },
        { coverage_, &read.coverage, "the coverage factor" },
    };
    for (const auto& [edit, value, name] : fields) {
        const std::optional<double> number = humidora::NumberTextValue(edit->text().toStdString());
        if (!number) {
            problem_->setText(QStringLiteral("%1 \"%2\" is not a number (the decimal point is '.')")
                                  .arg(QLatin1String(name), edit->text()));
            edit->setFocus();
            return;
        }
        *value = *number;
    }
    if (const std::optional<std::string> problem = humidora::UncertaintySettingsProblem(read)) {
        problem_->setText(QString::fromStdString(*problem));
        return;
    }
    settings_ = read;
    QDialog::accept();
}
