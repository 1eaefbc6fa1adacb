#include "CHelpWindow.h"

#include "AppResources.h"
#include "AppTexts.h"
#include "HelpPages.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

QUrl pageUrl(const QString& file) {
    return QUrl(QStringLiteral("qrc") + helpRoot + file);
}

QToolButton* makeButton(const QString& text, const QString& toolTip) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

QString searchResultsHtml(const QString& query, const std::vector<HelpHit>& hits) {
    QString html = QStringLiteral("<html><head><title>Search</title>"
                                  "<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\"/>"
                                  "</head><body><h1>Search results</h1>")
                       .arg(pageUrl(QStringLiteral("help.css")).toString());
    if (hits.empty()) {
        html += QStringLiteral("<p>No help page mentions <b>%1</b>. Try fewer or shorter words, "
                               "or browse the <a href=\"%2\">contents</a>.</p>")
                    .arg(query.toHtmlEscaped(), pageUrl(helpContentsPage).toString());
    } else {
        html += QStringLiteral("<p>%1 %2 <b>%3</b>:</p>")
                    .arg(hits.size())
                    .arg(hits.size() == 1 ? QStringLiteral("page mentions")
                                          : QStringLiteral("pages mention"))
                    .arg(query.toHtmlEscaped());
        for (const HelpHit& hit : hits) {
            html += QStringLiteral("<p class=\"hit\"><a href=\"%1\">%2</a><br/>%3</p>")
                        .arg(pageUrl(QString::fromStdString(hit.file)).toString(),
                             QString::fromStdString(hit.title).toHtmlEscaped(),
                             QString::fromStdString(hit.excerpt).toHtmlEscaped());
        }
    }
    return html + QStringLiteral("</body></html>");
}

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), index_(std::make_unique<HelpIndex>(loadHelpPages())) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowIcon(svgIcon(appIconResource));
    resize(760, 560);

    auto* contents = makeButton(QStringLiteral("&Contents"), QStringLiteral("Help contents"));
    contents->setIcon(svgIcon(QStringLiteral(":/icons/help-contents.svg")));
    contents->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* back = makeButton(QStringLiteral("< &Back"), QStringLiteral("Previous page"));
    auto* forward = makeButton(QStringLiteral("&Forward >"), QStringLiteral("Next page"));

    searchField_ = new QLineEdit;
    searchField_->setObjectName(QStringLiteral("helpSearch"));
    searchField_->setPlaceholderText(QStringLiteral("Search the help"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setMinimumWidth(240);

    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDocumentMargin(12);
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addStretch();
    bar->addWidget(searchField_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    // Searching on every keystroke would redraw the results page while the word is typed.
    searchDelay_ = new QTimer(this);
    searchDelay_->setSingleShot(true);
    searchDelay_->setInterval(300);
    connect(searchDelay_, &QTimer::timeout, this, [this] { search(searchField_->text()); });
    connect(searchField_, &QLineEdit::textEdited, searchDelay_, qOverload<>(&QTimer::start));
    connect(searchField_, &QLineEdit::returnPressed, this, [this] {
        searchDelay_->stop();
        search(searchField_->text());
    });

    connect(contents, &QToolButton::clicked, this, &CHelpWindow::showContents);
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    // Only the page reached from the results is marked; moving on clears the marks.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        highlight(pendingHighlight_);
        pendingHighlight_.clear();
    });

    setAppTitle(toQString(startupTitle));
    openPage(helpContentsPage);
}

CHelpWindow::~CHelpWindow() = default;

void CHelpWindow::setAppTitle(const QString& appTitle) {
    setWindowTitle(QString::fromStdString(windowCaption(appTitle.toStdString(), "Help")));
}

void CHelpWindow::openPage(const QString& file) {
    pendingHighlight_.clear();
    browser_->setSource(pageUrl(file));
}

void CHelpWindow::showContents() {
    searchField_->clear();
    openPage(helpContentsPage);
    bringToFront();
}

void CHelpWindow::showSearch() {
    bringToFront();
    searchField_->setFocus(Qt::ShortcutFocusReason);
    searchField_->selectAll();
}

void CHelpWindow::bringToFront() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void CHelpWindow::search(const QString& query) {
    if (query.trimmed().isEmpty()) {
        openPage(helpContentsPage);
        return;
    }
    const std::vector<HelpHit> hits = index_->search(query.toStdString());
    // The results are a generated page; following one of its links highlights the words.
    pendingHighlight_ = query;
    browser_->setHtml(searchResultsHtml(query, hits));
}

void CHelpWindow::highlight(const QString& query) {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(QColor(255, 236, 140));
    for (const std::string& word : queryWords(query.toStdString())) {
        QTextCursor cursor(browser_->document());
        while (
            !(cursor = browser_->document()->find(QString::fromStdString(word), cursor)).isNull()) {
            marks.append({cursor, format});
        }
    }
    browser_->setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first = marks.front().cursor;
        first.clearSelection();
        browser_->setTextCursor(first);
        browser_->ensureCursorVisible();
    }
}

} // namespace kqvdr
