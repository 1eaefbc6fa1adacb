#include "CNumEdit.h"
#include "SpinStepper.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

namespace kqvdr {
namespace {

struct StepCase {
    SpinSettings settings;
    double from;
    int direction;
    bool accelerated;
    double expected;
};

std::ostream& operator<<(std::ostream& out, const StepCase& c) {
    return out << c.from << (c.direction > 0 ? " up" : " down") << (c.accelerated ? " fast" : "")
               << " in " << c.settings.minimum << ".." << c.settings.maximum << " -> "
               << c.expected;
}

class NumEditStep : public testing::TestWithParam<StepCase> {};

TEST_P(NumEditStep, StaysInRangeAndLandsOnShownNumbers) {
    SpinStepper stepper;
    stepper.settings = GetParam().settings;
    // Exact equality on purpose: callers compare with literals such as 2.0 and 0.05.
    EXPECT_EQ(stepper.step(GetParam().from, GetParam().direction, GetParam().accelerated),
              GetParam().expected);
}

const SpinSettings kEvaporator{30, 300, 1, 0, -1};
const SpinSettings kGas{0.1, 2.0, 0.1, 0.1, -1};
const SpinSettings kFineGas{0.05, 1.0, 0.01, 0.1, -1};

INSTANTIATE_TEST_SUITE_P(
    Table, NumEditStep,
    testing::Values(
        StepCase{kEvaporator, 300, 1, false, 300}, // held at the limit
        StepCase{kEvaporator, 30, -1, false, 30}, StepCase{kEvaporator, 299, 1, false, 300},
        StepCase{kEvaporator, 350, 1, false, 300}, // written beyond: back to the limit
        StepCase{kEvaporator, 350, -1, false, 300}, StepCase{kEvaporator, 10, 1, false, 30},
        StepCase{kEvaporator, 100, 1, true, 101}, // no accelerated step set
        StepCase{kGas, 1.9, 1, false, 2.0}, StepCase{kGas, 0.2, -1, false, 0.1},
        StepCase{kGas, 0.1f, 1, false, 0.2}, // single-precision start
        StepCase{kFineGas, 0.05, 1, false, 0.06}, StepCase{kFineGas, 0.05, 1, true, 0.15},
        StepCase{kFineGas, 0.95, 1, true, 1.0}, StepCase{kFineGas, 0.1, -1, true, 0.05},
        StepCase{SpinSettings{10, 0, 1, 0, -1}, 10, 1, false, 10}, // limits swapped
        StepCase{SpinSettings{0, 3, 1, 0, -1}, NAN, -1, false, 3}));

TEST(NumEditStep, RepeatedTenthsArriveExactlyAtTheLimitAndBack) {
    SpinStepper stepper;
    stepper.settings = kGas;
    double value = 0.1;
    for (int i = 0; i < 19; ++i) {
        value = stepper.step(value, 1, false);
    }
    EXPECT_EQ(value, 2.0);
    for (int i = 0; i < 19; ++i) {
        value = stepper.step(value, -1, false);
    }
    EXPECT_EQ(value, 0.1);
}

// A spinner laid out at its natural size.
void configure(CNumEdit& spin, const SpinSettings& s, double value) {
    spin.setRange(s.minimum, s.maximum);
    spin.setIncrement(s.increment);
    spin.setAcceleratedIncrement(s.acceleratedIncrement);
    spin.setValue(value);
    spin.resize(spin.sizeHint());
}

TEST(NumEditWidget, KeepsProgrammaticValuesBeyondTheRangeAndSignalsEachChange) {
    CNumEdit spin;
    configure(spin, {1, 10, 1, 0, -1}, 5);
    QSignalSpy changed(&spin, &CNumEdit::valueChanged);
    // Setting 0 and then the method number must reload even when the number did not change.
    spin.setValue(0.0);
    spin.setValue(5.0);
    spin.setValue(5.0);
    spin.setValue(42.0);
    ASSERT_EQ(changed.count(), 3);
    EXPECT_DOUBLE_EQ(changed.at(0).at(0).toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(spin.value(), 42.0);
    EXPECT_EQ(spin.text(), QStringLiteral("42"));
}

TEST(NumEditWidget, TextFollowsTheIncrementsDecimalsUnlessSetExplicitly) {
    CNumEdit spin;
    spin.setValue(2.0);
    spin.setIncrement(0.1);
    EXPECT_EQ(spin.text(), QStringLiteral("2.0"));
    spin.setIncrement(0.01);
    EXPECT_EQ(spin.text(), QStringLiteral("2.00"));
    spin.setDecimals(0);
    EXPECT_EQ(spin.text(), QStringLiteral("2"));
    spin.setDecimals(2);
    spin.setMinimum(-1.0);
    spin.setValue(-0.001);
    EXPECT_EQ(spin.text(), QStringLiteral("0.00"));
    EXPECT_EQ(spin.findChild<QLineEdit*>()->text(), spin.text());
}

TEST(NumEditWidget, MouseDownComesBeforeTheStepAndMouseUpAfterIt) {
    CNumEdit spin;
    configure(spin, kEvaporator, 299);
    std::vector<QString> seen;
    QObject::connect(&spin, &CNumEdit::mouseDown, [&] { seen.push_back("down " + spin.text()); });
    QObject::connect(&spin, &CNumEdit::valueChanged,
                     [&] { seen.push_back("step " + spin.text()); });
    QObject::connect(&spin, &CNumEdit::mouseUp, [&] { seen.push_back("up " + spin.text()); });
    QTest::mouseClick(&spin, Qt::LeftButton, {}, spin.upArrowRect().center());
    EXPECT_EQ(seen, (std::vector<QString>{"down 299", "step 300", "up 300"}));

    seen.clear();
    QTest::mouseClick(&spin, Qt::LeftButton, {}, spin.upArrowRect().center());
    EXPECT_EQ(seen, (std::vector<QString>{"down 300", "up 300"})); // held at the limit
}

// The caller's wrap-around at the limits, done on the mouse events as the method editor does.
struct WrapCase {
    SpinSettings settings;
    double start;
    bool up;
    double expected;
};

std::ostream& operator<<(std::ostream& out, const WrapCase& c) {
    return out << c.start << (c.up ? " up" : " down") << " in " << c.settings.minimum << ".."
               << c.settings.maximum << " -> " << c.expected;
}

class NumEditWrap : public testing::TestWithParam<WrapCase> {};

TEST_P(NumEditWrap, ArrowAtALimitWrapsToTheOtherOnRelease) {
    const WrapCase& c = GetParam();
    CNumEdit spin;
    configure(spin, c.settings, c.start);
    bool armed = false;
    QObject::connect(&spin, &CNumEdit::mouseDown, [&] {
        armed = spin.value() == c.settings.minimum || spin.value() == c.settings.maximum;
    });
    QObject::connect(&spin, &CNumEdit::mouseUp, [&] {
        if (armed && spin.value() == c.settings.minimum) {
            spin.setValue(c.settings.maximum);
        } else if (armed && spin.value() == c.settings.maximum) {
            spin.setValue(c.settings.minimum);
        }
        armed = false;
    });
    QTest::mouseClick(&spin, Qt::LeftButton, {},
                      (c.up ? spin.upArrowRect() : spin.downArrowRect()).center());
    EXPECT_EQ(spin.value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumEditWrap,
    testing::Values(WrapCase{kEvaporator, 300, true, 30}, WrapCase{kEvaporator, 30, false, 300},
                    WrapCase{kEvaporator, 299, true, 300}, WrapCase{kGas, 2.0, true, 0.1},
                    WrapCase{kGas, 1.9, true, 2.0}, WrapCase{kFineGas, 0.05, false, 1.0}));

// Presses and releases go through the window system's path, as a person's do, so the
// application knows which buttons are down.
void windowPress(CNumEdit& spin, const QPoint& at) {
    QTest::mousePress(spin.window()->windowHandle(), Qt::LeftButton, {},
                      spin.mapTo(spin.window(), at));
}
void windowRelease(CNumEdit& spin, const QPoint& at) {
    QTest::mouseRelease(spin.window()->windowHandle(), Qt::LeftButton, {},
                        spin.mapTo(spin.window(), at));
}

TEST(NumEditWidget, HoldingAnArrowRepeatsAndThenTakesTheAcceleratedStep) {
    CNumEdit spin;
    configure(spin, {0, 1000, 1, 10, -1}, 0);
    spin.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&spin));
    std::vector<double> values;
    QObject::connect(&spin, &CNumEdit::valueChanged, [&](double v) { values.push_back(v); });
    QSignalSpy ups(&spin, &CNumEdit::mouseUp);
    windowPress(spin, spin.upArrowRect().center());
    QElapsedTimer clock;
    clock.start();
    while (values.size() < 14 && clock.elapsed() < 20000) {
        QTest::qWait(20);
    }
    windowRelease(spin, spin.upArrowRect().center());
    ASSERT_GE(values.size(), 14u);
    const std::size_t plain = SpinStepper::kRepeatsBeforeAcceleration + 1; // the press and repeats
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i] - (i == 0 ? 0.0 : values[i - 1]), i < plain ? 1.0 : 10.0) << i;
    }
    EXPECT_EQ(ups.count(), 1);
    const std::size_t afterRelease = values.size();
    QTest::qWait(SpinStepper::kRepeatIntervalMs * 3);
    EXPECT_EQ(values.size(), afterRelease);
}

