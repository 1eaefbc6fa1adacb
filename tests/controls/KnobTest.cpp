#include "CGraph.h"
#include "CKnob.h"
#include "CLamp.h"
#include "CSlide.h"
#include "DialScale.h"

#include <QKeySequence>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

namespace kqvdr {
namespace {

struct AngleCase {
    double value;
    double angle;
};

std::ostream& operator<<(std::ostream& out, const AngleCase& c) {
    return out << c.value << " at " << c.angle;
}

class KnobDialAngle : public testing::TestWithParam<AngleCase> {};

TEST_P(KnobDialAngle, RunsClockwiseFromLowerLeftAndPinsAtTheEnds) {
    const DialScale gas(0.0, 2.0);
    EXPECT_DOUBLE_EQ(gas.angleFor(GetParam().value), GetParam().angle);
}

INSTANTIATE_TEST_SUITE_P(Table, KnobDialAngle,
                         testing::Values(AngleCase{0.0, 225.0}, AngleCase{1.0, 90.0},
                                         AngleCase{2.0, -45.0}, AngleCase{0.5, 157.5},
                                         AngleCase{-1.0, 225.0}, AngleCase{2.4, -45.0}));

TEST(KnobDialValue, ReadsTheScaleAndSendsTheBottomGapToTheNearerEnd) {
    const DialScale knob(0.0, 10.0);
    EXPECT_DOUBLE_EQ(knob.valueAt(90.0), 5.0);
    EXPECT_DOUBLE_EQ(knob.valueAt(225.0), 0.0);
    EXPECT_DOUBLE_EQ(knob.valueAt(-45.0), 10.0);
    EXPECT_DOUBLE_EQ(knob.valueAt(315.0), 10.0); // the same angle counted the other way
    EXPECT_DOUBLE_EQ(knob.valueAt(260.0), 0.0);  // gap, left of bottom
    EXPECT_DOUBLE_EQ(knob.valueAt(280.0), 10.0); // gap, right of bottom
    for (double v = 0.0; v <= 10.0; v += 0.5) {
        EXPECT_NEAR(knob.valueAt(knob.angleFor(v)), v, 1e-9);
    }
}

TEST(KnobDialValue, ADragAcrossTheGapKeepsTheEndInsteadOfJumping) {
    const DialScale knob(0.0, 10.0);
    EXPECT_DOUBLE_EQ(knob.dragTo(10.0, 220.0), 10.0); // from the top end to near the start
    EXPECT_DOUBLE_EQ(knob.dragTo(0.0, -40.0), 0.0);
    EXPECT_NEAR(knob.dragTo(5.0, 80.0), 5.0 + 10.0 / 27.0, 1e-9); // ordinary move
}

TEST(KnobDialValue, SnapsToExactTickMultiplesWithinTheScale) {
    const DialScale fine(0.0, 1.0);
    EXPECT_EQ(fine.snapped(0.4449, 0.05), 0.45);
    EXPECT_EQ(fine.snapped(0.97, 0.05), 0.95);
    EXPECT_EQ(fine.snapped(1.3, 0.05), 1.0);
    EXPECT_EQ(fine.snapped(-0.2, 0.05), 0.0);
    EXPECT_EQ(DialScale(0.05, 1.0).snapped(0.31, 0.1), 0.35); // counted from the minimum
    EXPECT_EQ(fine.snapped(0.123, 0.0), 0.123);
}

TEST(KnobWidget, ShowsTheValueWithTheDecimalsOfTheMinorTick) {
    CKnob knob;
    knob.setAxisMaximum(2.0);
    knob.setTickIntervals(0.5, 0.1);
    knob.setValue(static_cast<float>(12 * 0.1));
    EXPECT_EQ(knob.valueText(), QStringLiteral("1.2"));

    knob.setAxisMaximum(1.0);
    knob.setTickIntervals(0.25, 0.05);
    knob.setValue(static_cast<float>(45 * 0.01));
    EXPECT_EQ(knob.valueText(), QStringLiteral("0.45"));
    EXPECT_DOUBLE_EQ(knob.value(), static_cast<double>(0.45f)); // read back wider than written
}

struct KeyCase {
    Qt::Key key;
    double expected;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << QKeySequence(c.key).toString().toStdString() << " -> " << c.expected;
}

class KnobKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(KnobKeys, TurnAnInteractiveKnobByTicksWithinTheScale) {
    CKnob knob;
    knob.setAxisMaximum(10.0);
    knob.setTickIntervals(2.0, 1.0);
    knob.setInteractive(true);
    knob.setValue(9.0);
    QSignalSpy changed(&knob, &CKnob::valueChanged);
    QTest::keyClick(&knob, GetParam().key);
    QTest::keyClick(&knob, GetParam().key);
    EXPECT_DOUBLE_EQ(knob.value(), GetParam().expected);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_DOUBLE_EQ(changed.last().at(0).toDouble(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, KnobKeys,
                         testing::Values(KeyCase{Qt::Key_Up, 10.0}, KeyCase{Qt::Key_Down, 7.0},
                                         KeyCase{Qt::Key_PageDown, 5.0}, KeyCase{Qt::Key_Home, 0.0},
                                         KeyCase{Qt::Key_End, 10.0}));

TEST(KnobWidget, ADisplayKnobIgnoresKeysAndMouse) {
    CKnob knob;
    knob.resize(knob.sizeHint());
    knob.setValue(3.0);
    QSignalSpy changed(&knob, &CKnob::valueChanged);
    QTest::keyClick(&knob, Qt::Key_Up);
    QTest::mouseClick(&knob, Qt::LeftButton, {}, QPoint(knob.width() / 2, 3));
    EXPECT_DOUBLE_EQ(knob.value(), 3.0);
    EXPECT_TRUE(changed.isEmpty());
}

TEST(KnobWidget, PressingAboveTheCentreSetsTheMiddleOfTheScale) {
    CKnob knob;
    knob.setAxisMaximum(10.0);
    knob.setTickIntervals(2.0, 1.0);
    knob.setInteractive(true);
    knob.resize(knob.sizeHint());
    QSignalSpy changed(&knob, &CKnob::valueChanged);
    QTest::mouseClick(&knob, Qt::LeftButton, {}, QPoint(knob.width() / 2, 3));
    EXPECT_DOUBLE_EQ(knob.value(), 5.0);
    EXPECT_EQ(changed.count(), 1);
}

TEST(KnobWidget, ProgrammaticWritesSignalOnlyRealChanges) {
    // Two controls that follow each other must not ping-pong.
    CKnob knob;
    QSignalSpy changed(&knob, &CKnob::valueChanged);
    knob.setValue(4.0);
    knob.setValue(4.0);
    knob.setValue(NAN);
    EXPECT_EQ(changed.count(), 1);
}

TEST(KnobFocus, OnlyControlsTheOperatorCanChangeTakeFocus) {
    CKnob knob;
    CLamp lamp;
    CSlide slide;
    CGraph graph;
    EXPECT_EQ(knob.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(lamp.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(slide.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(graph.focusPolicy(), Qt::NoFocus);
    knob.setInteractive(true);
    EXPECT_EQ(knob.focusPolicy(), Qt::StrongFocus);
    knob.setInteractive(false);
    EXPECT_EQ(knob.focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace kqvdr
