// The saturation window "Saturation Condition of Water". The widgets only show a SaturationWindow: each
// user event is forwarded to it and its controls are pushed back to the widgets.
#pragma once

#include "calc/windows/saturation_window.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

class Form_saturation : public QWidget
{
    Q_OBJECT

public:
    /// A top-level tool window (also when given a parent), loaded and showing 100 C in kPa. It deletes
    /// itself when closed.
    explicit Form_saturation(QWidget* parent = nullptr);

    const humidora::SaturationWindow& logic() const { return logic_; }

private:
    void BuildControls();
    void ConnectEvents();
    /// Shows the model's state in the widgets, signals blocked so that no write reads as a user event.
    void Push();

    humidora::SaturationWindow logic_;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
};
