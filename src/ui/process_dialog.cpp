#include "ui/process_dialog.h"

#include "calc/document/calculation_document.h"
#include "calc/points/point_table.h"
#include "calc/points/process_parameters.h"
#include "calc/units/number_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace humidora {
ProcessDialog::ProcessDialog(CalculationDocument& document, const AmbientInputs& units, QWidget* parent)
    : QDialog(parent)
    , document_(document)
    , units_(units)
{
    setObjectName(QStringLiteral("dialog_add_process"));
    setWindowTitle(QStringLiteral("Add Process"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("combo_process_kind"));
    for (const ProcessKindInfo& kind : kProcessKinds)
        kind_->addItem(QString::fromUtf8(kind.caption), static_cast<int>(kind.kind));
    form->addRow(QStringLiteral("Process"), kind_);
    points_ = new QListWidget(this);
    points_->setObjectName(QStringLiteral("list_process_points"));
    points_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const StatePoint& point : document.points().points())
        points_->addItem(QString::fromStdString(point.name));
    points_->setMaximumHeight(110);
    points_caption_ = new QLabel(QStringLiteral("Entering Point(s)"), this);
    form->addRow(points_caption_, points_);
    for (const ProcessParameter& parameter : kProcessParameters) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit_") + QString::fromUtf8(parameter.key));
        const std::string_view unit = ParameterUnit(parameter, units);
        auto* caption = new QLabel(unit.empty() ? QString::fromUtf8(parameter.Prompt())
                                                : QString::fromUtf8(Heading(parameter.caption, unit)),
            this);
        form->addRow(caption, edit);
        parameters_.push_back(edit);
        captions_.push_back(caption);
    }
    result_name_ = new QLineEdit(this);
    result_name_->setObjectName(QStringLiteral("edit_result_name"));
    result_name_->setPlaceholderText(QStringLiteral("next free letter"));
    form->addRow(QStringLiteral("Leaving Point"), result_name_);
    exhaust_name_ = new QLineEdit(this);
    exhaust_name_->setObjectName(QStringLiteral("edit_exhaust_name"));
    exhaust_name_->setPlaceholderText(QStringLiteral("next free letter"));
    exhaust_caption_ = new QLabel(QStringLiteral("Leaving Exhaust Point"), this);
    form->addRow(exhaust_caption_, exhaust_name_);
    layout->addLayout(form);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("label_process_problem"));
    problem_->setWordWrap(true);
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(kind_, &QComboBox::currentIndexChanged, this, &ProcessDialog::kindChosen);
    connect(points_, &QListWidget::itemSelectionChanged, this, &ProcessDialog::selectionChanged);
    kindChosen();
}

void ProcessDialog::selectionChanged()
{
    std::vector<std::string> selected;
    for (int row = 0; row < points_->count(); ++row) {
        if (points_->item(row)->isSelected())
            selected.push_back(points_->item(row)->text().toStdString());
    }
    std::erase_if(chosen_, [&](const std::string& name) {
        return std::find(selected.begin(), selected.end(), name) == selected.end();
    });
    for (const std::string& name : selected) {
        if (std::find(chosen_.begin(), chosen_.end(), name) == chosen_.end())
            chosen_.push_back(name);
    }
}

void ProcessDialog::kindChosen()
{
    const auto kind = static_cast<ProcessKind>(kind_->currentData().toInt());
    for (std::size_t i = 0; i < kProcessParameters.size(); ++i) {
        const bool taken = kProcessParameters[i].TakenBy(kind);
        parameters_[i]->setVisible(taken);
        captions_[i]->setVisible(taken);
    }
    const bool recovery = kind == ProcessKind::Recovery;
    exhaust_name_->setVisible(recovery);
    exhaust_caption_->setVisible(recovery);
    points_caption_->setText(recovery     ? QStringLiteral("Outdoor Air, then Exhaust Air")
            : kind == ProcessKind::Supply ? QStringLiteral("Room Point")
                                          : QStringLiteral("Entering Point(s)"));
    problem_->clear();
}

