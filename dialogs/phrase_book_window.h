#pragma once

#include "controls.h"

#include <QWidget>

#include <span>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

// One row of a phrase book: the English item the list shows, its Balouchi
// word, and for the numbers the numeral (nullptr elsewhere).
struct PhraseRow {
    const char *english;
    const char *balouchi;
    const char *numeral;
};

// What the Numbers, Days and Technology windows have in common: a list of
// English items filled from a fixed table at load, a text box showing the
// Balouchi word of the chosen item, and an exit button. A choice (a click in
// the list, or a key that moves the selection, in the open list or on the
// closed one) is resolved by its position alone; the text in the list's edit
// field is never looked up, and the mouse passing over the open list chooses
// nothing.
class PhraseBookWindow : public QWidget {
    Q_OBJECT
protected:
    // Sets up the fixed window, centred on the screen. `table` must outlive
    // the window; the windows pass static tables.
    PhraseBookWindow(std::span<const PhraseRow> table, controls::Border border, const char *name,
                     const QString &caption, const QString &iconFile, const QSize &client);

    // Frame1 holds every other control; the windows create them in their own
    // order, which decides which lies on top.
    void createFrame(const QRect &geometry);
    void createText1(const QRect &geometry);
    void createCombo1(const QRect &geometry);
    // Label1 "English" in red and Label2 "Balouchi" in blue.
    void createLabels(const QRect &english, const QRect &balouchi);
    // Command1, the picture button that closes the window.
    void createCommand1(const QString &iconFile, const QRect &geometry);

    // Puts the table's rows first..last into the list at their own positions
    // and leaves nothing chosen.
    void insertRows(int first, int last);
    int rowCount() const { return static_cast<int>(m_table.size()); }

    // Shows the chosen row; a window with more outputs adds to it.
    virtual void showRow(const PhraseRow &row);

    void Combo1_Click();
    void Command1_Click();

    bool eventFilter(QObject *watched, QEvent *event) override;

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QToolButton *Command1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;

private:
    std::span<const PhraseRow> m_table;
    bool m_keyInOpenList = false;
};
