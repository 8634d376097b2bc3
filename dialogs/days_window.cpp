#include "days_window.h"

#include "layout.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>

using platform::fromTwips;

namespace {

// The week starts on Saturday.
constexpr PhraseRow kDays[] = {
    {"Saturday", "Shambeh", nullptr},         {"Sunday", "Yaakshambeh", nullptr},
    {"Monday", "Doshambeh", nullptr},         {"Tuesday", "Sayshambeh", nullptr},
    {"Wednesday", "Charshambeh", nullptr},    {"Thursday", "Panchshambeh", nullptr},
    {"Friday", "Jumah", nullptr},
};

} // namespace

Form3::Form3()
    : PhraseBookWindow(kDays, controls::Border::Dialog, "Form3", QStringLiteral("Days"),
                       QStringLiteral("days_window.ico"), platform::sizeFromTwips(6585, 2430))
{
    createControls();
    setTabOrderAndFocus();
    Form_Load();
}

void Form3::createControls()
{
    createFrame(fromTwips(240, 120, 6015, 2055));
    createCommand1(QStringLiteral("car.ico"), fromTwips(4440, 1320, 1335, 615));
    createText1(fromTwips(3000, 600, 2175, 405));
    createCombo1(fromTwips(120, 600, 2055, 315));
    createLabels(fromTwips(120, 240, 1215, 375), fromTwips(3000, 240, 1335, 375));
}

void Form3::setTabOrderAndFocus()
{
    setTabOrder(Combo1, Text1);
    setTabOrder(Text1, Command1);
    Combo1->setFocus();
}

void Form3::Form_Load()
{
    insertRows(0, rowCount() - 1);
}
