#pragma once

#include <QByteArray>
#include <QWidget>

class PictureLabel;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class Platform;
}

// frmAdd, the Add-word dialog: the user types an English word and its
// Balouchi word, and Add writes the pair into the word list unless the list
// holds the English word already. A successful add closes the dialog; a
// refusal or a failed write leaves it open. Neither button is a default or
// a cancel button: Enter in either box runs Add, Esc does nothing.
class frmAdd final : public QWidget {
    Q_OBJECT
public:
    explicit frmAdd(platform::Platform &platform);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class AddWordReporter;

    void createControls();
    void Form_Load();
    void cmdAdd_Click();
    void cmdCancel_Click();
    void addWord();
    void refuse(const QString &reason);

    platform::Platform &m_platform;
    bool blnNewWord = false;
    QByteArray strBalValue;

    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdAdd = nullptr;
    QLineEdit *txtBalAdd = nullptr;
    QLineEdit *txtEngAdd = nullptr;
    PictureLabel *Image1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
};
