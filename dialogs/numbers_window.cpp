#include "numbers_window.h"

#include "layout.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using platform::fromTwips;

namespace {

// "Zero" comes last, after "Ten".
constexpr PhraseRow kNumbers[] = {
    {"One", "Yaak", "1"},     {"Two", "Do", "2"},       {"Three", "Say", "3"},   {"Four", "Chaar", "4"},
    {"Five", "Panch", "5"},   {"Six", "Shash", "6"},    {"Seven", "Haaft", "7"}, {"Eight", "Hasht", "8"},
    {"Nine", "Nooh", "9"},    {"Ten", "Daha", "10"},    {"Zero", "Sefar", "0"},
};
constexpr int kTen = 9;
constexpr int kZero = 10;

} // namespace

Form2::Form2()
    : PhraseBookWindow(kNumbers, controls::Border::Dialog, "Form2", QStringLiteral("Numbers"),
                       QStringLiteral("numbers_window.ico"), platform::sizeFromTwips(6030, 3390))
{
    createControls();
    setTabOrderAndFocus();
    Form_Load();
}

void Form2::createControls()
{
    createFrame(fromTwips(120, 120, 5775, 3015));
    createText1(fromTwips(3360, 720, 2055, 375));
    createCombo1(fromTwips(120, 720, 2175, 315));
    createCommand1(QStringLiteral("walk.ico"), fromTwips(2400, 2280, 1455, 615));
    createLabels(fromTwips(240, 360, 855, 255), fromTwips(3480, 360, 975, 255));

    Label3 = controls::label(Frame1, "Label3", QStringLiteral("1"), fromTwips(2160, 1200, 1335, 975),
                             QColor(0, 255, 0));
    Label3->setFont(controls::namedFont(QStringLiteral("Arial"), 36, true));
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void Form2::setTabOrderAndFocus()
{
    setTabOrder(Command1, Combo1);
    setTabOrder(Combo1, Text1);
    Command1->setFocus();
}

void Form2::Form_Load()
{
    insertRows(0, kTen);
    Label3->setText(QString());
    insertRows(kZero, kZero);
}

void Form2::showRow(const PhraseRow &row)
{
    PhraseBookWindow::showRow(row);
    Label3->setText(QString::fromUtf8(row.numeral));
}
