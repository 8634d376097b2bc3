#include "line_model.h"
#include "lookup.h"
#include "word_list_fixture.h"
#include "word_list_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace dictionary;
using namespace std::chrono_literals;

namespace {

const QString kChild = QStringLiteral(WRITER_CHILD);

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *line : list)
        out += QByteArray(line) + "\r\n";
    return out;
}

// n lines "k<i>=v<i>", under a header when one is asked for.
QByteArray numbered(int n, bool header = true)
{
    QByteArray out = header ? "[lexon]\r\n" : "";
    for (int i = 0; i < n; ++i)
        out += "k" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    return out;
}

QString nameOf(WriteFailure failure)
{
    static const char *const names[] = {"InvalidEntry", "Full", "NoSpace", "AccessDenied",
                                        "FolderMissing", "NotAFile", "Busy", "Other"};
    return QString::fromLatin1(names[int(failure)]);
}

QString outcomeOf(const std::optional<WriteError> &error)
{
    return error ? nameOf(error->failure) : QStringLiteral("ok");
}

// writer_child exits with 10 + the failure.
QString outcomeOfExit(int status)
{
    if (status == 0)
        return QStringLiteral("ok");
    if (status >= 10 && status <= 10 + int(WriteFailure::Other))
        return nameOf(WriteFailure(status - 10));
    return QStringLiteral("exit %1").arg(status);
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool found(const QByteArray &file, const QByteArray &key, const QByteArray &value)
{
    const ScanResult result = scanEntries(file, "lexon", key);
    return result.outcome == ScanOutcome::Found && result.value == value;
}

// strace, when it is installed and may trace here.
QString strace()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (program.isEmpty() || QProcess::execute(program, {"-qq", "-o", "/dev/null", "true"}) != 0)
        return {};
    return program;
}

// Larger than any lock file, so that a size limit between the two lets the
// lock be taken and stops the word list.
QByteArray faultWords()
{
    return lines({"[lexon]", "One=YAAK", "two=DO", "three=SAI", "four=CHAR"}) + numbered(40, false);
}

enum class Setup { Bytes, Folder, Fifo, NoFolder, FileForFolder };
enum class Runner { Direct, Strace, DroppedUser };

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Runner)

class TestWriter : public QObject {
    Q_OBJECT
private slots:
    void placesTheEntry_data();
    void placesTheEntry();
    void checkEntry_data();
    void checkEntry();
    void refusesAndLeavesTheFileAlone_data();
    void refusesAndLeavesTheFileAlone();
    void keepsModeAndOwner_data();
    void keepsModeAndOwner();
    void writesThroughSymbolicLinks_data();
    void writesThroughSymbolicLinks();
    void givesUpOnAHeldLock_data();
    void givesUpOnAHeldLock();
    void writeFaults_data();
    void writeFaults();
    void concurrentWritersAllLand();
    void survivesBeingKilled();
    void survivesBeingKilledAtEachStep();
};

