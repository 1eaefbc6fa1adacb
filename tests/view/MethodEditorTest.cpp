#include "CKQVDR1000ControlView.h"
#include "CMaskEdit.h"
#include "CMethodEditor.h"
#include "CNumEdit.h"
#include "FakeSerialDriver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "MethodStore.h"
#include "ScriptedOperator.h"
#include "TemporaryDirectory.h"
#include "ViewControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// The view with its editor attached to a method store, as the program builds it.
struct EditorWorld {
    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ScriptedOperator person;
    test::TemporaryDirectory dir;
    std::filesystem::path programDir = dir.path();
    CKQVDR1000ControlView view{state, link};
    InstrumentLink link{state, driver, view, person, programDir};
    CMethodEditor& editor = view.methodEditor();
    MethodStore store{state, driver, person, editor, programDir};

    explicit EditorWorld(bool fine = false) {
        editor.attach(store, person, {});
        state.fineGasResolution = fine;
        view.setGasFlowRange(fine);
        for (int n = 0; n <= 10; ++n) {
            MethodRecord& r = state.methods[static_cast<std::size_t>(n)];
            r = {n, "Method " + std::to_string(n), "", 100 + n, 50, 60, fine ? 50 : 10, 1, 1};
        }
        view.resize(800, 520);
        view.show();
    }

    template <typename W> W* find(int id) { return view.findChild<W*>(QString::number(id)); }

    // Opens the editor and answers its method-table request with method `number` current.
    void openOn(int number) {
        QTest::mouseClick(find<QPushButton>(LoadEditMethodButton), Qt::LeftButton);
        view.setMethodSpinner(number);
        driver.written.clear();
    }

    void leave(int editId, const QString& typed) {
        find<CMaskEdit>(editId)->setText(typed);
        emit find<CMaskEdit>(editId)->focusLost();
    }

    std::vector<int> sentCodes() const {
        std::vector<int> codes;
        for (const std::string& frame : driver.written) {
            codes.push_back(std::stoi(frame.substr(3, 2), nullptr, 16));
        }
        return codes;
    }
};

const int kEditorControls[] = {
    EditorGroup,         EvaporatorLabel,   NebuliserLabel,   TransferLineLabel,   GasFlowLabel,
    AutozeroLabel,       TimeConstantLabel, EvaporatorEdit,   NebuliserEdit,       TransferLineEdit,
    GasFlowEdit,         AutozeroEdit,      TimeConstantEdit, EvaporatorSpinner,   NebuliserSpinner,
    TransferLineSpinner, GasFlowSpinner,    AutozeroSpinner,  TimeConstantSpinner, DefaultButton,
    SendButton,          SaveAsButton,      CancelButton};
const int kMonitorControls[] = {OutputMonitorGroup, OutputText, ViewHistoryCheck};
const int kMethodFields[] = {MethodSpinner, MethodNumberEdit, MethodNameEdit,
                             MethodDescriptionEdit};

