#pragma once

#include "HelpIndex.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QTextBrowser;
class QTimer;

namespace kqvdr {

// The help pages with a contents page, back and forward, and a search field whose results
// are shown as a page of links.
class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);
    ~CHelpWindow() override;

    void setAppTitle(const QString& appTitle);

    void showContents();
    // Shows the window with the search field focused, as Help > Find asks for.
    void showSearch();

    void openPage(const QString& file);
    void search(const QString& query);

    QLineEdit* searchField() const { return searchField_; }
    QTextBrowser* browser() const { return browser_; }
    const HelpIndex& index() const { return *index_; }

private:
    void bringToFront();
    void highlight(const QString& query);

    std::unique_ptr<HelpIndex> index_;
    QTextBrowser* browser_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    QTimer* searchDelay_ = nullptr;
    QString pendingHighlight_;
};

// The search results as a help page: one link per page with the text around the match.
QString searchResultsHtml(const QString& query, const std::vector<HelpHit>& hits);

} // namespace kqvdr
