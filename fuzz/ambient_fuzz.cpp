// Fuzz target of the ambient-air calculation and the main window's logic.
//
// The input is a program of user events for one window: restoring arbitrary inputs (any texts, any list
// selections, either formulation, either pressure mode, any humidity option), option clicks, edits of the
// input boxes, unit choices, unit systems and formulations. Texts come raw from the input, as number texts
// of fuzzed values, from a list of awkward texts, or from the window's own limit labels and computed boxes
// (so that states at the edges of every range are reached). After every event the window invariants must
// hold, each event must recalculate exactly as often as its rule says, and a completed run must satisfy
// the physical invariants. At the end the state must equal a fresh calculation of the same inputs.
#include "ambient_invariants.h"
#include "calc/units/number_text.h"
#include "calc/windows/ambient_window.h"
#include "fuzz_check.h"

#include <array>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <set>
#include <string>
#include <utility>

namespace {

using namespace humidora;
using humidora::checks::BoxOf;
using humidora::checks::ListOf;

constexpr std::array<int, 8> kHumidityOptions = { 1, 2, 3, 4, 5, 6, 7, 10 };

// Texts people type or paste that are not plain numbers, and numbers at the fixed limits of the inputs.
constexpr std::array<const char*, 40> kAwkwardTexts = { "", "-", "+", ".", "-.", "e", "1e", "1e+", "1e999",
    "-1e999", "1e-999", "nan", "NaN", "inf", "-inf", "infinity", "0x10", "\xd9\xa3", "1,5", "12abc", " 25 ",
    "2 5", "+5", "5.", ".5", "-0", "0", "100", "-100", "173.15", "373.15", "101.325", "14.6957", "5000",
    "1000000", "-5000", "11000", "1e308", "4.9e-324", "99.99999999999999" };

class Session
{
public:
    explicit Session(FuzzedDataProvider& input)
        : input_(input)
    {
        window_.Open();
        calculated_ = { window_.CurrentInputs(), window_.controls(), window_.state() };
        for (const char* text : { "25", "101.325", "50" })
            typed_.insert(text);
        Check("start-up");
    }

    void Run()
    {
        for (int event = 0; event < 48 && input_.remaining_bytes() > 0; ++event)
            Step();
        CompareWithFreshCalculation();
    }

private:
    std::string Text(int box)
    {
        std::string text;
        switch (input_.ConsumeIntegralInRange(0, 4)) {
        case 0:
            text = input_.ConsumeRandomLengthString(40);
            break;
        case 1: {
            // Mostly inside the box's range as its labels show it, a tenth of the span beyond either end.
            auto [low, high] = Range(box);
            const double margin = (high - low) / 10;
            text = NumberText(input_.ConsumeFloatingPointInRange(low - margin, high + margin),
                input_.ConsumeIntegralInRange(0, 9));
            break;
        }
        case 2:
            text = kAwkwardTexts[input_.ConsumeIntegralInRange<std::size_t>(0, kAwkwardTexts.size() - 1)];
            break;
        default:
            text = EdgeText(box);
            break;
        }
        typed_.insert(text);
        return text;
    }

    // The range of a box by the captions of its minimum and maximum labels, when they are numbers.
    std::pair<double, double> Range(int box) const
    {
        const ValueBox& value_box = BoxOf(window_.controls(), box);
        for (const QuantityControls& quantity : kQuantities) {
            if (&(window_.controls().*(quantity.box)) != &value_box || !quantity.minimum)
                continue;
            const std::string& low = (window_.controls().*(quantity.minimum)).caption;
            const std::string& high = (window_.controls().*(quantity.maximum)).caption;
            if (IsNumberText(low) && IsNumberText(high) && NumberValue(low) <= NumberValue(high))
                return { NumberValue(low), NumberValue(high) };
        }
        return { -2000.0, 2000.0 };
    }