void ProcessDialog::editProcess(int row)
{
    const std::vector<ProcessSpec>& processes = document_.points().processes();
    if (row < 0 || row >= static_cast<int>(processes.size()))
        return;
    edit_row_ = row;
    edited_ = processes[static_cast<std::size_t>(row)];
    setWindowTitle(QStringLiteral("Edit Process"));
    kind_->setCurrentIndex(kind_->findData(static_cast<int>(edited_.kind)));
    for (int item = 0; item < points_->count(); ++item) {
        const std::string name = points_->item(item)->text().toStdString();
        points_->item(item)->setSelected(
            std::find(edited_.points.begin(), edited_.points.end(), name) != edited_.points.end());
    }
    shown_.assign(kProcessParameters.size(), QString());
    for (std::size_t i = 0; i < kProcessParameters.size(); ++i) {
        const std::optional<double> value = edited_.*(kProcessParameters[i].field);
        if (value)
            shown_[i] = QString::fromStdString(
                PlainNumberText(ParameterInUnit(kProcessParameters[i], *value, units_)));
        parameters_[i]->setText(shown_[i]);
    }
    // A heat recovery's points in its own order (outdoor air, exhaust air), whatever their rows.
    chosen_ = edited_.points;
    result_name_->setText(QString::fromStdString(edited_.result_name));
    result_name_->setReadOnly(true);
    exhaust_name_->setText(QString::fromStdString(edited_.exhaust_result_name));
    exhaust_name_->setReadOnly(true);
}

void ProcessDialog::choosePoints(const std::vector<int>& rows)
{
    points_->clearSelection();
    for (const int row : rows) {
        if (QListWidgetItem* item = points_->item(row))
            item->setSelected(true);
    }
    if (rows.size() > 1)
        kind_->setCurrentIndex(kind_->findData(static_cast<int>(ProcessKind::Mix)));
}

bool ProcessDialog::apply()
{
    ProcessSpec recipe;
    recipe.kind = static_cast<ProcessKind>(kind_->currentData().toInt());
    selectionChanged();
    if (recipe.kind == ProcessKind::Recovery) {
        recipe.points = chosen_;
    } else {
        for (int row = 0; row < points_->count(); ++row) {
            if (points_->item(row)->isSelected())
                recipe.points.push_back(points_->item(row)->text().toStdString());
        }
    }
    for (std::size_t i = 0; i < kProcessParameters.size(); ++i) {
        const ProcessParameter& parameter = kProcessParameters[i];
        const std::string text = parameters_[i]->text().trimmed().toStdString();
        if (!parameter.TakenBy(recipe.kind) || text.empty())
            continue;
        // An edited process keeps the exact value of a parameter whose text was left as shown.
        if (edit_row_ >= 0 && recipe.kind == edited_.kind && parameters_[i]->text() == shown_[i]) {
            recipe.*(parameter.field) = edited_.*(parameter.field);
            continue;
        }
        if (!IsNumberText(text)) {
            problem_->setText(QString::fromUtf8(parameter.Prompt()) + QStringLiteral(" is not a number."));
            return false;
        }
        recipe.*(parameter.field) = ParameterInSi(parameter, NumberValue(text), units_);
    }
    // The number of points and the form of the parameters are checked here, before anything runs; the
    // ranges and the points themselves when the list runs the process.
    if (const std::optional<ProcessRefusal> refusal = PointCountRefusal(recipe.kind, recipe.points.size())) {
        problem_->setText(QString::fromStdString(refusal->sentence));
        return false;
    }
    if (const std::optional<ProcessRefusal> refusal = ParametersRefusal(recipe, units_)) {
        problem_->setText(QString::fromStdString(refusal->sentence));
        return false;
    }
    recipe.result_name = result_name_->text().toStdString();
    if (recipe.kind == ProcessKind::Recovery)
        recipe.exhaust_result_name = exhaust_name_->text().toStdString();
    const std::string refusal
        = edit_row_ >= 0 ? document_.EditProcess(edit_row_, recipe) : document_.AddProcess(recipe);
    problem_->setText(QString::fromStdString(refusal));
    return refusal.empty();
}

} // namespace humidora
