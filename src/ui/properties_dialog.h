// File > Properties: who and what the calculation is for (project, engineer, notes), as the report's
// title block prints them and the calculation file keeps them. Widgets: edit_project and edit_engineer
// (one line each), edit_notes (several lines), and the OK and Cancel buttons.
#pragma once

#include "calc/document/project_properties.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace humidora {

class PropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PropertiesDialog(const ProjectProperties& properties, QWidget* parent = nullptr);

    /// What the fields hold; a line break in a one-line field (pasted) reads as a blank.
    ProjectProperties properties() const;

private:
    QLineEdit* project_ = nullptr;
    QLineEdit* engineer_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
};

} // namespace humidora
