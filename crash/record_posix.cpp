#include "record.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace crash {

namespace {

QString strace()
{
    return QStandardPaths::findExecutable(QStringLiteral("strace"));
}

} // namespace

QString whyCannotRecord()
{
    if (strace().isEmpty() || QProcess::execute(strace(), {"-qq", "-o", "/dev/null", "true"}) != 0)
        return QStringLiteral("strace is missing or may not trace here");
    return {};
}

std::optional<Recording> recordSave(const QString &child, const QString &folder, const Disk &start, const QByteArray &entry,
                                    FailedSync failing, QString &why)
{
    const QString trace = folder + QStringLiteral(".trace");
    QStringList arguments{"-f", "-y", "-xx", "-qq", "-s", "1048576", "-o", trace, "-e",
                          "trace=open,openat,creat,close,write,pwrite64,writev,pwritev,pwritev2,lseek,ftruncate,truncate,"
                          "fallocate,fsync,fdatasync,sync_file_range,rename,renameat,renameat2,link,linkat,unlink,unlinkat,"
                          "mkdir,mkdirat,copy_file_range,sendfile"};
    // The writer syncs the new file, then the folder.
    if (failing != FailedSync::None)
        arguments << "-e" << QStringLiteral("inject=fsync:error=EIO:when=%1").arg(failing == FailedSync::File ? 1 : 2);
    const qsizetype equals = entry.indexOf('=');
    arguments << child << folder + QStringLiteral("/dicy.ini") << QString::fromLatin1(entry.left(equals))
              << QString::fromLatin1(entry.mid(equals + 1));
    QProcess run;
    run.setWorkingDirectory(folder);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(strace(), arguments);
    // strace passes on the writer's exit code: 0, or 10 and more for a failed add.
    if (!run.waitForFinished(60000) || run.exitStatus() != QProcess::NormalExit || (run.exitCode() > 0 && run.exitCode() < 10)) {
        why = QStringLiteral("the writer did not run under strace");
        return std::nullopt;
    }
    QFile file(trace);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return std::nullopt;
    }
    return parseStrace(file.readAll(), folder, start, kConfirmation);
}

QList<FailedSync> failingSyncs()
{
    return {FailedSync::File, FailedSync::Folder};
}

QList<Model> modelsHere()
{
    return {Model::WeakPosix, Model::Ext4, Model::Ext4AutoDa};
}

} // namespace crash
