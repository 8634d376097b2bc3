#pragma once

#include "phrase_book_window.h"

// Form3, the Days window: the seven days of the week, from Saturday.
// Choosing a day shows its Balouchi name in Text1; Command1 closes the window,
// and it opens with the focus on the list.
class Form3 final : public PhraseBookWindow {
    Q_OBJECT
public:
    Form3();

private:
    void createControls();
    void setTabOrderAndFocus();
    void Form_Load();
};
