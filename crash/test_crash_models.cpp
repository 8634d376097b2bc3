// The replay's own tests: the strace reading, and each model's verdict on
// the classic orders of calls, right and wrong.

#include "models.h"
#include "seam_record.h"
#include "strace_record.h"

#include <QTest>

using namespace crash;

namespace {

const QByteArray kOld = QByteArray(5000, 'o');
const QByteArray kNew = kOld + QByteArray(5000, 'n');

// The steps of a save, as letters: w write the new file, s sync it, f its
// sync fails, r rename it over the list (R: write-through), d sync the
// folder, c confirm.
QList<Op> save(const QString &steps, bool listExists = true)
{
    QList<Op> ops;
    Op create(OpKind::Create);
    create.file = 1;
    create.name = QStringLiteral("list.new");
    ops << create;
    for (const QChar step : steps) {
        Op op;
        op.file = 1;
        switch (step.unicode()) {
        case 'w':
            op.kind = OpKind::Write;
            op.bytes = kNew;
            break;
        case 's':
        case 'f':
            op.kind = OpKind::SyncFile;
            op.failed = step == u'f';
            break;
        case 'r':
        case 'R':
            op.kind = OpKind::Rename;
            op.name = QStringLiteral("list.new");
            op.to = QStringLiteral("list");
            op.replaces = listExists;
            op.writeThrough = step == u'R';
            break;
        case 'd':
            op.kind = OpKind::SyncFolder;
            break;
        case 'c':
            op.kind = OpKind::Confirm;
            break;
        }
        ops << op;
    }
    return ops;
}

Disk startingDisk(bool listExists)
{
    Disk disk;
    disk.add(QStringLiteral("list"), kOld);
    if (!listExists)
        disk.names.clear();
    return disk;
}

// Whether some state the model allows is wrong: a list neither old nor new,
// or a confirmed add missing.
bool anyWrongState(const QList<Op> &ops, Model model, bool listExists)
{
    const Disk start = startingDisk(listExists);
    for (const CrashState &state : crashStates(ops, model)) {
        const std::optional<QByteArray> list = rebuild(start, ops, state).read(QStringLiteral("list"));
        const bool whole = list == kNew || (listExists ? list == kOld : !list);
        if (!whole || (confirmedBy(ops, state) && list != kNew))
            return true;
    }
    return false;
}

} // namespace

