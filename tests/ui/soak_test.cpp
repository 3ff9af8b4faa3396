// Soak test of the real main window, offscreen: a long, seeded, reproducible run of random user events
// (typing key by key, pasting long and odd texts, deleting, undoing, option clicks, unit choices by key
// and by the drop-down, Metric/British, the formulations, opening and closing the tool windows, Ctrl+X in
// a computed box), with the window's invariants checked after every event:
// - the control model keeps its invariants (one input per option group, lock states and backgrounds,
//   only texts the system writes or the user typed, a report or the listing in List1; the physical
//   invariants after a completed run);
// - every widget shows the model;
// - an event recalculates exactly as often as the input boxes' texts and the unit choices changed (a
//   computed box never starts a recalculation);
// - the state shown is that of one fresh calculation of the same inputs;
// - memory does not grow once the run has warmed up.
//
// HUMIDORA_SOAK_EVENTS sets the number of events (default 3000; the full soak is 100000) and
// HUMIDORA_SOAK_SEED the seed of the run (default 20261208).
#include "ambient_invariants.h"
#include "form_ambient_testing.h"
#include "ui/document_history.h"
#include "whole_text_checks.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPixmapCache>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <malloc.h>
#include <random>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using testing_ui::ExpectedColour;
using testing_ui::FromStd;
using testing_ui::WindowUnderTest;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

long EnvironmentNumber(const char* name, long fallback)
{
    bool ok = false;
    const long value = qEnvironmentVariable(name).toLong(&ok);
    return ok && value > 0 ? value : fallback;
}

/// Resident memory of the process in bytes, from /proc/self/statm.
long ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

/// Peak resident memory of the process in kilobytes (VmHWM of /proc/self/status).
long PeakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Texts people type or paste: numbers, limits, halves of numbers, and texts that are not numbers at all.
const std::vector<QString> kTexts = { "25", "-40", "101.325", "14.6957", "0", "100", "50", ".5", "-.001",
    "1e3", "1e999", "-1e999", "1e-999", "-", "+", ".", "e", "nan", "inf", "-inf",
    QString::fromUtf8("\xd9\xa3"), QString::fromUtf8("\xd9\xa3\xd9\xa5"), "12abc", "1,5", " 7 ", "0x1F", "-0",
    "173.15", "373.15", "5000", "1000000", "-5000", "11000", "7500.638", "9.86923", "99.9999", "0.0000001",
    "123456789012345678901234567890", QString::fromUtf8("\xe2\x88\x9e"), "\t3\t" };

class SoakTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomEventsKeepTheWindowConsistentAndMemoryFlat();

private:
    // Widgets, found once by objectName.
    void bindWidgets();
    QLineEdit* box(int number) const { return boxes_[static_cast<std::size_t>(number - 1)]; }
    QComboBox* list(int number) const { return lists_[static_cast<std::size_t>(number - 1)]; }

    // One random event; returns its description. Sets expected_runs_ to the recalculations it must cause,
    // or to -1 when the count is checked against a range by the event itself.
    QString randomEvent();
    QString typeText(QLineEdit* target, const QString& text);
    QString pasteText(QLineEdit* target, const QString& text);
    QString randomText();
    void closeToolWindows();

    void checkAfter(const QString& event);
    QString widgetDifference() const;
    QString freshCalculationDifference() const;

    std::mt19937_64 random_;
    std::unique_ptr<WindowUnderTest> w_;
    std::array<QLineEdit*, 16> boxes_ {};
    std::array<QComboBox*, 16> lists_ {};
    std::array<QRadioButton*, 10> options_ {};
    std::array<QLabel*, 22> labels_ {};
    QLabel* unit_header_ = nullptr;
    QListWidget* listing_ = nullptr;
    // The text each box was left with by the user's last edit of it: what a box may show besides the
    // texts of the system (a box that turned computed keeps it until a run writes the box).
    std::array<std::string, 16> typed_ {};
    void noteTyped(QLineEdit* target);
    void releaseUndoHistories();
    QString failure_; // the first failure found inside an event
    long expected_runs_ = 0;
    long runs_low_ = 0, runs_high_ = 0; // the range when expected_runs_ is -1
    int calculated_option_ = 2;

    // The inputs and shown controls of the last recalculation: option clicks after it change the
    // selection but not the results, so the results are compared with a fresh calculation of those inputs.
    humidora::AmbientInputs calculated_inputs_;
    humidora::AmbientControls calculated_controls_;
};

