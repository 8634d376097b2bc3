#include "form1.h"

#include "codepage.h"
#include "controls.h"
#include "layout.h"
#include "lookup.h"
#include "picture_holder.h"
#include "pictures.h"
#include "platform.h"
#include "status_bar.h"
#include "word_list_file.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <limits>

using platform::fromTwips;
using Panel = MainStatusBar::Panel;

namespace {

constexpr int kClientWidthTwips = 7305;
constexpr int kClientHeightTwips = 4650;
constexpr int kToolbarHeightTwips = 600;
const QByteArray kDefaultValue = QByteArrayLiteral("none");
const QString kStartText = QStringLiteral("Type your search");

struct ToolbarButton {
    const char *key;     // empty for a separator
    const char *toolTip;
    int image;           // index into the image list, from 1
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"Exit", "Exit", 1},
    {"", "", 0},
    {"Add", "Add to Parlanta", 2},
    {"", "", 0},
    {"Numbers", "Numbers", 3},
    {"Days", "Days", 4},
    {"Tech", "Technology", 8},
    {"", "", 0},
    {"Language", "Language", 5},
    {"About", "About Parlanta", 11},
    {"Readme", "Read me", 13},
    {"", "", 0},
    {"Home", "To Parlanta's home", 7},
    {"", "", 0},
};

QToolButton *pictureButton(QWidget *parent, const char *name, const QString &caption, const QIcon &picture,
                           int iconSize, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(picture);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(geometry);
    return button;
}

} // namespace

// The main window's way of hearing a lookup's outcome: the empty-search
// message box, or the status-bar texts and pictures.
class Form1::SearchReporter final : public dictionary::LookupReporter {
public:
    SearchReporter(Form1 &window, const QByteArray &key) : m_window(window), m_key(key) {}

    void emptyKey() override
    {
        m_window.m_platform.messageBox(
            QStringLiteral("No text was entered,\r\nplease enter a word in the search box."), platform::kTitle,
            platform::MessageStyle::Exclamation);
        m_window.Text1->setFocus();
    }

    void found(const QByteArray &) override
    {
        MainStatusBar &bar = *m_window.StatusBar1;
        const QString word = dictionary::codepage::decode(dictionary::codepage::upper(m_key));
        bar.setPanelText(Panel::First, QStringLiteral("Search for ") + word + QStringLiteral("..."));
        bar.setPanelText(Panel::Second, QStringLiteral("Found"));
        bar.setPanelPicture(Panel::Second, m_window.Image1->picture());
        bar.setPanelText(Panel::Third, QString());
        bar.setPanelPicture(Panel::Third, m_window.Image3->picture());
    }

    std::optional<QByteArray> notFound(const QByteArray &defaultValue) override
    {
        MainStatusBar &bar = *m_window.StatusBar1;
        bar.setPanelPicture(Panel::Second, m_window.Image2->picture());
        bar.setPanelText(Panel::Second, QStringLiteral("Not found"));
        bar.setPanelText(Panel::Third, QStringLiteral("Click Add to add it"));
        bar.setPanelPicture(Panel::Third, m_window.Image4->picture());
        return defaultValue;
    }

private:
    Form1 &m_window;
    QByteArray m_key;
};

Form1::Form1(platform::Platform &platform, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint),
      m_platform(platform), m_windows(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Parlanta"));
    setWindowIcon(pictures::icon(QStringLiteral("main.ico")));
    setFont(platform::defaultFont());
    // The pop-up menu is shown on the right button's release (mouseReleaseEvent).
    setContextMenuPolicy(Qt::PreventContextMenu);
    controls::pressFocusedButtonOnEnter(*this);

    createToolbar();
    createMenus();
    createControls();
    setTabOrderAndAccess();

    // The client area is fixed; the menu bar comes on top of it.
    const QSize client = platform::sizeFromTwips(kClientWidthTwips, kClientHeightTwips);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form1_Load();
}

Form1::~Form1() = default;

