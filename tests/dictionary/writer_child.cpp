// test_writer's other copy of the program, to be killed, run in parallel, or
// run under strace or another user:
//
//   writer_child FILE PREFIX FIRST COUNT [LOCK_MS [SHARED]]
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
    // With SHARED, FILE is the user's own list beside it, as a program whose
    // shared list is not the user's to write adds to.
    const platform::WordListPlaces places{argc > 6 ? arguments.at(6) : arguments.at(1), arguments.at(1)};
    for (long long i = std::atoll(argv[3]), end = i + std::atoll(argv[4]); i < end; ++i) {
        std::printf("start %lld\n", i);
        std::fflush(stdout);
        const std::optional<dictionary::WriteError> error = dictionary::addToOwnList(
            "lexon", argv[2] + QByteArray::number(i), "V" + QByteArray::number(i), places, timeout);
        if (error)
            return 10 + int(error->failure);
    }
    return 0;
}
