#include "codepage.h"
#include "days_window.h"
#include "lookup.h"
#include "numbers_window.h"
#include "technology_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace dictionary;

namespace {

// The word list that ships beside the program, and its entries, one a line after the header.
QByteArray shipped()
{
    QFile file(QStringLiteral(STARTER_WORD_LIST));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QList<QByteArray> entryLines()
{
    return shipped().trimmed().split('\n').mid(1);
}

} // namespace

class TestStarterWordList : public QObject {
    Q_OBJECT
private slots:
    void wholeList()
    {
        // A key it lacks scans every line: one without "=", or a list past the
        // line limit, would make this throw.
        ScanOutcome absent = ScanOutcome::Found;
        QVERIFY_THROWS_NO_EXCEPTION(absent = scanEntries(shipped(), "lexon", "\x01 absent").outcome);
        QCOMPARE(int(absent), int(ScanOutcome::NotFound));
        QSet<QByteArray> keys;
        for (const QByteArray &line : entryLines())
            keys.insert(codepage::upper(line.left(line.indexOf('='))));
        QVERIFY(keys.size() >= 700);
        QCOMPARE(keys.size(), entryLines().size()); // no key hides another
    }

    // Every entry, and the phrase books' words as their windows show them,
    // with words a user will look for first.
    void searches_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("balouchi");
        for (const QByteArray &line : entryLines()) {
            const QString entry = codepage::decode(line.trimmed());
            QTest::newRow(qUtf8Printable(entry)) << entry.section('=', 0, 0) << entry.section('=', 1);
        }
        for (const auto &window : {std::unique_ptr<QWidget>(new Form2), std::unique_ptr<QWidget>(new Form3),
                                   std::unique_ptr<QWidget>(new frmTech)}) {
            auto *list = window->findChild<QComboBox *>(QStringLiteral("Combo1"));
            for (int i = 0; i < list->count(); ++i) {
                list->setCurrentIndex(i);
                emit list->activated(i);
                QTest::addRow("window: %s", qUtf8Printable(list->itemText(i)))
                    << list->itemText(i) << window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
            }
        }
        QTest::newRow("country") << "Germany" << "Jarmani";
        QTest::newRow("language") << "arabic" << "Arabi";
        QTest::newRow("month") << "MARCH" << QString::fromUtf8("Márch");
        QTest::newRow("date word") << "Tomorrow" << QString::fromUtf8("bándá");
        QTest::newRow("currency") << "pakistani rupee" << QString::fromUtf8("Pákestáni Rupi");
    }
    void searches()
    {
        QFETCH(QString, english);
        QFETCH(QString, balouchi);
        const ScanResult result = scanEntries(shipped(), "lexon", *codepage::encode(english));
        QCOMPARE(int(result.outcome), int(ScanOutcome::Found));
        // Stored upper-cased, as the Add-word dialog stores a word.
        QCOMPARE(result.value, codepage::upper(*codepage::encode(balouchi)));
    }
};

QTEST_MAIN(TestStarterWordList)
#include "test_starter_word_list.moc"