void TestWriter::placesTheEntry_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QByteArray>("expected");

    const auto row = [](const char *name, const QByteArray &file, const QByteArray &expected) {
        QTest::newRow(name) << file << QByteArray("new") << QByteArray("NEW") << QStringLiteral("ok") << expected;
    };
    row("section at the top", lines({"[lexon]", "One=YAAK", "[other]", "x=y"}),
        lines({"[lexon]", "One=YAAK", "new=NEW", "[other]", "x=y"}));
    row("section in the middle", lines({"[a]", "x=y", "[lexon]", "One=YAAK", "[b]", "x=y"}),
        lines({"[a]", "x=y", "[lexon]", "One=YAAK", "new=NEW", "[b]", "x=y"}));
    row("section at the end", lines({"[other]", "x=y", "[lexon]", "One=YAAK"}),
        lines({"[other]", "x=y", "[lexon]", "One=YAAK", "new=NEW"}));
    row("no section", lines({"[other]", "x=y"}), lines({"[other]", "x=y", "[lexon]", "new=NEW"}));
    row("no file", QByteArray(), lines({"[lexon]", "new=NEW"}));
    row("empty file", QByteArray("", 0), lines({"[lexon]", "new=NEW"}));
    row("only blank lines", "\r\n  \r\n", "\r\n  \r\n" + lines({"[lexon]", "new=NEW"}));
    row("last entry without line end", "[lexon]\r\nOne=YAAK", lines({"[lexon]", "One=YAAK", "new=NEW"}));
    row("header without line end", "[lexon]", lines({"[lexon]", "new=NEW"}));
    row("spaces after the last line end", "[lexon]\r\nOne=YAAK  ", lines({"[lexon]", "One=YAAK  ", "new=NEW"}));
    row("no section, no line end", "[other]\r\nx=y", lines({"[other]", "x=y", "[lexon]", "new=NEW"}));
    row("no section, blank last line without end", "x=y\r\n   ", lines({"x=y", "   ", "[lexon]", "new=NEW"}));
    // One single line that is not a header: the section is missing.
    row("LF-only file", "[lexon]\nOne=YAAK\n", "[lexon]\nOne=YAAK\n" + lines({"", "[lexon]", "new=NEW"}));
    row("lone CR line ends", "[lexon]\rOne=YAAK\r[other]\r", "[lexon]\rOne=YAAK\rnew=NEW\r\n[other]\r");
    row("lone LF inside the last entry", "[lexon]\r\nOne=YA\nAK\r\n", lines({"[lexon]", "One=YA\nAK", "new=NEW"}));
    row("blank lines at the end of the section", lines({"[lexon]", "One=YAAK", "", "   ", "[other]"}),
        lines({"[lexon]", "One=YAAK", "new=NEW", "", "   ", "[other]"}));
    row("blank lines at the end of the file", lines({"[lexon]", "One=YAAK", "", ""}),
        lines({"[lexon]", "One=YAAK", "new=NEW", "", ""}));
    row("blank lines between entries", lines({"[lexon]", "One=YAAK", "", "two=DO", ""}),
        lines({"[lexon]", "One=YAAK", "", "two=DO", "new=NEW", ""}));
    row("second lexon section", lines({"[lexon]", "One=YAAK", "[lexon]", "two=DO"}),
        lines({"[lexon]", "One=YAAK", "new=NEW", "[lexon]", "two=DO"}));
    row("header followed by another section", lines({"[lexon]", "[other]", "x=y"}),
        lines({"[lexon]", "new=NEW", "[other]", "x=y"}));
    row("empty section with a blank line", lines({"[lexon]", "", "[other]"}), lines({"[lexon]", "new=NEW", "", "[other]"}));
    row("header in capitals with spaces", lines({"  [LEXON]  ", "  One=YAAK  "}),
        lines({"  [LEXON]  ", "  One=YAAK  ", "new=NEW"}));
    row("not a header", lines({"[lexon] ;words", "One=YAAK"}),
        lines({"[lexon] ;words", "One=YAAK", "[lexon]", "new=NEW"}));
    row("entries above the header", lines({"x=y", "[lexon]"}), lines({"x=y", "[lexon]", "new=NEW"}));

    QTest::newRow("key and value as given") << lines({"[lexon]"}) << QByteArray("a b ") << QByteArray(" B=C\xc9\t")
                                            << QStringLiteral("ok") << lines({"[lexon]", "a b = B=C\xc9\t"});
    QTest::newRow("longest key") << lines({"[lexon]"}) << QByteArray(32765, 'k') << QByteArray("V") << QStringLiteral("ok")
                                 << lines({"[lexon]"}) + QByteArray(32765, 'k') + "=V\r\n";
    // The header counts: 32766 lines are the header and 32765 entries.
    QTest::newRow("32766 lines") << numbered(32765) << QByteArray("new") << QByteArray("NEW") << QStringLiteral("ok")
                                 << numbered(32765) + "new=NEW\r\n";
    QTest::newRow("32767 lines") << numbered(32766) << QByteArray("new") << QByteArray("NEW") << QStringLiteral("Full")
                                 << numbered(32766);
    QTest::newRow("32765 lines, no section") << numbered(32765, false) << QByteArray("new") << QByteArray("NEW")
                                             << QStringLiteral("ok") << numbered(32765, false) + lines({"[lexon]", "new=NEW"});
    QTest::newRow("32766 lines, no section") << numbered(32766, false) << QByteArray("new") << QByteArray("NEW")
                                             << QStringLiteral("Full") << numbered(32766, false);
}

