// Option > Measurement Uncertainty...: the accuracies of the inputs, how they are stated, the coverage
// factor of the results, and whether the outputs show their expanded uncertainty. Widgets carry
// objectNames: Form_uncertainty, uncertainty_on, accuracy_temperature, accuracy_humidity,
// accuracy_pressure, accuracy_form, accuracy_coverage, coverage, typical_sensors, uncertainty_problem.
#pragma once

#include "calc/ambient/uncertainty.h"
#include "calc/units/ambient_controls.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class UncertaintyDialog : public QDialog
{
    Q_OBJECT

public:
    /// The dialog for `settings`, whose inputs and units are those `controls` show.
    UncertaintyDialog(const humidora::UncertaintySettings& settings,
        const humidora::AmbientControls& controls, QWidget* parent = nullptr);

    /// The settings as the dialog's fields give them (valid once the dialog is accepted).
    const humidora::UncertaintySettings& settings() const { return settings_; }

    /// OK: reads the fields; a field that is not a number or out of its range is named in the dialog and
    /// the dialog stays open.
    void accept() override;

private:
    void show(const humidora::UncertaintySettings& settings);

    humidora::UncertaintySettings settings_;
    humidora::AmbientControls controls_;
    QCheckBox* on_ = nullptr;
    QLineEdit* temperature_ = nullptr;
    QLineEdit* humidity_ = nullptr;
    QLineEdit* pressure_ = nullptr;
    QComboBox* form_ = nullptr;
    QLineEdit* form_coverage_ = nullptr;
    QLineEdit* coverage_ = nullptr;
    QLabel* problem_ = nullptr;
};
