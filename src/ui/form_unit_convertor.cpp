#include "ui/form_unit_convertor.h"

#include "ui/tool_window_support.h"
#include "ui/whole_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using humidora::ui::FromModel;
using humidora::ui::Paint;

namespace {

// Every control stands in one column; positions in twips, the unit the window is laid out in.
constexpr int kLeft = 120;
constexpr int kWidth = 2415;
constexpr int kLabelHeight = 255;
constexpr int kListHeight = 315;
constexpr int kBoxHeight = 315;
constexpr int kClientWidth = 2625;
constexpr int kClientHeight = 3330;

QRect Twips(int top, int height)
{
    return humidora::ui::TwipsRect(kLeft, top, kWidth, height);
}

} // namespace

Form_unit_convertor::Form_unit_convertor(QWidget* parent)
    : QWidget(parent, humidora::ui::kToolWindowFlags)
{
    humidora::ui::SetUpToolWindow(this, "Form_unit_convertor", "Unit Convertor", kClientWidth, kClientHeight);
    Paint(this, { QPalette::Window }, humidora::kConverterWindowBackground);
    BuildControls();
    ConnectEvents();
    logic_.Open();
    Push();
}

void Form_unit_convertor::BuildControls()
{
    const auto label = [this](const char* name, const char* text, int top, humidora::Rgb background) {
        auto* caption = new QLabel(text, this);
        caption->setObjectName(name);
        caption->setAlignment(Qt::AlignCenter);
        caption->setGeometry(Twips(top, kLabelHeight));
        Paint(caption, { QPalette::Window }, background);
    };
    label("Label1", "Quantity", 120, humidora::kConverterQuantityLabelBackground);
    label("Label2", "From", 960, humidora::kConverterUnitLabelBackground);
    label("Label3", "To", 2160, humidora::kConverterUnitLabelBackground);

    const humidora::UnitConverterControls& model = logic_.controls();
    const auto list = [this](const QString& name, const humidora::UnitList& items, int top) {
        QComboBox* combo = humidora::ui::NewUnitList(this, name, items);
        combo->setGeometry(Twips(top, kListHeight));
        return combo;
    };
    Combo1 = list("Combo1", model.Combo1, 480);
    Paint(Combo1, { QPalette::Button, QPalette::Base }, humidora::kConverterQuantityListBackground);
    for (int q = 0; q < humidora::kConverterQuantityCount; ++q) {
        Combo2[q] = list(QString("Combo2_%1").arg(q), model.Combo2[q], 1680);
        Combo3[q] = list(QString("Combo3_%1").arg(q), model.Combo3[q], 2880);
    }

    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setGeometry(Twips(1320, kBoxHeight));
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Text2->setReadOnly(true);
    Text2->setGeometry(Twips(2520, kBoxHeight));
    Paint(Text2, { QPalette::Base }, humidora::kConverterResultBackground);
}

void Form_unit_convertor::ConnectEvents()
{
    connect(Combo1, &QComboBox::activated, this, [this](int index) {
        logic_.SelectQuantity(index);
        Push();
    });
    for (int q = 0; q < humidora::kConverterQuantityCount; ++q) {
        connect(Combo2[q], &QComboBox::activated, this, [this, q](int index) {
            logic_.SelectFromUnit(q, index);
            Push();
        });
        connect(Combo3[q], &QComboBox::activated, this, [this, q](int index) {
            logic_.SelectToUnit(q, index);
            Push();
        });
    }
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.EditText1(text.toStdString());
        Push();
    });
}

void Form_unit_convertor::Push()
{
    const humidora::UnitConverterControls& model = logic_.controls();
    {
        const QSignalBlocker block_quantity(Combo1), block_text(Text1);
        Combo1->setCurrentIndex(model.Combo1.selected);
        for (int q = 0; q < humidora::kConverterQuantityCount; ++q) {
            const QSignalBlocker block_from(Combo2[q]), block_to(Combo3[q]);
            Combo2[q]->setCurrentIndex(model.Combo2[q].selected);
            Combo3[q]->setCurrentIndex(model.Combo3[q].selected);
            Combo2[q]->setVisible(model.Combo2_visible[q]);
            Combo3[q]->setVisible(model.Combo3_visible[q]);
        }
        // Rewriting the box the user is typing in would move the cursor; write it only when it differs.
        // Both texts are shown whole, in a smaller font when the box is too narrow for it.
        humidora::ui::ShowWhole(*Text1, FromModel(model.Text1), font().pointSizeF());
        humidora::ui::ShowWhole(*Text2, FromModel(model.Text2), font().pointSizeF());
    }
    if (const std::optional<humidora::FocusRequest> request = logic_.TakeFocusRequest()) {
        if (request->control == humidora::ConverterControl::Combo1) {
            Combo1->setFocus();
        } else {
            Text1->setFocus();
            if (request->select_all)
                Text1->selectAll();
        }
    }
}
