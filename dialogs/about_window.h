#pragma once

#include <QDialog>

class QKeyEvent;
class QPushButton;

// frmAbout, the About window: the program's name, version line and
// description, a banner, the credits and a pointer to the read-me file. It
// opens at a stored place on the screen, not centred. cmdOK closes it, and
// Enter and Esc both press cmdOK.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void createSeparator();
    void placeOnScreen();
    void cmdOK_Click();

    QPushButton *cmdOK = nullptr;
};
