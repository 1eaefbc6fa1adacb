#include "AppTexts.h"
#include "CAboutDlg.h"
#include "CHelpWindow.h"
#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

namespace kqvdr {
namespace {

class MainFrame : public ::testing::Test {
protected:
    CKQVDR1000ControlApp app{CommandLine{}, "/usr/bin"};
    test::ScriptedMessageBoxes boxes;
    CMainFrame frame{app, boxes};

    QAction* act(CommandId id) {
        QAction* action = frame.action(id);
        EXPECT_NE(action, nullptr) << static_cast<int>(id);
        return action;
    }
};

struct ExpectedItem {
    const char* text;
    int id;
};

struct ExpectedMenu {
    const char* title;
    std::vector<ExpectedItem> items;
};

const std::vector<ExpectedMenu> expectedMenus{
    {"&File", {{"&Load Methods", 32787}, {"&Save Methods", 32788}, {"E&xit", 57665}}},
    {"&Edit",
     {{"&Reset Factory Settings", 32782},
      {"&Communication Settings", 32775},
      {"&Device Identification", 32811},
      {"&Set Vapour Sensor", 32819}}},
    {"&View",
     {{"&Toolbar", 59392},
      {"&Status Bar", 59393},
      {"&Current Settings", 32786},
      {"&Audit Trail", 32840},
      {"T&rends", 32841}}},
    {"&Tools",
     {{"&Automation", 32774},
      {"Run &System Test", 32816},
      {"&Monitor", 32801},
      {"Analyze System Test Log", 32820},
      {"Remote control (SiLA 2)", 32844}}},
    {"&Log",
     {{"Star&t Logging Data", 32797},
      {"Sto&p Logging Data", 32794},
      {"&Save Current Log", 32807},
      {"&View Current Log", 32808},
      {"&Export as CSV", 32842}}},
    {"&Help",
     {{"&Contents", 32799},
      {"&Find", 57667},
      {"Instrument &Usage", 32843},
      {"Open &Data Folder", 32845},
      {"&About KQ VDR 1000 Control", 57664}}},
};

std::vector<QAction*> itemsOf(QMenu* menu) {
    std::vector<QAction*> items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            items.push_back(action);
        }
    }
    return items;
}

QChar accelerator(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at < 0 || at + 1 >= text.size() ? QChar() : text.at(at + 1).toLower();
}

TEST_F(MainFrame, IsFixedAt800By600AndCannotBeResizedOrMaximised) {
    EXPECT_EQ(frame.minimumSize(), QSize(800, 600));
    EXPECT_EQ(frame.maximumSize(), QSize(800, 600));
    EXPECT_FALSE(frame.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    frame.show();
    frame.resize(1024, 768);
    EXPECT_EQ(frame.size(), QSize(800, 600));
    frame.showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(frame.size(), QSize(800, 600));
}

TEST_F(MainFrame, MenusHaveTheExactTextsAndCommandIdsInOrder) {
    const QList<QAction*> menus = frame.menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expectedMenus.size()));
    for (std::size_t m = 0; m < expectedMenus.size(); ++m) {
        const ExpectedMenu& expected = expectedMenus[m];
        QMenu* menu = menus[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), QString::fromUtf8(expected.title));
        const std::vector<QAction*> items = itemsOf(menu);
        ASSERT_EQ(items.size(), expected.items.size()) << expected.title;
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(expected.items[i].text));
            EXPECT_EQ(items[i]->data().toInt(), expected.items[i].id) << expected.items[i].text;
            EXPECT_EQ(frame.action(static_cast<CommandId>(expected.items[i].id)), items[i]);
        }
    }
}

TEST_F(MainFrame, AcceleratorsAreUniqueInTheMenuBarAndWithinEachMenu) {
    std::set<QChar> titles;
    for (QAction* menuAction : frame.menuBar()->actions()) {
        EXPECT_TRUE(titles.insert(accelerator(menuAction->text())).second)
            << menuAction->text().toStdString();
        std::set<QChar> keys;
        for (QAction* item : itemsOf(menuAction->menu())) {
            const QChar key = accelerator(item->text());
            if (!key.isNull()) {
                EXPECT_TRUE(keys.insert(key).second) << item->text().toStdString();
            }
        }
    }
}

