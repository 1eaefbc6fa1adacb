#include "AppResources.h"
#include "CHelpWindow.h"
#include "HelpIndex.h"
#include "HelpPages.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::vector<std::string> filesOf(const std::vector<HelpHit>& hits) {
    std::vector<std::string> files;
    for (const HelpHit& hit : hits) {
        files.push_back(hit.file);
    }
    return files;
}

HelpIndex sampleIndex() {
    return HelpIndex({
        {"modes.html", "Operating modes", "Standby, Run, Gas Save and Sleep. Gas Save saves gas."},
        {"faults.html", "Instrument faults", "A solvent leak. The GAS ERROR means gas flow."},
        {"log.html", "The log", "Lines at seconds 15 and 45; the Err column."},
    });
}

struct SearchCase {
    const char* query;
    std::vector<std::string> expected;
};

TEST(HelpIndex, FindsPagesHoldingEveryWordIgnoringCaseBestMatchFirst) {
    const HelpIndex index = sampleIndex();
    const std::vector<SearchCase> cases{
        {"gas", {"modes.html", "faults.html"}}, // three mentions beat two
        {"faults gas", {"faults.html"}},
        {"GAS save", {"modes.html"}},
        {"gas leak", {"faults.html"}},
        {"modes", {"modes.html"}},
        {"err", {"faults.html", "log.html"}},
        {"log", {"log.html"}},
        {"  ,;  ", {}},
        {"helium", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(filesOf(index.search(c.query)), c.expected) << c.query;
    }
}

TEST(HelpIndex, ExcerptIsOneLineAroundTheMatchAndNeverSplitsACharacter) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "\u00B5\u00B0 line\n";
    }
    text += "the nebuliser temperature\n";
    for (int i = 0; i < 40; ++i) {
        text += "\u00B1 more\n";
    }
    const HelpIndex index({{"p.html", "Page", text}});
    const std::vector<HelpHit> hits = index.search("nebuliser");
    ASSERT_EQ(hits.size(), 1U);
    const std::string& excerpt = hits[0].excerpt;
    EXPECT_NE(excerpt.find("the nebuliser temperature"), std::string::npos);
    EXPECT_EQ(excerpt.find('\n'), std::string::npos);
    EXPECT_EQ(QString::fromUtf8(excerpt.c_str()).toStdString(), excerpt) << "invalid UTF-8";
}

TEST(HelpPages, EveryShippedPageHasATitleAndText) {
    const std::vector<HelpPage> pages = loadHelpPages();
    EXPECT_GE(pages.size(), 10U);
    for (const HelpPage& page : pages) {
        EXPECT_FALSE(page.title.empty()) << page.file;
        EXPECT_GT(page.text.size(), 400U) << page.file;
    }
}

TEST(HelpPages, EveryLinkBetweenPagesLeadsToAnExistingPageAndAnchor) {
    initAppResources();
    const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    const QDir root(helpRoot);
    for (const QString& file : root.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile source(root.filePath(file));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(source.readAll());
        for (const auto& match : link.globalMatch(html)) {
            const QString target = match.captured(1);
            if (target.contains(QStringLiteral("://"))) {
                continue;
            }
            const QString page = target.section(QLatin1Char('#'), 0, 0);
            const QString anchor = target.section(QLatin1Char('#'), 1);
            QFile linked(root.filePath(page.isEmpty() ? file : page));
            ASSERT_TRUE(linked.open(QIODevice::ReadOnly))
                << file.toStdString() << " -> " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(QString::fromUtf8(linked.readAll())
                                .contains(QStringLiteral("name=\"%1\"").arg(anchor)))
                    << file.toStdString() << " -> " << target.toStdString();
            }
        }
    }
}

TEST(HelpPages, SearchAnswersATechniciansQuestionsWithTheRightPage) {
    const HelpIndex index(loadHelpPages());
    const std::vector<std::pair<const char*, const char*>> cases{
        {"communication error", "troubleshooting.html"},
        {"Clear Error", "faults.html"},
        {"gas save", "modes.html"},
        {"vapour sensor sensitivity", "settings.html"},
        {"serial number", "system-test.html"},
        {"history graph", "front-panel.html"},
        {"standard or fine variant", "methods.html"},
        {"ten events", "automation.html"},
        {"Photo column", "logging.html"},
    };
    for (const auto& [query, page] : cases) {
        const std::vector<HelpHit> hits = index.search(query);
        ASSERT_FALSE(hits.empty()) << query;
        EXPECT_EQ(hits.front().file, page) << query;
    }
}

TEST(HelpWindow, SearchListsMatchingPagesAndTheOpenedPageMarksTheWords) {
    CHelpWindow help;
    help.search(QStringLiteral("solvent leak"));
    const QString results = help.browser()->toHtml();
    EXPECT_TRUE(results.contains(QStringLiteral("qrc:/help/faults.html")));
    EXPECT_TRUE(results.contains(QStringLiteral("Instrument faults")));

    help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/faults.html")));
    const auto marks = help.browser()->extraSelections();
    ASSERT_FALSE(marks.isEmpty());
    EXPECT_EQ(marks.front().cursor.selectedText().toLower(), QStringLiteral("solvent"));

    help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/modes.html")));
    EXPECT_TRUE(help.browser()->extraSelections().isEmpty());
}

TEST(HelpWindow, SearchingForNothingGoesBackToTheContents) {
    CHelpWindow help;
    help.openPage(QStringLiteral("modes.html"));
    help.search(QStringLiteral("   "));
    EXPECT_TRUE(help.browser()->source().toString().endsWith(QStringLiteral("index.html")));
}

} // namespace
} // namespace kqvdr
