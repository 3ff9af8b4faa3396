#include "ui/state_points_dock.h"

#include "calc/ambient/ambient_inputs.h"
#include "calc/document/calculation_document.h"
#include "calc/points/point_table.h"
#include "chart/points_overlay.h"
#include "ui/form_ambient.h"
#include "ui/form_chart.h"
#include "ui/frozen_column.h"
#include "ui/process_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace humidora {
namespace {

/// The inputs without their texts: which quantities are given, in which units.
AmbientInputs Stating(AmbientInputs inputs)
{
    inputs.temperature.clear();
    inputs.pressure.clear();
    inputs.altitude.clear();
    inputs.humidity.clear();
    return inputs;
}

/// The main window's caption of each quantity of kQuantities, read from its own labels and options.
std::vector<std::string> WindowCaptions(const Form_ambient& window)
{
    // The temperature's caption label, then the option buttons and the five property captions.
    const auto text_of = [&](const QString& name) -> std::string {
        if (const auto* label = window.findChild<QLabel*>(name))
            return label->text().toStdString();
        if (const auto* option = window.findChild<QRadioButton*>(name))
            return option->text().toStdString();
        return name.toStdString();
    };
    const QStringList names = { "Label2", "Option8", "Option9", "Option2", "Option1", "Option5", "Option3",
        "Option4", "Option10", "Option6", "Option7", "Label29", "Label32", "Label30", "Label31", "Label33" };
    std::vector<std::string> captions;
    for (const QString& name : names)
        captions.push_back(text_of(name));
    return captions;
}

/// A column heading as the table shows it: the quantity on one line, its unit below it.
QString TwoLineHeader(const std::string& heading)
{
    return QString::fromUtf8(heading).replace(QStringLiteral(" ("), QStringLiteral("\n("));
}

// The flow unit and basis the points table was last shown with, kept for the next run.
const QString kFlowUnitKey = QStringLiteral("StatePoints/flowUnit");
const QString kFlowBasisKey = QStringLiteral("StatePoints/flowBasis");

QPushButton* Button(const QString& caption, const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

} // namespace

StatePointsDock::StatePointsDock(Form_ambient& window)
    : QDockWidget(QStringLiteral("State Points"), &window)
    , window_(window)
{
    setObjectName(QStringLiteral("dock_state_points"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    table_ = new QTableWidget(0, static_cast<int>(kPointColumns.size()), body);
    table_->setObjectName(QStringLiteral("table_points"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->installEventFilter(this);
    QTableView* frozen = FreezeFirstColumn(*table_);
    frozen->installEventFilter(this);
    connect(frozen, &QTableView::clicked, this, [this](const QModelIndex& index) { loadPoint(index.row()); });
    layout->addWidget(table_);
    // The flows in a mass unit, or in a volume unit as actual air at the point's state or as standard air.
    auto* flow_row = new QHBoxLayout;
    flow_row->addWidget(new QLabel(QStringLiteral("Flows in"), body));
    flow_unit_ = new QComboBox(body);
    flow_unit_->setObjectName(QStringLiteral("combo_flow_unit"));
    flow_basis_ = new QComboBox(body);
    flow_basis_->setObjectName(QStringLiteral("combo_flow_basis"));
    flow_basis_->addItem(QStringLiteral("Actual"), static_cast<int>(FlowBasis::Actual));
    flow_basis_->addItem(QStringLiteral("Standard Air"), static_cast<int>(FlowBasis::Standard));
    flow_basis_->setCurrentIndex(
        QSettings().value(kFlowBasisKey).toString() == QLatin1String("standard") ? 1 : 0);
    flow_row->addWidget(flow_unit_);
    flow_row->addWidget(flow_basis_);
    flow_row->addStretch();
    layout->addLayout(flow_row);
    fillFlowUnits(QSettings().value(kFlowUnitKey).toString());
    const auto flow_chosen = [this] {
        if (filling_)
            return;
        QSettings().setValue(kFlowUnitKey, flow_unit_->currentText());
        QSettings().setValue(kFlowBasisKey,
            flowDisplay().basis == FlowBasis::Standard ? QStringLiteral("standard")
                                                       : QStringLiteral("actual"));
        flow_basis_->setEnabled(flowDisplay().unit.volume);
        refresh();
    };
    connect(flow_unit_, &QComboBox::currentIndexChanged, this, flow_chosen);
    connect(flow_basis_, &QComboBox::currentIndexChanged, this, flow_chosen);
    auto* buttons = new QHBoxLayout;
    QPushButton* add = Button(QStringLiteral("Add Point"), "button_add_point", body);
    QPushButton* remove = Button(QStringLiteral("Delete"), "button_delete_point", body);
    QPushButton* up = Button(QStringLiteral("Up"), "button_point_up", body);
    QPushButton* down = Button(QStringLiteral("Down"), "button_point_down", body);
    for (QPushButton* button : { add, remove, up, down })
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);
    processes_ = new QTableWidget(body);
    processes_->setObjectName(QStringLiteral("table_processes"));
    processes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    processes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    processes_->verticalHeader()->hide();
    processes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    processes_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(processes_);
    auto* process_buttons = new QHBoxLayout;
    QPushButton* add_process = Button(QStringLiteral("Add Process..."), "button_add_process", body);
    QPushButton* edit_process = Button(QStringLiteral("Edit Process..."), "button_edit_process", body);
    QPushButton* remove_process = Button(QStringLiteral("Delete Process"), "button_delete_process", body);
    process_buttons->addWidget(add_process);
    process_buttons->addWidget(edit_process);
    process_buttons->addWidget(remove_process);
    process_buttons->addStretch();
    layout->addLayout(process_buttons);
    setWidget(body);
    connect(add_process, &QPushButton::clicked, this, [this] {
        ProcessDialog dialog(window_.document(), window_.logic().CurrentInputs(), this);
        dialog.choosePoints(selectedRows());
        if (dialog.exec() == QDialog::Accepted)
            processAdded();
    });
    connect(edit_process, &QPushButton::clicked, this, [this] { editProcess(processes_->currentRow()); });
    connect(processes_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { editProcess(row); });
    connect(remove_process, &QPushButton::clicked, this, [this] {
        if (processes_->currentRow() < 0)
            return;
        window_.document().DeleteProcess(processes_->currentRow());
        emit pointsChanged();
    });

    connect(add, &QPushButton::clicked, this, &StatePointsDock::addPoint);
    connect(remove, &QPushButton::clicked, this, &StatePointsDock::deleteSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(+1); });
    connect(table_, &QTableWidget::cellChanged, this, &StatePointsDock::itemEdited);
    // A click on a row loads its point, also the current one again; keyboard moves within the table do too.
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { loadPoint(row); });
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous_row, int) {
        if (!filling_ && row >= 0 && row != previous_row)
            loadPoint(row);
    });