void TestWriter::placesTheEntry()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, expected);
    ProgramFolder folder;
    if (!file.isNull())
        folder.writeWordList(file);

    QCOMPARE(outcomeOf(writeEntry("lexon", key, value, folder.wordList())), outcome);
    QCOMPARE(folder.readWordList(), expected);
    QCOMPARE(listing(folder.path()), QStringList{"dicy.ini"});
    if (outcome == QLatin1String("ok"))
        QVERIFY(found(expected, key, value));
}

void TestWriter::checkEntry_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<std::optional<EntryProblem>>("problem");
    const std::optional<EntryProblem> fine;
    QTest::newRow("= in the key") << QByteArray("a=b") << QByteArray("X") << std::optional(EntryProblem::KeyHasEquals);
    QTest::newRow("= ending the key") << QByteArray("a=") << QByteArray("X") << std::optional(EntryProblem::KeyHasEquals);
    QTest::newRow("[ first") << QByteArray("[x") << QByteArray("X") << std::optional(EntryProblem::KeyStartsSection);
    QTest::newRow("[ after spaces") << QByteArray("  [x") << QByteArray("X") << std::optional(EntryProblem::KeyStartsSection);
    QTest::newRow("CR in the key") << QByteArray("a\rb") << QByteArray("X") << std::optional(EntryProblem::LineBreak);
    QTest::newRow("LF in the key") << QByteArray("a\n") << QByteArray("X") << std::optional(EntryProblem::LineBreak);
    QTest::newRow("CR in the value") << QByteArray("a") << QByteArray("X\r") << std::optional(EntryProblem::LineBreak);
    QTest::newRow("LF in the value") << QByteArray("a") << QByteArray("\nX") << std::optional(EntryProblem::LineBreak);
    QTest::newRow("32766-byte key") << QByteArray(32766, 'k') << QByteArray("X") << std::optional(EntryProblem::KeyTooLong);
    QTest::newRow("[ later in the key") << QByteArray("x[") << QByteArray("X") << fine;
    QTest::newRow("[ after a tab") << QByteArray("\t[x") << QByteArray("X") << fine;
    QTest::newRow("space inside") << QByteArray("a b") << QByteArray("X Y") << fine;
    QTest::newRow("= in the value") << QByteArray("a") << QByteArray("B=C") << fine;
    QTest::newRow("[ starting the value") << QByteArray("a") << QByteArray("[X]") << fine;
    QTest::newRow("empty value") << QByteArray("a") << QByteArray("") << fine;
    QTest::newRow("32765-byte key") << QByteArray(32765, 'k') << QByteArray("X") << fine;
}

void TestWriter::checkEntry()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(std::optional<EntryProblem>, problem);
    QCOMPARE(dictionary::checkEntry(key, value), problem);
}

