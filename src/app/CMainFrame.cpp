#include "CMainFrame.h"

#include "AppResources.h"
#include "AppTexts.h"
#include "CAboutDlg.h"
#include "CHelpWindow.h"
#include "CKQVDR1000ControlApp.h"
#include "DataFolderTexts.h"
#include "MenuCommands.h"
#include "MessageBoxes.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace kqvdr {
namespace {

// Stands in the form area until the control view takes its place.
QWidget* makePlaceholder() {
    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("formPlaceholder"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* icon = new QLabel;
    icon->setPixmap(svgPixmap(appIconResource, QSize(96, 96)));
    icon->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("KQ-VDR 1000"));
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QStringLiteral("The instrument panel will appear here."));
    note->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(panel);
    layout->addStretch(3);
    layout->addWidget(icon);
    layout->addSpacing(8);
    layout->addWidget(name);
    layout->addWidget(note);
    layout->addStretch(4);
    return panel;
}

} // namespace

CMainFrame::CMainFrame(CKQVDR1000ControlApp& app, MessageBoxes& messageBoxes, QWidget* parent)
    : QMainWindow(parent), app_(app), messageBoxes_(messageBoxes),
      urlOpener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      settingsSource_([] { return CurrentSettings{}; }) {
    initAppResources();
    setObjectName(QStringLiteral("mainFrame"));
    // No maximise box and no resizable border: the form is laid out for exactly this size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(fixedSize);
    setWindowIcon(svgIcon(appIconResource));

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    // Without a frame or a margin of its own, the area shows the form exactly as laid out for
    // the fixed size; only a smaller window shows its scroll bars.
    formArea_ = new QScrollArea;
    formArea_->setObjectName(QStringLiteral("formArea"));
    formArea_->setFrameShape(QFrame::NoFrame);
    formArea_->setWidgetResizable(true);
    setCentralWidget(formArea_);
    setFormWidget(makePlaceholder());

    connect(&app_, &CKQVDR1000ControlApp::titleChanged, this, &CMainFrame::updateCaption);
    updateCaption();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::createActions() {
    for (const CommandInfo& info : allCommands()) {
        auto* action = new QAction(toQString(info.text), this);
        action->setObjectName(toQString(info.objectName));
        action->setData(static_cast<int>(info.id));
        action->setToolTip(toQString(info.toolTip));
        action->setStatusTip(toQString(info.statusTip));
        action->setCheckable(info.checkable);
        if (!info.icon.empty()) {
            action->setIcon(svgIcon(toQString(info.icon)));
        }
        actions_[info.id] = action;
    }
    action(CommandId::HelpContents)->setShortcut(QKeySequence::HelpContents);

    connect(action(CommandId::Exit), &QAction::triggered, this, &QWidget::close);
    connect(action(CommandId::CurrentSettings), &QAction::triggered, this,
            &CMainFrame::showCurrentSettings);
    connect(action(CommandId::WebSite), &QAction::triggered, this, &CMainFrame::openWebSite);
    connect(action(CommandId::OpenDataFolder), &QAction::triggered, this,
            &CMainFrame::openDataFolder);
    connect(action(CommandId::About), &QAction::triggered, this, &CMainFrame::showAbout);
    connect(action(CommandId::HelpContents), &QAction::triggered, this,
            &CMainFrame::showHelpContents);
    connect(action(CommandId::HelpFind), &QAction::triggered, this, &CMainFrame::showHelpFind);
}

void CMainFrame::createMenus() {
    for (const MenuInfo& menuInfo : mainMenu()) {
        QMenu* menu = menuBar()->addMenu(toQString(menuInfo.title));
        for (const CommandId id : menuInfo.items) {
            if (id == separator) {
                menu->addSeparator();
            } else {
                menu->addAction(action(id));
            }
        }
    }
}

void CMainFrame::createToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setAllowedAreas(Qt::TopToolBarArea);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(24, 24));
    for (const CommandId id : toolbarLayout()) {
        if (id == separator) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(action(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);

    QAction* toggle = action(CommandId::Toolbar);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, toolBar_, &QWidget::setVisible);
    connect(toggle, &QAction::toggled, this, &CMainFrame::keepFormLayout);
    connect(toolBar_, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    // Between fly-by tips the message pane shows the idle text, as a frame window does.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) {
            bar->showMessage(QStringLiteral("Ready"));
        }
    });
    bar->showMessage(QStringLiteral("Ready"));

    QAction* toggle = action(CommandId::StatusBar);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
    connect(toggle, &QAction::toggled, this, &CMainFrame::keepFormLayout);
}

void CMainFrame::setFormWidget(QWidget* form) {
    delete formArea_->takeWidget();
    formArea_->setWidget(form);
    keepFormLayout();
}

void CMainFrame::keepFormLayout() {
    QWidget* form = formArea_->widget();
    if (form == nullptr) {
        return;
    }
    // The room the form has in the window of the fixed size, with the bars shown now.
    layout()->activate();
    const QSize normal = fixedSize - (size() - formArea_->size());
    // The form keeps that size in a smaller window and scrolls, so it looks the same on every
    // screen; where its layout would like more, it is squeezed to that room as it always was.
    form->setMinimumSize(normal);
}

QWidget* CMainFrame::formWidget() const {
    return formArea_->widget();
}

