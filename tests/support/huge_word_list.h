#pragma once

#include <QFile>
#include <QtTest>

#include <algorithm>
#include <sys/resource.h>

// Makes the word list a sparse file of a terabyte and, while this lives,
// caps the address space far below that, so reading the file runs out of
// memory on any machine, whatever its overcommit setting.
class HugeWordList {
public:
    explicit HugeWordList(const QString &path)
    {
        QCOMPARE(getrlimit(RLIMIT_AS, &m_saved), 0);
        rlimit capped = m_saved;
        capped.rlim_cur = std::min<rlim_t>(m_saved.rlim_max, rlim_t(1) << 38);
        QCOMPARE(setrlimit(RLIMIT_AS, &capped), 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(kSize));
    }
    ~HugeWordList() { setrlimit(RLIMIT_AS, &m_saved); }

    static constexpr qint64 kSize = qint64(1) << 40;

private:
    rlimit m_saved{RLIM_INFINITY, RLIM_INFINITY};
};
