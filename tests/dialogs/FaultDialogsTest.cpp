#include "FaultDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>

// Readable failure messages; internal linkage so that other test files may have their own.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kqvdr {
namespace {

const QString kNote =
    QStringLiteral("N.b.  If this error has been cleared by the handset control,\n"
                   "        select 'Clear Error' to cancel this error message.");
const QString kRun = QStringLiteral("Don't forget to select RUN once the error is cleared.");
const QString kPersists = QStringLiteral("-  If this problem persists consult Brackwater Ltd.\n"
                                         "   or your local agent for further advice.");
const QString kCoolDown =
    QStringLiteral("-  Please turn off the KQ-VDR 1000 and allow the instrument\n"
                   "   to cool, if necessary, before rebooting.");

struct Expected {
    int index;
    QStringList texts; // heading first, then the description and advice lines
    bool runReminder;
};

std::vector<Expected> expectedTexts() {
    return {
        {0,
         {"GAS ERROR",
          "The mass flow controller within the KQ-VDR 1000 is\nunable to sustain the required gas "
          "flow.",
          "-  Please ensure :-", "-  The gas is turned on at the source",
          "-  The inlet pressure is at least 60PSI (higher inlet pressure\n   may be required for "
          "higher flow rates)",
          "-  There is no leakage between the source and the\n   instrument.", kPersists},
         true},
        {1,
         {"NEBULISER TEMPERATURE",
          "The Nebuliser temperature has exceeded the\ncontrol temperature by an unacceptable "
          "margin.",
          kCoolDown, kPersists},
         true},
        {2,
         {"EVAPORATOR TEMPERATURE",
          "The Evaporator temperature has exceeded the\ncontrol temperature by an unacceptable "
          "margin.",
          kCoolDown, kPersists},
         true},
        {3,
         {"EXHAUST TEMPERATURE",
          "The Exhaust temperature has exceeded the\ncontrol temperatures by an unacceptable "
          "margin.",
          kCoolDown, kPersists},
         true},
        {4,
         {"VAPOUR ERROR",
          "A solvent leak has been detected either internal or\nexternal to the instrument.",
          "-  Identify the location of the leak, and correct before\n   clearing the error."},
         false},
        {5,
         {"LAMP ERROR", "The lamp is not functioning within the correct\nspecification",
          "-  Please ensure the lamp is illuminated in both RUN and\n   GAS SAVE modes and is off "
          "in STANDBY and SLEEP\n   modes",
          "-  Contact Brackwater Ltd. or your local agent for a\n   replacement lamp, Part No. "
          "KQ-1000-LMP."},
         false},
        {6,
         {"FAN FAULT",
          "The cooling fan located at the front of the instrument\nis not operating correctly.",
          "-  Please ensure the fan is rotating freely and is not obstructed.",
          "-  Contact Brackwater Ltd. or your local agent for\n   further assistance."},
         false},
        {7, {"CHECKSUM ERROR"}, false},
        {8, {"PDT ERROR"}, false},
        {9,
         {"OVER TEMPERATURE ERROR",
          "A controlled temperature within the instrument has\nexceeded the maximum allowable "
          "value.",
          kCoolDown, kPersists},
         true},
        {10,
         {"PIC ERROR", "A communication error has occurred within the instrument.",
          "-  Please switch off the instrument and reboot.", kPersists},
         false},
        {11,
         {"TRANSFER LINE ERROR",
          "The heated transfer line control system has been turned\non and the heated transfer "
          "line is not connected",
          "-  Turn off the heated transfer line control system via IR controller\n   (Press "
          "<FUNC>, followed by <SEND> on the handset)"},
         true},
        {12,
         {"VAPOUR DEVICE ERROR",
          "A device error has been detected concerning the\nvapour sensor mounted within the "
          "instrument.",
          "-  Reset the instrument and attempt to use it again, if the        error persists you "
          "should contact a service engineer."},
         false},
    };
}

// Shows the dialog of a fault index without a modal loop, in the variant that index selects.
CGeneralErrDlg* showNonModal(FaultDialogs& dialogs, int index) {
    dialogs.vapour()->deviceError = index == 12;
    CGeneralErrDlg* dialog = dialogs.dialog(index);
    dialog->show();
    dialog->layout()->activate();
    return dialog;
}

// The texts as the operator reads them: top to bottom.
std::vector<QLabel*> visibleTextLabels(QWidget* dialog) {
    std::vector<QLabel*> labels;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->isVisibleTo(dialog) && !label->text().isEmpty()) {
            labels.push_back(label);
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](QLabel* a, QLabel* b) { return a->geometry().top() < b->geometry().top(); });
    return labels;
}

