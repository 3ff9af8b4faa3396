// The calculator's main window. It owns the widgets only: every event is forwarded to the toolkit-free
// AmbientWindow, and after each one the whole control model is pushed back to the widgets. The window
// itself computes nothing.
#pragma once

#include "ui/desktop_services.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class Form_chart;
class Form_saturation;
class Form_unit_convertor;
class form_about;

#include "calc/document/chart_data.h"

namespace humidora {
class AmbientWindow;
class CalculationDocument;
class DocumentHistory;
} // namespace humidora

class Form_ambient : public QMainWindow
{
    Q_OBJECT

public:
    /// Creates the controls and runs the start-up (unit lists selected, one final calculation, focus in
    /// Text1). `services` opens the help documents and the web address; null means the desktop itself.
    explicit Form_ambient(
        std::unique_ptr<humidora::DesktopServices> services = nullptr, QWidget* parent = nullptr);
    ~Form_ambient() override;

    /// The live calculation the window shows: its inputs, the state points and processes, the properties,
    /// the uncertainty settings and the chart data. Every view reads and changes it through this object; the
    /// window shows each of its changes.
    humidora::CalculationDocument& document();
    const humidora::CalculationDocument& document() const;
    /// Edit > Undo and Redo over the document's steps.
    humidora::DocumentHistory& history();
    /// The window's behaviour and control model, as the document holds it.
    const humidora::AmbientWindow& logic() const;

    /// Pushes the whole control model to the widgets (texts, locks, colours, fonts, selections, options,
    /// labels, listing, menu check marks) without starting any event of its own.
    void refresh();

    /// Opens the tool window of this objectName (Form_saturation, Form_unit_convertor), or brings it to
    /// the front when it is open; false for a name that is no tool window. A tool window's objectName is
    /// its class name; each new tool window is listed here, so that it can reopen at start-up.
    bool showToolWindow(const QString& objectName);

    /// The dock of the psychrometric chart ("dock_chart"): beside the form, tabbed with another dock or
    /// floating. Hidden at first; the chart in it is created when it is first shown.
    QDockWidget* chartDock() const { return chart_dock_; }
    /// The chart, once created (null before).
    Form_chart* chart() const;
    /// Option > Psychrometric Chart: shows the chart dock, creating the chart when needed, and raises it.
    void showChart();

    /// The data file plotted on the chart and the zones, part of the calculation: the chart window shows
    /// them, File > Open and Save read and write them. Setting them announces chartDataChanged.
    const humidora::ChartData& chartData() const;
    void setChartData(const humidora::ChartData& data);

signals:
    /// The chart data of the calculation were replaced (a file opened, a dialog of the chart).
    void chartDataChanged();
    /// refresh() has shown the control model: after every recalculation and every other event.
    void calculated();
    /// A tool window was created and is about to be shown for the first time; it lives until it is closed.
    void toolWindowCreated(QWidget* window);
    /// The chart was created in its dock; it lives as long as the window.
    void chartCreated(Form_chart* chart);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setTabChain();

    /// Shows the document after each of its changes: refresh(), and chartDataChanged when they changed.
    void documentChanged();

    // Forwarders: one per kind of user event; the document's change is shown by documentChanged().
    void valueEdited(int box, const QString& text);
    void unitChosen(int list, int index);
    void optionClicked(int option);
    void applyFocusRequest();
    /// The sentence of the last refusal in the status bar; an empty sentence takes it away.
    void showRefusal(const QString& sentence);

    void openHelpDocument(const QString& fileName);
    void openWebAddress();
    void editUncertainty();
    /// Shows the single window of its kind, creating it when needed; a tool window is announced by
    /// toolWindowCreated.
    template <class Window> void showSingle(QPointer<Window>& window, bool tool_window = true);
    void closeOtherWindows();
    void buildChartDock();
    void createChart();

    std::unique_ptr<humidora::CalculationDocument> document_;
    /// Destroyed before the document it records.
    std::unique_ptr<humidora::DocumentHistory> history_;
    std::unique_ptr<humidora::DesktopServices> services_;

    std::array<QLineEdit*, 16> boxes_ {};           // Text1..Text16
    std::array<QComboBox*, 16> lists_ {};           // Combo1..Combo16
    std::array<QRadioButton*, 10> options_ {};      // Option1..Option10
    std::array<QLabel*, 22> limit_labels_ {};       // Label4..Label25
    std::array<QLabel*, 16> uncertainty_labels_ {}; // Uncertainty1..Uncertainty16, beside Text1..Text16
    QLabel* uncertainty_caption_ = nullptr;         // UncertaintyCaption, over them
    QLabel* unit_header_ = nullptr;                 // Label27
    QListWidget* list_ = nullptr;                   // List1
    QPushButton* web_button_ = nullptr;             // Command1
    QString shown_refusal_;                         // the refusal sentence in the status bar, or empty

    QAction* iapws_ = nullptr;
    QAction* hyland_wexler_ = nullptr;
    QAction* metric_ = nullptr;
    QAction* british_ = nullptr;
    QAction* customized_ = nullptr;
    QAction* convert_units_ = nullptr;

    QPointer<Form_saturation> saturation_;
    QPointer<Form_unit_convertor> convertor_;
    QPointer<form_about> about_;
    QPointer<Form_chart> chart_;
    QDockWidget* chart_dock_ = nullptr;
    humidora::ChartData shown_chart_data_; ///< as chartDataChanged last announced them
};
