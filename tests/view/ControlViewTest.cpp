#include "CGraph.h"
#include "CGraphAxis.h"
#include "CKQVDR1000ControlView.h"
#include "CKnob.h"
#include "FakeSerialDriver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "ScriptedOperator.h"
#include "TemporaryDirectory.h"
#include "ViewControl.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// The view and the link refer to each other; the link is bound before it is built, as in the
// program, and neither uses the other while being built.
struct ViewWorld {
    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ScriptedOperator person;
    test::TemporaryDirectory dir;
    CKQVDR1000ControlView viewWidget{state, link};
    InstrumentLink link{state, driver, viewWidget, person, dir.path()};
    CKQVDR1000ControlView* view = &viewWidget;

    ViewWorld() {
        view->resize(800, 520);
        view->show();
    }

    template <typename W> W* find(int id) { return view->findChild<W*>(QString::number(id)); }
};

TEST(ControlView, SleepLayoutSwapsTheInstrumentGroupsForThePicture) {
    ViewWorld world;
    auto* area = world.view->form().instrumentArea;
    world.view->setSleepLayout(true);
    EXPECT_EQ(area->currentWidget()->objectName(), QString::number(SleepPicture));
    EXPECT_FALSE(world.find<QGroupBox>(PhotodetectorGroup)->isVisible());
    EXPECT_FALSE(world.find<QCheckBox>(ViewHistoryCheck)->isEnabled());
    EXPECT_TRUE(world.find<QCheckBox>(ViewHistoryCheck)->isVisible());
    EXPECT_FALSE(world.find<QWidget>(LoadEditMethodButton)->isEnabled());

    world.view->setSleepLayout(false);
    EXPECT_NE(area->currentWidget()->objectName(), QString::number(SleepPicture));
    EXPECT_TRUE(world.find<QGroupBox>(PhotodetectorGroup)->isVisible());
    EXPECT_TRUE(world.find<QCheckBox>(ViewHistoryCheck)->isEnabled());
    EXPECT_FALSE(world.find<QWidget>(MethodNumberEdit)->isEnabled()) << "method fields stay off";
}

TEST(ControlView, HistoryCheckBoxShowsTheGraphInPlaceOfThePicture) {
    ViewWorld world;
    auto* check = world.find<QCheckBox>(ViewHistoryCheck);
    EXPECT_FALSE(world.find<QWidget>(HistoryGraph)->isVisible());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(world.state.showHistory);
    EXPECT_TRUE(world.find<QWidget>(HistoryGraph)->isVisible());
    EXPECT_FALSE(world.find<QWidget>(HistoryPicture)->isVisible());

    // Leaving Sleep brings the graph back because the history is still wanted.
    world.view->setSleepLayout(true);
    EXPECT_FALSE(world.find<QWidget>(HistoryGraph)->isVisible());
    world.view->setSleepLayout(false);
    EXPECT_TRUE(world.find<QWidget>(HistoryGraph)->isVisible());
}

TEST(ControlView, RangeCommandsNeedTheHistoryNoEditorAndNoSleep) {
    struct Case {
        bool history;
        bool editor;
        int mode;
        bool enabled;
    };
    const Case cases[] = {{true, false, 1, true},
                          {false, false, 1, false},
                          {true, true, 1, false},
                          {true, false, 3, false}};
    for (const auto& c : cases) {
        ViewWorld world;
        world.state.showHistory = c.history;
        world.state.editorOpen = c.editor;
        world.state.parameters[ParameterIndex::OperatingMode].measured = c.mode;
        std::unique_ptr<QMenu> menu(world.view->createContextMenu());
        const auto actions = menu->actions();
        ASSERT_EQ(actions.size(), 8);
        EXPECT_EQ(actions[3]->text(), QStringLiteral("Slee&p"));
        EXPECT_TRUE(actions[4]->isSeparator());
        for (int i = 5; i < 8; ++i) {
            EXPECT_EQ(actions[i]->isEnabled(), c.enabled);
        }
    }
}

TEST(ControlView, RangeCommandSetsTheAxisAndKeepsThePoints) {
    ViewWorld world;
    world.state.showHistory = true;
    world.view->appendHistoryPoint(5);
    std::unique_ptr<QMenu> menu(world.view->createContextMenu());
    menu->actions()[7]->trigger();
    auto* axis = world.view->form().historyGraph->axis(CGraph::kYAxisName);
    EXPECT_DOUBLE_EQ(axis->maximum(), 1000.0);
    EXPECT_EQ(world.view->form().historyGraph->points().size(), 1u);
}

TEST(ControlView, ModeButtonsSendOnlyWhenTheModeDiffers) {
    ViewWorld world;
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    QTest::mouseClick(world.find<QPushButton>(RunButton), Qt::LeftButton);
    EXPECT_TRUE(world.driver.written.empty());
    QTest::mouseClick(world.find<QPushButton>(GasSaveButton), Qt::LeftButton);
    ASSERT_EQ(world.driver.written.size(), 1u);
    EXPECT_EQ(world.driver.written[0], "\x02"
                                       "00000222"
                                       "\x03");
}

TEST(ControlView, FineGasRangeReconfiguresTheKnobAndAsksForANewCaption) {
    ViewWorld world;
    world.state.activePort = "COM 2";
    QList<QVariant> caption;
    QObject::connect(world.view, &CKQVDR1000ControlView::captionChanged,
                     [&caption](bool fine, const QString& port) {
                         caption = {fine, port};
                     });
    world.view->setGasFlowRange(true);
    EXPECT_DOUBLE_EQ(world.view->form().gasKnob->axisMaximum(), 1.0);
    EXPECT_DOUBLE_EQ(world.view->form().gasKnob->majorTickInterval(), 0.25);
    EXPECT_EQ(caption, (QList<QVariant>{true, QStringLiteral("COM 2")}));
}

} // namespace
} // namespace kqvdr
