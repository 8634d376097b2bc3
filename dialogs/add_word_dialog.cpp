#include "add_word_dialog.h"

#include "codepage.h"
#include "controls.h"
#include "layout.h"
#include "lookup.h"
#include "picture_label.h"
#include "pictures.h"
#include "platform.h"
#include "word_list_file.h"
#include "word_list_writer.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::fromTwips;
namespace codepage = dictionary::codepage;

namespace {

const QString kIcon = QStringLiteral("add.ico");

// The one place that words a write that did not happen for the user.
QString reasonFor(const dictionary::WriteError &error)
{
    using dictionary::WriteFailure;
    switch (error.failure) {
    case WriteFailure::InvalidEntry:
        return QStringLiteral("the word could not be found again once written.");
    case WriteFailure::Full:
        return QStringLiteral("the word list is full: it holds the most lines it can.");
    case WriteFailure::NoSpace:
        return QStringLiteral("the disk is full.");
    case WriteFailure::AccessDenied:
        return QStringLiteral("Parlanta is not allowed to change dicy.ini in its folder.");
    case WriteFailure::FolderMissing:
        return QStringLiteral("the folder of dicy.ini cannot be found.");
    case WriteFailure::NotAFile:
        return QStringLiteral("dicy.ini in the program's folder is not a file.");
    case WriteFailure::Busy:
        return QStringLiteral("another copy of Parlanta is saving a word. Please try again.");
    case WriteFailure::Other:
        break;
    }
    return error.detail.isEmpty() ? QStringLiteral("the word list could not be changed.")
                                  : QStringLiteral("the word list could not be changed (%1).").arg(error.detail);
}

QString reasonFor(dictionary::EntryProblem problem)
{
    switch (problem) {
    case dictionary::EntryProblem::KeyHasEquals:
        return QStringLiteral("An English word cannot contain \"=\".");
    case dictionary::EntryProblem::KeyStartsSection:
        return QStringLiteral("An English word cannot begin with \"[\".");
    case dictionary::EntryProblem::LineBreak:
        return QStringLiteral("A word cannot contain a line break.");
    case dictionary::EntryProblem::KeyTooLong:
        return QStringLiteral("The English word is too long.");
    }
    return {};
}

// Names the first character of `text` that the word list's code page cannot hold.
QString unwritableCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!codepage::encode(character))
            return QStringLiteral("The word list cannot hold the character \"%1\".").arg(character);
        i += length - 1;
    }
    return {};
}

} // namespace

// The dialog's way of hearing a lookup's outcome: a word that exists is
// refused with its stored value; a missing one may be added.
class frmAdd::AddWordReporter final : public dictionary::LookupReporter {
public:
    explicit AddWordReporter(frmAdd &dialog) : m_dialog(dialog) {}

    void emptyKey() override {}

    void found(const QByteArray &value) override
    {
        m_dialog.m_platform.messageBox(m_dialog.txtEngAdd->text()
                                           + QStringLiteral(" already exists in Parlanta, and it has a vlue of ")
                                           + codepage::decode(value) + QStringLiteral("."),
                                       platform::kTitle, platform::MessageStyle::Exclamation);
        m_dialog.blnNewWord = false;
        controls::setProgramText(*m_dialog.txtBalAdd, QString());
        controls::setProgramText(*m_dialog.txtEngAdd, QString());
        m_dialog.txtEngAdd->setFocus();
    }

    std::optional<QByteArray> notFound(const QByteArray &) override
    {
        m_dialog.blnNewWord = true;
        return std::nullopt;
    }

private:
    frmAdd &m_dialog;
};

frmAdd::frmAdd(platform::Platform &platform) : QWidget(nullptr, controls::windowFlags(controls::Border::Dialog)),
                                               m_platform(platform)
{
    controls::setUpWindow(*this, "frmAdd", QStringLiteral("Add to Parlanta"), kIcon,
                          platform::sizeFromTwips(5070, 2445));
    createControls();
    controls::centreOnScreen(*this);
    Form_Load();
}