    // The tables follow the document: its points and processes, and the main window's units.
    connect(&window, &Form_ambient::calculated, this, &StatePointsDock::refresh);
    confirm_delete_ = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("Delete Points"), question,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };

    // The points' regions follow the uncertainty and the units it is stated in.
    connect(&window, &Form_ambient::calculated, this, [this] {
        if (!(window_.logic().uncertainty() == drawn_uncertainty_)
            || !(Stating(window_.logic().CurrentInputs()) == drawn_stating_))
            updateChart();
    });

    // The chart, once created, draws the points and processes.
    chart_ = window.chart();
    connect(&window, &Form_ambient::chartCreated, this, [this](Form_chart* chart) {
        chart_ = chart;
        updateChart();
    });

    buildMenus();
    window.addDockWidget(Qt::RightDockWidgetArea, this);
    // The calculator opens as it always has; Option > State Points shows the dock.
    hide();
    refresh();
}

void StatePointsDock::buildMenus()
{
    QMenuBar* bar = window_.menuBar();
    auto* options = window_.findChild<QMenu*>(QStringLiteral("menu_options"));
    // The window's Edit menu holds Undo and Redo; the copying follows them.
    auto* edit = window_.findChild<QMenu*>(QStringLiteral("menu_edit"));
    if (edit == nullptr) {
        edit = new QMenu(QStringLiteral("&Edit"), bar);
        edit->setObjectName(QStringLiteral("menu_edit"));
        edit->menuAction()->setObjectName(QStringLiteral("menu_edit"));
        bar->insertMenu(options ? options->menuAction() : nullptr, edit);
    } else {
        edit->addSeparator();
    }
    QAction* results = edit->addAction(QStringLiteral("Copy &Results"));
    results->setObjectName(QStringLiteral("menu_copy_results"));
    results->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(results, &QAction::triggered, this, &StatePointsDock::copyResults);
    if (options) {
        options->addSeparator();
        QAction* toggle = toggleViewAction();
        toggle->setObjectName(QStringLiteral("menu_state_points"));
        options->addAction(toggle);
    }
}

