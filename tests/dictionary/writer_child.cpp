// test_writer's other copy of the program, to be killed, run in parallel, or
// run under a file size limit, strace or another user:
//
//   writer_child FILE PREFIX FIRST COUNT [LOCK_MS [FSIZE]]
//
// adds PREFIX<i>=V<i> for i = FIRST .. FIRST + COUNT - 1, printing "start <i>"
// before each. Exits 0, or 10 + the WriteFailure of the first failed write.

#include "word_list_writer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    if (argc < 5)
        return 2;
    if (const rlim_t limit = argc > 6 ? std::strtoull(argv[6], nullptr, 10) : 0) {
        std::signal(SIGXFSZ, SIG_IGN); // so that a write past the limit fails with EFBIG
        const struct rlimit size = {limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
    }
    const std::chrono::milliseconds timeout(argc > 5 ? std::atoll(argv[5]) : 10000);
    for (long long i = std::atoll(argv[3]), end = i + std::atoll(argv[4]); i < end; ++i) {
        std::printf("start %lld\n", i);
        std::fflush(stdout);
        const std::optional<dictionary::WriteError> error = dictionary::writeEntry(
            "lexon", argv[2] + QByteArray::number(i), "V" + QByteArray::number(i), QString::fromLocal8Bit(argv[1]), timeout);
        if (error)
            return 10 + int(error->failure);
    }
    return 0;
}
