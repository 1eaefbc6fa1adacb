#include "CComSettingsDlg.h"
#include "CEditDevIdDlg.h"
#include "CKnob.h"
#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "CVapourSensorDlg.h"
#include "DialogTesting.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

const QString kTitle = QStringLiteral("KQ-VDR1000 Control");

using test::button;
using test::control;
using test::showActive;

// Types over the field from its first position, then moves on as the operator would.
void typeAndLeave(QDialog& dialog, CMaskEdit* edit, const QString& keys) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, keys);
    button(dialog, "cancel")->setFocus(Qt::TabFocusReason);
}

TEST(EditDevIdDlg, TypedIdentificationOutsideTheRangeIsClampedWithItsMessage) {
    struct Case {
        const char* typed;
        const char* shown;
        int deviceId;
        bool message;
    };
    const Case cases[] = {{"200", "127", 127, true},
                          {"128", "127", 127, true},
                          {"127", "127", 127, false},
                          {"45", "45 ", 45, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        test::ScriptedMessageBoxes boxes;
        CEditDevIdDlg dialog(kTitle, boxes);
        showActive(dialog);
        auto* edit = control<CMaskEdit>(dialog, CEditDevIdDlg::DeviceIdEdit);
        auto* spin = control<CNumEdit>(dialog, CEditDevIdDlg::DeviceIdSpin);
        typeAndLeave(dialog, edit, QString::fromLatin1(c.typed));

        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(spin->value(), c.deviceId);
        EXPECT_EQ(dialog.deviceId(), c.deviceId);
        ASSERT_EQ(boxes.shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes.shown[0].text, "Device Identification must be in the range 0 to 127");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
        }
    }
}

TEST(EditDevIdDlg, OpensAtZeroAndTheSpinnerWritesTheFieldAndTheIdentification) {
    test::ScriptedMessageBoxes boxes;
    CEditDevIdDlg dialog(kTitle, boxes);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ-VDR1000 Control - Device Identification"));
    auto* edit = control<CMaskEdit>(dialog, CEditDevIdDlg::DeviceIdEdit);
    auto* spin = control<CNumEdit>(dialog, CEditDevIdDlg::DeviceIdSpin);
    EXPECT_EQ(edit->text(), QStringLiteral("0  "));
    EXPECT_EQ(dialog.deviceId(), 0);

    spin->setValue(42);
    EXPECT_EQ(edit->text(), QStringLiteral("42 "));
    EXPECT_EQ(dialog.deviceId(), 42);
}

TEST(EditDevIdDlg, ReturnInTheFieldSendsTheTypedIdentificationNotAnEarlierOne) {
    test::ScriptedMessageBoxes boxes;
    CEditDevIdDlg dialog(kTitle, boxes);
    showActive(dialog);
    auto* edit = control<CMaskEdit>(dialog, CEditDevIdDlg::DeviceIdEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, QStringLiteral("17"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.deviceId(), 17);
}

TEST(EditDevIdDlg, ReturnWithAnOutOfRangeIdentificationShowsTheClampedValueBeforeSending) {
    test::ScriptedMessageBoxes boxes;
    CEditDevIdDlg dialog(kTitle, boxes);
    showActive(dialog);
    auto* edit = control<CMaskEdit>(dialog, CEditDevIdDlg::DeviceIdEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, QStringLiteral("300"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(edit->text(), QStringLiteral("127"));

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.deviceId(), 127);
}

// The field takes the whole port now ("COM 12", a device path), so typing replaces it.
void replaceAndLeave(QDialog& dialog, CMaskEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    button(dialog, "cancel")->setFocus(Qt::TabFocusReason);
}

const std::vector<PresentPort> kNoPorts;

TEST(ComSettingsDlg, OpensAtThePortInUseWithFieldAndSpinnerAgreeing) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"COM 1", "COM 1", 1},    {"COM 2", "COM 2", 2}, {"COM 4", "COM 4", 4},
        {"COM 12", "COM 12", 12}, {"COM 0", "COM 1", 1}, {"", "COM 1", 1}};
    for (const auto& [port, text, spinValue] : cases) {
        SCOPED_TRACE(port);
        test::ScriptedMessageBoxes boxes;
        CComSettingsDlg dialog(kTitle, QString::fromLatin1(port), kNoPorts, boxes);
        EXPECT_EQ(dialog.windowTitle(),
                  QStringLiteral("KQ-VDR1000 Control - Communications Settings"));
        EXPECT_EQ(control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit)->text(),
                  QString::fromLatin1(text));
        EXPECT_EQ(control<CNumEdit>(dialog, CComSettingsDlg::PortSpin)->value(), spinValue);
        EXPECT_EQ(dialog.portText(), QString::fromLatin1(text));
    }
}

