// The worst case of a lookup, the last key of a full word list of about
// 1 MB, beside a bare read of the same file and beside QSettings finding the
// same key, and one add into a word list of that size. The lookup runs once
// through LookupEntry and once per scan path this processor can run (read
// plus scan, each path forced), on a list of mixed key lengths, on one where
// every key has the sought key's length, and for a key on line 2. Each runs
// several times (7 unless --benchmark_repetitions says otherwise); the end
// prints the minimum and the median of each and their ratios to the bare read.

#include "fast_scan.h"
#include "file_system.h"
#include "lookup.h"
#include "word_list_file.h"
#include "word_list_writer.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <array>
#include <map>
#include <string>

#include <unistd.h>

namespace {

constexpr int kEntries = 32766; // with the header, 32767 lines: the most a word list holds

struct WordListFile {
    QTemporaryDir dir;
    QString path;
    QByteArray lastKey;
    QByteArray secondLineKey;

    // Keys "english00000" ... of one length, or "english0" ... of five lengths.
    explicit WordListFile(bool sameLength = true)
    {
        path = dir.filePath(QStringLiteral("dicy.ini"));
        QByteArray bytes = "[lexon]\r\n";
        for (int i = 0; i < kEntries; ++i) {
            const QByteArray number = QByteArray::number(i);
            const QByteArray key = "english" + (sameLength ? number.rightJustified(5, '0') : number);
            bytes += key + "=BALOUCHIWORD" + QByteArray::number(i).rightJustified(5, '0') + "\r\n";
            lastKey = key;
            if (i == 0)
                secondLineKey = key;
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

WordListFile &mixedLengthList()
{
    static WordListFile file(false);
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
double minimum(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}
BENCHMARK(BM_BareRead)->ComputeStatistics("min", minimum);

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
BENCHMARK(BM_LookupLastKey)->ComputeStatistics("min", minimum);

// Read as LookupEntry reads, then scan with one path forced.
void readAndScan(benchmark::State &state, dictionary::fastscan::Path path, const WordListFile *list, bool lastKey)
{
    const QByteArray key = lastKey ? list->lastKey : list->secondLineKey;
    for (auto _ : state) {
        const std::optional<QByteArray> bytes = platform::files::readRegularFile(list->path);
        if (!bytes)
            state.SkipWithError("cannot read");
        const auto result = dictionary::fastscan::scan(path, *bytes, "lexon", key);
        if (result.outcome != dictionary::ScanOutcome::Found)
            state.SkipWithError("key not found");
        benchmark::DoNotOptimize(result);
    }
}

void registerPaths()
{
    using dictionary::fastscan::Path;
    for (Path path : {Path::Scalar, Path::Sse2, Path::Avx2, Path::Avx512}) {
        if (!dictionary::fastscan::canRun(path))
            continue;
        const std::string name = dictionary::fastscan::pathName(path);
        benchmark::RegisterBenchmark(("Scan/" + name + "/last key, mixed lengths").c_str(), readAndScan, path,
                                     &mixedLengthList(), true)->ComputeStatistics("min", minimum);
        benchmark::RegisterBenchmark(("Scan/" + name + "/last key, all of its length").c_str(), readAndScan, path,
                                     &wordList(), true)->ComputeStatistics("min", minimum);
        benchmark::RegisterBenchmark(("Scan/" + name + "/key on line 2").c_str(), readAndScan, path, &wordList(), false)
            ->ComputeStatistics("min", minimum);
    }
}

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
BENCHMARK(BM_QSettingsLastKey)->ComputeStatistics("min", minimum);

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
BENCHMARK(BM_AddEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", minimum);

// Keeps the minimum and the median real time of each benchmark, in
// microseconds, so the ratios can be printed.
class RecordingReporter final : public benchmark::ConsoleReporter {
public:
    RecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && (run.aggregate_name == "min" || run.aggregate_name == "median"))
                times[run.run_name.function_name][run.aggregate_name == "min"] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::array<double, 2>> times; // median, min
};

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=7";
    if (std::none_of(args.begin(), args.end(), [](const char *a) { return std::string(a).find("repetitions") != std::string::npos; }))
        args.push_back(repetitions.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    registerPaths();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto &times = reporter.times;
    if (times.count("BM_BareRead")) {
        const auto bare = times.at("BM_BareRead");
        std::cout << std::fixed << "\nword list: " << kEntries + 1 << " lines, " << QFile(wordList().path).size()
                  << " bytes\nLookupEntry runs the " << dictionary::fastscan::pathName(dictionary::fastscan::bestPath())
                  << " scan\n" << std::setprecision(1) << "bare read: min " << bare[1] << " us, median " << bare[0]
                  << " us\n" << std::left << std::setw(44) << "read and scan" << std::right
                  << "     min  median  (us)  ratio to the bare read, min / median\n";
        for (const auto &[name, time] : times) {
            if (name == "BM_BareRead" || name == "BM_AddEntry" || name == "BM_QSettingsLastKey")
                continue;
            std::cout << std::left << std::setw(44) << name << std::right << std::setprecision(1) << std::setw(8)
                      << time[1] << std::setw(8) << time[0] << std::setprecision(2) << std::setw(12) << time[1] / bare[1]
                      << std::setw(8) << time[0] / bare[0] << "\n";
        }
        std::cout << "targets for the last key: AVX-512BW 2.5x, AVX2 3.7x, SSE2 7x" << std::endl;
    }
    benchmark::Shutdown();
    return 0;
}
