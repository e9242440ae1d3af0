// The main frame: menu, toolbar, the main view, the recent-file list and
// the exit question.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

#include "app/RecentFiles.h"

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;

class QUrl;

namespace ks340 {

class ChangeNotice;
class FileActions;
class UndoController;
class MainView;

inline constexpr const char* kApplicationTitle = "Vandrell KS340/390 Series PC Programmer";
inline constexpr const char* kHelpFileName = "KS340_390.chm";

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    MainView* view() const { return view_; }
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* programMenu() const { return programMenu_; }
    QMenu* portMenu() const { return portMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }
    RecentFileList& recentFiles() { return recent_; }

    // Asks "Do you want to exit program?" when the window is to close
    // (with a Save button when there are unsaved changes).
    void setConfirmExit(bool confirm) { confirmExit_ = confirm; }
    // "fleet.ks3* - Vandrell KS340/390 Series PC Programmer": the file's
    // name ("Untitled" before the first save), '*' while changes are unsaved.
    QString titleText() const;
    ChangeNotice* changeNotice() const { return notice_; }
    QAction* readAction() const { return readAction_; }
    QAction* writeAction() const { return writeAction_; }

    // Opens a recent-file entry (index 0..3).
    void openRecentFile(int index);
    // Rebuilds the Port menu (COM 1..COM 8, the ports present, the
    // simulated radio) with the check mark on the current choice.
    void rebuildPortMenu();
    // Help Topics: opens the help file of the working directory, else the
    // installed user guide; false when there is neither.
    bool openHelp();
    // How Help Topics opens a file (the desktop's handler unless replaced).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { urlOpener_ = std::move(opener); }
    // The File menu's CSV, radio image and transfer option commands.
    FileActions* extraActions() const { return extra_; }
    UndoController* undoController() const { return undo_; }
    // Writes an image file to the radio as it is; false when the file cannot be read.
    bool writeImageFileToRadio(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addWriteImageAction();
    void buildMenus();
    void buildToolBar();
    void rebuildRecentFiles();
    void showAbout();
    void fitToScreen();
    void updateTitle();

    MainView* view_ = nullptr;
    FileActions* extra_ = nullptr;
    UndoController* undo_ = nullptr;
    ChangeNotice* notice_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* writeAction_ = nullptr;
    QActionGroup* portGroup_ = nullptr;
    std::function<bool(const QUrl&)> urlOpener_;
    RecentFileList recent_;
    bool confirmExit_ = true;

    QMenu* fileMenu_ = nullptr;
    QMenu* programMenu_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* exitAction_ = nullptr;
    std::array<QAction*, kRecentFileCount> recentActions_{};
    QAction* recentPlaceholder_ = nullptr;
};

}  // namespace ks340