void SoakTest::initTestCase()
{
    // The widget style keeps rendered pieces of widgets in Qt's pixmap cache, keyed by palette; every
    // newly opened tool window adds entries until the cache's limit (10 MB by default) is reached, which
    // in this mix of events takes most of a full run. That growth is bounded, not a leak; a 1 MB limit lets
    // the warm-up fill the cache, so that whatever grows after it is the program's own.
    QPixmapCache::setCacheLimit(1024);
    w_ = std::make_unique<WindowUnderTest>();
    w_->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_->window.get()));
    bindWidgets();
    typed_[0] = "25";
    typed_[1] = "101.325";
    typed_[3] = "50";
    calculated_inputs_ = w_->window->logic().CurrentInputs();
    calculated_controls_ = w_->model();
}

void SoakTest::bindWidgets()
{
    for (int i = 1; i <= 16; ++i) {
        boxes_[static_cast<std::size_t>(i - 1)] = w_->text(i);
        lists_[static_cast<std::size_t>(i - 1)] = w_->combo(i);
        QVERIFY(box(i) && list(i));
    }
    for (int i = 1; i <= 10; ++i) {
        options_[static_cast<std::size_t>(i - 1)] = w_->option(i);
        QVERIFY(options_[static_cast<std::size_t>(i - 1)]);
    }
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = w_->find<QLabel>(FromStd(std::string(humidora::kLimitLabels[i].name)));
        QVERIFY(labels_[i]);
    }
    unit_header_ = w_->find<QLabel>(QStringLiteral("Label27"));
    listing_ = w_->find<QListWidget>(QStringLiteral("List1"));
    QVERIFY(unit_header_ && listing_);
}

void SoakTest::releaseUndoHistories()
{
    for (QLineEdit* b : boxes_) {
        const QSignalBlocker blocker(b); // the same text again: no edit, only the history goes
        b->setText(b->text());
    }
    // The calculation's own history keeps the whole state of each step, up to its limit of steps: it
    // grows by design too, and is let go at the same points.
    w_->window->history().startAfresh();
}

void SoakTest::noteTyped(QLineEdit* target)
{
    const auto at = std::find(boxes_.begin(), boxes_.end(), target);
    if (at != boxes_.end() && !target->isReadOnly())
        typed_[static_cast<std::size_t>(at - boxes_.begin())] = target->text().toStdString();
}

QString SoakTest::randomText()
{
    std::uniform_int_distribution<int> kind(0, 9);
    switch (kind(random_)) {
    case 0: { // a long text: digits, or a number followed by garbage
        const int length = std::uniform_int_distribution<int>(100, 3000)(random_);
        return QString(length, QChar('0' + std::uniform_int_distribution<int>(0, 9)(random_)));
    }
    case 1: { // a random number near the usual magnitudes
        const double value = std::uniform_real_distribution<double>(-150, 150)(random_);
        return FromStd(humidora::NumberText(value, std::uniform_int_distribution<int>(0, 6)(random_)));
    }
    case 2: { // a limit label of the window as it shows now
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, labels_.size() - 1)(random_);
        return labels_[at]->text();
    }
    default:
        return kTexts[std::uniform_int_distribution<std::size_t>(0, kTexts.size() - 1)(random_)];
    }
}