TEST(ComSettingsDlg, TypedPortIsKeptAsThePortItNamesAndAnyOtherTextIsReported) {
    struct Case {
        const char* typed;
        const char* shown;
        int spinValue;
        bool message;
    };
    const Case cases[] = {
        {"COM 3", "COM 3", 3, false},
        {"5", "COM 5", 5, false},
        {"com12", "COM 12", 12, false},
        {"COM 256", "COM 256", 256, false},
        {"0", "COM 2", 2, true},
        {"COM 257", "COM 2", 2, true},
        {"ttyUSB0", "COM 2", 2, true},
#ifndef _WIN32
        {"/dev/ttyUSB0", "/dev/ttyUSB0", 2, false},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        test::ScriptedMessageBoxes boxes;
        CComSettingsDlg dialog(kTitle, QStringLiteral("COM 2"), kNoPorts, boxes);
        showActive(dialog);
        auto* edit = control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit);
        replaceAndLeave(dialog, edit, QString::fromLatin1(c.typed));

        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(control<CNumEdit>(dialog, CComSettingsDlg::PortSpin)->value(), c.spinValue);
        ASSERT_EQ(boxes.shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(
                boxes.shown[0].text.rfind("Please enter a valid communications port (1..256)", 0),
                0u);
        }
    }
}

// As with the one-digit field of old: a digit typed as the dialog opens is the port.
TEST(ComSettingsDlg, ADigitTypedAsTheDialogOpensReplacesThePort) {
    test::ScriptedMessageBoxes boxes;
    CComSettingsDlg dialog(kTitle, QStringLiteral("COM 1"), kNoPorts, boxes);
    showActive(dialog);
    auto* edit = control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit);
    QTest::keyClicks(edit, QStringLiteral("3"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portText(), QStringLiteral("COM 3"));
}

// Keyboard only: Alt+P reaches the list, and typing a port's name there chooses it.
TEST(ComSettingsDlg, APortTypedInTheListIsChosen) {
    const std::vector<PresentPort> present = {{"COM 1", ""}, {"COM 7", ""}, {"COM 12", ""}};
    test::ScriptedMessageBoxes boxes;
    CComSettingsDlg dialog(kTitle, QStringLiteral("COM 1"), present, boxes);
    showActive(dialog);
    QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(dialog.portList()->hasFocus());
    QTest::keyClicks(dialog.portList(), QStringLiteral("COM 12"));
    EXPECT_EQ(control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit)->text(),
              QStringLiteral("COM 12"));
    QTest::keyClick(dialog.portList(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portText(), QStringLiteral("COM 12"));
}

TEST(ComSettingsDlg, BlankPortCannotBeConnected) {
    test::ScriptedMessageBoxes boxes;
    CComSettingsDlg dialog(kTitle, QStringLiteral("COM 3"), kNoPorts, boxes);
    showActive(dialog);
    auto* edit = control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    ASSERT_EQ(edit->text(), QStringLiteral("COM "));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(edit->text(), QStringLiteral("COM 3"));
}