void frmAdd::createControls()
{
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(fromTwips(3720, 840, 1183, 375));
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setGeometry(fromTwips(3720, 360, 1183, 375));
    for (QPushButton *button : {cmdAdd, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    txtBalAdd = new QLineEdit(this);
    txtBalAdd->setObjectName(QStringLiteral("txtBalAdd"));
    txtBalAdd->setGeometry(fromTwips(240, 1440, 3375, 375));
    txtEngAdd = new QLineEdit(this);
    txtEngAdd->setObjectName(QStringLiteral("txtEngAdd"));
    txtEngAdd->setGeometry(fromTwips(240, 480, 1935, 375));
    for (QLineEdit *box : {txtEngAdd, txtBalAdd})
        box->setMaxLength(controls::kTypedTextLimit);

    Image1 = new PictureLabel(this, "Image1", QSize(32, 32), fromTwips(4440, 1800, 480, 480));
    Image1->setPicture(pictures::icon(kIcon));

    Label2 = controls::label(this, "Label2", QStringLiteral("Balouchi"), fromTwips(240, 1080, 1095, 255));
    Label1 = controls::label(this, "Label1", QStringLiteral("English"), fromTwips(240, 120, 735, 255));
    Label1->setBuddy(txtEngAdd);
    Label2->setBuddy(txtBalAdd);
    txtEngAdd->setAccessibleName(Label1->text());
    txtBalAdd->setAccessibleName(Label2->text());

    setTabOrder(txtEngAdd, txtBalAdd);
    setTabOrder(txtBalAdd, cmdAdd);
    setTabOrder(cmdAdd, cmdCancel);
    txtEngAdd->setFocus();

    txtEngAdd->installEventFilter(this);
    txtBalAdd->installEventFilter(this);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAdd::cmdAdd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAdd::cmdCancel_Click);
}

void frmAdd::Form_Load()
{
    blnNewWord = false;
}

bool frmAdd::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == txtEngAdd || watched == txtBalAdd) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            cmdAdd_Click(); // the key still goes on to the box
    }
    return QWidget::eventFilter(watched, event);
}

void frmAdd::cmdAdd_Click()
{
    try {
        addWord();
    } catch (...) {
        // Whatever fails (a word list too big to hold in memory, say) ends
        // the operation; the program and the dialog go on as they were.
    }
}

void frmAdd::cmdCancel_Click()
{
    close();
}

void frmAdd::refuse(const QString &reason)
{
    m_platform.messageBox(reason, platform::kTitle, platform::MessageStyle::Exclamation);
}

void frmAdd::addWord()
{
    if (txtEngAdd->text().isEmpty()) {
        m_platform.beep();
        txtEngAdd->setFocus();
        return;
    }
    if (txtBalAdd->text().isEmpty()) {
        m_platform.beep();
        txtBalAdd->setFocus();
        return;
    }

    // A word that could not be found again, or would break the file, is
    // refused before the word list is even read.
    const std::optional<QByteArray> key = codepage::encode(txtEngAdd->text());
    if (!key)
        return refuse(unwritableCharacter(txtEngAdd->text()));
    const std::optional<QByteArray> balouchi = codepage::encode(txtBalAdd->text());
    if (!balouchi)
        return refuse(unwritableCharacter(txtBalAdd->text()));
    const QByteArray value = codepage::upper(*balouchi);
    if (const std::optional<dictionary::EntryProblem> problem = dictionary::checkEntry(*key, value))
        return refuse(reasonFor(*problem));

    // A word in either list is refused; a new one goes to the user's own.
    const platform::WordListPlaces places = m_platform.wordLists();
    AddWordReporter reporter(*this);
    try {
        dictionary::LookupEntry(dictionary::kSection, *key, QByteArrayLiteral("none"), places.readOrder(), reporter);
    } catch (const dictionary::LookupError &) {
        // A word list that cannot be read is not written to either.
    }
    if (!blnNewWord)
        return;

    strBalValue = value;
    const QString english = txtEngAdd->text();
    if (const std::optional<dictionary::WriteError> error =
            dictionary::addToOwnList(dictionary::kSection, *key, strBalValue, places)) {
        // The word was not added: the next Add looks it up again.
        blnNewWord = false;
        m_platform.messageBox(english + QStringLiteral(" could not be added to Parlanta: ") + reasonFor(*error),
                              platform::kTitle, platform::MessageStyle::Exclamation);
        return;
    }
    m_platform.messageBox(english + QStringLiteral(" was added successfuly in to Parlanta"), platform::kTitle,
                          platform::MessageStyle::Plain);
    close(); // deleted later, so a key handler that got here can still return through it
}
