#pragma once

#include "image_list.h"
#include "secondary_windows.h"

#include <QMainWindow>

class MainStatusBar;
class PictureHolder;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;

namespace platform {
class Platform;
}

// Form1, the main window: the search box and the result box, the Search,
// Clear All and Exit buttons, the toolbar, the menus and the three-panel
// status bar. It lives from the start of the program to its end.
class Form1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(platform::Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    MainStatusBar *statusBarPanels() const { return StatusBar1; }
    const SecondaryWindows &secondaryWindows() const { return m_windows; }

    // The program's home page, opened by the toolbar's Home button.
    static const char *const kHomePage;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class SearchReporter;

    void createControls();
    void createToolbar();
    void createMenus();
    void setTabOrderAndAccess();

    void Form1_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Text1_KeyDown(int keyCode);
    void Text1_KeyPress(int keyAscii);
    void Toolbar1_ButtonClick(QAction *button);
    void Form_MouseUp(Qt::MouseButton button);
    void Form_QueryUnload();

    void subExit_Click();
    void subAdd_Click();
    void subNumbers_Click();
    void subTec_Click();
    void subDays_Click();
    void subLanguage_Click();
    void subHum_Click();
    void subReadMe_Click();
    void Home_Click();
    // The pop-up menu's items, each running its twin of the menu bar.
    void subNum_Click();
    void subTech_Click();
    void subDay_Click();
    void sunAds_Click();
    void subLan_Click();
    void subAbout_Click();

    platform::Platform &m_platform;
    SecondaryWindows m_windows;
    ImageList ImageList1;

    QToolBar *Toolbar1 = nullptr;
    MainStatusBar *StatusBar1 = nullptr;
    QToolButton *Command1 = nullptr;
    QToolButton *Command2 = nullptr;
    QToolButton *Command3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    PictureHolder *Image1 = nullptr;
    PictureHolder *Image2 = nullptr;
    PictureHolder *Image3 = nullptr;
    PictureHolder *Image4 = nullptr;
    QMenu *EditMenu = nullptr;
};
