// Records one save of the writer (record.h), rebuilds every state a power
// cut may leave under each model of this system's file systems, and checks
// each with the program's own reading and writing code. Prints one table per
// model and exits 1 on any violation, 2 when it could not record (77 where
// the system cannot record at all, as without strace).
//
//   crash_replay SAVE_ONCE
//   crash_replay --idle     waits until its input ends: a running process
//                           for a lock left behind to name

#include "record.h"

#include "file_system.h"
#include "lookup.h"
#include "word_list_writer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <QLockFile>

#include <cstdio>

using namespace crash;

namespace {

const QString kList = QStringLiteral("dicy.ini");
constexpr std::chrono::milliseconds kLockTimeout = std::chrono::seconds(10);

// One save to replay: what the folder held, what the writer was asked, and
// how the system answered it.
struct Scenario {
    QString title;
    std::optional<QByteArray> old; // the list before, if there was one
    FailedSync failing = FailedSync::None;
};

QByteArray oldList()
{
    // Three blocks, so that a torn write can keep some of them.
    QByteArray list = "[lexon]\r\n";
    for (int i = 0; list.size() < 3 * kBlock - 100; ++i)
        list += "word" + QByteArray::number(i) + "=VALUE" + QByteArray::number(i) + "\r\n";
    return list;
}

QByteArray withLine(const std::optional<QByteArray> &list, const QByteArray &line)
{
    return list.value_or("[lexon]\r\n") + line + "\r\n";
}

class Finder : public dictionary::LookupReporter {
public:
    void emptyKey() override {}
    void found(const QByteArray &value) override { m_value = value; }
    std::optional<QByteArray> notFound(const QByteArray &) override { return std::nullopt; }
    std::optional<QByteArray> m_value;
};

void materialise(const Disk &disk, const QString &folder)
{
    QDir dir(folder);
    dir.removeRecursively();
    QDir().mkpath(folder);
    for (auto name = disk.names.cbegin(); name != disk.names.cend(); ++name) {
        QFile file(folder + u'/' + name.key());
        if (file.open(QIODevice::WriteOnly))
            file.write(disk.files.value(*name));
    }
    for (const QString &sub : disk.folders.keys())
        dir.mkdir(sub);
}

// A lock file as the writer leaves it, naming process `pid`: QLockFile's
// own, made here, with the writer's name in it.
QByteArray lockNaming(qint64 pid)
{
    QTemporaryDir scratch;
    QLockFile lock(scratch.filePath(QStringLiteral("sample.lock")));
    QByteArray bytes;
    if (lock.tryLock(0)) {
        QFile file(scratch.filePath(QStringLiteral("sample.lock")));
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2)
        return {};
    lines[0] = QByteArray::number(pid);
    lines[1] = "save_once";
    return lines.join('\n');
}

class Checker {
public:
    // `running`: a process that runs throughout, for a lock to name.
    Checker(QString folder, qint64 running) : m_folder(std::move(folder)), m_running(running) {}

