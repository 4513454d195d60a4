// Times the requirement table's calculated stock fields over a stock table of 1,000,000
// records: the data module's indexed total for every line of a 500-line requirement, and,
// over the same data, the original walk (locate the first stock record of the line's group
// and code, then read on to the end of the table adding every match).
//
//   bench_calcfields [directory] [walked lines]
//
// The walk reads most of the stock table for every line, so it is timed on a few lines and
// its per-line time is compared. Build without sanitizers for real figures.
#include "data/qdm_data_module.h"
#include "host/company_schema.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "settings/production_settings.h"
#include "tests/support/company_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <sqlite3.h>

#include "bench/common/bench_company.h"
#include "bench/common/million_stock.h"

namespace {

using namespace bench;

using Clock = std::chrono::steady_clock;
constexpr int kLines = 500;

void populate(const QString& companyDir, const QString& privateDir) {
    testsupport::CompanyBuilder company(
        companyDir); // creates the host's tables and the recipe table
    // The engine's own connection stays idle: the records go in through a bare one.
    sqlite3* h = bench::openLikeTheEngine(companyDir);
    exec(h, "BEGIN IMMEDIATE");
    bench::insertMillionStock(h);
    exec(h, "COMMIT");

    // The requirement table as the requirement sheet leaves it: 500 materials spread over the
    // groups.
    db::Session session;
    session.addAlias("PRIV", privateDir);
    db::Database priv("PRIV", &session);
    priv.createTable({"temp.DB",
                      {{"Cod_Grupa", db::FieldType::Text, 8},
                       {"Cod_MatPrim", db::FieldType::Text, 30},
                       {"Cant", db::FieldType::Float, 0}},
                      {{QString(), {"Cod_grupa", "Cod_MatPrim"}, true, true}}});
    sqlite3* p = bench::openLikeTheEngine(privateDir);
    exec(p, "BEGIN IMMEDIATE");
    sqlite3_stmt* ins = prepare(p, "INSERT INTO temp VALUES (?,?,?)");
    for (int k = 0; k < kLines; ++k) {
        bind(ins, 1, group(k % kGroups));
        bind(ins, 2, article((long(k) * 7919) % kArticles));
        sqlite3_bind_double(ins, 3, 10);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    exec(p, "COMMIT");
    sqlite3_close(h);
    sqlite3_close(p);
}

// The original computation: locate, then walk to the end of the stock table.
double walkedStock(db::Table& stoc, const QString& grupa, const QString& cod) {
    double total = 0;
    stoc.first();
    if (!stoc.locate("Cod_Grupa;Cod_articol", {grupa, cod}))
        return 0;
    db::Field* g = stoc.fieldByName("Cod_grupa");
    db::Field* c = stoc.fieldByName("Cod_articol");
    db::Field* q = stoc.fieldByName("Cantitate");
    for (; !stoc.eof(); stoc.next())
        if (g->asString() == grupa && c->asString() == cod)
            total += q->asFloat();
    return total;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir tmp;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int walkedLines = argc > 2 ? std::atoi(argv[2]) : 3;
    const QString companyDir = root + "/firma", privateDir = root + "/privat";
    QDir().mkpath(companyDir);
    QDir().mkpath(privateDir);
    if (!QFile::exists(db::sqlite::Connection::fileNameFor(privateDir))) {
        std::printf("populating %ld stock records and %d requirement lines in %s ...\n", kRecords,
                    kLines, qPrintable(root));
        populate(companyDir, privateDir);
    }

    bench::OpenCompany opened(companyDir, privateDir);
    TQDMDataModule& dm = opened.dm;
    dm.StocTable.open();
    dm.TempTable.open();

    // Indexed: every line's calculated fields, as the grid computes them when it paints.
    QStringList groups, codes;
    std::vector<double> indexed;
    const auto t0 = Clock::now();
    for (dm.TempTable.first(); !dm.TempTable.eof(); dm.TempTable.next()) {
        indexed.push_back(dm.TempTableStocExist->asFloat());
        groups << dm.TempTableCod_grupa->asString();
        codes << dm.TempTableCod_MatPrim->asString();
    }
    const double indexedMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();

    const auto t1 = Clock::now();
    int mismatches = 0;
    for (int k = 0; k < walkedLines && k < codes.size(); ++k)
        if (walkedStock(dm.StocTable, groups[k], codes[k]) != indexed[size_t(k)])
            ++mismatches;
    const double walkMs = std::chrono::duration<double, std::milli>(Clock::now() - t1).count();

    const double indexedPerLine = indexedMs / double(indexed.size());
    const double walkPerLine = walkMs / walkedLines;
    std::printf("\nstock records: %ld, requirement lines: %zu\n", kRecords, indexed.size());
    std::printf("indexed total, all %zu lines:      %10.2f ms (%.3f ms a line)\n", indexed.size(),
                indexedMs, indexedPerLine);
    std::printf(
        "walk, %d lines:                     %10.2f ms (%.1f ms a line; %.1f s for %d lines)\n",
        walkedLines, walkMs, walkPerLine, walkPerLine * kLines / 1000, kLines);
    std::printf("ratio (walk / indexed, per line):  %10.0f\n", walkPerLine / indexedPerLine);
    std::printf("results that differ between the two: %d\n", mismatches);
    return mismatches == 0 ? 0 : 1;
}
