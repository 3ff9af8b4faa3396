// The "State Points" dock beside the main window: the user's named states with their flows, as the
// toolkit-free StatePointsList keeps them, shown in the main window's units. It also adds the main
// window's Edit menu (Copy Results) and its entry in the Option menu. Widgets carry objectNames:
// table_points, button_add_point, button_delete_point, button_point_up, button_point_down, and for the
// processes table_processes, button_add_process (the "Add Process" dialog), button_delete_process.
#pragma once

#include "calc/points/state_points_list.h"

#include <QDockWidget>
#include <QPointer>
#include <functional>

class Form_ambient;
class Form_chart;
class QComboBox;
class QMimeData;
class QTableWidget;

namespace humidora {

class StatePointsDock : public QDockWidget
{
    Q_OBJECT

public:
    /// Docks itself at the right of `window` and adds its menu entries there; a child of the window.
    explicit StatePointsDock(Form_ambient& window);

    /// The points and processes of the window's calculation document.
    const StatePointsList& list() const;
    /// Shows the points and processes in the main window's current units (rebuilds the tables only when
    /// their texts changed). It follows every change of the document by itself.
    void refresh();

    /// Asks whether to delete points that processes use, with the question given ("Delete point MA and the
    /// 2 processes that use it?"); true to delete. The default shows the platform's question box.
    using DeleteConfirmation = std::function<bool(const QString& question)>;
    void setDeleteConfirmation(DeleteConfirmation confirm) { confirm_delete_ = std::move(confirm); }

    /// The commands, as the buttons and keys run them.
    void addPoint();
    void deleteSelected();
    void moveSelected(int offset);
    void copySelected() const;
    void copyResults() const;
    /// After a process was added: selects its leaving point and loads it into the window.
    void processAdded();
    /// Opens the "Edit Process" dialog of process `row`; when accepted, selects and loads its leaving point.
    void editProcess(int row);
    /// Loads a point's inputs into the main window, as typed when it was added.
    void loadPoint(int row);

    /// Tab-separated text and an HTML table of `rows` of `table`, for the clipboard.
    static QMimeData* TableMimeData(const TextTable& table, const std::vector<int>& rows);

signals:
    /// The points were added, removed, renamed, reordered or given another flow, or processes added or
    /// deleted, by this dock.
    void pointsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    /// The flow unit and basis chosen below the table, in the main window's unit system.
    FlowDisplay flowDisplay() const;
    /// Lists the flow units of the main window's unit system, `wanted` chosen where it is one of them.
    void fillFlowUnits(const QString& wanted);
    void itemEdited(int row, int column);
    std::vector<int> selectedRows() const;
    void selectRow(int row);
    void tell(const QString& message) const;
    /// The points and processes onto the chart window, when it is open.
    void updateChart();

    Form_ambient& window_;
    DeleteConfirmation confirm_delete_;
    TextTable shown_points_;    ///< what the points table shows
    TextTable shown_processes_; ///< what the processes table shows
    QTableWidget* table_ = nullptr;
    QTableWidget* processes_ = nullptr;
    QComboBox* flow_unit_ = nullptr;
    QComboBox* flow_basis_ = nullptr;
    UnitSystem flow_system_ = UnitSystem::Metric; ///< the system the flow units were listed for
    QPointer<Form_chart> chart_;
    /// The uncertainty and the window's way of stating its inputs (units, given quantities) the chart's
    /// regions were drawn for: a change of either draws them again.
    UncertaintySettings drawn_uncertainty_;
    AmbientInputs drawn_stating_;
    bool filling_ = false;    ///< the table is being filled: its own signals are not the user's
    bool committing_ = false; ///< a cell's edit is being committed: the table is refreshed after it
};

} // namespace humidora