    // A text at an edge of the box's range or of another route: its minimum or maximum label, what the box
    // shows now (the value of the current state, to be given instead), or one of these nudged by a unit of
    // its last decimal.
    std::string EdgeText(int box)
    {
        const ValueBox& value_box = BoxOf(window_.controls(), box);
        std::string text = value_box.text;
        for (const QuantityControls& quantity : kQuantities) {
            if (&(window_.controls().*(quantity.box)) != &value_box || !quantity.minimum)
                continue;
            const int pick = input_.ConsumeIntegralInRange(0, 2);
            if (pick == 1)
                text = (window_.controls().*(quantity.minimum)).caption;
            else if (pick == 2)
                text = (window_.controls().*(quantity.maximum)).caption;
        }
        if (IsNumberText(text) && input_.ConsumeBool()) {
            const double unit = 2 * checks::HalfUnitOfLastDecimal(text);
            const double nudged = NumberValue(text) + (input_.ConsumeBool() ? unit : -unit);
            text = NumberText(nudged, 9);
        }
        return text;
    }

    AmbientInputs Inputs()
    {
        AmbientInputs inputs;
        inputs.iapws = input_.ConsumeBool();
        inputs.system = static_cast<UnitSystem>(input_.ConsumeIntegralInRange(0, 2));
        for (int list = 1; list <= 16; ++list) {
            const int items = static_cast<int>(ListOf(window_.controls(), list).items.size());
            inputs.selections[static_cast<std::size_t>(list - 1)]
                = input_.ConsumeIntegralInRange(0, items - 1);
        }
        inputs.altitude_given = input_.ConsumeBool();
        inputs.humidity_option = kHumidityOptions[input_.ConsumeIntegralInRange<std::size_t>(0, 7)];
        inputs.temperature = Text(1);
        if (inputs.altitude_given)
            inputs.altitude = Text(10);
        else
            inputs.pressure = Text(2);
        inputs.humidity = Text(BoxOfOption(inputs.humidity_option));
        return inputs;
    }

    void Step()
    {
        const long before = window_.calculations();
        std::string what;
        long expected = 1;
        switch (input_.ConsumeIntegralInRange(0, 8)) {
        case 0: {
            window_.RestoreInputs(Inputs());
            what = "restore";
            break;
        }
        case 1: {
            const int option = input_.ConsumeIntegralInRange(1, 10);
            window_.ClickOption(option);
            what = "click Option" + std::to_string(option);
            expected = 0;
            break;
        }
        case 2:
        case 3:
        case 4: {
            const std::vector<int> inputs = checks::InputBoxes(window_.controls());
            const int box = inputs[input_.ConsumeIntegralInRange<std::size_t>(0, inputs.size() - 1)];
            const std::string text = Text(box);
            expected = BoxOf(window_.controls(), box).text == text ? 0 : 1;
            window_.EditText(box, text);
            what = "type " + fuzz::Printable(text) + " into Text" + std::to_string(box);
            break;
        }
        case 5: {
            // Give another parameter instead: click its option and type what it shows, or an edge of it.
            const int option = input_.ConsumeIntegralInRange(1, 10);
            window_.ClickOption(option);
            const int box = BoxOfOption(option);
            const std::string text = EdgeText(box);
            typed_.insert(text);
            expected = BoxOf(window_.controls(), box).text == text ? 0 : 1;
            window_.EditText(box, text);
            what = "give Option" + std::to_string(option) + " as " + fuzz::Printable(text);
            break;
        }
        case 6: {
            const int list = input_.ConsumeIntegralInRange(1, 16);
            const int items = static_cast<int>(ListOf(window_.controls(), list).items.size());
            window_.SelectUnit(list, input_.ConsumeIntegralInRange(0, items - 1));
            expected = list == 5 || list == 8 || list == 9 ? 0 : 1;
            what = "choose a unit of Combo" + std::to_string(list);
            break;
        }
        case 7: {
            const bool metric = input_.ConsumeBool();
            metric ? window_.ChooseMetric() : window_.ChooseBritish();
            what = metric ? "Metric" : "British";
            expected = -1; // one per list with behaviour, one for Text2 if it changed, and the last one
            break;
        }
        default: {
            const bool iapws = input_.ConsumeBool();
            iapws ? window_.ChooseIapws() : window_.ChooseHylandWexler();
            what = iapws ? "IAPWS" : "Hyland-Wexler";
            break;
        }
        }
        const long runs = window_.calculations() - before;
        if (expected >= 0)
            FUZZ_CHECK(runs == expected, what + ": " + std::to_string(runs) + " recalculations");
        else
            FUZZ_CHECK(runs >= 14 && runs <= 15, what + ": " + std::to_string(runs) + " recalculations");
        if (runs > 0) {
            calculated_option_ = checks::HumidityOption(window_.controls());
            calculated_ = { window_.CurrentInputs(), window_.controls(), window_.state() };
        }
        Check(what);
    }