TEST(MethodEditor, OpeningAsksForTheMethodTableAndSwapsTheMonitorForTheEditor) {
    EditorWorld world;
    world.find<QCheckBox>(ViewHistoryCheck)->click();
    QTest::mouseClick(world.find<QPushButton>(LoadEditMethodButton), Qt::LeftButton);

    EXPECT_EQ(world.sentCodes(), std::vector<int>{30});
    EXPECT_TRUE(world.state.editorOpen);
    for (int id : kEditorControls) {
        EXPECT_TRUE(world.find<QWidget>(id)->isVisible()) << id;
    }
    for (int id : kMonitorControls) {
        EXPECT_FALSE(world.find<QWidget>(id)->isVisible()) << id;
    }
    EXPECT_FALSE(world.find<QWidget>(HistoryGraph)->isVisible());
    for (int id : kMethodFields) {
        EXPECT_TRUE(world.find<QWidget>(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(world.find<QWidget>(LoadEditMethodButton)->isEnabled());

    QTest::mouseClick(world.find<QPushButton>(CancelButton), Qt::LeftButton);
    EXPECT_EQ(world.sentCodes(), std::vector<int>{30}) << "Cancel sends nothing";
    EXPECT_FALSE(world.state.editorOpen);
    EXPECT_FALSE(world.find<QWidget>(EditorGroup)->isVisible());
    for (int id : kMonitorControls) {
        EXPECT_TRUE(world.find<QWidget>(id)->isVisible()) << id;
    }
    EXPECT_TRUE(world.find<QWidget>(HistoryGraph)->isVisible()) << "the history is still wanted";
    EXPECT_FALSE(world.find<QWidget>(HistoryPicture)->isVisible());
    for (int id : kMethodFields) {
        EXPECT_FALSE(world.find<QWidget>(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(world.find<QWidget>(LoadEditMethodButton)->isEnabled());
}

TEST(MethodEditor, MethodTableAnswerLoadsTheCurrentMethodIntoTheFields) {
    EditorWorld world;
    world.openOn(7);
    EXPECT_EQ(world.find<CMaskEdit>(MethodNumberEdit)->data(true), QStringLiteral("7"));
    // Opening re-read the names; without "Names.mtd" they are the defaults.
    EXPECT_EQ(world.find<QLineEdit>(MethodNameEdit)->text(), QStringLiteral("No Name"));
    EXPECT_EQ(world.find<CMaskEdit>(EvaporatorEdit)->data(true), QStringLiteral("107"));
    EXPECT_EQ(world.find<CMaskEdit>(GasFlowEdit)->data(true), QStringLiteral("1.0"));
    EXPECT_DOUBLE_EQ(world.find<CNumEdit>(EvaporatorSpinner)->value(), 107.0);
}

TEST(MethodEditor, LeavingAFieldClampsItWithItsMessageAndMovesItsSpinner) {
    struct Case {
        bool fine;
        int edit;
        const char* typed;
        const char* shown;
        const char* message;
    };
    const Case cases[] = {
        {false, EvaporatorEdit, "25", "30",
         "Evaporation temperature must be in the range 30 to 300"},
        {false, AutozeroEdit, "", "0", ""},
        {false, TimeConstantEdit, "7", "3", "Time Constant must be in the range 0 to 3"},
        {false, GasFlowEdit, "2.5", "2.0", "Gas Flow Rate must be in the range 0.1 to 2.0"},
        {true, GasFlowEdit, "0.04", "0.05", "Gas Flow Rate must be in the range 0.05 to 1.00"},
        {true, GasFlowEdit, "1.50", "1.00", "Gas Flow Rate must be in the range 0.05 to 1.0"},
        {false, MethodNumberEdit, "11", "10", "Method ID must be in the range 0 to 10"},
    };
    for (const Case& c : cases) {
        EditorWorld world(c.fine);
        world.openOn(3);
        world.leave(c.edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(world.find<CMaskEdit>(c.edit)->data(true), QString::fromLatin1(c.shown))
            << c.typed;
        const std::string message =
            world.person.messages.empty() ? "" : world.person.messages.back().text;
        EXPECT_EQ(message, c.message) << c.typed;
    }
}

TEST(MethodEditor, NumberLeftAt11LoadsMethod10) {
    EditorWorld world;
    world.openOn(3);
    world.leave(MethodNumberEdit, QStringLiteral("11"));
    EXPECT_EQ(world.find<CMaskEdit>(EvaporatorEdit)->data(true), QStringLiteral("110"));
}

TEST(MethodEditor, ArrowReleasedAtALimitWrapsTheSpinnerAndItsField) {
    struct Case {
        int spinner;
        int edit;
        double start;
        bool up;
        const char* shown;
    };
    const Case cases[] = {
        {EvaporatorSpinner, EvaporatorEdit, 300, true, "30"},
        {EvaporatorSpinner, EvaporatorEdit, 30, false, "300"},
        {EvaporatorSpinner, EvaporatorEdit, 299, true, "300"},
        {GasFlowSpinner, GasFlowEdit, 2.0, true, "0.1"},
        {TimeConstantSpinner, TimeConstantEdit, 0, false, "3"},
    };
    for (const Case& c : cases) {
        EditorWorld world;
        world.openOn(1);
        auto* spinner = world.find<CNumEdit>(c.spinner);
        spinner->setValue(c.start);
        const QPoint arrow = (c.up ? spinner->upArrowRect() : spinner->downArrowRect()).center();
        QTest::mousePress(spinner, Qt::LeftButton, {}, arrow);
        QTest::mouseRelease(spinner, Qt::LeftButton, {}, arrow);
        EXPECT_EQ(world.find<CMaskEdit>(c.edit)->data(true), QString::fromLatin1(c.shown))
            << c.spinner << " from " << c.start;
    }
}

// The person types an out-of-range value and goes straight for the spinner's arrow: the
// field's check runs as the arrow takes the focus, its message takes the button's release, and
// after OK the arrow must not run on to the end of its range by itself.
TEST(MethodEditor, ArrowClickedRightAfterAnOutOfRangeValueDoesNotRunAway) {
    const struct {
        int edit;
        int spinner;
        const char* typed;
        bool up;
        double atMost;
        double atLeast;
    } cases[] = {
        {EvaporatorEdit, EvaporatorSpinner, "10", true, 31, 30},
        {EvaporatorEdit, EvaporatorSpinner, "999", false, 300, 299},
        {TimeConstantEdit, TimeConstantSpinner, "9", false, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EditorWorld world;
        world.openOn(1);
        QApplication::setActiveWindow(&world.view);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&world.view));
        auto* spinner = world.find<CNumEdit>(c.spinner);
        auto* edit = world.find<CMaskEdit>(c.edit);
        const QPoint arrow = spinner->mapTo(
            &world.view, (c.up ? spinner->upArrowRect() : spinner->downArrowRect()).center());
        QWindow* window = world.view.windowHandle();
        world.person.whileMessage = [&] { QTest::mouseRelease(window, Qt::LeftButton, {}, arrow); };
        edit->setFocus();
        edit->setText(QString::fromLatin1(c.typed));
        QTest::mousePress(window, Qt::LeftButton, {}, arrow);
        ASSERT_EQ(world.person.messages.size(), 1u) << "the field's check ran";
        QTest::qWait(1500);
        const double shown = spinner->value();
        EXPECT_LE(shown, c.atMost);
        EXPECT_GE(shown, c.atLeast);
        EXPECT_EQ(edit->data(true).toDouble(), shown) << "field and spinner agree";
    }
}

TEST(MethodEditor, SendForTheCustomMethodSendsOnlyTheMethodAndCloses) {
    EditorWorld world;
    world.openOn(0);
    QTest::mouseClick(world.find<QPushButton>(SendButton), Qt::LeftButton);
    EXPECT_EQ(world.sentCodes(), std::vector<int>{31});
    EXPECT_FALSE(std::filesystem::exists(world.programDir / "Names.mtd"));
    EXPECT_FALSE(world.state.editorOpen);
}

TEST(MethodEditor, FineGasFlowOf007IsSentAs7) {
    EditorWorld world(true);
    world.openOn(2);
    world.leave(GasFlowEdit, QStringLiteral("0.07"));
    QTest::mouseClick(world.find<QPushButton>(SendButton), Qt::LeftButton);
    ASSERT_EQ(world.sentCodes(), (std::vector<int>{31, 9}));
    // Words: number, evaporator, nebuliser, transfer line, then the gas flow.
    EXPECT_EQ(world.driver.written[0].substr(5 + 4 * 4, 4), "0007");
}

TEST(MethodEditor, SleepClosesTheEditorSoTheMethodGroupFollowsTheInstrumentAgain) {
    EditorWorld world;
    world.openOn(4);
    world.view.setSleepLayout(true);
    EXPECT_FALSE(world.state.editorOpen);
    EXPECT_FALSE(world.find<QWidget>(EditorGroup)->isVisible());
    EXPECT_TRUE(world.find<QWidget>(OutputMonitorGroup)->isVisible());
    world.view.setSleepLayout(false);
    EXPECT_FALSE(world.find<QWidget>(EditorGroup)->isVisible());
    EXPECT_TRUE(world.find<QWidget>(LoadEditMethodButton)->isEnabled());
}

// Also under the number already shown, where the spinner does not change by itself.
TEST(MethodEditor, SaveAsSendsTheEditedSetpointsUnderTheChosenNumberAndShowsThatMethod) {
    for (const char* chosen : {"5", "2"}) {
        SCOPED_TRACE(chosen);
        EditorWorld world;
        std::optional<SaveMethodAsChoice> offered;
        world.editor.attach(world.store, world.person,
                            [&offered, chosen](const SaveMethodAsChoice& initial) {
                                offered = initial;
                                return SaveMethodAsChoice{true, chosen, "Gradient", "Fast"};
                            });
        world.openOn(2);
        world.leave(EvaporatorEdit, QStringLiteral("180"));
        QTest::mouseClick(world.find<QPushButton>(SaveAsButton), Qt::LeftButton);

        const auto number = static_cast<std::size_t>(std::stoi(chosen));
        ASSERT_TRUE(offered);
        EXPECT_EQ(offered->methodId, "2");
        EXPECT_EQ(world.sentCodes(), std::vector<int>{31});
        EXPECT_EQ(world.state.methods[number].evaporatorTemp, 180);
        EXPECT_TRUE(world.state.editorOpen) << "the editor stays open";
        EXPECT_EQ(world.find<CMaskEdit>(MethodNumberEdit)->data(true), QString::fromLatin1(chosen));
        EXPECT_EQ(world.find<QLineEdit>(MethodNameEdit)->text(), QStringLiteral("Gradient"));
        EXPECT_EQ(world.find<QTextEdit>(MethodDescriptionEdit)->toPlainText(),
                  QStringLiteral("Fast"));
        EXPECT_EQ(world.find<CMaskEdit>(EvaporatorEdit)->data(true), QStringLiteral("180"));

        // Send takes the name from the form: it must not bring the old one back.
        QTest::mouseClick(world.find<QPushButton>(SendButton), Qt::LeftButton);
        EXPECT_EQ(world.state.methods[number].name, "Gradient");
    }
}

TEST(MethodEditor, FineScaleSetsTheGasSpinnersStepAndLimits) {
    EditorWorld world;
    auto* gas = world.find<CNumEdit>(GasFlowSpinner);
    for (const bool fine : {true, false}) {
        world.view.setGasFlowRange(fine);
        EXPECT_DOUBLE_EQ(gas->increment(), fine ? 0.01 : 0.1);
        EXPECT_DOUBLE_EQ(gas->minimum(), fine ? 0.05 : 0.1);
        EXPECT_DOUBLE_EQ(gas->maximum(), fine ? 1.0 : 2.0);
        EXPECT_DOUBLE_EQ(gas->acceleratedIncrement(), 0.1);
    }
}

} // namespace
} // namespace kqvdr
