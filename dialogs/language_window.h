#pragma once

#include <QDialog>

class QKeyEvent;
class QPushButton;

// Dialog, the Language window: a heading and a paragraph about the Balouchi
// language and its people. OKButton closes it, and so does the close box;
// Esc does not, because the window has no cancel button.
class Dialog final : public QDialog {
    Q_OBJECT
public:
    Dialog();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void OKButton_Click();

    QPushButton *OKButton = nullptr;
};
