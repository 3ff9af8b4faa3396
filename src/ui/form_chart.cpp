#include "ui/form_chart.h"

#include "calc/ambient/ambient_inputs.h"
#include "calc/document/calculation_document.h"
#include "calc/units/refusal.h"
#include "io/chart_picture.h"
#include "io/data_file.h"
#include "ui/chart_data_dialogs.h"
#include "ui/form_ambient.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QWheelEvent>
#include <cmath>

using humidora::chart::ChartRange;

namespace {

const QString kRangeKey = QStringLiteral("chart/range");
const QString kFieldKey = QStringLiteral("chart/field");
// A press that moves less than this (pixels) is a click, not a drag.
constexpr double kClickSlop = 4;
// One notch of the wheel shows this share of the field.
constexpr double kZoomPerStep = 0.85;

} // namespace

namespace humidora::ui {

ChartCanvas::ChartCanvas(chart::ChartModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName(QStringLiteral("chart_canvas"));
    setMouseTracking(true);
    setMinimumSize(480, 320);
    setFocusPolicy(Qt::StrongFocus);
}

chart::ChartAxes ChartCanvas::axes() const
{
    return chart::ChartAxes(model_.field(), chart::LayoutFor(width(), height()).plot);
}

double ChartCanvas::scale() const
{
    return chart::LayoutFor(width(), height()).scale;
}

void ChartCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintChart(painter, QSizeF(size()), model_.Picture());
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        emit dragged(event->position());
    else
        emit hovered(event->position());
}

void ChartCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed(event->position());
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit released(event->position());
}

void ChartCanvas::wheelEvent(QWheelEvent* event)
{
    emit wheeled(event->position(), event->angleDelta().y() / 120.0);
    event->accept();
}

void ChartCanvas::leaveEvent(QEvent*)
{
    emit left();
}

} // namespace humidora::ui

Form_chart::Form_chart(Form_ambient& main, QWidget* parent)
    : QMainWindow(parent)
    , main_(main)
{
    setObjectName(QStringLiteral("Form_chart"));
    setWindowTitle(QStringLiteral("Psychrometric Chart"));
    canvas_ = new humidora::ui::ChartCanvas(model_, this);
    setCentralWidget(canvas_);
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("chart_readout"));
    // Seven quantities with their units take two lines in a window of ordinary width.
    readout_->setWordWrap(true);
    statusBar()->addWidget(readout_, 1);
    // The status bar holds the lines of a reading from the start: a reading that appears under the cursor,
    // or a message, must not shrink the chart and move the plot under the cursor.
    // Three lines hold the reading in a chart as narrow as a dock beside the form.
    readout_->setText(QStringLiteral("2\n2\n2"));
    readout_->setFixedHeight(readout_->sizeHint().height());
    readout_->clear();
    statusBar()->setMinimumHeight(statusBar()->sizeHint().height());
    buildMenus();
    recall();
    resize(1000, 700);

    connect(canvas_, &humidora::ui::ChartCanvas::hovered, this, &Form_chart::showReadout);
    connect(canvas_, &humidora::ui::ChartCanvas::left, this, [this] { readout_->clear(); });
    connect(canvas_, &humidora::ui::ChartCanvas::pressed, this, &Form_chart::press);
    connect(canvas_, &humidora::ui::ChartCanvas::dragged, this, &Form_chart::drag);
    connect(canvas_, &humidora::ui::ChartCanvas::released, this, &Form_chart::release);
    connect(canvas_, &humidora::ui::ChartCanvas::wheeled, this, &Form_chart::zoom);
    connect(&main_, &Form_ambient::calculated, this, &Form_chart::follow);
    connect(&main_, &Form_ambient::chartDataChanged, this, [this] { showChartData(); });
    follow();
    showChartData();
}

Form_chart::~Form_chart()
{
    remember();
    stopReading();
}

void Form_chart::stopReading()
{
    if (cancel_)
        cancel_->store(true);
    if (reader_.joinable())
        reader_.join();
    cancel_.reset();
    reading_ = false;
}