    // What is wrong with the folder `disk` after a crash; empty when nothing is.
    QStringList check(const Disk &disk, bool confirmed, const Scenario &scenario, const QByteArray &entry);

private:
    QString m_folder;
    qint64 m_running;
};

QStringList Checker::check(const Disk &disk, bool confirmed, const Scenario &scenario, const QByteArray &entry)
{
    namespace files = platform::files;
    QStringList wrong;
    const QString path = m_folder + u'/' + kList;
    const QByteArray updated = withLine(scenario.old, entry);
    materialise(disk, m_folder);
    const std::optional<QByteArray> list = files::readRegularFile(path);
    if (!list && (scenario.old || confirmed))
        wrong << (scenario.old ? QStringLiteral("the list is gone") : QStringLiteral("a confirmed add is lost: there is no list"));
    else if (list && *list != updated && list != scenario.old)
        wrong << QStringLiteral("the list is neither the old one nor the old one plus the entry (%1 bytes)").arg(list->size());
    if (list && confirmed && *list != updated)
        wrong << QStringLiteral("a confirmed add is lost");

    // The next lookup finds every confirmed word.
    QList<QByteArray> keys{"word0"};
    if (confirmed)
        keys << entry.left(entry.indexOf('='));
    for (const QByteArray &key : keys) {
        if (!scenario.old && key == "word0")
            continue;
        Finder finder;
        try {
            dictionary::LookupEntry("lexon", key, {}, path, finder);
        } catch (const std::exception &) {
        }
        if (!finder.m_value)
            wrong << QStringLiteral("the lookup does not find %1").arg(QString::fromLatin1(key));
    }

    // The next add after the reboot: with the lock as the crash left it,
    // and left behind naming a running process, or the adding one itself.
    const struct {
        const char *how;
        qint64 pid;
    } locks[] = {{"as left", 0}, {"naming a running process", m_running}, {"naming the adding process", QCoreApplication::applicationPid()}};
    for (const auto &lock : locks) {
        materialise(disk, m_folder);
        if (lock.pid) {
            QFile file(path + QStringLiteral(".lock"));
            if (file.open(QIODevice::WriteOnly))
                file.write(lockNaming(lock.pid));
        }
        QElapsedTimer took;
        took.start();
        const std::optional<dictionary::WriteError> error = dictionary::writeEntry("lexon", "after", "REBOOT", path, kLockTimeout);
        const QString how = QString::fromLatin1(lock.how);
        if (error) {
            wrong << QStringLiteral("the next add fails with the lock %1 (failure %2 %3)").arg(how).arg(int(error->failure)).arg(error->detail);
            continue;
        }
        if (took.elapsed() >= kLockTimeout.count())
            wrong << QStringLiteral("the next add waits out the lock %1").arg(how);
        if (files::readRegularFile(path) != withLine(list ? list : scenario.old, "after=REBOOT"))
            wrong << QStringLiteral("the next add with the lock %1 loses words").arg(how);
        const QStringList beside = QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (beside != QStringList{kList})
            wrong << QStringLiteral("left beside the list after the next save (lock %1): %2").arg(how, beside.join(u' '));
    }
    wrong.removeDuplicates();
    return wrong;
}

struct Tally {
    int points = 0;
    int states = 0;
    int checked = 0;
    QStringList violations;
};

QString persisted(const QList<Op> &ops, const CrashState &state)
{
    QStringList kept, left;
    for (int i = 0; i < state.point; ++i) {
        const Op &op = ops[i];
        if (!op.changesNames() && !op.changesData())
            continue;
        if (state.left.contains(i))
            left << op.call;
        else if (state.zeroed.contains(i))
            kept << op.call + QStringLiteral(" (as zeros)");
        else if (state.torn.op == i)
            kept << op.call + QStringLiteral(" (torn: blocks %1)").arg([&] {
                QStringList b;
                for (int block : state.torn.blocks)
                    b << QString::number(block);
                return b.join(u',');
            }());
        else
            kept << op.call;
    }
    return QStringLiteral("persisted: %1; not: %2").arg(kept.join(QStringLiteral(", ")), left.isEmpty() ? QStringLiteral("-") : left.join(QStringLiteral(", ")));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == QLatin1String("--idle")) {
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    if (arguments.size() != 2)
        return 2;
    if (const QString why = whyCannotRecord(); !why.isEmpty()) {
        std::fprintf(stderr, "crash_replay: %s\n", qPrintable(why));
        return 77;
    }
    QProcess idle;
    idle.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--idle")});
    if (!idle.waitForStarted())
        return 2;

    QTemporaryDir work;
    const QString root = QFileInfo(work.path()).canonicalFilePath();
    QList<Scenario> scenarios = {
        {QStringLiteral("add to a list"), oldList()},
        {QStringLiteral("first add, no list yet"), std::nullopt},
    };
    for (const FailedSync failing : failingSyncs()) {
        scenarios.append({failing == FailedSync::File ? QStringLiteral("add, the file's sync fails") : QStringLiteral("add, the folder's sync fails"),
                          oldList(), failing});
    }
    const QByteArray entry = "power=CUT";
    const QList<Model> models = modelsHere();
    QHash<int, QList<Tally>> tallies;
    Checker checking(root + QStringLiteral("/check"), idle.processId());
    QElapsedTimer took;
    took.start();
    bool any = false;
    for (int s = 0; s < scenarios.size(); ++s) {
        const Scenario &scenario = scenarios[s];
        const QString folder = root + QStringLiteral("/record%1").arg(s);
        Disk start;
        if (scenario.old)
            start.add(kList, *scenario.old);
        materialise(start, folder);
        QString why;
        const std::optional<Recording> recording
            = recordSave(QFileInfo(arguments.at(1)).absoluteFilePath(), folder, start, entry, scenario.failing, why);
        if (!recording) {
            std::fprintf(stderr, "crash_replay: %s\n", qPrintable(why));
            return 2;
        }
        if (recording->ops.isEmpty() || !recording->unknown.isEmpty()) {
            std::fprintf(stderr, "crash_replay: could not record \"%s\" %s\n", qPrintable(scenario.title),
                         qPrintable(recording->unknown.join(u' ')));
            return 2;
        }
        for (int m = 0; m < models.size(); ++m) {
            const QList<CrashState> states = crashStates(recording->ops, models[m]);
            Tally tally;
            tally.points = int(recording->ops.size()) + 1;
            tally.states = int(states.size());
            QHash<QByteArray, bool> seen;
            for (const CrashState &state : states) {
                const Disk disk = rebuild(start, recording->ops, state);
                const bool confirmed = confirmedBy(recording->ops, state);
                QByteArray key = confirmed ? "c" : "u";
                for (auto name = disk.names.cbegin(); name != disk.names.cend(); ++name)
                    key += name.key().toUtf8() + '\0' + disk.files.value(*name).toHex() + '\0';
                if (seen.contains(key))
                    continue;
                seen.insert(key, true);
                ++tally.checked;
                const QStringList wrong = checking.check(disk, confirmed, scenario, entry);
                if (!wrong.isEmpty())
                    tally.violations << QStringLiteral("  %1, crash after %2 ops%3: %4\n      %5")
                                            .arg(scenario.title).arg(state.point).arg(confirmed ? QStringLiteral(" (confirmed)") : QString())
                                            .arg(wrong.join(QStringLiteral("; ")), persisted(recording->ops, state));
            }
            any = any || !tally.violations.isEmpty();
            tallies[m].append(tally);
        }
    }
    for (int m = 0; m < models.size(); ++m) {
        std::printf("\n== %s\n%-32s %12s %8s %8s %10s\n", qPrintable(nameOf(models[m])), "save", "crash points",
                    "states", "checked", "violations");
        for (int s = 0; s < scenarios.size(); ++s) {
            const Tally &t = tallies[m][s];
            std::printf("%-32s %12d %8d %8d %10lld\n", qPrintable(scenarios[s].title), t.points, t.states, t.checked,
                        static_cast<long long>(t.violations.size()));
        }
        for (int s = 0; s < scenarios.size(); ++s) {
            for (const QString &v : tallies[m][s].violations)
                std::printf("%s\n", qPrintable(v));
        }
    }
    idle.closeWriteChannel();
    idle.waitForFinished();
    std::printf("\ncrash_replay: %.1f s\n", took.elapsed() / 1000.0);
    return any ? 1 : 0;
}
