// Times the import of a company's Paradox tables: a stock file of 1,000,000 records (4
// warehouses, 20 groups, 2,500 articles a group, 5 lots each), written once by the Paradox
// library's writer and kept in the directory for the next run, imported into a new company on
// SQLite and on a PostgreSQL server; prints the records imported per second (the target is
// 100,000 a second on SQLite).
//
//   bench_import [--driver sqlite|postgres|both] [--server "postgres:<connection>"] [directory]
//   [records]
//
// Build it without sanitizers for real figures (CMAKE_BUILD_TYPE=Release).
#include "bench/common/bench_server.h"
#include "import/paradox_import.h"
#include "import/paradox_table.h"
#include "tests/import/paradox_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;
using paradox::FieldCode;

constexpr int kWarehouses = 4, kGroups = 20, kLots = 5;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The stock file, written unless the directory already holds one of that many records.
QString stockFile(const QString& directory, long records) {
    const QString path = QDir(directory).filePath(QStringLiteral("Stoc.DB"));
    try {
        if (QFileInfo::exists(path) && paradox::ParadoxTable(path).recordCount() == records)
            return path;
    } catch (const paradox::FileRefused&) {
    }
    std::printf("Writing %ld stock records with the Paradox library's writer (once)...\n", records);
    std::fflush(stdout);
    const auto start = Clock::now();
    const long articles = std::max(1L, records / (kWarehouses * kGroups * kLots));
    pxtest::TableWriter writer(path,
                               {{"Cod_gestiune", FieldCode::Alpha, 4},
                                {"Cod_grupa", FieldCode::Alpha, 8},
                                {"Cod_articol", FieldCode::Alpha, 30},
                                {"Lot", FieldCode::Alpha, 30},
                                {"Pret_achizitie", FieldCode::Number, 8},
                                {"Cantitate", FieldCode::Number, 8},
                                {"Agent", FieldCode::Alpha, 3}},
                               records);
    for (long i = 0; i < records; ++i) {
        const long lot = i % kLots, rest = i / kLots;
        const long article = rest % articles, group = rest / articles % kGroups,
                   warehouse = rest / articles / kGroups;
        writer.add({QStringLiteral("G%1").arg(warehouse),
                    QStringLiteral("G%1").arg(group, 2, 10, QLatin1Char('0')),
                    QStringLiteral("M%1").arg(group * articles + article, 6, 10, QLatin1Char('0')),
                    QStringLiteral("L%1").arg(lot), 1.25 + 0.5 * double(lot), double(i % 7),
                    QStringLiteral("AP")});
    }
    writer.close();
    std::printf("  written in %.1f s\n", seconds(start));
    return path;
}

void measure(const char* driver, const QString& source, const QString& server) {
    QTemporaryDir place;
    paradox::ImportRequest request;
    request.sourceDirectory = source;
    request.companyDirectory = place.path() + QStringLiteral("/firma");
    request.server = server;
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const paradox::ImportOutcome outcome = paradox::importCompany(request);
    const double elapsed = seconds(start), cpu = cpuSeconds() - cpuStart;
    qint64 written = 0;
    for (const paradox::TableSummary& t : outcome.tables)
        written += t.written;
    // The processor time of this process beside the elapsed time: on a machine shared with
    // other work the first says what the import costs, the second what it took.
    std::printf("%-9s %9lld records imported in %6.2f s: %9.0f records/s (%.2f s of processor "
                "time in this process: %.0f records per processor second)%s\n",
                driver, static_cast<long long>(written), elapsed, double(written) / elapsed, cpu,
                double(written) / cpu, outcome.written ? "" : " (NOT WRITTEN)");
    for (const QString& r : outcome.refused.mid(0, 5))
        std::printf("  refused: %s\n", qPrintable(r));
}

} // namespace

int main(int argc, char** argv) {
    const bench::DriverChoice drivers = bench::parseDriverArguments(argc, argv);
    QTemporaryDir scratch;
    const QString directory = drivers.rest.value(0, scratch.path() + QStringLiteral("/paradox"));
    const long records = drivers.rest.size() > 1 ? drivers.rest[1].toLong() : 1000000;
    QDir().mkpath(directory);
    // The directory may hold other files of earlier runs; the import reads only the stock file.
    QTemporaryDir sourceDir;
    const QString stock = stockFile(directory, records);
    QFile::link(stock, QDir(sourceDir.path()).filePath(QStringLiteral("Stoc.DB")));
    std::printf("Import of %ld stock records (target: 100000 records/s on SQLite, Release build)\n",
                records);
    if (drivers.sqlite)
        measure("sqlite", sourceDir.path(), QString());
    if (drivers.server) {
        bench::BenchServer server(drivers.serverPrefix);
        if (server.started())
            measure(
                "postgres", sourceDir.path(),
                server.location(
                    QStringLiteral("bench_import_%1").arg(QDateTime::currentMSecsSinceEpoch())));
        else
            std::printf("postgres: no server could be started; skipped\n");
    }
    return 0;
}