void Form1::createToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setFixedHeight(platform::twipsToPixels(kToolbarHeightTwips));
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->toggleViewAction()->setEnabled(false);
    for (const ToolbarButton &entry : kToolbarButtons) {
        const QString key = QLatin1String(entry.key);
        if (key.isEmpty()) {
            Toolbar1->addSeparator();
            continue;
        }
        const QString toolTip = QLatin1String(entry.toolTip);
        QAction *button = Toolbar1->addAction(ImageList1.image(entry.image), toolTip);
        button->setObjectName(QStringLiteral("Toolbar1_") + key);
        button->setData(key);
        button->setToolTip(toolTip);
        if (QWidget *widget = Toolbar1->widgetForAction(button)) {
            widget->setFixedSize(39, 38);
            widget->setAccessibleName(toolTip);
        }
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this, &Form1::Toolbar1_ButtonClick);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    StatusBar1 = new MainStatusBar(this);
    setStatusBar(StatusBar1);
}

void Form1::createMenus()
{
    const auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    using Handler = void (Form1::*)();
    const auto addItem = [this](QMenu *menu, const char *name, const QString &caption, Handler handler) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, handler);
    };
    const auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu *mnufile = addMenu("mnufile", QStringLiteral("&File"));
    addItem(mnufile, "subExit", QStringLiteral("E&xit"), &Form1::subExit_Click);

    QMenu *mnuEdit = addMenu("mnuEdit", QStringLiteral("&Edit"));
    addItem(mnuEdit, "subAdd", QStringLiteral("&Add to Parlanta..."), &Form1::subAdd_Click);

    QMenu *mnuView = addMenu("mnuView", QStringLiteral("&View"));
    addItem(mnuView, "subNumbers", QStringLiteral("&Numbers..."), &Form1::subNumbers_Click);
    addItem(mnuView, "subTec", QStringLiteral("&Technology..."), &Form1::subTec_Click);
    addItem(mnuView, "subDays", QStringLiteral("&Days..."), &Form1::subDays_Click);

    QMenu *mnuHelp = addMenu("mnuHelp", QStringLiteral("&Help"));
    addItem(mnuHelp, "subLanguage", QStringLiteral("&Language..."), &Form1::subLanguage_Click);
    addItem(mnuHelp, "subHum", QStringLiteral("&About Parlanta..."), &Form1::subHum_Click);
    addSeparator(mnuHelp, "ssep");
    addItem(mnuHelp, "subReadMe", QStringLiteral("Read &Me..."), &Form1::subReadMe_Click);

    // The pop-up menu is never part of the menu bar.
    EditMenu = new QMenu(QStringLiteral("&Pop up Menu"), this);
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    addItem(EditMenu, "subNum", QStringLiteral("&Numbers..."), &Form1::subNum_Click);
    addItem(EditMenu, "subTech", QStringLiteral("&Technology.."), &Form1::subTech_Click);
    addItem(EditMenu, "subDay", QStringLiteral("&Days..."), &Form1::subDay_Click);
    addSeparator(EditMenu, "seprator");
    addItem(EditMenu, "sunAds", QStringLiteral("&Add to Parlanta... "), &Form1::sunAds_Click);
    addSeparator(EditMenu, "separtor1");
    addItem(EditMenu, "subLan", QStringLiteral("&Language..."), &Form1::subLan_Click);
    addItem(EditMenu, "subAbout", QStringLiteral("&About Parlanta..."), &Form1::subAbout_Click);
}

