// A helper process for test_writer: adds words to a word list as a separate
// copy of the program would, so that the test can kill it, run several at
// once, or run it under a file size limit, strace or another user.
//
//   writer_child sequence FILE FIRST       adds word<i>=W<i> for i = FIRST, FIRST + 1 ...
//                                          printing "start <i>" before each write
//   writer_child batch FILE PREFIX COUNT   adds PREFIX<i>=V<i> for i = 0 .. COUNT - 1
//   writer_child once FILE KEY VALUE [FSIZE]
//                                          adds one entry, under a file size limit if given
//
// Exit status: 0 when every write succeeded, 10 + the WriteFailure of the
// first that failed, 2 for bad arguments. The status, not the output,
// carries the result, since some tests make every write fail.

#include "word_list_writer.h"
#include "word_list_file.h"

#include <QByteArray>
#include <QString>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

int add(const QString &file, const QByteArray &key, const QByteArray &value)
{
    const std::optional<dictionary::WriteError> error = dictionary::writeEntry(dictionary::kSection, key, value, file);
    return error ? 10 + int(error->failure) : 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (argc < 4)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[2]);

    if (mode == "sequence") {
        const long long last = QByteArray(argv[3]).toLongLong() + 100000;
        for (long long i = QByteArray(argv[3]).toLongLong(); i < last; ++i) {
            std::printf("start %lld\n", i);
            std::fflush(stdout);
            if (const int status = add(file, "word" + QByteArray::number(i), "W" + QByteArray::number(i)))
                return status;
        }
        return 0;
    }
    if (mode == "batch" && argc == 5) {
        const int count = QByteArray(argv[4]).toInt();
        for (int i = 0; i < count; ++i) {
            if (const int status = add(file, argv[3] + QByteArray::number(i), "V" + QByteArray::number(i)))
                return status;
        }
        return 0;
    }
    if (mode == "once" && (argc == 5 || argc == 6)) {
        if (argc == 6) {
            // Past the limit a write fails with EFBIG instead of killing us.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = QByteArray(argv[5]).toULongLong();
            const struct rlimit size = {limit, limit};
            if (::setrlimit(RLIMIT_FSIZE, &size) != 0)
                return 2;
        }
        return add(file, argv[3], argv[4]);
    }
    return 2;
}