// The ports the computer has are listed with their names; picking one fills the field with the
// port alone, and Connect hands it back.
TEST(ComSettingsDlg, APortPickedFromTheListIsConnected) {
    const std::vector<PresentPort> present = {{"COM 7", "USB Serial Port"}, {"COM 12", ""}};
    test::ScriptedMessageBoxes boxes;
    CComSettingsDlg dialog(kTitle, QStringLiteral("COM 1"), present, boxes);
    showActive(dialog);
    QListWidget* list = dialog.portList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("COM 7  USB Serial Port"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("COM 12"));
    for (const auto& [row, port, spin] : {std::tuple{0, "COM 7", 7}, std::tuple{1, "COM 12", 12}}) {
        const QRect place = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        EXPECT_EQ(control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit)->text(),
                  QString::fromLatin1(port));
        EXPECT_EQ(control<CNumEdit>(dialog, CComSettingsDlg::PortSpin)->value(), spin);
    }
    QTest::mouseClick(button(dialog, "ok"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portText(), QStringLiteral("COM 12"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(ComSettingsDlg, SpinnerChoosesThePortAndConnectHandsItBack) {
    test::ScriptedMessageBoxes boxes;
    CComSettingsDlg dialog(kTitle, QStringLiteral("COM 1"), kNoPorts, boxes);
    showActive(dialog);
    control<CNumEdit>(dialog, CComSettingsDlg::PortSpin)->setValue(4);
    EXPECT_EQ(control<CMaskEdit>(dialog, CComSettingsDlg::PortEdit)->text(),
              QStringLiteral("COM 4"));
    QTest::mouseClick(button(dialog, "ok"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portText(), QStringLiteral("COM 4"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(VapourSensorDlg, KnobAndNumericEditFollowEachOther) {
    test::ScriptedMessageBoxes boxes;
    CVapourSensorDlg dialog(kTitle, 7, false, boxes);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ-VDR1000 Control - Vapour Sensor"));
    auto* knob = control<CKnob>(dialog, CVapourSensorDlg::SensitivityKnob);
    auto* edit = control<CNumEdit>(dialog, CVapourSensorDlg::SensitivityEdit);
    EXPECT_EQ(edit->value(), 7);
    EXPECT_EQ(knob->value(), 7);

    knob->setValue(3);
    EXPECT_EQ(edit->value(), 3);
    edit->setValue(9);
    EXPECT_EQ(knob->value(), 9);

    showActive(dialog);
    knob->setFocus();
    QTest::keyClick(knob, Qt::Key_Home); // the operator turns the knob to its minimum
    EXPECT_EQ(edit->value(), 0);
}

TEST(VapourSensorDlg, NotCapableInstrumentGetsDisabledControlsAndTheExplanation) {
    for (bool notCapable : {false, true}) {
        SCOPED_TRACE(notCapable);
        test::ScriptedMessageBoxes boxes;
        CVapourSensorDlg dialog(kTitle, 10, notCapable, boxes);
        showActive(dialog);
        EXPECT_EQ(control<CKnob>(dialog, CVapourSensorDlg::SensitivityKnob)->isEnabled(),
                  !notCapable);
        EXPECT_EQ(control<CNumEdit>(dialog, CVapourSensorDlg::SensitivityEdit)->isEnabled(),
                  !notCapable);
        EXPECT_EQ(button(dialog, "ok")->isEnabled(), !notCapable);
        EXPECT_TRUE(button(dialog, "cancel")->isEnabled());
        EXPECT_EQ(control<QLabel>(dialog, CVapourSensorDlg::SensorPicture)->isVisible(),
                  !notCapable);
        auto* text = control<QLabel>(dialog, CVapourSensorDlg::NotCapableText);
        EXPECT_EQ(text->isVisible(), notCapable);
        EXPECT_EQ(text->text(),
                  QStringLiteral("Your instrument doesn't have the capability to set the "
                                 "sensitivity of the vapour sensor.\n\nTo make use of this "
                                 "feature your instrument will need to be upgraded by a service "
                                 "engineer."));
        // Nothing can be set on such an instrument, not even with Return.
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, !notCapable);
    }
}

TEST(VapourSensorDlg, ZeroSensitivityIsSetOnlyAfterYesAndNoKeepsTheDialogOpen) {
    struct Case {
        int value;
        std::vector<MessageAnswer> answers;
        bool closed;
        std::size_t questions;
    };
    const Case cases[] = {
        {0, {MessageAnswer::No}, false, 1}, {0, {MessageAnswer::Yes}, true, 1}, {4, {}, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        test::ScriptedMessageBoxes boxes;
        boxes.answers.assign(c.answers.begin(), c.answers.end());
        CVapourSensorDlg dialog(kTitle, 6, false, boxes);
        showActive(dialog);
        control<CNumEdit>(dialog, CVapourSensorDlg::SensitivityEdit)->setValue(c.value);
        QTest::mouseClick(button(dialog, "ok"), Qt::LeftButton);

        EXPECT_EQ(dialog.isVisible(), !c.closed);
        EXPECT_EQ(dialog.result(), c.closed ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog.sensitivity(), c.value);
        ASSERT_EQ(boxes.shown.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(boxes.shown[0].caption, kTitle.toStdString());
            EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
        }
    }
}

} // namespace
} // namespace kqvdr