// A modal message shown while the press is on its way (the check of a field the press takes
// the focus from) receives the release, and the arrow never sees it.
TEST(NumEditWidget, AReleaseTheArrowNeverSawStopsItAfterOneStep) {
    for (const bool up : {true, false}) {
        CNumEdit spin;
        configure(spin, kEvaporator, 100);
        spin.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&spin));
        const QPoint arrow = (up ? spin.upArrowRect() : spin.downArrowRect()).center();
        QObject::connect(&spin, &CNumEdit::mouseDown, [&] { windowRelease(spin, arrow); });
        QSignalSpy ups(&spin, &CNumEdit::mouseUp);
        windowPress(spin, arrow);
        QTest::qWait(SpinStepper::kFirstRepeatDelayMs + 10 * SpinStepper::kRepeatIntervalMs);
        EXPECT_EQ(spin.value(), up ? 101.0 : 99.0);
        EXPECT_EQ(ups.count(), 1) << "callers finish the gesture on mouseUp";
    }
}

TEST(NumEditWidget, TypedNumbersAreHeldToTheRangeAndRounded) {
    CNumEdit spin;
    configure(spin, kGas, 1.0);
    auto* editor = spin.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QSignalSpy changed(&spin, &CNumEdit::valueChanged);
    const struct {
        const char* typed;
        double expected;
    } cases[] = {{"1.26", 1.3}, {"9", 2.0}, {"", 0.1}, {"0.5", 0.5}};
    for (const auto& c : cases) {
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, c.typed);
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(spin.value(), c.expected) << c.typed;
        EXPECT_EQ(editor->text(), spin.text()) << c.typed;
    }
    EXPECT_EQ(changed.count(), 4);
}

