#pragma once
// zelmora-cli bench KIND ...: timing benchmarks. Each kind lives in the file of the work it
// measures and registers itself with ZELMORA_CLI_BENCH; "bench" alone lists the kinds.

#include "cli/Cli.h"

#include <QList>

namespace cli {

struct BenchRegistrar {
    BenchRegistrar(const char *kind, const char *usage, Command command);
};

// The median of a list of timings (the mean of the middle two for an even count; 0 if empty).
double median(QList<double> values);

// Prints "run I: T ms" for each timing and then "median: T ms", as every benchmark does.
void printTimings(QTextStream &out, const QString &what, const QList<double> &millis);

#define ZELMORA_CLI_BENCH(kind, usage, fn) \
    static ::cli::BenchRegistrar ZELMORA_CLI_CONCAT(bench_registrar_, __LINE__)(kind, usage, fn)

}  // namespace cli