class TestCrashModels : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("listExists");
        QTest::addColumn<QList<bool>>("wrong"); // weak, ext4, ext4 auto_da_alloc, NTFS
        QTest::newRow("the writer's order") << "wsrdc" << true << QList<bool>{false, false, false, false};
        QTest::newRow("first save") << "wsrdc" << false << QList<bool>{false, false, false, false};
        QTest::newRow("write-through rename") << "wsRc" << true << QList<bool>{true, true, true, false};
        QTest::newRow("no sync before the rename") << "wrdc" << true << QList<bool>{true, true, false, true};
        QTest::newRow("no sync before the rename, first save") << "wrdc" << false << QList<bool>{true, true, true, true};
        QTest::newRow("no folder sync") << "wsrc" << true << QList<bool>{true, true, true, true};
        QTest::newRow("confirmed before the folder sync") << "wsrcd" << true << QList<bool>{true, true, true, true};
        QTest::newRow("failed sync, synced again") << "wfsrdc" << true << QList<bool>{true, true, true, true};
        QTest::newRow("nothing confirmed") << "wsr" << true << QList<bool>{false, false, false, false};
    }

    void verdicts()
    {
        QFETCH(QString, steps);
        QFETCH(bool, listExists);
        QFETCH(QList<bool>, wrong);
        const QList<Model> models{Model::WeakPosix, Model::Ext4, Model::Ext4AutoDa, Model::Ntfs};
        for (int m = 0; m < models.size(); ++m)
            QVERIFY2(anyWrongState(save(steps, listExists), models[m], listExists) == wrong[m], qPrintable(nameOf(models[m])));
    }

    void tornWrites_data()
    {
        QTest::addColumn<QList<int>>("blocks");
        QTest::addColumn<QByteArray>("file");
        const QByteArray bytes = QByteArray(kBlock, 'a') + QByteArray(kBlock, 'b') + "c";
        QTest::newRow("first block") << QList<int>{0} << QByteArray(kBlock, 'a');
        QTest::newRow("two blocks") << QList<int>{0, 1} << bytes.first(2 * kBlock);
        QTest::newRow("last block alone") << QList<int>{2} << QByteArray(2 * kBlock, '\0') + "c";
    }

    void tornWrites()
    {
        QFETCH(QList<int>, blocks);
        QFETCH(QByteArray, file);
        QList<Op> ops = save(QStringLiteral("w"));
        ops[1].bytes = QByteArray(kBlock, 'a') + QByteArray(kBlock, 'b') + "c";
        const QList<CrashState> states = crashStates(ops, Model::WeakPosix);
        CrashState torn;
        torn.point = 2;
        torn.torn = {1, blocks};
        QVERIFY(states.contains(torn));
        QCOMPARE(rebuild(startingDisk(true), ops, torn).read(QStringLiteral("list.new")), file);
    }

    void readsTheTrace()
    {
        // strace -xx prints every byte of a string or a path as \xHH.
        const auto x = [](const char *text) {
            QByteArray out;
            for (const char c : QByteArray(text))
                out += "\\x" + QByteArray(1, c).toHex();
            return out;
        };
        const QByteArray trace = "7 openat(AT_FDCWD<" + x("/d") + ">, \"" + x("/d") + "\", O_RDWR|O_CLOEXEC|O_TMPFILE, 0600) = 5<"
            + x("/d/#1") + ">(deleted)\n"
            "7 write(5<" + x("/d/#1") + ">, \"" + x("ab") + "\", 2) = 2\n"
            "7 fsync(5<" + x("/d/#1") + ">) = -1 EIO (Input/output error) (INJECTED)\n"
            "7 linkat(AT_FDCWD<" + x("/d") + ">, \"" + x("/proc/self/fd/5") + "\", AT_FDCWD<" + x("/d") + ">, \"" + x("l.new")
            + "\", AT_SYMLINK_FOLLOW) = 0\n"
            "7 rename(\"" + x("/d/l.new") + "\", \"" + x("/d/l") + "\") = 0\n"
            "7 openat(AT_FDCWD<" + x("/") + ">, \"" + x("d") + "\", O_RDONLY|O_DIRECTORY) = 6<" + x("/d") + ">\n"
            "7 fsync(6<" + x("/d") + "> <unfinished ...>\n"
            "7 <... fsync resumed>) = 0\n"
            "7 write(1<pipe:[1]>, \"" + x("confirmed\n") + "\", 10) = 10\n"
            "7 unlink(\"" + x("/elsewhere/l") + "\") = 0\n";
        const Recording recording = parseStrace(trace, QStringLiteral("/d"), startingDisk(true), "confirmed\n");
        QStringList calls;
        for (const Op &op : recording.ops)
            calls << op.call;
        QCOMPARE(calls, (QStringList{"create unnamed #1", "write #1 0+2", "sync #1 (failed)", "link #1 l.new", "rename l.new l",
                                     "sync folder", "confirmed"}));
        QCOMPARE(recording.end.read(QStringLiteral("l")), QByteArray("ab"));
    }

    void readsTheSeamNotes()
    {
        // The seam writes paths as UTF-16 in hexadecimal.
        const auto path = [](const QString &name) {
            return QByteArray(reinterpret_cast<const char *>(name.utf16()), name.size() * 2).toHex();
        };
        const QByteArray notes = "create 40 2 " + path(QStringLiteral("\\\\?\\C:\\d\\l.new")) + "\n"
            "write 40 " + QByteArray("ab").toHex() + "\n"
            "flush 40 0\n"
            "close 40\n"
            "move 9 " + path(QStringLiteral("C:\\d\\l.new")) + " " + path(QStringLiteral("C:\\D\\l")) + "\n"
            "delete " + path(QStringLiteral("C:\\elsewhere\\l")) + "\n"
            "confirmed\n";
        const Recording recording = parseSeamRecord(notes, QStringLiteral("C:/d"), startingDisk(true));
        QStringList calls;
        for (const Op &op : recording.ops)
            calls << op.call;
        QCOMPARE(calls, (QStringList{"create l.new", "write l.new 0+2", "sync l.new (failed)", "rename l.new l write-through", "confirmed"}));
        QCOMPARE(recording.end.read(QStringLiteral("l")), QByteArray("ab"));
    }
};

QTEST_GUILESS_MAIN(TestCrashModels)
#include "test_crash_models.moc"