void TestWriter::refusesAndLeavesTheFileAlone_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("outcome");

    const QByteArray words = lines({"[lexon]", "One=YAAK"});
    QTest::newRow("key with =") << Setup::Bytes << words << QByteArray("a=b") << QByteArray("X") << "InvalidEntry";
    QTest::newRow("line break in the value") << Setup::Bytes << words << QByteArray("a") << QByteArray("X\r\n[b]") << "InvalidEntry";
    QTest::newRow("empty key") << Setup::Bytes << words << QByteArray("") << QByteArray("X") << "InvalidEntry";
    QTest::newRow("no file, key refused") << Setup::NoFolder << QByteArray() << QByteArray("[a") << QByteArray("X") << "InvalidEntry";
    // Another copy of the program added the word since the caller's lookup.
    QTest::newRow("there already, same value") << Setup::Bytes << words << QByteArray("one") << QByteArray("YAAK") << "ok";
    QTest::newRow("there already, other value") << Setup::Bytes << words << QByteArray("one") << QByteArray("DO") << "Other";
    // The lookup could never reach a line written after these.
    QTest::newRow("section line without =") << Setup::Bytes << lines({"[lexon]", "note"}) << QByteArray("a") << QByteArray("X") << "Other";
    QTest::newRow("= past the counter") << Setup::Bytes << QByteArray("[lexon]\r\n" + QByteArray(32767, 'x') + "=\r\n")
                                        << QByteArray("a") << QByteArray("X") << "Other";
    QTest::newRow("32768 lines") << Setup::Bytes << numbered(32767) << QByteArray("k0") << QByteArray("v0") << "Full";
    QTest::newRow("folder at the path") << Setup::Folder << QByteArray() << QByteArray("a") << QByteArray("X") << "NotAFile";
    QTest::newRow("FIFO at the path") << Setup::Fifo << QByteArray() << QByteArray("a") << QByteArray("X") << "NotAFile";
    QTest::newRow("missing folder") << Setup::NoFolder << QByteArray() << QByteArray("a") << QByteArray("X") << "FolderMissing";
    QTest::newRow("file in place of the folder") << Setup::FileForFolder << QByteArray() << QByteArray("a") << QByteArray("X")
                                                 << "FolderMissing";
}

void TestWriter::refusesAndLeavesTheFileAlone()
{
    QFETCH(Setup, setup);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QString, outcome);
    ProgramFolder folder;
    QString path = folder.wordList();
    switch (setup) {
    case Setup::Bytes:
        folder.writeWordList(file);
        break;
    case Setup::Folder:
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("dicy.ini")));
        break;
    case Setup::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case Setup::NoFolder:
        path = folder.path() + QStringLiteral("/missing/dicy.ini");
        break;
    case Setup::FileForFolder:
        folder.write(QStringLiteral("plain"), "x");
        path = folder.path() + QStringLiteral("/plain/dicy.ini");
        break;
    }
    const QStringList before = listing(folder.path());

    QCOMPARE(outcomeOf(writeEntry("lexon", key, value, path, 1s)), outcome);
    QCOMPARE(listing(folder.path()), before);
    if (setup == Setup::Bytes)
        QCOMPARE(folder.readWordList(), file);
}

void TestWriter::keepsModeAndOwner_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("owner"); // -1: the current user
    QTest::newRow("0640") << 0640 << -1;
    QTest::newRow("0666") << 0666 << -1;
    // Root may write it; a read-only file stays read-only.
    QTest::newRow("0444") << 0444 << -1;
    QTest::newRow("another user's file") << 0600 << 65534;
}

void TestWriter::keepsModeAndOwner()
{
    QFETCH(int, mode);
    QFETCH(int, owner);
    if (::geteuid() != 0 && (owner >= 0 || !(mode & 0200)))
        QSKIP("needs root");
    ProgramFolder folder;
    folder.writeWordList(lines({"[lexon]"}));
    const QByteArray path = QFile::encodeName(folder.wordList());
    QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    if (owner >= 0)
        QCOMPARE(::chown(path.constData(), uid_t(owner), gid_t(owner)), 0);
    struct stat before {};
    QCOMPARE(::stat(path.constData(), &before), 0);

    QCOMPARE(outcomeOf(writeEntry("lexon", "a", "B", folder.wordList())), QStringLiteral("ok"));
    struct stat after {};
    QCOMPARE(::stat(path.constData(), &after), 0);
    QVERIFY2(after.st_ino != before.st_ino, "the file should have been replaced, not written in place");
    QCOMPARE(after.st_mode & 07777, mode_t(mode));
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
}

