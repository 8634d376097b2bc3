#pragma once

#include "phrase_book_window.h"

class QPushButton;

// frmTech, the Technology window: five names of everyday devices. Choosing
// one shows its Balouchi term in Text1; cmdExit ("&Exit", also Alt+E) closes
// the window. Unlike the other phrase books it has a task-bar entry; it opens
// with the focus on the list.
class frmTech final : public PhraseBookWindow {
    Q_OBJECT
public:
    frmTech();

private:
    void createControls();
    void setTabOrderAndFocus();
    void Form_Load();
    void cmdExit_Click();

    QPushButton *cmdExit = nullptr;
};