TEST_F(MainFrame, ToolbarButtonsAreInTheirOrderWithTheWebSiteOnlyThere) {
    const std::vector<int> expected{32787, 32788, 0,     32774, 32816, 32801, 0,    32797,
                                    32794, 32807, 32808, 0,     32799, 0,     32818};
    std::vector<int> actual;
    for (QAction* action : frame.toolBar()->actions()) {
        actual.push_back(action->isSeparator() ? 0 : action->data().toInt());
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
        }
    }
    EXPECT_EQ(actual, expected);
    for (QAction* menuAction : frame.menuBar()->actions()) {
        for (QAction* item : itemsOf(menuAction->menu())) {
            EXPECT_NE(item, frame.action(CommandId::WebSite)) << "the web site is not a menu item";
        }
    }
}

TEST_F(MainFrame, ToolbarDocksOnlyAtTheTopAndStaysThereWhenShownAgain) {
    QToolBar* bar = frame.toolBar();
    EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea);
    EXPECT_FALSE(bar->isMovable());
    EXPECT_FALSE(bar->isFloatable());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    QAction* toggle = act(CommandId::Toolbar);
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(frame.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_LT(bar->geometry().bottom(), frame.centralWidget()->geometry().top());
    EXPECT_EQ(frame.createPopupMenu(), nullptr);
}

TEST_F(MainFrame, StatusBarIsShownAndHiddenFromTheViewMenu) {
    frame.show();
    QAction* toggle = act(CommandId::StatusBar);
    EXPECT_TRUE(frame.statusBar()->isVisible());
    toggle->trigger();
    EXPECT_FALSE(frame.statusBar()->isVisible());
    toggle->trigger();
    EXPECT_TRUE(frame.statusBar()->isVisible());
}

TEST_F(MainFrame, EveryCommandHasFlyByHelpAndToolbarButtonsHaveToolTips) {
    for (QAction* action : frame.findChildren<QAction*>()) {
        if (action->data().isValid()) {
            EXPECT_GE(action->statusTip().size(), 15) << action->objectName().toStdString();
        }
    }
    for (QAction* action : frame.toolBar()->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(frame.toolBar()->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->toolTip().isEmpty()) << action->objectName().toStdString();
        EXPECT_FALSE(button->toolTip().contains(QLatin1Char('&')));
    }
}