void TestWriter::writesThroughSymbolicLinks_data()
{
    QTest::addColumn<QString>("linkTo");  // what dicy.ini points at, relative to the folder
    QTest::addColumn<QString>("via");     // a second link on the way, or empty
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("relative link") << "store/real.ini" << QString() << true;
    QTest::newRow("absolute link") << "/store/real.ini" << QString() << true;
    QTest::newRow("link to a link") << "mid.ini" << "store/real.ini" << true;
    QTest::newRow("dangling link") << "store/real.ini" << QString() << false;
}

void TestWriter::writesThroughSymbolicLinks()
{
    QFETCH(QString, linkTo);
    QFETCH(QString, via);
    QFETCH(bool, targetExists);
    ProgramFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("store")));
    const QString target = folder.path() + QStringLiteral("/store/real.ini");
    const QByteArray words = lines({"[lexon]", "One=YAAK"});
    if (targetExists)
        folder.write(QStringLiteral("store/real.ini"), words);
    const QString linkText = linkTo.startsWith(u'/') ? folder.path() + linkTo : linkTo;
    QVERIFY(QFile::link(linkText, folder.wordList()));
    if (!via.isEmpty())
        QVERIFY(QFile::link(via, folder.path() + u'/' + linkTo));
    const QStringList before = listing(folder.path());

    QCOMPARE(outcomeOf(writeEntry("lexon", "two", "DO", folder.wordList())), QStringLiteral("ok"));
    QVERIFY(QFileInfo(folder.wordList()).isSymLink());
    QCOMPARE(readFile(target), (targetExists ? words : lines({"[lexon]"})) + "two=DO\r\n");
    QCOMPARE(listing(folder.path()), before);
    QCOMPARE(listing(folder.path() + QStringLiteral("/store")), QStringList{"real.ini"});
}

void TestWriter::givesUpOnAHeldLock_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("the file itself") << false;
    // Every path to the file shares the lock beside it.
    QTest::newRow("a link to the file") << true;
}

void TestWriter::givesUpOnAHeldLock()
{
    QFETCH(bool, throughLink);
    ProgramFolder folder;
    const QByteArray words = lines({"[lexon]", "One=YAAK"});
    folder.write(QStringLiteral("real.ini"), words);
    const QString real = folder.path() + QStringLiteral("/real.ini");
    const QString path = throughLink ? folder.wordList() : real;
    if (throughLink)
        QVERIFY(QFile::link(QStringLiteral("real.ini"), folder.wordList()));
    const QStringList before = listing(folder.path());
    QLockFile held(real + QStringLiteral(".lock"));
    QVERIFY(held.tryLock(0));

    QCOMPARE(outcomeOf(writeEntry("lexon", "two", "DO", path, 100ms)), QStringLiteral("Busy"));
    QCOMPARE(readFile(real), words);
    QVERIFY(held.isLocked());
    held.unlock();
    QCOMPARE(outcomeOf(writeEntry("lexon", "two", "DO", path, 100ms)), QStringLiteral("ok"));
    QCOMPARE(listing(folder.path()), before);
}