// Types a text key by key into a box as the user does (the box takes the focus first), checking after
// every key that the key recalculated once if it changed an input box's text, and never otherwise.
QString SoakTest::typeText(QLineEdit* target, const QString& text)
{
    target->setFocus(Qt::MouseFocusReason);
    if (std::uniform_int_distribution<int>(0, 1)(random_) == 0)
        target->selectAll();
    for (const QChar c : text) {
        const QString before = target->text();
        const long runs = w_->calculations();
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            QTest::keyClicks(target, QString(c));
        else // a key the test library cannot map, such as an Arabic-Indic digit: the text alone
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        const bool changed = target->text() != before;
        expected_runs_ = changed && !target->isReadOnly() ? 1 : 0;
        const long caused = w_->calculations() - runs;
        if (caused != expected_runs_ && failure_.isEmpty())
            failure_ = QStringLiteral("typing '%1' into %2 recalculated %3 times")
                           .arg(c)
                           .arg(target->objectName())
                           .arg(caused);
    }
    noteTyped(target);
    expected_runs_ = -1;
    runs_low_ = 0; // checked key by key above
    runs_high_ = std::numeric_limits<long>::max();
    return QStringLiteral("type '%1' into %2").arg(text.left(40), target->objectName());
}

QString SoakTest::pasteText(QLineEdit* target, const QString& text)
{
    target->setFocus(Qt::MouseFocusReason);
    if (std::uniform_int_distribution<int>(0, 1)(random_) == 0)
        target->selectAll();
    QGuiApplication::clipboard()->setText(text);
    const QString before = target->text();
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    expected_runs_ = target->text() != before && !target->isReadOnly() ? 1 : 0;
    noteTyped(target);
    return QStringLiteral("paste %1 characters into %2").arg(text.size()).arg(target->objectName());
}

void SoakTest::closeToolWindows()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top != w_->window.get() && top->isWindow() && top->isVisible()
            && (top->objectName() == "Form_saturation" || top->objectName() == "Form_unit_convertor"
                || top->objectName() == "form_about"))
            top->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString SoakTest::randomEvent()
{
    std::uniform_int_distribution<int> kind(0, 99);
    const int k = kind(random_);
    const int any_box = std::uniform_int_distribution<int>(1, 16)(random_);
    // Input boxes get most of the typing; computed ones some, to prove that they neither take it nor
    // recalculate.
    QLineEdit* target = box(any_box);
    if (std::uniform_int_distribution<int>(0, 3)(random_) != 0) {
        const std::vector<int> inputs = humidora::checks::InputBoxes(w_->model());
        target = box(inputs[std::uniform_int_distribution<std::size_t>(0, inputs.size() - 1)(random_)]);
    }
    expected_runs_ = 0;
    if (k < 30)
        return typeText(target, randomText());
    if (k < 38)
        return pasteText(target, randomText());
    if (k < 46) {
        // Editing keys: erase, erase forward, undo, redo, select all; each changes the text at most once.
        static const std::array<std::pair<Qt::Key, Qt::KeyboardModifiers>, 6> keys = { {
            { Qt::Key_Backspace, Qt::NoModifier },
            { Qt::Key_Delete, Qt::NoModifier },
            { Qt::Key_Z, Qt::ControlModifier },
            { Qt::Key_Y, Qt::ControlModifier },
            { Qt::Key_Home, Qt::ShiftModifier },
            { Qt::Key_End, Qt::NoModifier },
        } };
        const auto& [key, modifiers]
            = keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(random_)];
        target->setFocus(Qt::MouseFocusReason);
        const QString before = target->text();
        QTest::keyClick(target, key, modifiers);
        if (modifiers == Qt::ControlModifier) {
            // Ctrl+Z and Ctrl+Y undo and redo a step of the calculation: what the window showed comes back
            // as it was, without a recalculation, the input boxes with the texts typed then.
            expected_runs_ = 0;
            for (QLineEdit* input : boxes_)
                noteTyped(input);
        } else {
            expected_runs_ = target->text() != before && !target->isReadOnly() ? 1 : 0;
            noteTyped(target);
        }
        return QStringLiteral("key %1 in %2")
            .arg(QKeySequence(key | modifiers).toString(), target->objectName());
    }
    if (k < 60) {
        const int option = std::uniform_int_distribution<int>(1, 10)(random_);
        QTest::mouseClick(options_[static_cast<std::size_t>(option - 1)], Qt::LeftButton);
        return QStringLiteral("click Option%1").arg(option);
    }
    if (k < 78) {
        const int number = std::uniform_int_distribution<int>(1, 16)(random_);
        QComboBox* unit_list = list(number);
        const bool percent = number == 5 || number == 8 || number == 9;
        const int before = unit_list->currentIndex();
        if (std::uniform_int_distribution<int>(0, 4)(random_) == 0) {
            // Through the drop-down: picking the selected item again is a choice too.
            const int index = std::uniform_int_distribution<int>(0, unit_list->count() - 1)(random_);
            testing_ui::ChooseItem(unit_list, index);
            expected_runs_ = percent ? 0 : 1;
            return QStringLiteral("choose item %1 of Combo%2").arg(index).arg(number);
        }
        unit_list->setFocus(Qt::TabFocusReason);
        const bool down = std::uniform_int_distribution<int>(0, 1)(random_) == 0;
        QTest::keyClick(unit_list, down ? Qt::Key_Down : Qt::Key_Up);
        expected_runs_ = unit_list->currentIndex() != before && !percent ? 1 : 0;
        return QStringLiteral("%1 in Combo%2").arg(down ? "Down" : "Up").arg(number);
    }
    if (k < 86) {
        static const std::array<const char*, 4> commands
            = { "menu_metric", "menu_british", "menu_IAPWS", "menu_HW" };
        const char* name
            = commands[std::uniform_int_distribution<std::size_t>(0, commands.size() - 1)(random_)];
        w_->action(name)->trigger();
        const bool system = name == std::string("menu_metric") || name == std::string("menu_british");
        // A system: one run per list with behaviour, one for Text2 when it changed as an input, one more.
        expected_runs_ = system ? -1 : 1;
        runs_low_ = 14;
        runs_high_ = 15;
        return QStringLiteral("menu %1").arg(name);
    }
    if (k < 92) {
        static const std::array<const char*, 3> windows = { "menu_convertor", "menu_sat", "abou_menu" };
        const char* name
            = windows[std::uniform_int_distribution<std::size_t>(0, windows.size() - 1)(random_)];
        w_->action(name)->trigger();
        QCoreApplication::processEvents();
        return QStringLiteral("open %1").arg(name);
    }
    if (k < 96) {
        closeToolWindows();
        return QStringLiteral("close the tool windows");
    }
    if (k < 98) {
        // Ctrl+X in a computed box must neither cut nor end the program.
        QLineEdit* computed = box(std::uniform_int_distribution<int>(12, 16)(random_));
        computed->setFocus(Qt::MouseFocusReason);
        computed->selectAll();
        QTest::keyClick(computed, Qt::Key_X, Qt::ControlModifier);
        if (!w_->window->isVisible())
            failure_ = QStringLiteral("Ctrl+X in a computed box closed the window");
        return QStringLiteral("Ctrl+X in %1").arg(computed->objectName());
    }
    // Let the window paint and handle whatever is queued.
    QCoreApplication::processEvents();
    return QStringLiteral("process events");
}

