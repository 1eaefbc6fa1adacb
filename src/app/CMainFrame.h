#pragma once

#include "CommandId.h"
#include "CurrentSettings.h"

#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <map>
#include <optional>

class QAction;
class QScreen;
class QScrollArea;
class QToolBar;

namespace kqvdr {

class CHelpWindow;
class CKQVDR1000ControlApp;
class MessageBoxes;

// The fixed-size main window: menus, toolbar, status bar and the form in the middle. The
// commands of the control view are only exposed here; the view connects to action(id).
// On a screen too small for it (1366 x 768 at 125 %), the window takes the room there is and the
// form scrolls; on any other it looks exactly as laid out.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize fixedSize{800, 600};

    using UrlOpener = std::function<bool(const QUrl&)>;
    using SettingsSource = std::function<CurrentSettings()>;

    CMainFrame(CKQVDR1000ControlApp& app, MessageBoxes& messageBoxes, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Every command of the menus and the toolbar; never null for a listed CommandId.
    QAction* action(CommandId id) const;
    QToolBar* toolBar() const { return toolBar_; }

    // Replaces the placeholder (or the previous form) and takes ownership.
    void setFormWidget(QWidget* form);
    QWidget* formWidget() const;

    // The port number and device identification shown by View > Current Settings.
    void setCurrentSettingsSource(SettingsSource source);

    // With a port the caption reads "<title> (COM n)"; without one it is the title alone.
    // Either way it follows the application title.
    void setCaptionPort(std::optional<std::string> port);

    // What the control view reports through its captionChanged signal: sets the application
    // title for the gas-flow range and puts the port in the caption.
    void followGasRangeAndPort(bool fineGas, const QString& port);

    // For tests: how the web site and the data folder are opened (QDesktopServices::openUrl by
    // default).
    void setUrlOpener(UrlOpener opener);

    void centreOnScreen();
    // The window's size within `available` (screen coordinates, taskbar excluded), given the
    // window system's frame around it: the fixed size where that fits, else as much as fits,
    // title bar included.
    void fitInto(const QRect& available, const QMargins& frame);
    // The form's scroll area: it scrolls only when the window is smaller than the fixed size.
    QScrollArea* formArea() const { return formArea_; }

    CHelpWindow* helpWindow();

    // The commands handled here, callable directly as well as through their actions.
    void showCurrentSettings();
    void openWebSite();
    void openDataFolder();
    void showAbout();
    void showHelpContents();
    void showHelpFind();

    // No toolbar context menu: the toolbar is shown and hidden only through View > Toolbar.
    QMenu* createPopupMenu() override;

signals:
    // The window has closed for good (File > Exit or its close box).
    void closed();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void updateCaption();
    void fitToScreen();
    void keepFormLayout();
    void followScreen(QScreen* screen);

    CKQVDR1000ControlApp& app_;
    MessageBoxes& messageBoxes_;
    std::map<CommandId, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    CHelpWindow* helpWindow_ = nullptr;
    UrlOpener urlOpener_;
    SettingsSource settingsSource_;
    std::optional<std::string> captionPort_;
    QScrollArea* formArea_ = nullptr;
    QMetaObject::Connection screenArea_;
    bool followingScreen_ = false;
};

} // namespace kqvdr