void Form_chart::showChartData(bool reload)
{
    const humidora::ChartData& data = main_.chartData();
    const bool same = data.source && read_source_ && *data.source == *read_source_;
    model_.SetData(same && !reload ? model_.rows() : nullptr, data.zones);
    canvas_->update();
    if (data.source && (!same || reload))
        startReading(*data.source);
    else if (!data.source) {
        stopReading();
        read_source_.reset();
    }
}

void Form_chart::startReading(const humidora::DataSource& source)
{
    stopReading();
    read_source_ = source;
    reading_ = true;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    statusBar()->showMessage(QStringLiteral("Reading \"%1\"...").arg(QString::fromStdString(source.path)));
    // The rows are read and computed on a thread of their own, so that a long file does not stop the
    // window; the result comes back as an event of the window's thread, which a closed window never gets
    // (the destructor waits for the reader).
    reader_ = std::thread([this, source, cancel = cancel_] {
        auto result = humidora::ReadDataFile(source, 0, cancel.get());
        if (cancel->load())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, source, result = std::move(result)]() mutable {
                if (!read_source_ || !(*read_source_ == source))
                    return; // a later choice replaced this one
                if (reader_.joinable())
                    reader_.join();
                reading_ = false;
                if (const QString* error = std::get_if<QString>(&result)) {
                    // The settings stay with the calculation; the chart shows the zones alone.
                    statusBar()->showMessage(*error + QStringLiteral(" The data settings are kept."));
                    model_.SetData(nullptr, main_.chartData().zones);
                } else {
                    auto rows = std::make_shared<const humidora::chart::DataSet>(
                        std::move(std::get<humidora::chart::DataSet>(result)));
                    QString message
                        = QStringLiteral("Plotted \"%1\": %2 rows, %3 refused")
                              .arg(QString::fromStdString(source.path))
                              .arg(QString::fromStdString(humidora::chart::GroupedNumber(rows->rows)))
                              .arg(QString::fromStdString(humidora::chart::GroupedNumber(rows->refused)));
                    if (!rows->first_refusals.empty())
                        message += QStringLiteral(" (") + QString::fromStdString(rows->first_refusals.front())
                            + QStringLiteral(")");
                    statusBar()->showMessage(message + QLatin1Char('.'));
                    model_.SetData(std::move(rows), main_.chartData().zones);
                }
                canvas_->update();
            },
            Qt::QueuedConnection);
    });
}