QString SoakTest::widgetDifference() const
{
    const humidora::AmbientControls& model = w_->model();
    for (int i = 1; i <= 16; ++i) {
        const humidora::ValueBox& state = humidora::checks::BoxOf(model, i);
        QLineEdit* b = box(i);
        if (b->text() != FromStd(state.text))
            return QStringLiteral("Text%1 shows '%2', the model '%3'")
                .arg(i)
                .arg(b->text().left(60), FromStd(state.text).left(60));
        if (b->isReadOnly() != state.locked)
            return QStringLiteral("Text%1 lock state differs").arg(i);
        if (b->palette().color(QPalette::Base) != ExpectedColour(state.background, b))
            return QStringLiteral("Text%1 background differs").arg(i);
        if (b->font().pointSizeF() != humidora::ui::WholeTextPoints(*b, b->text(), state.font_size))
            return QStringLiteral("Text%1 font size differs").arg(i);
    }
    for (int i = 1; i <= 16; ++i) {
        if (list(i)->currentIndex() != humidora::checks::ListOf(model, i).selected)
            return QStringLiteral("Combo%1 selection differs").arg(i);
    }
    for (int i = 1; i <= 10; ++i) {
        if (options_[static_cast<std::size_t>(i - 1)]->isChecked() != humidora::checks::OptionOf(model, i))
            return QStringLiteral("Option%1 differs").arg(i);
    }
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const humidora::LimitLabel& state = model.*(humidora::kLimitLabels[i].label);
        if (labels_[i]->text() != FromStd(state.caption)
            || labels_[i]->palette().color(QPalette::Window) != ExpectedColour(state.background, labels_[i]))
            return FromStd(std::string(humidora::kLimitLabels[i].name)) + QStringLiteral(" differs");
    }
    if (unit_header_->text() != FromStd(model.Label27))
        return QStringLiteral("Label27 differs");
    if (listing_->count() != static_cast<int>(model.List1.lines.size()))
        return QStringLiteral("List1 line count differs");
    for (int row = 0; row < listing_->count(); ++row) {
        if (listing_->item(row)->text() != FromStd(model.List1.lines[static_cast<std::size_t>(row)]))
            return QStringLiteral("List1 line %1 differs").arg(row);
    }
    if (listing_->palette().color(QPalette::Base) != ExpectedColour(model.List1.background, listing_))
        return QStringLiteral("List1 background differs");
    const std::pair<const char*, bool> marks[] = { { "menu_IAPWS", model.menu_IAPWS },
        { "menu_HW", model.menu_HW }, { "menu_metric", model.menu_metric },
        { "menu_british", model.menu_british }, { "menu_customized", model.menu_customized } };
    for (const auto& [name, checked] : marks) {
        if (w_->action(name)->isChecked() != checked)
            return QLatin1String(name) + QStringLiteral(" check mark differs");
    }
    return {};
}

