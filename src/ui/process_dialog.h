// The "Add Process" dialog of the State Points dock: the kind, its entering points, its parameters in the
// main window's units and the leaving point's name. It adds the process to the calculation document when
// accepted; a refusal stays in the dialog with its reason. Widgets: combo_process_kind, list_process_points,
// edit_<parameter key> (e.g. edit_bypass-factor), edit_result_name, label_process_problem.
#pragma once

#include "calc/document/calculation_document.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace humidora {

class ProcessDialog : public QDialog
{
    Q_OBJECT

public:
    /// `units` are the main window's inputs: the parameters are typed in its units.
    ProcessDialog(CalculationDocument& document, const AmbientInputs& units, QWidget* parent = nullptr);

    /// Runs the process from what is entered; true when it was added to the document (the dialog then
    /// closes).
    bool apply();

private:
    void kindChosen();

    CalculationDocument& document_;
    AmbientInputs units_;
    QComboBox* kind_ = nullptr;
    QListWidget* points_ = nullptr;
    std::vector<QLineEdit*> parameters_; ///< one per kProcessParameters
    std::vector<QLabel*> captions_;
    QLineEdit* result_name_ = nullptr;
    QLabel* problem_ = nullptr;
};

} // namespace humidora
