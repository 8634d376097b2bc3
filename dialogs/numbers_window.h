#pragma once

#include "phrase_book_window.h"

class QLabel;

// Form2, the Numbers window: the numbers one to ten and zero. Choosing a
// number word shows its Balouchi word in Text1 and its numeral in large green
// figures in Label3, which is blank until then. Command1 closes the window,
// and it opens with the focus on Command1.
class Form2 final : public PhraseBookWindow {
    Q_OBJECT
public:
    Form2();

protected:
    void showRow(const PhraseRow &row) override;

private:
    void createControls();
    void setTabOrderAndFocus();
    void Form_Load();

    QLabel *Label3 = nullptr;
};