TEST_F(MainFrame, HoveringAToolbarButtonShowsItsStatusTipThenReady) {
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    QAction* monitor = act(CommandId::Monitor);
    QWidget* button = frame.toolBar()->widgetForAction(monitor);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(frame.statusBar()->currentMessage(), monitor->statusTip());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(MainFrame, ViewCommandsAreReachableByIdAndDoNothingUntilTheViewConnects) {
    for (const CommandId id :
         {CommandId::LoadMethods, CommandId::SaveMethods, CommandId::ResetFactorySettings,
          CommandId::CommunicationSettings, CommandId::DeviceIdentification,
          CommandId::SetVapourSensor, CommandId::Automation, CommandId::RunSystemTest,
          CommandId::Monitor, CommandId::AnalyzeSystemTestLog, CommandId::StartLogging,
          CommandId::StopLogging, CommandId::SaveCurrentLog, CommandId::ViewCurrentLog,
          CommandId::AuditTrail, CommandId::Trends, CommandId::ExportCsv,
          CommandId::InstrumentUsage}) {
        QAction* action = act(id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->data().toInt(), static_cast<int>(id));
        action->trigger();
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainFrame, CurrentSettingsShowsTheValuesTheViewSupplies) {
    app.setTitle(QStringLiteral("KQ-VDR1000 Control"));
    frame.setCurrentSettingsSource([] { return CurrentSettings{"COM 4", 17}; });
    act(CommandId::CurrentSettings)->trigger();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text,
              "KQ-VDR1000 Control Software is currently using the following settings :-\n\n\n"
              "Communications Port    -    COM 4\n\nDevice Identification     -    17");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
}

TEST_F(MainFrame, WebSiteFailureShowsTheBrowserMessageAndSuccessShowsNothing) {
    struct Case {
        bool opens;
        std::size_t messages;
    };
    for (const Case c : {Case{true, 0}, Case{false, 1}}) {
        boxes.shown.clear();
        QUrl opened;
        frame.setUrlOpener([&opened, c](const QUrl& url) {
            opened = url;
            return c.opens;
        });
        act(CommandId::WebSite)->trigger();
        EXPECT_EQ(opened.scheme(), QStringLiteral("https"));
        EXPECT_TRUE(opened.host().endsWith(QStringLiteral("example.com")));
        ASSERT_EQ(boxes.shown.size(), c.messages);
        if (c.messages == 1) {
            EXPECT_EQ(boxes.shown[0].text, "Error Loading Web Browser!");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
        }
    }
}

TEST_F(MainFrame, OpenDataFolderOpensTheProgramsFolderOrSaysWhereItIs) {
    for (const bool opens : {true, false}) {
        boxes.shown.clear();
        QUrl opened;
        frame.setUrlOpener([&opened, opens](const QUrl& url) {
            opened = url;
            return opens;
        });
        act(CommandId::OpenDataFolder)->trigger();
        EXPECT_TRUE(opened.isLocalFile());
        EXPECT_EQ(opened.toLocalFile(), QString::fromStdString(app.programDir()));
        ASSERT_EQ(boxes.shown.size(), opens ? 0u : 1u);
        if (!opens) {
            EXPECT_NE(boxes.shown[0].text.find(app.programDir()), std::string::npos);
        }
    }
}

TEST_F(MainFrame, CaptionsFollowTheApplicationTitleAndThePort) {
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ VDR 1000 Control"));
    frame.showHelpContents();
    app.setTitle(QStringLiteral("KQ-VDR1000\u00B5 Control"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ-VDR1000\u00B5 Control"));
    frame.setCaptionPort("COM 2");
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ-VDR1000\u00B5 Control (COM 2)"));
    app.setTitle(QStringLiteral("KQ-VDR1000 Control"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ-VDR1000 Control (COM 2)"));
    EXPECT_EQ(frame.helpWindow()->windowTitle(), QStringLiteral("KQ-VDR1000 Control - Help"));

    frame.followGasRangeAndPort(true, QStringLiteral("COM 4"));
    EXPECT_EQ(app.title(), QStringLiteral("KQ-VDR1000\u00B5 Control"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ-VDR1000\u00B5 Control (COM 4)"));
    // Any other port shows as it was chosen.
    frame.followGasRangeAndPort(false, QStringLiteral("COM 12"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("KQ-VDR1000 Control (COM 12)"));
    frame.followGasRangeAndPort(false, QStringLiteral("/dev/serial/by-id/usb-FTDI-if00"));
    EXPECT_EQ(frame.windowTitle(),
              QStringLiteral("KQ-VDR1000 Control (/dev/serial/by-id/usb-FTDI-if00)"));
}

TEST_F(MainFrame, AboutCommandOpensTheAboutBoxCaptionedWithTheTitle) {
    app.setTitle(QStringLiteral("KQ-VDR1000 Control"));
    QString seenCaption;
    QTimer::singleShot(0, [&seenCaption] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seenCaption = about->windowTitle();
        about->accept();
    });
    act(CommandId::About)->trigger();
    EXPECT_EQ(seenCaption, QStringLiteral("About KQ-VDR1000 Control"));
}

TEST_F(MainFrame, HelpOpensAtTheContentsAndFindFocusesTheSearchField) {
    act(CommandId::HelpContents)->trigger();
    CHelpWindow* help = frame.helpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->browser()->source().toString().endsWith(QStringLiteral("index.html")));
    help->searchField()->setText(QStringLiteral("earlier words"));
    act(CommandId::HelpFind)->trigger();
    EXPECT_EQ(help->focusWidget(), help->searchField());
    EXPECT_EQ(help->searchField()->selectedText(), QStringLiteral("earlier words"));
}

} // namespace
} // namespace kqvdr