// The shown results equal one fresh calculation of the inputs they were computed from. A completed run
// rewrites every output, so everything must agree; a report leaves outputs of earlier runs in place, so
// then what every run writes is compared: the listing, the limit labels, the properties, the locks.
QString SoakTest::freshCalculationDifference() const
{
    humidora::AmbientWindow fresh;
    fresh.RestoreInputs(calculated_inputs_);
    const humidora::AmbientControls& now = calculated_controls_;
    const humidora::AmbientControls& again = fresh.controls();
    if (humidora::checks::Completed(now)) {
        if (!(now == again))
            return FromStd(humidora::checks::Joined(humidora::checks::Differences(now, again)));
        return {};
    }
    if (now.List1 != again.List1)
        return QStringLiteral("another report");
    for (std::size_t i = 0; i < 6; ++i) { // Label4..Label9, the limits of temperature, pressure, altitude
        if (now.*(humidora::kLimitLabels[i].label) != again.*(humidora::kLimitLabels[i].label))
            return FromStd(std::string(humidora::kLimitLabels[i].name));
    }
    for (int i = 1; i <= 16; ++i) {
        if (humidora::checks::BoxOf(now, i).locked != humidora::checks::BoxOf(again, i).locked)
            return QStringLiteral("Text%1 lock").arg(i);
        if (i >= 12 && humidora::checks::BoxOf(now, i).text != "Error")
            return QStringLiteral("Text%1 is not Error in a report").arg(i);
    }
    return {};
}

void SoakTest::checkAfter(const QString& event)
{
    const humidora::AmbientControls& model = w_->model();
    const std::set<std::string> typed(typed_.begin(), typed_.end());
    const humidora::checks::Problems problems = humidora::checks::WindowProblems(model, typed);
    if (!problems.empty())
        QFAIL(qPrintable(event + ":\n" + FromStd(humidora::checks::Joined(problems))));
    if (humidora::checks::Completed(model)) {
        const humidora::checks::Problems physical
            = humidora::checks::PhysicalProblems(model, w_->window->logic().state(), calculated_option_);
        if (!physical.empty())
            QFAIL(qPrintable(event + ":\n" + FromStd(humidora::checks::Joined(physical))));
    }
    const QString difference = widgetDifference();
    if (!difference.isEmpty())
        QFAIL(qPrintable(event + ": the widgets differ from the model: " + difference));
    const QString clipped = testing_ui::ClippedText(*w_->window, true);
    if (!clipped.isEmpty())
        QFAIL(qPrintable(event + ": a text is shown in part: " + clipped));
}

