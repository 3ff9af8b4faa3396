#include "ui/form_saturation.h"

#include "ui/tool_window_support.h"
#include "ui/whole_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using humidora::kSaturationRowTop;
using humidora::ui::FromModel;
using humidora::ui::TwipsRect;

namespace {

// Column and row geometry in twips, the unit the window is laid out in.
constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 1575;
constexpr int kEntryLeft = 1680;
constexpr int kEntryWidth = 2415;
constexpr int kLabelHeight = 315;
constexpr int kListHeight = 315;
constexpr int kBoxHeight = 375;
constexpr int kClientWidth = kEntryLeft + kEntryWidth + kCaptionLeft;
constexpr int kClientHeight = 3000 + kBoxHeight + 120;

int RowTop(int row)
{
    return kSaturationRowTop[static_cast<std::size_t>(row - 1)];
}

} // namespace

Form_saturation::Form_saturation(QWidget* parent)
    : QWidget(parent, humidora::ui::kToolWindowFlags)
{
    humidora::ui::SetUpToolWindow(
        this, "Form_saturation", "Saturation Condition of Water", kClientWidth, kClientHeight);
    BuildControls();
    ConnectEvents();
    logic_.Load();
    Push();
}

void Form_saturation::BuildControls()
{
    const auto caption = [this](const char* name, const char* text, int row) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setGeometry(TwipsRect(kCaptionLeft, RowTop(row), kCaptionWidth, kLabelHeight));
        return label;
    };
    Label1 = caption("Label1", "  Input", 1);
    caption("Label2", "  Unit", 2);
    caption("Label3", "  Output", 4);
    caption("Label5", "  Unit", 5);
    caption("Label6", "  IAPWS", 6);
    caption("Label7", "  Hyland- Wexler", 7);

    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    Label4->setGeometry(TwipsRect(kEntryLeft, RowTop(4), kEntryWidth, kLabelHeight));

    const humidora::SaturationControls& model = logic_.controls();
    Combo1 = humidora::ui::NewUnitList(this, "Combo1", model.Combo1);
    Combo1->setGeometry(TwipsRect(kEntryLeft, RowTop(1), kEntryWidth, kListHeight));
    Combo2 = humidora::ui::NewUnitList(this, "Combo2", model.Combo2);
    Combo3 = humidora::ui::NewUnitList(this, "Combo3", model.Combo3);

    const auto box = [this](const char* name, int row, bool locked) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setReadOnly(locked);
        edit->setGeometry(TwipsRect(kEntryLeft, RowTop(row), kEntryWidth, kBoxHeight));
        return edit;
    };
    Text1 = box("Text1", 3, false);
    Text2 = box("Text2", 6, true);
    Text3 = box("Text3", 7, true);
}

void Form_saturation::ConnectEvents()
{
    connect(Combo1, &QComboBox::activated, this, [this](int index) {
        logic_.SelectMode(index);
        Push();
    });
    connect(Combo2, &QComboBox::activated, this, [this](int index) {
        logic_.SelectTemperatureUnit(index);
        Push();
    });
    connect(Combo3, &QComboBox::activated, this, [this](int index) {
        logic_.SelectPressureUnit(index);
        Push();
    });
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.EditText1(text.toStdString());
        Push();
    });
}

void Form_saturation::Push()
{
    const humidora::SaturationControls& model = logic_.controls();
    const QSignalBlocker block1(Combo1), block2(Combo2), block3(Combo3), block_text(Text1);
    Combo1->setCurrentIndex(model.Combo1.selected);
    Combo2->setCurrentIndex(model.Combo2.selected);
    Combo3->setCurrentIndex(model.Combo3.selected);
    Combo2->setGeometry(TwipsRect(kEntryLeft, RowTop(model.Combo2_row), kEntryWidth, kListHeight));
    Combo3->setGeometry(TwipsRect(kEntryLeft, RowTop(model.Combo3_row), kEntryWidth, kListHeight));
    // Rewriting the box the user is typing in would move the cursor; write it only when it differs.
    // Every text is shown whole, in a smaller font when the box is too narrow for it.
    const double points = font().pointSizeF();
    humidora::ui::ShowWhole(*Text1, FromModel(model.Text1), points);
    humidora::ui::ShowWhole(*Text2, FromModel(model.Text2), points);
    humidora::ui::ShowWhole(*Text3, FromModel(model.Text3), points);
    humidora::ui::ShowWhole(*Label4, FromModel(model.Label4), points);
    if (model.Label1_background) {
        humidora::ui::Paint(Label1, { QPalette::Window }, *model.Label1_background);
    }
}