const StatePointsList& StatePointsDock::list() const
{
    return window_.document().points();
}

FlowDisplay StatePointsDock::flowDisplay() const
{
    return ChooseFlowDisplay(flow_system_, flow_unit_->currentText().toStdString(),
        static_cast<FlowBasis>(flow_basis_->currentData().toInt()));
}

void StatePointsDock::fillFlowUnits(const QString& wanted)
{
    flow_system_ = window_.logic().CurrentInputs().system;
    const bool was_filling = filling_;
    filling_ = true;
    flow_unit_->clear();
    for (const FlowUnit& unit : FlowUnitsOf(flow_system_))
        flow_unit_->addItem(QString::fromUtf8(unit.key.data(), static_cast<qsizetype>(unit.key.size())));
    // A unit the system does not offer gives the system's own.
    const FlowDisplay chosen = ChooseFlowDisplay(flow_system_, wanted.toStdString(), FlowBasis::Actual);
    flow_unit_->setCurrentText(
        QString::fromUtf8(chosen.unit.key.data(), static_cast<qsizetype>(chosen.unit.key.size())));
    flow_basis_->setEnabled(chosen.unit.volume);
    filling_ = was_filling;
}

void StatePointsDock::refresh()
{
    if (committing_)
        return;
    // Another unit system offers other flow units: the chosen one where it is offered, else its own.
    if (window_.logic().CurrentInputs().system != flow_system_)
        fillFlowUnits(flow_unit_->currentText());
    // Every change of the document comes here, a keystroke as well: the texts are the list's kept ones,
    // and the tables are filled only when they show something else.
    const TextTable& shown = list().Shown(window_.logic().CurrentInputs(), flowDisplay());
    const TextTable processes = list().ShownProcesses(window_.logic().CurrentInputs());
    if (shown.header == shown_points_.header && shown.rows == shown_points_.rows
        && processes.header == shown_processes_.header && processes.rows == shown_processes_.rows)
        return;
    shown_points_ = shown;
    shown_processes_ = processes;
    const int current = table_->currentRow();
    filling_ = true;
    table_->setRowCount(static_cast<int>(shown.rows.size()));
    for (std::size_t column = 0; column < shown.header.size(); ++column)
        table_->setHorizontalHeaderItem(
            static_cast<int>(column), new QTableWidgetItem(TwoLineHeader(shown.header[column])));
    for (std::size_t row = 0; row < shown.rows.size(); ++row) {
        for (std::size_t column = 0; column < shown.rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(QString::fromUtf8(shown.rows[row][column]));
            const bool editable = column == 0 || column == kFlowColumn;
            item->setFlags(
                Qt::ItemIsSelectable | Qt::ItemIsEnabled | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags));
            if (column != 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    processes_->setColumnCount(static_cast<int>(processes.header.size()));
    processes_->setRowCount(static_cast<int>(processes.rows.size()));
    for (std::size_t column = 0; column < processes.header.size(); ++column)
        processes_->setHorizontalHeaderItem(
            static_cast<int>(column), new QTableWidgetItem(TwoLineHeader(processes.header[column])));
    for (std::size_t row = 0; row < processes.rows.size(); ++row) {
        for (std::size_t column = 0; column < processes.rows[row].size(); ++column)
            processes_->setItem(static_cast<int>(row), static_cast<int>(column),
                new QTableWidgetItem(QString::fromUtf8(processes.rows[row][column])));
    }
    updateChart();
    if (current >= 0 && current < table_->rowCount())
        table_->setCurrentCell(current, table_->currentColumn() < 0 ? 0 : table_->currentColumn());
    filling_ = false;
}

void StatePointsDock::updateChart()
{
    if (!chart_)
        return;
    drawn_uncertainty_ = window_.logic().uncertainty();
    drawn_stating_ = Stating(window_.logic().CurrentInputs());
    chart_->model().overlay() = chart::PointsOverlay(list(), &drawn_uncertainty_, &drawn_stating_);
    chart_->canvas()->update();
}

void StatePointsDock::processAdded()
{
    selectRow(table_->rowCount() - 1);
    loadPoint(table_->rowCount() - 1);
    emit pointsChanged();
}

void StatePointsDock::editProcess(int row)
{
    if (row < 0 || row >= static_cast<int>(list().processes().size()))
        return;
    ProcessDialog dialog(window_.document(), window_.logic().CurrentInputs(), this);
    dialog.editProcess(row);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int leaving = list().RowOf(list().LeavingId(row));
    if (leaving >= 0) {
        selectRow(leaving);
        loadPoint(leaving);
    }
    emit pointsChanged();
}

void StatePointsDock::addPoint()
{
    const int row = window_.document().AddPoint();
    selectRow(row);
    emit pointsChanged();
}

void StatePointsDock::deleteSelected()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    // Points that processes use go only with those processes, and only when the user says so.
    const std::string question = window_.document().DeleteQuestion(rows);
    if (!question.empty() && !confirm_delete_(QString::fromStdString(question)))
        return;
    window_.document().DeletePoints(rows);
    emit pointsChanged();
}

void StatePointsDock::moveSelected(int offset)
{
    const int row = table_->currentRow();
    if (!window_.document().MovePoint(row, offset))
        return;
    selectRow(row + offset);
    emit pointsChanged();
}

QMimeData* StatePointsDock::TableMimeData(const TextTable& table, const std::vector<int>& rows)
{
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(TableText(table, rows)));
    data->setHtml(QString::fromUtf8(TableHtml(table, rows)));
    return data;
}

