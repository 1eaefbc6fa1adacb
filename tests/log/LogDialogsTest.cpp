#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "CSaveLogDlg.h"
#include "CViewLogDlg.h"
#include "ControlSession.h"
#include "DialogTesting.h"
#include "RecentLines.h"
#include "ScriptedMessageBoxes.h"
#include "SessionWiring.h"
#include "TemporaryDirectory.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::control;

QStringList listed(const CViewLogDlg& viewer) {
    QStringList lines;
    for (int i = 0; i < viewer.list()->count(); ++i) {
        lines << viewer.list()->item(i)->text();
    }
    return lines;
}

QStringList numbered(int first, int last) {
    QStringList lines;
    for (int n = first; n <= last; ++n) {
        lines << QStringLiteral("line %1").arg(n);
    }
    return lines;
}

// Every character the viewer may show: the headings, its lines, and what a state line can hold.
QString shownCharacters(const CViewLogDlg& viewer, const QLabel& headings) {
    return headings.text() + listed(viewer).join(QString()) +
           QStringLiteral("0123456789 .:-+ STANDBY RUN GAS SAVE SLEEP ERROR T F NEB EVP EXH "
                          "VAP LMP FAN CSM PDT OT PIC TC VDEV");
}

// The columns line up when every shown character advances the pen alike; whether the font
// database calls the family fixed-pitch depends on the machine, not on what the viewer shows.
bool sameAdvanceForEach(const QFont& font, const QString& characters) {
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : characters) {
        if (c != QLatin1Char('\n') && metrics.horizontalAdvance(c) != advance) {
            ADD_FAILURE() << "'" << QString(c).toStdString() << "' advances "
                          << metrics.horizontalAdvance(c) << ", '0' " << advance;
            return false;
        }
    }
    return true;
}

void store(RecentLines& ring, int first, int last) {
    for (const QString& line : numbered(first, last)) {
        ring.store(line.toStdString());
    }
}

