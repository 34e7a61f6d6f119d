// bench KIND [OPTIONS]: dispatches to the benchmark kinds registered with ZELMORA_CLI_BENCH.

#include "cli/Bench.h"

#include <algorithm>
#include <ctime>

namespace cli {

namespace {

int benchCommand(Context &c)
{
    if (c.args.isEmpty() || !benchKinds().count(c.args[0])) {
        QString text = c.args.isEmpty() ? QStringLiteral("bench needs a kind")
                                        : QStringLiteral("unknown benchmark '%1'").arg(c.args[0]);
        text += QStringLiteral("; kinds:");
        for (const auto &[name, entry] : benchKinds())
            text += QStringLiteral("\n  bench ") + QString::fromUtf8(entry.usage);
        throw UsageError(text);
    }
    Context sub{c.args.mid(1), c.dbDir, c.out, c.err};
    return benchKinds().at(c.args[0]).command(sub);
}

}  // namespace

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void Stopwatch::start()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    wall_ = qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    cpu_ = threadCpuNs();
}

double Stopwatch::wallMs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec - wall_) / 1e6;
}

double Stopwatch::cpuMs() const { return (threadCpuNs() - cpu_) / 1e6; }

void printTimings(QTextStream &out, const QString &what, const QList<double> &millis,
                  const QList<double> &cpuMillis)
{
    auto ms = [](double v) { return QString::number(v, 'f', 1) + QStringLiteral(" ms"); };
    const bool cpu = cpuMillis.size() == millis.size();
    for (int i = 0; i < millis.size(); ++i) {
        out << what << " run " << (i + 1) << ": " << ms(millis[i]);
        if (cpu)
            out << " (cpu " << ms(cpuMillis[i]) << ")";
        out << "\n";
    }
    out << what << " median: " << ms(median(millis));
    if (cpu)
        out << " (cpu " << ms(median(cpuMillis)) << ")";
    out << "\n";
}

ZELMORA_CLI_COMMAND("bench", "bench KIND [OPTIONS]      timing benchmarks (bench alone lists the kinds)",
                    benchCommand);

}  // namespace cli
