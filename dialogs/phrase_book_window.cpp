#include "phrase_book_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>

PhraseBookWindow::PhraseBookWindow(std::span<const PhraseRow> table, controls::Border border, const char *name,
                                   const QString &caption, const QString &iconFile, const QSize &client)
    : QWidget(nullptr, controls::windowFlags(border)), m_table(table)
{
    controls::setUpWindow(*this, name, caption, iconFile, client);
    controls::centreOnScreen(*this);
}

void PhraseBookWindow::createFrame(const QRect &geometry)
{
    Frame1 = controls::frame(this, "Frame1", geometry);
}

void PhraseBookWindow::createText1(const QRect &geometry)
{
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(geometry);
    Text1->setMaxLength(controls::kTypedTextLimit);
}

void PhraseBookWindow::createCombo1(const QRect &geometry)
{
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(geometry);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // Qt would pick the item whose text is typed into the edit field, on Enter
    // or when the field loses the focus, and complete typed text to an item.
    // Here only a choice in the list counts, so neither may happen.
    Combo1->setCompleter(nullptr);
    disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    Combo1->setEditText(QStringLiteral("Choose"));
    // activated() comes from the user alone: a click in the list, or the arrow
    // keys and the wheel on the closed list; never from filling it.
    connect(Combo1, &QComboBox::activated, this, &PhraseBookWindow::Combo1_Click);
    Combo1->view()->installEventFilter(this);
}

bool PhraseBookWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Combo1->view() || event->type() != QEvent::KeyPress || m_keyInOpenList)
        return QWidget::eventFilter(watched, event);
    // A key that moves the selection in the open list chooses where it lands.
    // The list's current item follows the mouse as well, so the key is handed
    // to the list from here, and only a move it made counts.
    QAbstractItemView *list = Combo1->view();
    const int key = static_cast<QKeyEvent *>(event)->key();
    // Opened with nothing chosen, the list marks its first item current
    // without selecting it: a move starts from no item at all (Enter still
    // takes that first item).
    if (!list->selectionModel()->hasSelection() && key != Qt::Key_Return && key != Qt::Key_Enter)
        list->selectionModel()->clearCurrentIndex();
    const int before = list->currentIndex().row();
    {
        const QScopedValueRollback handing(m_keyInOpenList, true);
        QCoreApplication::sendEvent(watched, event);
    }
    const int after = list->currentIndex().row();
    if (after != before && after >= 0) {
        Combo1->setCurrentIndex(after);
        Combo1_Click();
    }
    return true;
}

void PhraseBookWindow::createLabels(const QRect &english, const QRect &balouchi)
{
    Label2 = controls::boldLabel(Frame1, "Label2", QStringLiteral("Balouchi"), balouchi, QColor(0, 0, 255));
    Label1 = controls::boldLabel(Frame1, "Label1", QStringLiteral("English"), english, QColor(255, 0, 0));
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Text1);
    Combo1->setAccessibleName(Label1->text());
    Text1->setAccessibleName(Label2->text());
}

void PhraseBookWindow::createCommand1(const QString &iconFile, const QRect &geometry)
{
    Command1 = controls::exitPictureButton(Frame1, "Command1", iconFile, geometry);
    connect(Command1, &QToolButton::clicked, this, &PhraseBookWindow::Command1_Click);
}

void PhraseBookWindow::insertRows(int first, int last)
{
    // Qt chooses the first item put into an empty list; this list starts out
    // with nothing chosen and its edit field as it was.
    const QString shown = Combo1->currentText();
    const bool wasEmpty = Combo1->count() == 0;
    for (int position = first; position <= last; ++position)
        Combo1->insertItem(position, QString::fromUtf8(m_table[position].english));
    if (wasEmpty) {
        Combo1->setCurrentIndex(-1);
        Combo1->setEditText(shown);
    }
}

void PhraseBookWindow::showRow(const PhraseRow &row)
{
    controls::setProgramText(*Text1, QString::fromUtf8(row.balouchi));
}

void PhraseBookWindow::Combo1_Click()
{
    // The list index is a 16-bit value; only a position in the table counts.
    const qint16 index = static_cast<qint16>(Combo1->currentIndex());
    if (index >= 0 && index < rowCount())
        showRow(m_table[index]);
}

void PhraseBookWindow::Command1_Click()
{
    close();
}
