#pragma once

#include "system_faults.h"

#include <QFile>
#include <QtTest>

// Makes the word list a sparse file of a terabyte and, while this lives,
// keeps this process from taking that much memory, so reading the file runs
// out of memory on any machine, whatever its overcommit setting.
class HugeWordList {
public:
    explicit HugeWordList(const QString &path)
    {
        QFile file(path);
        testsystem::require(file.open(QIODevice::WriteOnly) && file.resize(kSize), "a sparse word list of a terabyte");
    }

    static constexpr qint64 kSize = qint64(1) << 40;

private:
    testsystem::MemoryCap m_cap;
};
