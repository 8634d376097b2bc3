#include "record.h"
#include "seam_record.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace crash {

QString whyCannotRecord()
{
    return {};
}

std::optional<Recording> recordSave(const QString &child, const QString &folder, const Disk &start, const QByteArray &entry,
                                    FailedSync failing, QString &why)
{
    const QString notes = folder + QStringLiteral(".calls");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PARLANTA_CALL_RECORD"), notes);
    if (failing == FailedSync::File)
        environment.insert(QStringLiteral("PARLANTA_CALL_FAIL"), QStringLiteral("flush:1"));
    const qsizetype equals = entry.indexOf('=');
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(child, {folder + QStringLiteral("/dicy.ini"), QString::fromLatin1(entry.left(equals)), QString::fromLatin1(entry.mid(equals + 1))});
    if (!run.waitForFinished(60000) || run.exitStatus() != QProcess::NormalExit || (run.exitCode() > 0 && run.exitCode() < 10)) {
        why = QStringLiteral("the recording writer did not run: %1").arg(run.errorString());
        return std::nullopt;
    }
    QFile file(notes);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return std::nullopt;
    }
    return parseSeamRecord(file.readAll(), folder, start);
}

QList<FailedSync> failingSyncs()
{
    return {FailedSync::File};
}

QList<Model> modelsHere()
{
    return {Model::Ntfs};
}

} // namespace crash
