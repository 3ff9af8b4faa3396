// The "Add Process" dialog of the State Points dock: the kind, its entering points, its parameters in the
// main window's units and the leaving point's name. It adds the process to the calculation document when
// accepted, or, as "Edit Process", gives a kept process new points and parameters; a refusal stays in the
// dialog with its reason. Widgets: combo_process_kind, list_process_points,
// edit_<parameter key> (e.g. edit_bypass-factor), edit_result_name, edit_exhaust_name (heat recovery),
// label_process_problem. Heat recovery takes its two points in the order they are chosen: the outdoor air,
// then the exhaust air.
#pragma once

#include "calc/document/calculation_document.h"

#include <QDialog>
#include <vector>

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

    /// Makes this the "Edit Process" dialog of the document's process `row`, filled with its kind, points
    /// and parameters; its leaving point keeps its name (points are renamed in their table).
    void editProcess(int row);

    /// Starts with the points of these rows of the list chosen (the rows selected in the points table);
    /// two or more of them start a mix.
    void choosePoints(const std::vector<int>& rows);

    /// Runs the process from what is entered; true when it was added to the document, or replaced the
    /// edited one (the dialog then closes).
    bool apply();

private:
    void kindChosen();
    void selectionChanged();

    CalculationDocument& document_;
    AmbientInputs units_;
    QComboBox* kind_ = nullptr;
    QListWidget* points_ = nullptr;
    std::vector<QLineEdit*> parameters_; ///< one per kProcessParameters
    std::vector<QLabel*> captions_;
    QLineEdit* result_name_ = nullptr;
    QLineEdit* exhaust_name_ = nullptr;
    QLabel* exhaust_caption_ = nullptr;
    QLabel* points_caption_ = nullptr;
    std::vector<std::string> chosen_; ///< the selected points in the order they were chosen
    QLabel* problem_ = nullptr;
    int edit_row_ = -1;          ///< the process edited, or -1 when adding
    ProcessSpec edited_;         ///< its recipe as kept
    std::vector<QString> shown_; ///< the parameter texts it was shown with
};

} // namespace humidora