void SoakTest::randomEventsKeepTheWindowConsistentAndMemoryFlat()
{
    const long events = EnvironmentNumber("HUMIDORA_SOAK_EVENTS", 3000);
    const auto seed = static_cast<std::uint64_t>(EnvironmentNumber("HUMIDORA_SOAK_SEED", 20261208));
    random_.seed(seed);
    // Memory is sampled once the caches of fonts, palettes and the tool windows have filled.
    const long warm_up = std::max(500L, events / 10);
    long warm_bytes = 0, highest_after_warm_up = 0;
    std::size_t warm_heap = 0;
    QElapsedTimer timer;
    timer.start();

    for (long event = 1; event <= events; ++event) {
        const long runs = w_->calculations();
        const QString what = QStringLiteral("event %1 (seed %2): ").arg(event).arg(seed) + randomEvent();
        if (!failure_.isEmpty())
            QFAIL(qPrintable(what + ": " + failure_));
        const long caused = w_->calculations() - runs;
        if (expected_runs_ >= 0 && caused != expected_runs_)
            QFAIL(qPrintable(
                what + QStringLiteral(": %1 recalculations, expected %2").arg(caused).arg(expected_runs_)));
        if (expected_runs_ < 0 && (caused < runs_low_ || caused > runs_high_))
            QFAIL(qPrintable(what + QStringLiteral(": %1 recalculations").arg(caused)));
        if (caused > 0) {
            calculated_option_ = humidora::checks::HumidityOption(w_->model());
            calculated_inputs_ = w_->window->logic().CurrentInputs();
            calculated_controls_ = w_->model();
            const QString fresh = freshCalculationDifference();
            if (!fresh.isEmpty())
                QFAIL(qPrintable(what + ": a fresh calculation of the same inputs differs: " + fresh));
        }
        checkAfter(what);
        if (QTest::currentTestFailed())
            return;

        // QLineEdit keeps the undo history of every edit of a box, without limit, until the program sets
        // its text; an input box's history thus grows with what is typed into it (tens of bytes per
        // character, so the long pastes here add megabytes). That is the toolkit's design, not a leak of
        // the program: the history is let go before each sample, and everything else must stay flat.
        if (event == warm_up || (event > warm_up && event % 250 == 0))
            releaseUndoHistories();
        if (event == warm_up) {
            warm_bytes = ResidentBytes();
            warm_heap = mallinfo2().uordblks;
        }
        if (event > warm_up && event % 250 == 0)
            highest_after_warm_up = std::max(highest_after_warm_up, ResidentBytes());
        if (event % 10000 == 0)
            std::printf("soak: %ld events, %.1f s, RSS %ld kB, heap in use %zu kB\n", event,
                static_cast<double>(timer.elapsed()) / 1000, ResidentBytes() / 1024,
                mallinfo2().uordblks / 1024);
    }
    closeToolWindows();
    QCoreApplication::processEvents();
    const long end_bytes = ResidentBytes();
    highest_after_warm_up = std::max(highest_after_warm_up, end_bytes);
    std::printf(
        "soak: %ld events, seed %llu, %.1f s, peak RSS %ld kB, RSS after warm-up %ld kB, highest later "
        "%ld kB, at the end %ld kB; heap in use after warm-up %zu kB, at the end %zu kB\n",
        events, static_cast<unsigned long long>(seed), static_cast<double>(timer.elapsed()) / 1000,
        PeakResidentKilobytes(), warm_bytes / 1024, highest_after_warm_up / 1024, end_bytes / 1024,
        warm_heap / 1024, mallinfo2().uordblks / 1024);
    // A leak of even a few hundred bytes per event would add megabytes over a full run; the slack allows
    // for allocator and glyph-cache jitter.
    const long slack = 8 * 1024 * 1024;
    // AddressSanitizer holds freed memory in its quarantine, so resident memory grows by design there;
    // LeakSanitizer checks for leaks in that build instead.
    if (warm_bytes > 0 && !kAddressSanitizer)
        QVERIFY2(highest_after_warm_up - warm_bytes <= slack,
            qPrintable(QStringLiteral("memory grew by %1 kB after warm-up")
                           .arg((highest_after_warm_up - warm_bytes) / 1024)));
}

} // namespace

// The full soak runs for minutes: lift the test library's limit of five minutes per test function.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    QApplication application(argc, argv);
    SoakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "soak_test.moc"
