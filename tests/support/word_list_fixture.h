#pragma once

#include "system_faults.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <initializer_list>

// The lines, each ended with CR LF.
inline QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *line : list)
        out += QByteArray(line) + "\r\n";
    return out;
}

// What a folder holds, hidden files included, by name.
inline QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A temporary program folder for one test, with a dicy.ini written into it.
class ProgramFolder {
public:
    ProgramFolder() { testsystem::require(m_dir.isValid(), "a temporary folder"); }

    QString path() const { return m_dir.path(); }
    QString wordList() const { return m_dir.filePath(QStringLiteral("dicy.ini")); }

    void writeWordList(const QByteArray &bytes) const { write(QStringLiteral("dicy.ini"), bytes); }
    QByteArray readWordList() const { return read(QStringLiteral("dicy.ini")); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read(const QString &name) const
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};