void TestWriter::writeFaults_data()
{
    QTest::addColumn<Runner>("runner");
    QTest::addColumn<QStringList>("options"); // for strace
    QTest::addColumn<qint64>("sizeLimit");    // RLIMIT_FSIZE for the child, or -1
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("outcome");

    // The lock file (about 100 bytes) is written first, then the new word list.
    const qint64 none = -1;
    const qint64 words = faultWords().size();
    QTest::newRow("size limit under the new file") << Runner::Direct << QStringList() << words + 4 << 0755 << "NoSpace";
    QTest::newRow("size limit under the lock file") << Runner::Direct << QStringList() << qint64(16) << 0755 << "NoSpace";
    const auto inject = [](const char *call, const char *fault) {
        return QStringList{"-e", QStringLiteral("trace=%1").arg(QLatin1String(call)), "-e",
                           QStringLiteral("inject=%1:%2").arg(QLatin1String(call), QLatin1String(fault))};
    };
    QTest::newRow("ENOSPC writing the lock") << Runner::Strace << inject("write", "error=ENOSPC:when=1") << none << 0755 << "NoSpace";
    QTest::newRow("ENOSPC writing the file") << Runner::Strace << inject("write", "error=ENOSPC:when=2") << none << 0755 << "NoSpace";
    QTest::newRow("EDQUOT writing the file") << Runner::Strace << inject("write", "error=EDQUOT:when=2") << none << 0755 << "NoSpace";
    QTest::newRow("EIO syncing the file") << Runner::Strace << inject("fsync", "error=EIO:when=1") << none << 0755 << "Other";
    QTest::newRow("ENOSPC syncing the file") << Runner::Strace << inject("fsync", "error=ENOSPC:when=1") << none << 0755 << "NoSpace";
    QTest::newRow("EROFS on the rename") << Runner::Strace << inject("rename", "error=EROFS") << none << 0755 << "AccessDenied";
    QTest::newRow("read-only folder, other user") << Runner::DroppedUser << QStringList() << none << 0555 << "AccessDenied";
    QTest::newRow("root's file, other user") << Runner::DroppedUser << QStringList() << none << 0777 << "AccessDenied";
}

void TestWriter::writeFaults()
{
    QFETCH(Runner, runner);
    QFETCH(QStringList, options);
    QFETCH(qint64, sizeLimit);
    QFETCH(int, folderMode);
    QFETCH(QString, outcome);

    QString program = kChild;
    QStringList arguments;
    if (runner == Runner::Strace) {
        program = strace();
        if (program.isEmpty())
            QSKIP("strace is missing or may not trace here");
        arguments << "-f" << "-qq" << "-o" << "/dev/null" << options << kChild;
    }
    QTemporaryDir top;
    QVERIFY(top.isValid());
    QCOMPARE(::chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
    // Runs the child as nobody, since root ignores permissions; from a copy,
    // as the build folder may be closed to nobody.
    if (runner == Runner::DroppedUser) {
        program = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (::geteuid() != 0 || program.isEmpty())
            QSKIP("needs root and setpriv");
        const QString copy = top.filePath(QStringLiteral("writer_child"));
        QVERIFY(QFile::copy(kChild, copy));
        arguments << "--reuid=65534" << "--regid=65534" << "--clear-groups" << copy;
    }
    const QString folder = top.path() + QStringLiteral("/lib");
    const QString path = folder + QStringLiteral("/dicy.ini");
    QVERIFY(QDir(top.path()).mkdir(QStringLiteral("lib")));
    const QByteArray words = faultWords();
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(words), words.size());
    }
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)), 0);

    arguments << "once" << path << "five" << "PANCH";
    if (sizeLimit >= 0)
        arguments << QString::number(sizeLimit);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(outcomeOfExit(child.exitCode()), outcome);
    QCOMPARE(readFile(path), words);
    QCOMPARE(listing(folder), QStringList{"dicy.ini"});
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