void StatePointsDock::copySelected() const
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    QApplication::clipboard()->setMimeData(
        TableMimeData(list().Shown(window_.logic().CurrentInputs(), flowDisplay()), rows));
}

void StatePointsDock::copyResults() const
{
    const TextTable results = ResultsTable(
        window_.logic().controls(), WindowCaptions(window_), &window_.logic().uncertaintyResult());
    QApplication::clipboard()->setMimeData(TableMimeData(results, { 0 }));
}

void StatePointsDock::loadPoint(int row)
{
    // The point may bring other units: the table follows the window by itself.
    window_.document().LoadPoint(row);
}

bool StatePointsDock::eventFilter(QObject* watched, QEvent* event)
{
    // While a cell is edited its editor, not the table, receives the keys.
    if ((watched == table_ || watched->parent() == table_) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Ahead of the table's own Copy, which copies the current cell only.
        if (key->matches(QKeySequence::Copy)) {
            copySelected();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            deleteSelected();
            return true;
        }
        if (key->modifiers() & Qt::ControlModifier
            && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            moveSelected(key->key() == Qt::Key_Up ? -1 : +1);
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void StatePointsDock::itemEdited(int row, int column)
{
    if (filling_)
        return;
    const std::string text = table_->item(row, column)->text().toStdString();
    bool accepted = false;
    committing_ = true;
    if (column == 0) {
        accepted = window_.document().RenamePoint(row, text);
        if (!accepted)
            tell(QStringLiteral("A point needs a name of its own."));
    } else if (column == static_cast<int>(kFlowColumn)) {
        const std::string refusal = window_.document().SetPointFlow(row, text, flowDisplay());
        accepted = refusal.empty();
        if (!accepted)
            tell(QString::fromStdString(refusal));
    }
    committing_ = false;
    // Deferred: the edited item is still in use by the view that is committing it. A refused text shows
    // the point's own again.
    shown_points_ = {};
    QMetaObject::invokeMethod(this, &StatePointsDock::refresh, Qt::QueuedConnection);
    if (accepted)
        emit pointsChanged();
}

std::vector<int> StatePointsDock::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void StatePointsDock::selectRow(int row)
{
    filling_ = true;
    // Not selectRow(): with Ctrl still held from Ctrl+Up/Down it would toggle the row off.
    table_->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    filling_ = false;
}

void StatePointsDock::tell(const QString& message) const
{
    window_.statusBar()->showMessage(message);
}

} // namespace humidora
