// The worst case of a lookup, the last key of a full word list of about
// 1 MB, beside a bare read of the same file and beside QSettings finding the
// same key, and one add into a word list of that size. Prints the ratio of
// the lookup to the bare read at the end.

#include "lookup.h"
#include "word_list_writer.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iomanip>
#include <iostream>
#include <map>
#include <string>

#include <unistd.h>

namespace {

constexpr int kEntries = 32766; // with the header, 32767 lines: the most a word list holds

struct WordListFile {
    QTemporaryDir dir;
    QString path;
    QByteArray lastKey;

    WordListFile()
    {
        path = dir.filePath(QStringLiteral("dicy.ini"));
        QByteArray bytes = "[lexon]\r\n";
        for (int i = 0; i < kEntries; ++i) {
            const QByteArray key = "english" + QByteArray::number(i).rightJustified(5, '0');
            bytes += key + "=BALOUCHIWORD" + QByteArray::number(i).rightJustified(5, '0') + "\r\n";
            lastKey = key;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

WordListFile &wordList()
{
    static WordListFile file;
    return file;
}

class SilentReporter final : public dictionary::LookupReporter {
public:
    void emptyKey() override {}
    void found(const QByteArray &) override {}
    std::optional<QByteArray> notFound(const QByteArray &defaultValue) override { return defaultValue; }
};

void BM_BareRead(benchmark::State &state)
{
    const QString path = wordList().path;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_BareRead);

void BM_LookupLastKey(benchmark::State &state)
{
    SilentReporter reporter;
    for (auto _ : state) {
        auto value = dictionary::LookupEntry("lexon", wordList().lastKey, "none", wordList().path, reporter);
        if (!value)
            state.SkipWithError("last key not found");
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * QFile(wordList().path).size());
}
BENCHMARK(BM_LookupLastKey);

void BM_QSettingsLastKey(benchmark::State &state)
{
    const QString key = QStringLiteral("lexon/") + QString::fromLatin1(wordList().lastKey);
    for (auto _ : state) {
        QSettings settings(wordList().path, QSettings::IniFormat);
        QVariant value = settings.value(key);
        if (!value.isValid())
            state.SkipWithError("last key not found");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_QSettingsLastKey);

// One add into the full-size word list less one line, sync to disk included.
// The file is put back between adds, untimed, so each add meets the same file.
void BM_AddEntry(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dicy.ini"));
    // The full list less its last line: 32766 lines, so the add still fits.
    QFile original(wordList().path);
    if (!original.open(QIODevice::ReadOnly))
        std::abort();
    QByteArray bytes = original.readAll();
    bytes.truncate(bytes.lastIndexOf("\r\n", bytes.size() - 3) + 2);
    for (auto _ : state) {
        state.PauseTiming();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            std::abort();
        file.close();
        state.ResumeTiming();
        if (dictionary::writeEntry("lexon", "newword", "NEWVALUE", path))
            state.SkipWithError("the add failed");
    }
}
BENCHMARK(BM_AddEntry)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's mean real time so the ratio can be printed.
class RecordingReporter final : public benchmark::ConsoleReporter {
public:
    RecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto &times = reporter.times;
    if (times.count("BM_BareRead") && times.count("BM_LookupLastKey")) {
        const double ratio = times.at("BM_LookupLastKey") / times.at("BM_BareRead");
        std::cout << "\nword list: " << kEntries + 1 << " lines, " << QFile(wordList().path).size() << " bytes\n"
                  << "lookup of the last key / bare read = " << std::fixed << std::setprecision(2) << ratio
                  << " (target: at most 2.00, " << (ratio <= 2.0 ? "met" : "not met") << ")" << std::endl;
    }
    benchmark::Shutdown();
    return 0;
}