void TestWriter::concurrentWritersAllLand()
{
    constexpr int writers = 4;
    constexpr int words = 100;
    ProgramFolder folder;
    const QByteArray start = lines({"[lexon]", "One=YAAK", "[other]", "x=y"});
    folder.writeWordList(start);
    QProcess children[writers];
    for (int w = 0; w < writers; ++w) {
        children[w].setProcessChannelMode(QProcess::ForwardedChannels);
        children[w].start(kChild, {"batch", folder.wordList(), QStringLiteral("p%1_").arg(w), QString::number(words)});
    }
    for (QProcess &child : children) {
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(outcomeOfExit(child.exitCode()), QStringLiteral("ok"));
    }

    const QByteArray file = folder.readWordList();
    QVERIFY(file.startsWith(lines({"[lexon]", "One=YAAK"})));
    QVERIFY(file.endsWith(lines({"[other]", "x=y"})));
    QCOMPARE(file.count("\r\n"), start.count("\r\n") + writers * words);
    QVERIFY(found(file, "One", "YAAK"));
    for (int w = 0; w < writers; ++w) {
        qsizetype previous = -1;
        for (int i = 0; i < words; ++i) {
            const QByteArray line = "\r\np" + QByteArray::number(w) + '_' + QByteArray::number(i) + "=V" + QByteArray::number(i) + "\r\n";
            const qsizetype at = file.indexOf(line);
            QVERIFY2(at > previous, line.constData());          // there, and after the writer's previous word
            QVERIFY2(file.indexOf(line, at + 1) < 0, line.constData()); // once
            previous = at;
        }
    }
    QCOMPARE(listing(folder.path()), QStringList{"dicy.ini"});
}

void TestWriter::survivesBeingKilled()
{
    // A child adds word<i>=W<i> one after another, saying "start <i>" before
    // each write, and is killed right after a random number of those lines.
    // Whatever the moment, the file must hold the words before the last one
    // it started, and that one either wholly or not at all.
    constexpr int kills = 200;
    ProgramFolder folder;
    const QByteArray head = lines({"; words", "[lexon]", "One=YAAK"});
    const QByteArray tail = lines({"", "[other]", "x=y"});
    const auto expected = [&](int count) {
        QByteArray out = head;
        for (int i = 0; i < count; ++i)
            out += "word" + QByteArray::number(i) + "=W" + QByteArray::number(i) + "\r\n";
        return out + tail;
    };
    folder.writeWordList(expected(0));

    QRandomGenerator random(20240607);
    int written = 0;
    int lastDone = 0;
    int staleLocks = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        child.start(kChild, {"sequence", folder.wordList(), QString::number(written)});
        QVERIFY(child.waitForStarted());
        const int wanted = random.bounded(1, 5);
        int seen = 0;
        while (seen < wanted) {
            while (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(10000), "the child stopped talking");
            ++seen;
            child.readLine();
        }
        child.kill();
        QVERIFY(child.waitForFinished(10000));

        int started = written + seen - 1;
        const QList<QByteArray> rest = child.readAll().split('\n');
        for (const QByteArray &line : rest) {
            if (line.startsWith("start "))
                started = line.mid(6).toInt();
        }
        const QByteArray file = folder.readWordList();
        if (file == expected(started + 1)) {
            written = started + 1;
            ++lastDone;
        } else {
            QVERIFY2(file == expected(started), qPrintable(QStringLiteral("kill %1: the file holds neither %2 nor %3 words")
                                                              .arg(kill).arg(started).arg(started + 1)));
            written = started;
        }
        QVERIFY(found(file, "One", "YAAK"));
        for (int i = 0; i < written; ++i)
            QVERIFY(found(file, "word" + QByteArray::number(i), "W" + QByteArray::number(i)));

        // A lock left by the killed child names a dead process, and the next
        // writer takes it over; one killed before it wrote its name would
        // only go stale after 30 s, too long for a test.
        for (const QString &name : listing(folder.path())) {
            if (!name.endsWith(QLatin1String("lock")))
                continue;
            ++staleLocks;
            if (QFileInfo(folder.path() + u'/' + name).size() == 0)
                QFile::remove(folder.path() + u'/' + name);
        }
    }
    // A kill between Qt's link of the new file and its rename leaves that
    // link behind, under a name of its own; nothing else may remain.
    int strays = 0;
    const QRegularExpression temporary(QStringLiteral("^dicy\\.ini\\.[A-Za-z0-9]{6}$"));
    for (const QString &name : listing(folder.path())) {
        if (name != QLatin1String("dicy.ini") && !name.endsWith(QLatin1String("lock"))) {
            QVERIFY2(temporary.match(name).hasMatch(), qPrintable(name));
            ++strays;
        }
    }
    qDebug("%d kills: %d words written, the last started write done %d times, %d stale locks, %d stray links",
           kills, written, lastDone, staleLocks, strays);
}

