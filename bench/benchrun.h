#pragma once

#include <QByteArray>
#include <QFile>

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Keeps the best (smallest) real and CPU time of each benchmark, by function name, over its
// repetitions, and the median real time, while printing as usual.
class BestTimesReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medianReal[run.run_name.function_name] = run.GetAdjustedRealTime();
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "min")
                continue;
            keepSmallest(real, run.run_name.function_name, run.GetAdjustedRealTime());
            keepSmallest(cpu, run.run_name.function_name, run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> real;
    std::map<std::string, double> cpu;
    std::map<std::string, double> medianReal; // when the benchmarks run repeated

private:
    static void keepSmallest(std::map<std::string, double> &times, const std::string &name,
                             double t)
    {
        const auto [it, added] = times.emplace(name, t);
        if (!added && t < it->second)
            it->second = t;
    }
};

// Runs the registered benchmarks, `times` repetitions each unless the command line says otherwise.
inline void runBenchmarks(int argc, char **argv, BestTimesReporter &reporter, int times = 5)
{
    std::vector<char *> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(times);
    bool given = false;
    for (int i = 1; i < argc; ++i)
        given = given || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!given)
        args.push_back(repetitions.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

// Resident memory in kB from /proc/self/status ("VmHWM:" peak, "VmRSS:" now); 0 elsewhere.
inline long memoryKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}
