#include "ui/form_ambient.h"

#include "calc/document/calculation_document.h"
#include "calc/document/product.h"
#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "calc/units/refusal.h"
#include "calc/windows/ambient_window.h"
#include "ui/desktop_services.h"
#include "ui/document_history.h"
#include "ui/form_about.h"
#include "ui/form_chart.h"
#include "ui/form_saturation.h"
#include "ui/form_unit_convertor.h"
#include "ui/uncertainty_dialog.h"
#include "ui/whole_text.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QVBoxLayout>
#include <type_traits>

using humidora::AmbientControls;
using humidora::AmbientWindow;
using humidora::Background;

namespace {

// ---- Look ---------------------------------------------------------------------------------------------

const QColor kWindowColour(216, 219, 204);
const QColor kUnitListColour(250, 251, 219);
const QColor kWebButtonColour(252, 224, 131);

/// The setting of Option > "Convert Values When Units Change".
const QString kConvertUnitsKey = QStringLiteral("options/convert_values_when_units_change");

constexpr int kClientWidth = 518;
constexpr int kClientHeight = 660;

// Font sizes in points; every text of the window is Times New Roman bold (Liberation Serif on Linux).
constexpr double kCaptionPoints = 9;
constexpr double kSmallListPoints = 8.25;
constexpr double kFramePoints = 9.75;
constexpr double kButtonPoints = 12;

QFont WindowFont(double points)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

QColor BackgroundColour(Background background, QWidget* widget)
{
    if (background == Background::Standard)
        return QApplication::palette(widget).color(QPalette::Base);
    const humidora::Rgb rgb = humidora::BackgroundRgb(background);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    if (widget->palette().color(role) == colour)
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

/// A unit list that cannot be typed into. At the window's default width the longest unit texts
/// ("(kg moisture)/(kg dry air)") are wider than the column, so the closed list shortens its text with an
/// ellipsis and shows it in full as a tooltip. The open list widens itself to its longest item.
class UnitComboBox final : public QComboBox
{
public:
    explicit UnitComboBox(QWidget* parent)
        : QComboBox(parent)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field
            = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        const QString full = option.currentText;
        option.currentText = fontMetrics().elidedText(full, Qt::ElideRight, field.width());
        setToolTip(option.currentText == full ? QString() : full);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
};

// ---- Names of the model's controls -------------------------------------------------------------------

using humidora::BoxNumber;
using humidora::ListNumber;
using humidora::OptionNumber;

/// Index in kLimitLabels (Label4 is 0).
int LimitLabelIndex(humidora::LimitLabel AmbientControls::*label)
{
    return humidora::LabelNumber(label) - 4;
}

// The main grid's columns: the frame lines of the grid at both ends, a narrow gap inside them for the
// frames' borders, then the five columns of a row.
enum GridColumn
{
    kLeftLine,
    kLeftGap,
    kCaptionColumn,
    kUnitColumn,
    kValueColumn,
    kMinimumColumn,
    kMaximumColumn,
    kRightGap,
    kRightLine,
    kColumnCount
};

QFrame* MakeLine(const char* name, QFrame::Shape shape, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Dark);
    return line;
}

} // namespace

// ---- Construction ------------------------------------------------------------------------------------

