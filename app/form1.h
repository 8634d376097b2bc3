#pragma once

#include "image_list.h"

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

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
    void subExit_Click();

    platform::Platform &m_platform;
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
