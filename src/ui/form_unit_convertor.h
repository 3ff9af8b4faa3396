// The "Unit Convertor" tool window. The widgets only show a UnitConverter: each user event is forwarded
// to it and its controls are pushed back to the widgets.
#pragma once

#include "calc/windows/unit_converter.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLineEdit;

class Form_unit_convertor : public QWidget
{
    Q_OBJECT

public:
    /// A top-level tool window (also when given a parent), opened on "Temperature", "C" to "C". It deletes
    /// itself when closed.
    explicit Form_unit_convertor(QWidget* parent = nullptr);

    const humidora::UnitConverter& logic() const { return logic_; }

private:
    void BuildControls();
    void ConnectEvents();
    /// Shows the model's state in the widgets, signals blocked so that no write reads as a user event,
    /// then honours the model's focus request.
    void Push();

    humidora::UnitConverter logic_;
    QComboBox* Combo1 = nullptr;
    std::array<QComboBox*, humidora::kConverterQuantityCount> Combo2 {};
    std::array<QComboBox*, humidora::kConverterQuantityCount> Combo3 {};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
};
