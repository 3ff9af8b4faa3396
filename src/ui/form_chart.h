// The psychrometric chart window. It paints the chart model's picture and forwards the mouse: hover reads
// the state under the cursor through the calculator, a click or a drag of the marker sets the main
// window's state as if typed, the wheel zooms, dragging the background pans, Home resets. Everything it
// shows follows the main window on every recalculation.
#pragma once

#include "chart/chart_model.h"

#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class Form_ambient;
class QActionGroup;
class QLabel;

namespace humidora::ui {

/// The widget the chart is painted on; it turns mouse events into calls of its window.
class ChartCanvas : public QWidget
{
    Q_OBJECT

public:
    ChartCanvas(chart::ChartModel& model, QWidget* parent);

    /// A chart of an ordinary size where the layout leaves the choice.
    QSize sizeHint() const override { return { 600, 460 }; }

    /// The picture's axes for the canvas's present size.
    chart::ChartAxes axes() const;
    double scale() const;

signals:
    void hovered(QPointF at);
    void left();
    void pressed(QPointF at);
    void dragged(QPointF at);
    void released(QPointF at);
    void wheeled(QPointF at, double steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    chart::ChartModel& model_;
};

} // namespace humidora::ui

class Form_chart : public QMainWindow
{
    Q_OBJECT

public:
    /// The chart of `main`'s state; it follows main's recalculations for as long as both live.
    explicit Form_chart(Form_ambient& main, QWidget* parent = nullptr);
    ~Form_chart() override;

    humidora::chart::ChartModel& model() { return model_; }
    humidora::ui::ChartCanvas* canvas() const { return canvas_; }
    /// The picture as drawn now.
    humidora::chart::ChartPicture picture();

    /// Takes the main window's state and redraws.
    void follow();
    /// The read-out of the point under `at` (canvas pixels) in the status bar.
    void showReadout(QPointF at);
    /// Sets the main window's state to the point under `at`: true when the calculator accepted it; else
    /// nothing changes and the status bar says why.
    bool setStateAt(QPointF at);

    /// Writes the chart at size (the canvas's size when empty) as PNG, SVG or PDF by suffix; the outcome
    /// goes to the status bar. True on success.
    bool exportTo(const QString& path, QSize size = {});

    /// File > Plot Data...: the column chooser; OK plots the file (read off the window's thread).
    void plotData();
    /// File > Zones...: the zones typed one a line.
    void editZones();
    /// File > Clear Data: no data file (the zones stay).
    void clearData();
    /// True while a data file is being read.
    bool reading() const { return reading_; }
    /// Copies the chart to the clipboard as an image.
    void copyImage();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void setRange(humidora::chart::ChartRange range);
    void viewChanged();
    void remember() const;
    void recall();
    void exportAs();
    void print();
    /// Shows the main window's chart data: the zones at once, the data file once read (when it is not the
    /// one read last, or `reload`).
    void showChartData(bool reload = false);
    void startReading(const humidora::DataSource& source);
    void stopReading();

    void press(QPointF at);
    void drag(QPointF at);
    void release(QPointF at);
    void zoom(QPointF at, double steps);

    Form_ambient& main_;
    humidora::chart::ChartModel model_;
    humidora::ui::ChartCanvas* canvas_ = nullptr;
    QActionGroup* ranges_ = nullptr;
    QLabel* readout_ = nullptr;

    enum class Gesture
    {
        None,
        Click,  ///< pressed on the field, not moved yet
        Pan,    ///< dragging the background
        Marker, ///< dragging the state marker
    };
    Gesture gesture_ = Gesture::None;
    QPointF pressed_at_;
    QPointF last_at_;

    // The data file: the source read last (its rows are the model's), and the reader running now.
    std::optional<humidora::DataSource> read_source_;
    std::thread reader_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    bool reading_ = false;
    QSize export_size_ { 1920, 1200 };
};