// Acts on the modal dialog as soon as its loop runs.
void whenModal(std::function<void(CGeneralErrDlg*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<CGeneralErrDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

TEST(FaultDialogs, EachFaultShowsItsCaptionHeadingTextsNoteAndRunLineExactly) {
    FaultDialogs dialogs;
    for (const Expected& expected : expectedTexts()) {
        SCOPED_TRACE(expected.index);
        CGeneralErrDlg* dialog = showNonModal(dialogs, expected.index);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("KQ- VDR 1000 Control - General Error"));

        QStringList shown;
        for (QLabel* label : visibleTextLabels(dialog)) {
            shown << label->text();
            // "<FUNC>" and "<SEND>" would vanish if a label took its text for markup.
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
        }
        QStringList want = expected.texts;
        want << kNote;
        if (expected.runReminder) {
            want << kRun;
        }
        EXPECT_EQ(shown, want);
        dialog->hide();
    }
}

TEST(FaultDialogs, VapourDialogShowsTheLeakOrTheDeviceControlsOnTheSameInstance) {
    FaultDialogs dialogs;
    struct Case {
        int index;
        std::vector<int> visible;
        std::vector<int> hidden;
    };
    // Leak, device, and leak again: the variant follows each opening, not the first one.
    const Case cases[] = {{4, {1368, 1369, 1370}, {1371, 1372, 1374}},
                          {12, {1371, 1372, 1374}, {1368, 1369, 1370}},
                          {4, {1368, 1369, 1370}, {1371, 1372, 1374}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        std::vector<int> seenVisible;
        std::vector<int> seenHidden;
        whenModal([&](CGeneralErrDlg* dialog) {
            for (int id : c.visible) {
                auto* label = dialog->findChild<QLabel*>(QString::number(id));
                ASSERT_NE(label, nullptr) << id;
                if (label->isVisible()) {
                    seenVisible.push_back(id);
                }
            }
            for (int id : c.hidden) {
                auto* label = dialog->findChild<QLabel*>(QString::number(id));
                ASSERT_NE(label, nullptr) << id;
                if (!label->isVisible()) {
                    seenHidden.push_back(id);
                }
            }
            dialog->clearButton()->click();
        });
        dialogs.open(c.index);
        dialogs.reset(c.index);
        EXPECT_EQ(seenVisible, c.visible);
        EXPECT_EQ(seenHidden, c.hidden);
    }
}

TEST(FaultDialogs, OnlyClearErrorMarksTheFaultClearedEscapeAndCloseBoxDoNot) {
    struct Case {
        const char* how;
        std::function<void(CGeneralErrDlg*)> act;
        bool cleared;
    };
    const Case cases[] = {
        {"button", [](CGeneralErrDlg* d) { QTest::mouseClick(d->clearButton(), Qt::LeftButton); },
         true},
        {"Return, the default button",
         [](CGeneralErrDlg* d) { QTest::keyClick(d, Qt::Key_Return); }, true},
        {"Escape", [](CGeneralErrDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }, false},
        {"close box", [](CGeneralErrDlg* d) { d->close(); }, false},
    };
    FaultDialogs dialogs;
    for (const Case& c : cases) {
        for (int index : {0, 9, 12}) {
            SCOPED_TRACE(std::string(c.how) + " " + std::to_string(index));
            bool wasClearedWhileOpen = true;
            whenModal([&](CGeneralErrDlg* dialog) {
                wasClearedWhileOpen = dialog->cleared;
                c.act(dialog);
            });
            const bool cleared = dialogs.open(index);
            CGeneralErrDlg* dialog = dialogs.dialog(index);
            EXPECT_FALSE(wasClearedWhileOpen);
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(cleared, c.cleared);
            EXPECT_EQ(dialog->cleared, c.cleared);
            // A dismissed dialog stays marked as showing, so the poll does not reopen it.
            EXPECT_TRUE(dialog->showing);
            EXPECT_EQ(dialogs.vapour()->deviceError, index == 12);
            dialogs.reset(index);
            EXPECT_FALSE(dialog->showing);
            EXPECT_FALSE(dialog->cleared);
            EXPECT_FALSE(dialogs.vapour()->deviceError);
        }
    }
}

TEST(FaultDialogs, LeakAndDeviceFaultsShareOneDialogAndEveryOtherFaultHasItsOwn) {
    FaultDialogs dialogs;
    std::set<CGeneralErrDlg*> distinct;
    for (int index = 0; index < kFaultKindCount; ++index) {
        ASSERT_NE(dialogs.dialog(index), nullptr);
        distinct.insert(dialogs.dialog(index));
    }
    EXPECT_EQ(distinct.size(), 12u);
    EXPECT_EQ(dialogs.dialog(4), dialogs.dialog(12));
    EXPECT_EQ(dialogs.dialog(4), dialogs.vapour());
    EXPECT_EQ(dialogs.dialog(13), nullptr);
    EXPECT_EQ(dialogs.dialog(-1), nullptr);
}

TEST(FaultDialogs, DeviceFaultWhileTheLeakVariantIsOpenDoesNotOpenASecondDialog) {
    FaultDialogs dialogs;
    bool nestedCleared = true;
    bool deviceVariantShown = true;
    whenModal([&](CGeneralErrDlg* dialog) {
        // Returns at once: the one instance is already open.
        nestedCleared = dialogs.run(FaultDialogId::Vapour, true);
        deviceVariantShown = dialog->findChild<QLabel*>(QStringLiteral("1371"))->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    dialogs.open(4);
    EXPECT_FALSE(nestedCleared);
    EXPECT_FALSE(deviceVariantShown);
    EXPECT_TRUE(dialogs.vapour()->showing);
    EXPECT_FALSE(dialogs.vapour()->deviceError);
}

TEST(FaultDialogs, DialogsAreFixedSizeWithCentredHeadingAndNoClippedText) {
    FaultDialogs dialogs;
    for (int index = 0; index < kFaultKindCount; ++index) {
        SCOPED_TRACE(index);
        CGeneralErrDlg* dialog = showNonModal(dialogs, index);
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
        for (QLabel* label : visibleTextLabels(dialog)) {
            const QSize hint = label->sizeHint();
            const int needed =
                label->wordWrap() ? label->heightForWidth(label->width()) : hint.height();
            EXPECT_GE(label->width(), label->wordWrap() ? 0 : hint.width())
                << label->text().toStdString();
            EXPECT_GE(label->height(), needed) << label->text().toStdString();
            EXPECT_TRUE(dialog->rect().contains(label->geometry()));
        }
        const auto* heading = visibleTextLabels(dialog).front();
        EXPECT_NEAR(heading->geometry().center().x(), dialog->rect().center().x(), 3);
        dialog->hide();
    }
}

TEST(FaultDialogs, ParentDestroyedFirstLeavesTheOwnerSafeToDestroy) {
    auto parent = std::make_unique<QWidget>();
    FaultDialogs dialogs(parent.get());
    EXPECT_EQ(dialogs.dialog(0)->parentWidget(), parent.get());
    parent.reset();
    EXPECT_EQ(dialogs.dialog(0), nullptr);
    EXPECT_FALSE(dialogs.open(0));
    EXPECT_FALSE(dialogs.run(FaultDialogId::Gas, false));
}

} // namespace
} // namespace kqvdr