void CMainFrame::setCurrentSettingsSource(SettingsSource source) {
    settingsSource_ = std::move(source);
}

void CMainFrame::setCaptionPort(std::optional<std::string> port) {
    captionPort_ = std::move(port);
    updateCaption();
}

void CMainFrame::followGasRangeAndPort(bool fineGas, const QString& port) {
    captionPort_ = port.toStdString();
    app_.setTitle(QString::fromStdString(titleForGasRange(fineGas)));
    updateCaption();
}

void CMainFrame::setUrlOpener(UrlOpener opener) {
    urlOpener_ = std::move(opener);
}

void CMainFrame::updateCaption() {
    const std::string title = app_.titleUtf8();
    setWindowTitle(
        QString::fromStdString(captionPort_ ? mainWindowCaption(title, *captionPort_) : title));
    if (helpWindow_ != nullptr) {
        helpWindow_->setAppTitle(app_.title());
    }
}

void CMainFrame::centreOnScreen() {
    const QScreen* current = screen();
    if (current == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(current->availableGeometry().center());
    move(frame.topLeft());
}

void CMainFrame::fitInto(const QRect& available, const QMargins& frame) {
    // The side borders are a pixel or two (none visible on Windows 10 and 11) and may hang off
    // the screen; the title bar and the bottom edge may not.
    const QSize room(available.width(), available.height() - frame.top() - frame.bottom());
    QSize size = fixedSize.boundedTo(room).expandedTo(QSize(1, 1));
    if (size.height() < fixedSize.height()) {
        // The scroll bar comes beside the form, not over it.
        const int bar = formArea_->verticalScrollBar()->sizeHint().width();
        size.setWidth(std::min(room.width(), fixedSize.width() + bar));
    }
    if (size == minimumSize() && size == maximumSize()) {
        return;
    }
    setFixedSize(size);
    keepFormLayout();
    // A window shrunk where it stands keeps its title bar and its bottom on the screen; one the
    // person moved partly off the screen is otherwise left where it is.
    const QRect outer(frameGeometry().topLeft(), size.grownBy(frame));
    QPoint corner = outer.topLeft();
    corner.setX(std::clamp(corner.x(), available.left(),
                           std::max(available.left(), available.right() + 1 - outer.width())));
    corner.setY(std::clamp(corner.y(), available.top(),
                           std::max(available.top(), available.bottom() + 1 - outer.height())));
    if (isVisible() && corner != outer.topLeft()) {
        move(corner);
    }
}

void CMainFrame::fitToScreen() {
    const QScreen* current = screen();
    if (current == nullptr) {
        return;
    }
    // The frame is known once the window system has made the window (at once on Windows, when
    // the window manager frames it on X11); none is assumed before.
    const QWindow* window = windowHandle();
    fitInto(current->availableGeometry(), window != nullptr ? window->frameMargins() : QMargins());
}

void CMainFrame::followScreen(QScreen* screen) {
    disconnect(screenArea_);
    if (screen != nullptr) {
        // The taskbar moved or grew, or the scaling changed.
        screenArea_ =
            connect(screen, &QScreen::availableGeometryChanged, this, &CMainFrame::fitToScreen);
    }
    fitToScreen();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    keepFormLayout();
    if (QWindow* window = windowHandle(); window != nullptr && !followingScreen_) {
        followingScreen_ = true;
        connect(window, &QWindow::screenChanged, this, &CMainFrame::followScreen);
        followScreen(window->screen());
    } else {
        fitToScreen();
    }
}

CHelpWindow* CMainFrame::helpWindow() {
    if (helpWindow_ == nullptr) {
        helpWindow_ = new CHelpWindow(this);
        helpWindow_->setAppTitle(app_.title());
    }
    return helpWindow_;
}

void CMainFrame::showCurrentSettings() {
    messageBoxes_.show(this, currentSettingsMessage(app_.titleUtf8(), settingsSource_()));
}

void CMainFrame::openWebSite() {
    if (!urlOpener_(QUrl(toQString(webSiteAddress)))) {
        messageBoxes_.show(this, {app_.titleUtf8(), std::string(webBrowserError),
                                  MessageIcon::Exclamation, MessageButtons::Ok});
    }
}

// People cannot find their logs in a hidden or shared folder; where no file manager answers,
// the message at least says where the folder is.
void CMainFrame::openDataFolder() {
    const QString folder = QString::fromStdString(app_.programDir());
    if (!urlOpener_(QUrl::fromLocalFile(folder))) {
        messageBoxes_.show(this, {app_.titleUtf8(), dataFolderText(app_.programDir()),
                                  MessageIcon::Information, MessageButtons::Ok});
    }
}

void CMainFrame::showAbout() {
    CAboutDlg about(app_.title(), this);
    about.exec();
}

void CMainFrame::showHelpContents() {
    helpWindow()->showContents();
}

void CMainFrame::showHelpFind() {
    helpWindow()->showSearch();
}

QMenu* CMainFrame::createPopupMenu() {
    return nullptr;
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Some window managers maximise on a title-bar double-click whatever the size hints say.
    constexpr Qt::WindowStates enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & enlarged) != 0) {
        setWindowState(windowState() & ~enlarged);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        emit closed();
    }
}

} // namespace kqvdr
