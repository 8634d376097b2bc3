// test_writer's other copy of the program, to be killed, run in parallel, or
// run under strace or another user:
//
//   writer_child FILE PREFIX FIRST COUNT [LOCK_MS]
//
// adds PREFIX<i>=V<i> for i = FIRST .. FIRST + COUNT - 1, printing "start <i>"
// before each. Exits 0, or 10 + the WriteFailure of the first failed write.

#include "word_list_writer.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 5)
        return 2;
    // Qt's arguments, which keep a path in any letters on every system.
    const QStringList arguments = QCoreApplication(argc, argv).arguments();
    const std::chrono::milliseconds timeout(argc > 5 ? std::atoll(argv[5]) : 10000);
    for (long long i = std::atoll(argv[3]), end = i + std::atoll(argv[4]); i < end; ++i) {
        std::printf("start %lld\n", i);
        std::fflush(stdout);
        const std::optional<dictionary::WriteError> error = dictionary::writeEntry(
            "lexon", argv[2] + QByteArray::number(i), "V" + QByteArray::number(i), arguments.at(1), timeout);
        if (error)
            return 10 + int(error->failure);
    }
    return 0;
}