Form_ambient::Form_ambient(std::unique_ptr<humidora::DesktopServices> services, QWidget* parent)
    : QMainWindow(parent)
    , document_(std::make_unique<humidora::CalculationDocument>())
    , history_(std::make_unique<humidora::DocumentHistory>(*document_))
    , services_(services ? std::move(services) : std::make_unique<humidora::SystemDesktopServices>())
{
    setObjectName(QStringLiteral("Form_ambient"));
    setWindowTitle(QString::fromUtf8(humidora::kProductTitle) + QStringLiteral(" (")
        + QString::fromUtf8(humidora::kWebAddress) + QLatin1Char(')'));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowColour);
    setPalette(palette);

    buildControls();
    buildMenus();
    buildChartDock();
    statusBar()->setSizeGripEnabled(true);

    // The document opens as the window starts up (list selections, the final calculation); the window
    // shows it, and every change of it after that.
    shown_chart_data_ = document_->chartData();
    refresh();
    document_->Listen([this] { documentChanged(); });
    setTabChain();
    applyFocusRequest();

    const QSize client(kClientWidth, kClientHeight);
    resize(
        client.width(), client.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

Form_ambient::~Form_ambient()
{
    // The tool windows are top-level windows of their own; none outlives the calculator.
    delete saturation_.data();
    delete convertor_.data();
    delete chart_.data();
    delete about_.data();
}

humidora::CalculationDocument& Form_ambient::document()
{
    return *document_;
}

const humidora::CalculationDocument& Form_ambient::document() const
{
    return *document_;
}

humidora::DocumentHistory& Form_ambient::history()
{
    return *history_;
}

const AmbientWindow& Form_ambient::logic() const
{
    return document_->window();
}

const humidora::ChartData& Form_ambient::chartData() const
{
    return document_->chartData();
}

void Form_ambient::documentChanged()
{
    refresh();
    if (!(document_->chartData() == shown_chart_data_)) {
        shown_chart_data_ = document_->chartData();
        emit chartDataChanged();
    }
}

void Form_ambient::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    central->setAutoFillBackground(true);
    setCentralWidget(central);
    central->setFont(WindowFont(kCaptionPoints));

    const QFontMetrics caption_metrics(WindowFont(kCaptionPoints));
    const int value_width = caption_metrics.horizontalAdvance(QStringLiteral("-00000.000")) + 10;
    const int limit_width = caption_metrics.horizontalAdvance(QStringLiteral("-00000.000")) + 4;
    // The unit lists are as wide as the longest pressure unit needs.
    const QFontMetrics list_metrics(WindowFont(kSmallListPoints));
    int widest_pressure_unit = 0;
    for (const humidora::UnitItem& unit : humidora::kPressureUnits)
        widest_pressure_unit
            = std::max(widest_pressure_unit, list_metrics.horizontalAdvance(QString::fromUtf8(unit.key)));
    const int unit_width = widest_pressure_unit + 28;

    const auto makeBox = [&](int number, QWidget* parent) {
        auto* box = new QLineEdit(parent);
        box->setObjectName(QStringLiteral("Text%1").arg(number));
        box->setMinimumWidth(value_width);
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        box->installEventFilter(this);
        boxes_[static_cast<std::size_t>(number - 1)] = box;
        connect(box, &QLineEdit::textEdited, this,
            [this, number](const QString& text) { valueEdited(number, text); });
        return box;
    };
    const auto makeList = [&](int number, QWidget* parent) {
        auto* list = new UnitComboBox(parent);
        list->setObjectName(QStringLiteral("Combo%1").arg(number));
        list->setEditable(false);
        list->setMinimumWidth(unit_width);
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        const humidora::UnitList& model
            = logic().controls().*humidora::kUnitLists[static_cast<std::size_t>(number - 1)].list;
        for (const std::string& item : model.items)
            list->addItem(QString::fromUtf8(item));
        list->setCurrentIndex(-1);
        SetColour(list, QPalette::Button, kUnitListColour);
        SetColour(list, QPalette::Base, kUnitListColour);
        lists_[static_cast<std::size_t>(number - 1)] = list;
        connect(list, &QComboBox::activated, this, [this, number](int index) { unitChosen(number, index); });
        return list;
    };
    // Limit labels are a little lower than the value boxes beside them.
    QLineEdit measure;
    measure.setFont(WindowFont(kCaptionPoints));
    const int limit_height = measure.sizeHint().height() - 2;
    const auto makeLimitLabel = [&](int index, QWidget* parent) {
        auto* label = new QLabel(parent);
        label->setObjectName(QString::fromUtf8(humidora::kLimitLabels[static_cast<std::size_t>(index)].name));
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setMinimumWidth(limit_width);
        label->setFixedHeight(limit_height);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        label->installEventFilter(this);
        limit_labels_[static_cast<std::size_t>(index)] = label;
        return label;
    };
    const auto makeCaption = [](std::string_view name, const QString& caption, QWidget* parent) {
        auto* label = new QLabel(caption, parent);
        label->setObjectName(QString::fromUtf8(name));
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        return label;
    };

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);

    // Header row above the grid's frame.
    grid->addWidget(makeCaption("Label26", QStringLiteral("Quantity"), central), 0, kCaptionColumn);
    unit_header_ = makeCaption("Label27", QString(), central);
    grid->addWidget(unit_header_, 0, kUnitColumn);
    grid->addWidget(makeCaption("Label28", QStringLiteral("Value"), central), 0, kValueColumn);
    grid->addWidget(makeCaption("Label1", QStringLiteral("Minimum"), central), 0, kMinimumColumn);
    grid->addWidget(makeCaption("Label3", QStringLiteral("Maximum"), central), 0, kMaximumColumn);
    for (const char* name : { "Label27", "Label28", "Label1", "Label3" })
        central->findChild<QLabel*>(QLatin1String(name))->setAlignment(Qt::AlignCenter);

    // Grid rows: the temperature, the pressure pair in Frame2, the eight humidity rows in Frame1. Rows
    // between them hold the frames' captions and bottom borders.
    const int frame_title_height = QFontMetrics(WindowFont(kFramePoints)).height() + 2;
    constexpr int kTopLineRow = 1;
    constexpr int kTemperatureRow = 2;
    constexpr int kPressureTitleRow = 3;
    constexpr int kPressureRow = 4;
    constexpr int kPressureEndRow = 6;
    constexpr int kHumidityTitleRow = 7;
    constexpr int kHumidityRow = 8;
    constexpr int kHumidityEndRow = 16;
    constexpr int kBottomLineRow = 17;
    grid->addItem(new QSpacerItem(0, frame_title_height, QSizePolicy::Minimum, QSizePolicy::Fixed),
        kPressureTitleRow, kCaptionColumn);
    grid->addItem(new QSpacerItem(0, frame_title_height, QSizePolicy::Minimum, QSizePolicy::Fixed),
        kHumidityTitleRow, kCaptionColumn);
    grid->addItem(
        new QSpacerItem(0, 2, QSizePolicy::Minimum, QSizePolicy::Fixed), kPressureEndRow, kCaptionColumn);
    grid->addItem(
        new QSpacerItem(0, 2, QSizePolicy::Minimum, QSizePolicy::Fixed), kHumidityEndRow, kCaptionColumn);
    grid->addItem(new QSpacerItem(3, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), kTemperatureRow, kLeftGap);
    grid->addItem(
        new QSpacerItem(3, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), kTemperatureRow, kRightGap);

    auto* pressure_frame = new QGroupBox(QString::fromUtf8(humidora::kPressureName), central);
    pressure_frame->setObjectName(QStringLiteral("Frame2"));
    auto* humidity_frame = new QGroupBox(QStringLiteral("Humidity Parameters"), central);
    humidity_frame->setObjectName(QStringLiteral("Frame1"));
    for (QGroupBox* frame : { pressure_frame, humidity_frame }) {
        frame->setFont(WindowFont(kFramePoints));
        frame->setFocusPolicy(Qt::NoFocus);
    }
    grid->addWidget(pressure_frame, kPressureTitleRow, kLeftGap, kPressureEndRow - kPressureTitleRow + 1,
        kRightGap - kLeftGap + 1);
    grid->addWidget(humidity_frame, kHumidityTitleRow, kLeftGap, kHumidityEndRow - kHumidityTitleRow + 1,
        kRightGap - kLeftGap + 1);

    grid->addWidget(MakeLine("Line1", QFrame::HLine, central), kTopLineRow, kLeftLine, 1, kColumnCount);
    grid->addWidget(MakeLine("Line2", QFrame::VLine, central), kTopLineRow, kLeftLine,
        kBottomLineRow - kTopLineRow + 1, 1);
    grid->addWidget(MakeLine("Line3", QFrame::HLine, central), kBottomLineRow, kLeftLine, 1, kColumnCount);
    grid->addWidget(MakeLine("Line4", QFrame::VLine, central), kTopLineRow, kRightLine,
        kBottomLineRow - kTopLineRow + 1, 1);

    auto* pressure_group = new QButtonGroup(this);
    auto* humidity_group = new QButtonGroup(this);
    for (std::size_t q = 0; q < humidora::kFirstPropertyRow; ++q) {
        const humidora::Quantity& quantity = humidora::kQuantities[q];
        const int row = q == 0 ? kTemperatureRow
            : q <= 2           ? kPressureRow + static_cast<int>(q) - 1
                               : kHumidityRow + static_cast<int>(q) - 3;
        if (quantity.option == nullptr) {
            grid->addWidget(makeCaption(quantity.caption_label, QString::fromUtf8(quantity.caption), central),
                row, kCaptionColumn);
        } else {
            const int number = OptionNumber(quantity.option);
            auto* option = new QRadioButton(QString::fromUtf8(quantity.caption), central);
            option->setObjectName(QStringLiteral("Option%1").arg(number));
            options_[static_cast<std::size_t>(number - 1)] = option;
            (q <= 2 ? pressure_group : humidity_group)->addButton(option, number);
            connect(option, &QRadioButton::clicked, this, [this, number] { optionClicked(number); });
            grid->addWidget(option, row, kCaptionColumn);
        }
        grid->addWidget(makeList(ListNumber(quantity.list), central), row, kUnitColumn);
        grid->addWidget(makeBox(BoxNumber(quantity.box), central), row, kValueColumn);
        grid->addWidget(makeLimitLabel(LimitLabelIndex(quantity.minimum), central), row, kMinimumColumn);
        grid->addWidget(makeLimitLabel(LimitLabelIndex(quantity.maximum), central), row, kMaximumColumn);
        // The controls keep their height; the rows share the window's extra height as even spacing.
        grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), row, kLeftGap);
        grid->setRowStretch(row, 1);
    }
    // The expanded uncertainties, beside the frame in a column of their own: shown only while switched on,
    // so that the form keeps its layout and the window grows by that column.
    const auto makeUncertainty = [&](int box, QWidget* parent) {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("Uncertainty%1").arg(box));
        label->setFont(WindowFont(kCaptionPoints));
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        label->hide();
        uncertainty_labels_[static_cast<std::size_t>(box - 1)] = label;
        return label;
    };
    uncertainty_caption_ = makeCaption("UncertaintyCaption", QString(), central);
    uncertainty_caption_->hide();
    grid->addWidget(uncertainty_caption_, 0, kRightLine + 1);
    for (std::size_t q = 0; q < humidora::kFirstPropertyRow; ++q) {
        const int row = q == 0 ? kTemperatureRow
            : q <= 2           ? kPressureRow + static_cast<int>(q) - 1
                               : kHumidityRow + static_cast<int>(q) - 3;
        grid->addWidget(makeUncertainty(humidora::kQuantities[q].boxNumber(), central), row, kRightLine + 1);
    }
    pressure_frame->lower();
    humidity_frame->lower();
    pressure_group->setExclusive(true);
    humidity_group->setExclusive(true);

    // Columns share extra width roughly as the window's twip layout does; the unit lists come first, as
    // their texts are the ones that are cut short at the default width.
    grid->setColumnStretch(kCaptionColumn, 0);
    grid->setColumnStretch(kUnitColumn, 4);
    grid->setColumnStretch(kValueColumn, 2);
    grid->setColumnStretch(kMinimumColumn, 2);
    grid->setColumnStretch(kMaximumColumn, 2);

    // Other Properties: caption, unit list, value box per row.
    auto* properties_frame = new QGroupBox(QStringLiteral("Other Properties"), central);
    properties_frame->setObjectName(QStringLiteral("Frame3"));
    properties_frame->setFont(WindowFont(kFramePoints));
    auto* properties = new QGridLayout(properties_frame);
    properties->setContentsMargins(4, 2, 4, 4);
    properties->setHorizontalSpacing(2);
    properties->setVerticalSpacing(3);
    for (std::size_t p = humidora::kFirstPropertyRow; p < humidora::kQuantities.size(); ++p) {
        const humidora::Quantity& quantity = humidora::kQuantities[p];
        const int row = static_cast<int>(p - humidora::kFirstPropertyRow);
        QLabel* caption
            = makeCaption(quantity.caption_label, QString::fromUtf8(quantity.caption), properties_frame);
        caption->setFont(WindowFont(kCaptionPoints));
        properties->addWidget(caption, row, 0);
        QComboBox* list = makeList(ListNumber(quantity.list), properties_frame);
        properties->addWidget(list, row, 1);
        QLineEdit* box = makeBox(BoxNumber(quantity.box), properties_frame);
        properties->addWidget(box, row, 2);
        properties->addWidget(makeUncertainty(quantity.boxNumber(), properties_frame), row, 3);
        properties->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), row, 4);
        properties->setRowStretch(row, 1);
    }
    properties->setColumnStretch(0, 0);
    properties->setColumnStretch(1, 3);
    properties->setColumnStretch(2, 1);

    list_ = new QListWidget(central);
    list_->setObjectName(QStringLiteral("List1"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    // Wide enough for the listing's rules of 48 hyphens.
    list_->setMinimumWidth(caption_metrics.horizontalAdvance(QString(48, QLatin1Char('-'))) + 10);
    list_->viewport()->installEventFilter(this);

    auto* lower = new QHBoxLayout;
    lower->setSpacing(4);
    lower->addWidget(properties_frame, 3);
    lower->addWidget(list_, 2);

    web_button_ = new QPushButton(QString::fromUtf8(humidora::kWebAddress), central);
    web_button_->setObjectName(QStringLiteral("Command1"));
    web_button_->setFont(WindowFont(kButtonPoints));
    SetColour(web_button_, QPalette::Button, kWebButtonColour);
    web_button_->setAutoDefault(false);
    connect(web_button_, &QPushButton::clicked, this, [this] { openWebAddress(); });

    // Font sizes that differ from the window's 9 pt.
    for (int number : { 1, 2, 3, 4, 5, 6, 7, 10, 11 })
        lists_[static_cast<std::size_t>(number - 1)]->setFont(WindowFont(kSmallListPoints));
    for (int number : { 8, 9, 12, 13, 14, 15, 16 })
        lists_[static_cast<std::size_t>(number - 1)]->setFont(WindowFont(kCaptionPoints));
    // A box keeps its height when a long text is shown in a smaller font.
    for (QLineEdit* box : boxes_) {
        box->setFont(WindowFont(kCaptionPoints));
        box->setFixedHeight(box->sizeHint().height());
    }

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 6, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(grid, 11);
    layout->addLayout(lower, 6);
    layout->addWidget(web_button_);
}

void Form_ambient::buildMenus()
{
    const QString title = QString::fromUtf8(humidora::kProductTitle);
    const auto name
        = [](QObject* object, const char* objectName) { object->setObjectName(QLatin1String(objectName)); };
    const auto subMenu = [&](QMenu* parent_menu, const QString& caption, const char* objectName) {
        QMenu* menu = parent_menu->addMenu(caption);
        name(menu, objectName);
        name(menu->menuAction(), objectName);
        return menu;
    };
    const auto entry
        = [&](QMenu* menu, const QString& caption, const char* objectName, const QKeySequence& keys = {}) {
              QAction* action = menu->addAction(caption);
              name(action, objectName);
              if (!keys.isEmpty())
                  action->setShortcut(keys);
              return action;
          };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    name(file, "menu_file");
    name(file->menuAction(), "menu_file");
    entry(file, QStringLiteral("&Open"), "menu_open", QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    entry(file, QStringLiteral("&Save"), "menu_save", QKeySequence(Qt::CTRL | Qt::Key_S));
    entry(file, QStringLiteral("Save &As"), "menu_saveas", QKeySequence(Qt::CTRL | Qt::Key_A));
    file->addSeparator();
    entry(file, QStringLiteral("&Properties..."), "menu_properties");
    entry(file, QStringLiteral("&Report"), "menu_report", QKeySequence(Qt::CTRL | Qt::Key_R));
    file->addSeparator();
    QAction* exit = entry(file, QStringLiteral("Exit"), "exit_menu", QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Edit: the steps of the calculation undone and redone; the "State Points" dock adds its copying.
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    name(edit, "menu_edit");
    name(edit->menuAction(), "menu_edit");
    edit->addAction(history_->createUndoAction(edit));
    edit->addAction(history_->createRedoAction(edit));

    QMenu* options = menuBar()->addMenu(QStringLiteral("O&ption"));
    name(options, "menu_options");
    name(options->menuAction(), "menu_options");
    QMenu* method
        = subMenu(options, QStringLiteral("Method of Calculating Saturation Condition"), "menu_calc_sat");
    iapws_ = entry(method,
        QStringLiteral("IAPWS (International Association for the Properties of Water and Steam)"),
        "menu_IAPWS");
    method->addSeparator();
    hyland_wexler_
        = entry(method, QStringLiteral("Hyland-Wexler Formulation (Recommended by ASHRAE)"), "menu_HW");
    options->addSeparator();
    QMenu* system = subMenu(options, QStringLiteral("System of Units"), "menu_system");
    metric_ = entry(system, QStringLiteral("Metric"), "menu_metric");
    system->addSeparator();
    british_ = entry(system, QStringLiteral("British"), "menu_british");
    system->addSeparator();
    customized_ = entry(system, QStringLiteral("Customized"), "menu_customized");
    customized_->setEnabled(false);
    convert_units_ = entry(options, QStringLiteral("Convert Values When Units Change"), "menu_convert_units");
    for (QAction* checkable : { iapws_, hyland_wexler_, metric_, british_, customized_, convert_units_ })
        checkable->setCheckable(true);
    // A preference of the user's, not part of a calculation: kept between runs, off until chosen.
    document_->SetConvertOnUnitChange(QSettings().value(kConvertUnitsKey, false).toBool());
    connect(convert_units_, &QAction::triggered, this, [this](bool checked) {
        document_->SetConvertOnUnitChange(checked);
        QSettings().setValue(kConvertUnitsKey, checked);
        refresh();
    });
    options->addSeparator();
    QAction* convertor = entry(options, QStringLiteral("Unit Convertor"), "menu_convertor");
    QAction* chart = entry(
        options, QStringLiteral("Psychrometric Chart"), "menu_chart", QKeySequence(Qt::CTRL | Qt::Key_H));
    options->addSeparator();
    QAction* saturation = entry(options, QStringLiteral("Saturation Condition of Water"), "menu_sat");
    options->addSeparator();
    QAction* uncertainty = entry(options, QStringLiteral("Measurement Uncertainty..."), "menu_uncertainty");
    connect(uncertainty, &QAction::triggered, this, [this] { editUncertainty(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    name(help, "Help_menu");
    name(help->menuAction(), "Help_menu");
    QAction* guide
        = entry(help, title + QStringLiteral(" User's Guide"), "help_index_menu", QKeySequence(Qt::Key_F1));
    help->addSeparator();
    QAction* brochure = entry(help, title + QStringLiteral(" Brochure"), "menu_broshure");
    help->addSeparator();
    QAction* about = entry(help, QStringLiteral("About ") + title, "abou_menu");

    // Each command forwards to the window logic and shows the result; a checkable entry toggles its own
    // mark before `triggered`, and refresh() puts back the marks the logic decided.
    const auto command = [this](QAction* action, void (humidora::CalculationDocument::*choose)()) {
        connect(action, &QAction::triggered, this, [this, choose] { (document_.get()->*choose)(); });
    };
    command(iapws_, &humidora::CalculationDocument::ChooseIapws);
    command(hyland_wexler_, &humidora::CalculationDocument::ChooseHylandWexler);
    command(metric_, &humidora::CalculationDocument::ChooseMetric);
    command(british_, &humidora::CalculationDocument::ChooseBritish);
    connect(customized_, &QAction::triggered, this, [this] { refresh(); });
    connect(convertor, &QAction::triggered, this, [this] { showSingle(convertor_); });
    connect(chart, &QAction::triggered, this, &Form_ambient::showChart);
    connect(saturation, &QAction::triggered, this, [this] { showSingle(saturation_); });
    connect(guide, &QAction::triggered, this,
        [this] { openHelpDocument(QStringLiteral("Humidora_Users Guide.pdf")); });
    connect(brochure, &QAction::triggered, this,
        [this] { openHelpDocument(QStringLiteral("Humidora_Brochure.pdf")); });
    connect(about, &QAction::triggered, this, [this] { showSingle(about_, false); });
}

void Form_ambient::setTabChain()
{
    // Text1 first, then Text2, then the other value boxes in row order; then lists, options, listing, button.
    QList<QWidget*> chain;
    for (const humidora::Quantity& quantity : humidora::kQuantities)
        chain << boxes_[static_cast<std::size_t>(BoxNumber(quantity.box) - 1)];
    for (const humidora::Quantity& quantity : humidora::kQuantities)
        chain << lists_[static_cast<std::size_t>(ListNumber(quantity.list) - 1)];
    for (const humidora::Quantity& quantity : humidora::kQuantities) {
        if (quantity.option != nullptr)
            chain << options_[static_cast<std::size_t>(OptionNumber(quantity.option) - 1)];
    }
    chain << list_ << web_button_;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

// ---- Model to widgets --------------------------------------------------------------------------------

void Form_ambient::setChartData(const humidora::ChartData& data)
{
    if (!(data == document_->chartData()))
        document_->SetChartData(data);
}

void Form_ambient::editUncertainty()
{
    auto* dialog = new UncertaintyDialog(logic().uncertainty(), logic().controls(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(
        dialog, &QDialog::accepted, this, [this, dialog] { document_->SetUncertainty(dialog->settings()); });
    dialog->open();
}

void Form_ambient::refresh()
{
    const AmbientControls& model = logic().controls();
    const std::optional<humidora::Refusal>& refusal = logic().refusal();
    const QString refusal_sentence
        = refusal ? QString::fromUtf8(humidora::RefusalSentence(*refusal)) : QString();

    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QLineEdit* box = boxes_[i];
        const humidora::ValueBox& state = model.*humidora::kValueBoxes[i].box;
        const QSignalBlocker blocker(box);
        if (box->isReadOnly() != state.locked)
            box->setReadOnly(state.locked);
        SetColour(box, QPalette::Base, BackgroundColour(state.background, box));
        humidora::ui::ShowWhole(*box, QString::fromUtf8(state.text), state.font_size);
        const bool refused = refusal && refusal->box == static_cast<int>(i) + 1;
        box->setToolTip(refused ? refusal_sentence : QString());
    }
    showRefusal(refusal_sentence);

    for (std::size_t i = 0; i < lists_.size(); ++i) {
        QComboBox* list = lists_[i];
        const int selected = (model.*humidora::kUnitLists[i].list).selected;
        if (list->currentIndex() != selected) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(selected);
        }
    }

    // Check the selected option of each group first; the exclusive group then clears the others.
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (model.*humidora::kOptions[i].option && !options_[i]->isChecked()) {
            const QSignalBlocker blocker(options_[i]);
            options_[i]->setChecked(true);
        }
    }

    for (std::size_t i = 0; i < limit_labels_.size(); ++i) {
        QLabel* label = limit_labels_[i];
        const humidora::LimitLabel& state = model.*humidora::kLimitLabels[i].label;
        humidora::ui::ShowWhole(*label, QString::fromUtf8(state.caption), kCaptionPoints);
        SetColour(label, QPalette::Window, BackgroundColour(state.background, label));
    }

    const QString uncertainty_caption = QString::fromStdString(logic().UncertaintyCaption());
    uncertainty_caption_->setText(uncertainty_caption);
    uncertainty_caption_->setVisible(!uncertainty_caption.isEmpty());
    for (std::size_t i = 0; i < uncertainty_labels_.size(); ++i) {
        QLabel* label = uncertainty_labels_[i];
        const QString text = QString::fromStdString(logic().UncertaintyLabel(static_cast<int>(i) + 1));
        label->setText(text);
        // A flagged interval reaches beyond the quantity's range: red, with the interval in the tip.
        const bool flagged = text.endsWith(QLatin1Char('!'));
        label->setStyleSheet(flagged ? QStringLiteral("color: rgb(255, 0, 0)") : QString());
        const humidora::QuantityUncertainty* q = nullptr;
        for (std::size_t row = 0; row < humidora::kQuantities.size(); ++row) {
            if (humidora::kQuantities[row].boxNumber() == static_cast<int>(i) + 1)
                q = &logic().uncertaintyResult().quantities[row];
        }
        label->setToolTip(flagged && q
                ? QStringLiteral("%1 to %2 reaches beyond the range of this quantity")
                      .arg(QString::fromStdString(humidora::PlainNumberText(q->low, 6)),
                          QString::fromStdString(humidora::PlainNumberText(q->high, 6)))
                : QString());
        label->setVisible(!uncertainty_caption.isEmpty());
    }

    const QString unit_header = QString::fromUtf8(model.Label27);
    if (unit_header_->text() != unit_header)
        unit_header_->setText(unit_header);

    bool same_lines = list_->count() == static_cast<int>(model.List1.lines.size());
    for (int row = 0; same_lines && row < list_->count(); ++row)
        same_lines
            = list_->item(row)->text() == QString::fromUtf8(model.List1.lines[static_cast<std::size_t>(row)]);
    if (!same_lines) {
        list_->clear();
        for (const std::string& line : model.List1.lines)
            list_->addItem(QString::fromUtf8(line));
    }
    humidora::ui::ShowWhole(*list_, kCaptionPoints);
    SetColour(list_, QPalette::Base, BackgroundColour(model.List1.background, list_));

    const std::array<std::pair<QAction*, bool>, 6> marks = { {
        { convert_units_, document_->convertOnUnitChange() },
        { iapws_, model.menu_IAPWS },
        { hyland_wexler_, model.menu_HW },
        { metric_, model.menu_metric },
        { british_, model.menu_british },
        { customized_, model.menu_customized },
    } };
    for (const auto& [action, checked] : marks) {
        const QSignalBlocker blocker(action);
        action->setChecked(checked);
    }
    emit calculated();
}

void Form_ambient::showRefusal(const QString& sentence)
{
    if (sentence == shown_refusal_)
        return;
    // A correction takes away the refusal's own message only, never a message of the file commands.
    if (!sentence.isEmpty())
        statusBar()->showMessage(sentence);
    else if (statusBar()->currentMessage() == shown_refusal_)
        statusBar()->clearMessage();
    shown_refusal_ = sentence;
}

// ---- Widgets to model --------------------------------------------------------------------------------

void Form_ambient::valueEdited(int box, const QString& text)
{
    document_->EditText(box, text.toStdString());
}

void Form_ambient::unitChosen(int list, int index)
{
    if (index < 0)
        return;
    history_->endMerging();
    document_->SelectUnit(list, index);
}

void Form_ambient::optionClicked(int option)
{
    history_->endMerging();
    document_->ClickOption(option);
    applyFocusRequest();
    // An arrow key checks the next option first and gives it the focus afterwards: the value box takes
    // the focus back once the key has been handled, so that typing goes where the user looks.
    QMetaObject::invokeMethod(
        this, [this] { applyFocusRequest(); }, Qt::QueuedConnection);
}

void Form_ambient::applyFocusRequest()
{
    const int number = logic().focus_box();
    if (number < 1 || number > static_cast<int>(boxes_.size()))
        return;
    QLineEdit* box = boxes_[static_cast<std::size_t>(number - 1)];
    box->setFocus(Qt::OtherFocusReason);
    if (logic().focus_select_all())
        box->selectAll();
}

bool Form_ambient::eventFilter(QObject* watched, QEvent* event)
{
    humidora::ui::FitWholeOnResize(watched, event);
    // A line edit claims its own Ctrl+X (cut) before the menu's Exit sees it, but only while it is
    // editable. A computed box must claim it as well: the user who tries to cut from it must not end the
    // program. The key then reaches the read-only box, which ignores it.
    auto* box = qobject_cast<QLineEdit*>(watched);
    // The keystrokes in a box are one step until the user leaves it.
    if (event->type() == QEvent::FocusOut && box != nullptr)
        history_->endMerging();
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && box != nullptr) {
        // Undo and redo are the calculation's, not the box's own (which the window's texts would defeat):
        // the box lets the shortcut go to Edit > Undo and Redo, and never takes the key itself, also when
        // there is nothing to undo.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        if (box != nullptr && box->isReadOnly()
            && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cut)) {
            event->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Other windows, documents, the web ---------------------------------------------------------------

template <class Window> void Form_ambient::showSingle(QPointer<Window>& window, bool tool_window)
{
    if (window.isNull()) {
        // The chart follows this window; the other tool windows stand alone.
        if constexpr (std::is_constructible_v<Window, Form_ambient&>)
            window = new Window(*this);
        else
            window = new Window(nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (tool_window)
            emit toolWindowCreated(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool Form_ambient::showToolWindow(const QString& objectName)
{
    if (objectName == QLatin1String(Form_saturation::staticMetaObject.className()))
        showSingle(saturation_);
    else if (objectName == QLatin1String(Form_unit_convertor::staticMetaObject.className()))
        showSingle(convertor_);
    else if (objectName == QLatin1String(Form_chart::staticMetaObject.className()))
        showChart(); // open as a window by an older version
    else
        return false;
    return true;
}

void Form_ambient::closeOtherWindows()
{
    for (QWidget* window : { static_cast<QWidget*>(saturation_.data()),
             static_cast<QWidget*>(convertor_.data()), static_cast<QWidget*>(about_.data()) }) {
        if (window != nullptr)
            window->close();
    }
}

void Form_ambient::buildChartDock()
{
    chart_dock_ = new QDockWidget(QStringLiteral("Psychrometric Chart"), this);
    chart_dock_->setObjectName(QStringLiteral("dock_chart"));
    addDockWidget(Qt::RightDockWidgetArea, chart_dock_);
    chart_dock_->hide();
    // The chart is drawn only once it is wanted: shown from the menu or by the last run's layout.
    connect(chart_dock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && chart_.isNull())
            createChart();
    });
    // The form keeps its size whatever docks beside it: the window grows to hold them.
    centralWidget()->setMinimumSize(kClientWidth, kClientHeight);
}

Form_chart* Form_ambient::chart() const
{
    return chart_.data();
}

void Form_ambient::createChart()
{
    chart_ = new Form_chart(*this, chart_dock_);
    chart_->setWindowFlags(Qt::Widget);
    chart_dock_->setWidget(chart_);
    emit chartCreated(chart_);
}

void Form_ambient::showChart()
{
    if (chart_.isNull())
        createChart();
    chart_->show(); // closed inside its dock (its own window menu), it opens again
    chart_dock_->show();
    chart_dock_->raise();
}

void Form_ambient::closeEvent(QCloseEvent* event)
{
    closeOtherWindows();
    QMainWindow::closeEvent(event);
}

void Form_ambient::openHelpDocument(const QString& fileName)
{
    // A missing document or viewer is said in the status bar, with the paths, until the next message.
    const QString message = humidora::DocumentOpeningMessage(fileName, services_->openDocument(fileName));
    if (!message.isEmpty()) {
        statusBar()->showMessage(message);
        statusBar()->setToolTip(message);
    }
}

void Form_ambient::openWebAddress()
{
    const QString address = QStringLiteral("https://") + QString::fromUtf8(humidora::kWebAddress);
    if (!services_->openAddress(address))
        statusBar()->showMessage(
            QStringLiteral("Could not open %1: the desktop has no web browser.").arg(address));
}