void TestWriter::survivesBeingKilledAtEachStep()
{
    // The random kills above mostly land while the child takes the lock.
    // Here strace kills a child on entry to each system call of one write
    // in turn, the ones that touch files, so every step between two of them
    // is a crash point once.
    const QString program = strace();
    if (program.isEmpty())
        QSKIP("strace is missing or may not trace here");
    const QString calls = QStringLiteral("openat,close,write,fsync,fdatasync,fchmod,fchown,linkat,rename,unlink");
    ProgramFolder folder;
    const QByteArray head = lines({"[lexon]", "One=YAAK"});
    const QByteArray tail = lines({"[other]", "x=y"});
    QByteArray entries;
    folder.writeWordList(head + tail);
    const auto run = [&](const QStringList &options, const QByteArray &key, QProcess &child) {
        child.start(program, QStringList{"-f", "-qq"} << options << kChild << "once" << folder.wordList() << key << "V");
        return child.waitForFinished(30000);
    };

    // Which calls one write makes: everything from the lock on.
    QTemporaryDir scratch;
    const QString tracePath = scratch.filePath(QStringLiteral("trace"));
    QProcess probe;
    QVERIFY(run({"-o", tracePath, "-e", "trace=" + calls}, "probe", probe));
    QCOMPARE(probe.exitCode(), 0);
    entries += "probe=V\r\n";
    QList<QPair<QString, int>> steps;
    QHash<QString, int> counts;
    bool writing = false;
    const QRegularExpression callLine(QStringLiteral("^\\d+\\s+(\\w+)\\((.*)$"));
    for (const QByteArray &line : readFile(tracePath).split('\n')) {
        const QRegularExpressionMatch match = callLine.match(QString::fromUtf8(line));
        if (!match.hasMatch())
            continue;
        const QString call = match.captured(1);
        const int ordinal = ++counts[call];
        writing = writing || match.captured(2).contains(QLatin1String(".lock\""));
        if (writing)
            steps.append({call, ordinal});
    }
    QVERIFY2(steps.size() >= 10, "the probe's trace shows no write");

    int before = 0;
    int after = 0;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QByteArray key = "w" + QByteArray::number(i);
        const QString where = QStringLiteral("%1 #%2").arg(steps[i].first).arg(steps[i].second);
        QProcess child;
        QVERIFY(run({"-o", "/dev/null", "-e", "trace=" + steps[i].first, "-e",
                     QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(steps[i].first).arg(steps[i].second)},
                    key, child));
        QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable(where)); // strace dies as its child did

        const QByteArray file = folder.readWordList();
        if (file == head + entries + key + "=V\r\n" + tail) {
            entries += key + "=V\r\n";
            ++after;
        } else {
            QVERIFY2(file == head + entries + tail, qPrintable(where));
            ++before;
        }
        for (const QByteArray &entry : entries.split('\n')) {
            if (!entry.isEmpty())
                QVERIFY2(found(file, entry.first(entry.indexOf('=')), "V"), qPrintable(where));
        }
        // The same calls in the same order for the next child: no stale lock
        // to take over, no leftover link.
        for (const QString &name : listing(folder.path())) {
            if (name != QLatin1String("dicy.ini"))
                QVERIFY(QFile::remove(folder.path() + u'/' + name));
        }
    }
    qDebug("%lld steps: killed %d times before the new file was in place, %d times after", qint64(steps.size()), before, after);
    QVERIFY(before > 0 && after > 0);
}

QTEST_APPLESS_MAIN(TestWriter)
#include "test_writer.moc"