void Form1::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    // Positions are given from the top of the client area, which the toolbar
    // shares with the controls.
    const auto place = [](int left, int top, int width, int height) {
        return fromTwips(left, top - kToolbarHeightTwips, width, height);
    };

    Command3 = pictureButton(client, "Command3", QString(), pictures::icon(QStringLiteral("exit.ico")), 32,
                             place(5520, 3480, 1215, 615));
    Command3->setToolTip(QStringLiteral("Exit"));
    Command2 = pictureButton(client, "Command2", QStringLiteral("Clear &All"),
                             pictures::bitmap(QStringLiteral("clear.bmp")), 16,
                             place(480, 3480, 1215, 615));
    Command1 = pictureButton(client, "Command1", QStringLiteral("&Search"),
                             pictures::bitmap(QStringLiteral("search.bmp")), 16,
                             place(3000, 3480, 1215, 615));

    Text2 = new QLineEdit(client);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(place(3120, 1200, 3975, 375));
    Text2->setReadOnly(true); // the program writes it; the user may select and copy
    Text2->setMaxLength(std::numeric_limits<int>::max()); // a value of any length shows whole

    Text1 = new QLineEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(place(360, 1200, 2295, 375));
    Text1->setMaxLength(controls::kTypedTextLimit);
    Text1->installEventFilter(this);

    Image4 = new PictureHolder(pictures::icon(QStringLiteral("add.ico")), client);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(place(3840, 2040, 480, 480));
    Image3 = new PictureHolder(QIcon(), client);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(place(1440, 2520, 735, 495));

    Label2 = new QLabel(QStringLiteral("Balouchi"), client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(place(3120, 840, 1215, 255));
    Label1 = new QLabel(QStringLiteral("Search for"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(place(360, 840, 1455, 255));

    Image2 = new PictureHolder(pictures::icon(QStringLiteral("notfound.ico")), client);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(place(3000, 2280, 480, 480));
    Image1 = new PictureHolder(pictures::icon(QStringLiteral("found.ico")), client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(place(3000, 2280, 480, 480));

    // Every control keeps its own mouse releases, also those it has no use
    // for (a button ignores the right one): only the window's bare surface
    // offers the pop-up menu.
    QWidgetList ownReleases = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    ownReleases << Toolbar1 << StatusBar1;
    for (QWidget *control : ownReleases)
        control->setAttribute(Qt::WA_NoMousePropagation);

    connect(Command1, &QToolButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QToolButton::clicked, this, &Form1::Command3_Click);
}

void Form1::setTabOrderAndAccess()
{
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Text1->setAccessibleName(Label1->text());
    Text2->setAccessibleName(Label2->text());
    Command1->setAccessibleName(QStringLiteral("Search"));
    Command2->setAccessibleName(QStringLiteral("Clear All"));
    Command3->setAccessibleName(Command3->toolTip());
    Text1->setFocus();
}

void Form1::Form1_Load()
{
    Image1->hide();
    Image2->hide();
    Image3->hide();
    Image4->hide();
    StatusBar1->setPanelText(Panel::First, kStartText);
    StatusBar1->setPanelText(Panel::Second, QString());
    StatusBar1->setPanelPicture(Panel::Second, Image3->picture());
    StatusBar1->setPanelText(Panel::Third, QString());
}

void Form1::Command1_Click()
{
    const QByteArray key = dictionary::codepage::encodeLossy(Text1->text());
    SearchReporter reporter(*this, key);
    try {
        const std::optional<QByteArray> result = dictionary::LookupEntry(
            dictionary::kSection, key, kDefaultValue, m_platform.wordLists().readOrder(), reporter);
        controls::setProgramText(
            *Text2, result ? dictionary::codepage::decode(dictionary::codepage::upper(*result)) : QString());
    } catch (...) {
        // A search that fails, for whatever reason (a word list that cannot
        // be read, or too big to hold in memory), leaves the window as it was.
    }
}

void Form1::Command2_Click()
{
    controls::setProgramText(*Text1, QString());
    controls::setProgramText(*Text2, QString());
    StatusBar1->setPanelText(Panel::First, kStartText);
    StatusBar1->setPanelText(Panel::Second, QString());
    StatusBar1->setPanelText(Panel::Third, QString());
    StatusBar1->setPanelPicture(Panel::Second, Image3->picture());
    StatusBar1->setPanelPicture(Panel::First, Image3->picture());
    StatusBar1->setPanelPicture(Panel::Third, Image3->picture());
    Text1->setFocus();
}

void Form1::Command3_Click()
{
    m_platform.endProgram();
}

void Form1::Text1_KeyDown(int keyCode)
{
    if (keyCode == Qt::Key_Left)
        controls::setProgramText(*Text1, QString());
}

void Form1::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == '\r')
        Command1_Click();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Left)
            Text1_KeyDown(Qt::Key_Left);
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            Text1_KeyPress('\r');
    }
    return QMainWindow::eventFilter(watched, event); // every key goes on to the box
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // Search is the window's default button: Enter where no button has the
    // focus presses it (a focused button has taken its own Enter). The search
    // box has run its own search already, and one Enter runs one search.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() != Text1) {
        Command1->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
