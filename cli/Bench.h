#pragma once
// zelmora-cli bench KIND ...: timing benchmarks. Each kind lives in the file of the work it
// measures and registers itself with ZELMORA_CLI_BENCH; "bench" alone lists the kinds.

#include "cli/Cli.h"

#include <QList>

namespace cli {

// Wall-clock time and the CPU time of the calling thread since start(), in milliseconds. On a
// busy machine the CPU time shows what the work itself costs.
class Stopwatch {
public:
    Stopwatch() { start(); }
    void start();
    double wallMs() const;
    double cpuMs() const;

private:
    qint64 wall_ = 0;
    qint64 cpu_ = 0;
};

// The median of a list of timings (the mean of the middle two for an even count; 0 if empty).
double median(QList<double> values);

// Prints "WHAT run I: T ms" for each timing and then "WHAT median: T ms", as every benchmark
// does; with CPU times, each line also shows "(cpu T ms)".
void printTimings(QTextStream &out, const QString &what, const QList<double> &millis,
                  const QList<double> &cpuMillis = {});

#define ZELMORA_CLI_BENCH(kind, usage, fn) \
    static ::cli::Registrar ZELMORA_CLI_CONCAT(bench_registrar_, __LINE__)(::cli::benchKinds(), kind, usage, fn)

}  // namespace cli