TEST(NumEditWidget, KeysStepAndPageKeysTakeTheAcceleratedStep) {
    CNumEdit spin;
    configure(spin, kFineGas, 0.5);
    auto* editor = spin.findChild<QLineEdit*>();
    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 0.51);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(spin.value(), 0.41);
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(spin.value(), 0.4);
}

TEST(NumEditWidget, ADisabledSpinnerSendsNoMouseEvents) {
    CNumEdit spin;
    configure(spin, kEvaporator, 100);
    spin.setEnabled(false);
    QSignalSpy downs(&spin, &CNumEdit::mouseDown);
    QTest::mouseClick(&spin, Qt::LeftButton, {}, spin.upArrowRect().center());
    EXPECT_TRUE(downs.isEmpty());
    EXPECT_EQ(spin.value(), 100.0);
}

TEST(NumEditWidget, WithoutTheEditAreaItIsJustArrowsAndTakesFocusItself) {
    CNumEdit spin;
    configure(spin, kEvaporator, 100);
    const int withEditor = spin.sizeHint().width();
    spin.setEditAreaVisible(false);
    EXPECT_LT(spin.sizeHint().width(), withEditor);
    EXPECT_EQ(spin.focusProxy(), nullptr);
    EXPECT_NE(spin.focusPolicy(), Qt::NoFocus);
    spin.resize(spin.sizeHint());
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 101.0);
    EXPECT_TRUE(spin.upArrowRect().contains(QPoint(spin.width() / 2, 1)));
}

} // namespace
} // namespace kqvdr