    void Check(const std::string& after)
    {
        const AmbientControls& controls = window_.controls();
        const checks::Problems window_problems = checks::WindowProblems(controls, typed_);
        FUZZ_CHECK(window_problems.empty(), "after " + after + ":\n" + checks::Joined(window_problems));
        if (checks::Completed(controls)) {
            const checks::Problems physical
                = checks::PhysicalProblems(controls, window_.state(), calculated_option_);
            FUZZ_CHECK(physical.empty(),
                "after " + after + ", inputs " + InputsText() + ":\n" + checks::Joined(physical));
        }
    }

    std::string InputsText() const { return InputsText(window_.CurrentInputs()); }
    static std::string InputsText(const AmbientInputs& inputs)
    {
        std::string text = std::string(inputs.iapws ? "IAPWS" : "HW")
            + " T=" + fuzz::Printable(inputs.temperature)
            + (inputs.altitude_given ? " z=" + fuzz::Printable(inputs.altitude)
                                     : " P=" + fuzz::Printable(inputs.pressure))
            + " Option" + std::to_string(inputs.humidity_option) + "=" + fuzz::Printable(inputs.humidity)
            + " units";
        for (const int selection : inputs.selections)
            text += " " + std::to_string(selection);
        return text;
    }

    // The window shows what one calculation of its inputs shows: a fresh window given the same inputs
    // agrees with it. A completed run rewrites every output, so everything must agree; a report leaves
    // some outputs of earlier runs in place, so then only what every run writes is compared.
    void CompareWithFreshCalculation()
    {
        AmbientWindow fresh;
        fresh.Open();
        fresh.RestoreInputs(calculated_.inputs);
        const AmbientControls& now = calculated_.controls;
        const AmbientControls& again = fresh.controls();
        const std::string context = "inputs " + InputsText(calculated_.inputs);
        if (checks::Completed(now)) {
            FUZZ_CHECK(now == again,
                "a fresh calculation differs; " + context + "\n"
                    + checks::Joined(checks::Differences(now, again)));
            AmbientState state = calculated_.state;
            AmbientState fresh_state = fresh.state();
            if (now.Text5.text == "< min") // no dew point computed: the field keeps an earlier run's value
                state.dew_point = fresh_state.dew_point = 0;
            FUZZ_CHECK(state == fresh_state, "a fresh calculation has another state; " + context);
            return;
        }
        FUZZ_CHECK(now.List1 == again.List1, "a fresh calculation gives another report; " + context);
        for (const NamedLabel& label : kLimitLabels) {
            if (label.name.size() == 6 && label.name[5] >= '4' && label.name[5] <= '9')
                FUZZ_CHECK(
                    now.*(label.label) == again.*(label.label), std::string(label.name) + "; " + context);
        }
        for (int box = 1; box <= 16; ++box) {
            FUZZ_CHECK(BoxOf(now, box).locked == BoxOf(again, box).locked, "locks; " + context);
            if (box >= 12)
                FUZZ_CHECK(BoxOf(now, box).text == "Error" && BoxOf(again, box).text == "Error",
                    "properties; " + context);
        }
    }

    FuzzedDataProvider& input_;
    AmbientWindow window_;
    std::set<std::string> typed_;
    int calculated_option_ = 2; // the humidity option of the last run

    // The inputs and results of the last run. Option clicks after it change the selection but not the
    // results, so the results are compared with a fresh calculation of the inputs of that run.
    struct Calculated
    {
        AmbientInputs inputs;
        AmbientControls controls;
        AmbientState state;
    };
    Calculated calculated_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Session session(input);
    session.Run();
    return 0;
}