void Form_chart::plotData()
{
    humidora::ChartData data = main_.chartData();
    humidora::DataSource start;
    if (data.source) {
        start = *data.source;
    } else {
        start.inputs = main_.logic().CurrentInputs();
    }
    humidora::ui::PlotDataDialog dialog(start, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    data.source = dialog.source();
    const bool unchanged = data == main_.chartData();
    main_.setChartData(data);
    if (unchanged)
        showChartData(true); // the same choices again: the file is read anew
}

void Form_chart::editZones()
{
    humidora::ChartData data = main_.chartData();
    humidora::ui::ZonesDialog dialog(data.zones, main_.logic().CurrentInputs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    data.zones = dialog.zones();
    main_.setChartData(data);
}

void Form_chart::clearData()
{
    humidora::ChartData data = main_.chartData();
    data.source.reset();
    main_.setChartData(data);
}

void Form_chart::buildMenus()
{
    const auto entry
        = [this](QMenu* menu, const QString& caption, const char* name, const QKeySequence& keys) {
              QAction* action = menu->addAction(caption);
              action->setObjectName(QLatin1String(name));
              if (!keys.isEmpty())
                  action->setShortcut(keys);
              return action;
          };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(
        entry(file, QStringLiteral("&Export..."), "menu_chart_export", QKeySequence(Qt::CTRL | Qt::Key_E)),
        &QAction::triggered, this, &Form_chart::exportAs);
    file->addSeparator();
    connect(entry(file, QStringLiteral("Plot &Data..."), "menu_chart_plot_data",
                QKeySequence(Qt::CTRL | Qt::Key_D)),
        &QAction::triggered, this, &Form_chart::plotData);
    connect(entry(file, QStringLiteral("&Zones..."), "menu_chart_zones", {}), &QAction::triggered, this,
        &Form_chart::editZones);
    connect(entry(file, QStringLiteral("Clear D&ata"), "menu_chart_clear_data", {}), &QAction::triggered,
        this, &Form_chart::clearData);
    file->addSeparator();
    connect(entry(file, QStringLiteral("&Print..."), "menu_chart_print", QKeySequence::Print),
        &QAction::triggered, this, &Form_chart::print);
    connect(entry(file, QStringLiteral("&Copy"), "menu_chart_copy", QKeySequence::Copy), &QAction::triggered,
        this, &Form_chart::copyImage);
    file->addSeparator();
    connect(entry(file, QStringLiteral("C&lose"), "menu_chart_close", QKeySequence::Close),
        &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    ranges_ = new QActionGroup(this);
    for (const auto& [range, caption, name] :
        { std::tuple { ChartRange::Normal, "&Normal (-10 to 50 C)", "menu_chart_normal" },
            std::tuple { ChartRange::Low, "&Low (-40 to 10 C)", "menu_chart_low" },
            std::tuple { ChartRange::High, "&High (10 to 100 C)", "menu_chart_high" } }) {
        QAction* action = entry(view, QString::fromUtf8(caption), name, {});
        action->setCheckable(true);
        action->setData(static_cast<int>(range));
        ranges_->addAction(action);
        connect(action, &QAction::triggered, this, [this, range = range] { setRange(range); });
    }
    view->addSeparator();
    connect(entry(view, QStringLiteral("&Reset View"), "menu_chart_reset", QKeySequence(Qt::Key_Home)),
        &QAction::triggered, this, [this] {
            model_.ResetView();
            viewChanged();
        });
}

humidora::chart::ChartPicture Form_chart::picture()
{
    return model_.Picture();
}

void Form_chart::follow()
{
    model_.Follow(main_.logic());
    canvas_->update();
    const QPointF at = canvas_->mapFromGlobal(QCursor::pos());
    if (canvas_->underMouse() && gesture_ == Gesture::None)
        showReadout(at);
}

void Form_chart::showReadout(QPointF at)
{
    const humidora::chart::ChartAxes axes = canvas_->axes();
    if (!axes.Contains({ at.x(), at.y() })) {
        readout_->clear();
        return;
    }
    const humidora::chart::ChartReadout readout = model_.ReadoutAt(axes, axes.FromPixel({ at.x(), at.y() }));
    QStringList parts;
    for (const humidora::chart::ReadoutValue& value : readout.values) {
        parts << QString::fromUtf8(humidora::QuantityCaption(value.key)) + QStringLiteral(" ")
                + QString::fromStdString(value.text) + QStringLiteral(" ")
                + QString::fromStdString(value.unit);
    }
    if (!readout.accepted)
        parts << QString::fromStdString(readout.reason);
    readout_->setText(parts.join(QStringLiteral("   ")));
}

bool Form_chart::setStateAt(QPointF at)
{
    const humidora::chart::ChartAxes axes = canvas_->axes();
    if (!axes.Contains({ at.x(), at.y() }))
        return false;
    const humidora::chart::ChartReadout readout = model_.ReadoutAt(axes, axes.FromPixel({ at.x(), at.y() }));
    if (!readout.accepted) {
        statusBar()->showMessage(
            QStringLiteral("The state was not changed: ") + QString::fromStdString(readout.reason), 8000);
        return false;
    }
    main_.document().SetInputs(readout.inputs, "Pick State on Chart");
    return true;
}

void Form_chart::press(QPointF at)
{
    const humidora::chart::ChartAxes axes = canvas_->axes();
    pressed_at_ = last_at_ = at;
    if (!axes.Contains({ at.x(), at.y() }))
        gesture_ = Gesture::None;
    else if (model_.HitsMarker(axes, { at.x(), at.y() }, canvas_->scale()))
        gesture_ = Gesture::Marker;
    else
        gesture_ = Gesture::Click;
}

void Form_chart::drag(QPointF at)
{
    if (gesture_ == Gesture::Click && QLineF(pressed_at_, at).length() > kClickSlop)
        gesture_ = Gesture::Pan;
    if (gesture_ == Gesture::Pan) {
        model_.Pan(canvas_->axes(), { last_at_.x(), last_at_.y() }, { at.x(), at.y() });
        viewChanged();
    } else if (gesture_ == Gesture::Marker) {
        setStateAt(at);
    }
    last_at_ = at;
    showReadout(at);
}

void Form_chart::release(QPointF at)
{
    if (gesture_ == Gesture::Click)
        setStateAt(at);
    gesture_ = Gesture::None;
}

void Form_chart::zoom(QPointF at, double steps)
{
    const humidora::chart::ChartAxes axes = canvas_->axes();
    if (!axes.Contains({ at.x(), at.y() }) || steps == 0)
        return;
    model_.ZoomAt(axes, { at.x(), at.y() }, std::pow(kZoomPerStep, steps));
    viewChanged();
    showReadout(at);
}

void Form_chart::setRange(ChartRange range)
{
    model_.SetRange(range);
    viewChanged();
}

void Form_chart::viewChanged()
{
    for (QAction* action : ranges_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(model_.range()));
    canvas_->update();
    remember();
}

void Form_chart::remember() const
{
    QSettings settings;
    settings.setValue(kRangeKey, QString::fromUtf8(humidora::chart::RangeName(model_.range())));
    const humidora::chart::ChartField& f = model_.field();
    settings.setValue(kFieldKey, QVariantList { f.t_min_K, f.t_max_K, f.w_min, f.w_max });
}

void Form_chart::recall()
{
    const QSettings settings;
    const auto range = humidora::chart::RangeFromName(settings.value(kRangeKey).toString().toStdString());
    model_.SetRange(range.value_or(ChartRange::Normal));
    // The zoomed field comes back when it is one a chart may show; anything else stays the preset.
    const QVariantList field = settings.value(kFieldKey).toList();
    if (field.size() == 4) {
        model_.SetField(
            { field[0].toDouble(), field[1].toDouble(), field[2].toDouble(), field[3].toDouble() });
    }
    for (QAction* action : ranges_->actions())
        action->setChecked(action->data().toInt() == static_cast<int>(model_.range()));
}

bool Form_chart::exportTo(const QString& path, QSize size)
{
    if (size.isEmpty())
        size = canvas_->size();
    const QString error = humidora::ExportChart(path, model_.Picture(), size);
    if (!error.isEmpty()) {
        statusBar()->showMessage(error);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Wrote the chart to \"%1\".").arg(path), 8000);
    return true;
}

void Form_chart::exportAs()
{
    QString filter;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export the Chart"), QString(),
        QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), &filter);
    if (path.isEmpty())
        return;
    // The suffix of the chosen format when the name has none of the three.
    if (!humidora::IsChartFormat(path))
        path += filter.mid(filter.indexOf(QLatin1String("*.")) + 1, 4);
    // The picture's own size, as the command line's --width and --height give it, not the window's.
    humidora::ui::ExportSizeDialog size(export_size_, this);
    if (size.exec() != QDialog::Accepted)
        return;
    export_size_ = size.pixels();
    exportTo(path, export_size_);
}

void Form_chart::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        statusBar()->showMessage(
            QStringLiteral("The chart could not be printed: the printer did not start."));
        return;
    }
    humidora::PaintChartInto(painter, QRectF(0, 0, printer.width(), printer.height()), model_.Picture());
}

void Form_chart::copyImage()
{
    QGuiApplication::clipboard()->setImage(humidora::ChartImage(model_.Picture(), canvas_->size()));
    statusBar()->showMessage(QStringLiteral("Copied the chart as an image."), 5000);
}

void Form_chart::closeEvent(QCloseEvent* event)
{
    remember();
    QMainWindow::closeEvent(event);
}