TEST(SaveLogDlg, OffersTheDefaultNameAndExtensionsAndJoinsAChosenDirectory) {
    CSaveLogDlg dialog(QStringLiteral("KQ-VDR1000 Control"), QStringLiteral("/home/tester"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ-VDR1000 Control - Save Operational Log"));
    EXPECT_TRUE(dialog.findChild<QLabel*>()->text().startsWith(
        QStringLiteral("Please specify the path and file name that you wish to\nsave the current "
                       "operational log to :- ")));
    auto* path = control<QLineEdit>(dialog, CSaveLogDlg::PathEdit);
    auto* name = control<QLineEdit>(dialog, CSaveLogDlg::FileNameEdit);
    auto* extensions = control<QComboBox>(dialog, CSaveLogDlg::ExtensionList);
    EXPECT_EQ(path->text(), QStringLiteral("/home/tester"));
    EXPECT_EQ(name->text(), QStringLiteral("My VDR Log"));
    QStringList items;
    for (int i = 0; i < extensions->count(); ++i) {
        items << extensions->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{".wri ", ".txt", ".log"}));
    EXPECT_EQ(extensions->currentIndex(), 0);

    QString startedAt;
    dialog.setDirectoryChooser([&startedAt](QWidget*, const QString& start) {
        startedAt = start;
        return QStringLiteral("/data/logs");
    });
    auto* browse = dialog.findChild<QToolButton*>(QStringLiteral("browse"));
    ASSERT_NE(browse, nullptr);
    browse->click();
    EXPECT_EQ(startedAt, QStringLiteral("/home/tester"));
    EXPECT_EQ(path->text(), QStringLiteral("/data/logs"));
    test::button(dialog, "save")->click();
    EXPECT_TRUE(dialog.accepted);
    EXPECT_EQ(dialog.choice().fullPath, "/data/logs/My VDR Log.wri");
}

TEST(ViewLogDlg, OpensWithTheRingOldestFirstUnderHeadingsInAFixedPitchFont) {
    struct Case {
        int written;
        int first;
    };
    test::ScriptedMessageBoxes messages;
    for (const Case c : {Case{5, 1}, Case{130, 11}}) {
        RecentLines ring;
        store(ring, 1, c.written);
        CViewLogDlg viewer(ring, QStringLiteral("KQ-VDR1000 Control"), messages);
        EXPECT_EQ(listed(viewer), numbered(c.first, c.written)) << c.written;
        EXPECT_EQ(viewer.windowTitle(),
                  QStringLiteral("KQ-VDR1000 Control - View Operational Log"));
        auto* headings = viewer.findChild<QLabel*>(QStringLiteral("headings"));
        ASSERT_NE(headings, nullptr);
        const QString shown = shownCharacters(viewer, *headings);
        EXPECT_TRUE(sameAdvanceForEach(viewer.list()->font(), shown));
        EXPECT_TRUE(sameAdvanceForEach(headings->font(), shown));
        EXPECT_TRUE(viewer.refreshing());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ViewLogDlg, EachRefreshAppendsOnlyTheNewestLineUpToItsCap) {
    RecentLines ring;
    store(ring, 1, 3);
    test::ScriptedMessageBoxes messages;
    CViewLogDlg viewer(ring, QStringLiteral("T"), messages, nullptr, 4);
    viewer.refresh();
    EXPECT_EQ(listed(viewer), numbered(1, 3)) << "nothing new";
    store(ring, 4, 5); // a half-minute line and a fault line within one refresh period
    viewer.refresh();
    viewer.refresh();
    EXPECT_EQ(listed(viewer), (QStringList{"line 1", "line 2", "line 3", "line 5"}));
    // A new log resets the ring; the viewer keeps its lines, dropping the oldest at the cap.
    ring.prepareForNewLog();
    viewer.refresh();
    ring.store("new 1");
    viewer.refresh();
    EXPECT_EQ(listed(viewer), (QStringList{"line 2", "line 3", "line 5", "new 1"}));
}

// The Log menu of the running program's frame, with its session (the port is never opened).
struct LogMenuWorld {
    test::TemporaryDirectory dir;
    test::ScriptedMessageBoxes messages;
    CKQVDR1000ControlApp app{CommandLine{}, dir.path().string()};
    CMainFrame frame{app, messages};
    ControlSession session{{dir.path(), std::string("/dev/null")},
                           messages,
                           [] { return QStringLiteral("KQ-VDR1000 Control"); },
                           &frame};

    LogMenuWorld() { wireControlSession(session, frame, messages); }
    void trigger(CommandId id) { frame.action(id)->trigger(); }
};

TEST(LogMenu, OneViewerAndExitClosesTheLogAndTheViewer) {
    LogMenuWorld world;
    world.trigger(CommandId::StartLogging);
    world.trigger(CommandId::ViewCurrentLog);
    world.trigger(CommandId::ViewCurrentLog);
    ASSERT_EQ(world.frame.findChildren<CViewLogDlg*>().size(), 1);
    world.frame.show();
    world.trigger(CommandId::Exit);
    EXPECT_FALSE(world.session.log().loggingActive());
    EXPECT_FALSE(world.frame.findChild<CViewLogDlg*>()->isVisible());
}

TEST(LogMenu, SaveCurrentLogCopiesToTheDirectoryChosenInItsDialog) {
    LogMenuWorld world;
    world.trigger(CommandId::StartLogging);
    ASSERT_TRUE(world.session.log().loggingActive());
    world.session.log().writeLine();
    const auto saved = world.dir.file("saved");
    std::filesystem::create_directory(saved);

    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CSaveLogDlg*>(QApplication::activeModalWidget());
        if (dialog != nullptr) {
            control<QLineEdit>(*dialog, CSaveLogDlg::PathEdit)
                ->setText(QString::fromStdString(saved.string()));
            control<QComboBox>(*dialog, CSaveLogDlg::ExtensionList)->setCurrentIndex(1);
            test::button(*dialog, "save")->click();
        }
    });
    answer.start(20);
    world.trigger(CommandId::SaveCurrentLog);
    EXPECT_FALSE(world.session.log().loggingActive());
    EXPECT_EQ(test::readBytes(saved / "My VDR Log.txt"),
              test::readBytes(world.dir.file("vdr_com1.log")));
    EXPECT_FALSE(test::readBytes(saved / "My VDR Log.txt").empty());
}

} // namespace
} // namespace kqvdr
