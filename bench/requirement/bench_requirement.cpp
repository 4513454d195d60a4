// Times the requirement build of a receipt of 100 lines whose products have 15 recipe lines
// each (about 500 distinct materials) against a stock table of 1,000,000 records: the build
// (queries, batch copies, primary index, datasets opened) and the first paint of the
// requirement grid, and in the same run the same set-based work through the bare SQLite C API;
// beside them the engine's build and paint with the company on a PostgreSQL server (loopback),
// the requirement table staying in the local private directory.
//
//   bench_requirement [--driver sqlite|postgres|both] [--server "postgres:<connection>"]
//   [directory] [repetitions]
//
// Without --server a throwaway server is started for the run (scripts/test-server.sh).
//
// Build it without sanitizers for real figures (CMAKE_BUILD_TYPE=Release).
#include "bench/common/bench_server.h"
#include "controls/db_grid_normal.h"
#include "data/qdm_data_module.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"
#include "requirement/requirement_build.h"
#include "settings/production_settings.h"
#include "tests/support/company_builder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>

#include "bench/common/million_stock.h"
#include <vector>

namespace {

using namespace bench;

using Clock = std::chrono::steady_clock;

constexpr int kProducts = 100, kRecipeLines = 15, kMaterials = 500;
constexpr double kReceipt = 1;
constexpr int kScreenRows = 20; // more than the sheet's grid shows at its size

QString product(int p) {
    return QStringLiteral("P%1").arg(p, 3, 10, QChar('0'));
}
// The material pool: distinct articles spread over the groups.
long materialGroup(int k) {
    return k % kGroups;
}
long materialArticle(int k) {
    return (long(k) * 97) % kArticles;
}

QString text(sqlite3_stmt* s, int i) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
}

// A connection as the engine opens one: same journal mode, synchronous writes.
sqlite3* openLikeTheEngine(const QString& dir) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(db::sqlite::Connection::fileNameFor(dir)).constData(), &h,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    exec(h, db::sqlite::Connection::walIsSafe(sqlite3_libversion_number())
                ? "PRAGMA journal_mode=WAL"
                : "PRAGMA journal_mode=DELETE");
    exec(h, "PRAGMA synchronous=FULL");
    sqlite3_busy_timeout(h, 30000);
    return h;
}

void populate(const QString& companyDir) {
    testsupport::CompanyBuilder company(companyDir);
    sqlite3* h = company.database().sqliteConnection().handle();
    exec(h, "BEGIN IMMEDIATE");
    bench::insertMillionStock(h);
    sqlite3_stmt* ins = nullptr;

    // The catalog: every article of the stock under its groups, and the products.
    ins = prepare(
        h, "INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, Cont_marfa, CantReteta) "
           "VALUES (?,?,?,'kg','301',?)");
    for (long g = 0; g < kGroups; ++g)
        for (long a = 0; a < kArticles; ++a) {
            bind(ins, 1, group(g));
            bind(ins, 2, article(a));
            bind(ins, 3, QStringLiteral("Materie prima %1").arg(a));
            sqlite3_bind_null(ins, 4);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
    for (int p = 0; p < kProducts; ++p) {
        bind(ins, 1, QStringLiteral("PF"));
        bind(ins, 2, product(p));
        bind(ins, 3, QStringLiteral("Produs %1").arg(p));
        sqlite3_bind_double(ins, 4, 10);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);

    ins = prepare(
        h, "INSERT INTO Reteta (Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim) VALUES (?,?,?,?)");
    for (int p = 0; p < kProducts; ++p)
        for (int j = 0; j < kRecipeLines; ++j) {
            const int k = (p * 37 + j * 11) % kMaterials;
            bind(ins, 1, product(p));
            bind(ins, 2, article(materialArticle(k)));
            bind(ins, 3, group(materialGroup(k)));
            sqlite3_bind_double(ins, 4, 0.25 * (j + 1));
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
    sqlite3_finalize(ins);

    exec(h, "INSERT INTO Doc_in (Contor, Numar, Tip, Data) VALUES (1, 15, 'A1', '2024-03-12')");
    ins = prepare(h, "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, "
                     "Cod_articol, Cantitate) "
                     "VALUES (1,?,'PF','PF',?,?)");
    for (int p = 0; p < kProducts; ++p) {
        sqlite3_bind_double(ins, 1, p + 1);
        bind(ins, 2, product(p));
        sqlite3_bind_double(ins, 3, 20 + p);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    exec(h, "INSERT INTO Counter (NewCounterOut, NewCounterIn) VALUES (0, 0)");
    exec(h, "COMMIT");
}

// The same company on a server: the stock and the catalog generated by the server, the rest
// inserted through the engine's connection.
void populateServer(const QString& location) {
    testsupport::CompanyBuilder company(location);
    db::Connection& c = company.database().connection();
    company.database().transaction([&] {
        c.exec(QStringLiteral("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                              "Pret_achizitie, Cantitate, Agent) "
                              "SELECT '0' || (w + 1), 'G' || lpad(g::text, 2, '0'), 'M' || "
                              "lpad(a::text, 6, '0'), 'L' || l, "
                              "1.5 + l, ((((w * %1 + g) * %2 + a) * %3 + l) %% 7)::float8, '' "
                              "FROM generate_series(0, %4 - 1) w, generate_series(0, %1 - 1) g, "
                              "generate_series(0, %2 - 1) a, "
                              "generate_series(0, %3 - 1) l")
                   .arg(kGroups)
                   .arg(kArticles)
                   .arg(kLots)
                   .arg(kWarehouses)
                   .replace(QStringLiteral("%%"), QStringLiteral("%")));
        c.exec(QStringLiteral("INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, "
                              "Cont_marfa, CantReteta) "
                              "SELECT 'G' || lpad(g::text, 2, '0'), 'M' || lpad(a::text, 6, '0'), "
                              "'Materie prima ' || a, 'kg', '301', NULL "
                              "FROM generate_series(0, %1 - 1) g, generate_series(0, %2 - 1) a")
                   .arg(kGroups)
                   .arg(kArticles));
        auto product_ = c.prepare(
            "INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, Cont_marfa, CantReteta) "
            "VALUES ('PF', ?, ?, 'kg', '301', 10)");
        auto recipe = c.prepare(
            "INSERT INTO Reteta (Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim) VALUES (?,?,?,?)");
        auto line = c.prepare(
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
            "Cantitate) VALUES (1, ?, 'PF', 'PF', ?, ?)");
        for (int p = 0; p < kProducts; ++p) {
            {
                db::StatementUse use(*product_);
                product_->bindAll({product(p), QStringLiteral("Produs %1").arg(p)});
                product_->step();
            }
            for (int j = 0; j < kRecipeLines; ++j) {
                const int k = (p * 37 + j * 11) % kMaterials;
                db::StatementUse use(*recipe);
                recipe->bindAll({product(p), article(materialArticle(k)), group(materialGroup(k)),
                                 0.25 * (j + 1)});
                recipe->step();
            }
            db::StatementUse use(*line);
            line->bindAll({double(p + 1), product(p), double(20 + p)});
            line->step();
        }
        c.exec("INSERT INTO Doc_in (Contor, Numar, Tip, Data) VALUES (1, 15, 'A1', '2024-03-12')");
        c.exec("INSERT INTO Counter (NewCounterOut, NewCounterIn) VALUES (0, 0)");
        c.noteWrite();
    });
    c.exec("ANALYZE");
}

// The same set-based work with the bare C API: the per-line query, its copy, the aggregation,
// its copy with the primary key (one transaction, as the build does), then the first screen of
// lines with name and stock on hand.
struct Bare {
    sqlite3* company;
    sqlite3* priv;
    int lines = 0;

    void build() {
        std::vector<std::tuple<QString, QString, double>> rows;
        sqlite3_stmt* q = prepare(
            company, "SELECT D1.Cod_Grupa, D1.Cod_MatPrim, "
                     "(D.Cantitate * D1.Cant_MatPrim / D2.CantReteta) AS Cant "
                     "FROM Item_in D, Reteta D1, Catalog D2 WHERE D.Contor = ?1 "
                     "AND D1.Cod = D.Cod_articol AND D1.Cod = D2.Cod AND D2.Grupa = D.Cod_grupa");
        sqlite3_bind_double(q, 1, kReceipt);
        while (sqlite3_step(q) == SQLITE_ROW)
            if (sqlite3_column_type(q, 2) != SQLITE_NULL)
                rows.emplace_back(text(q, 0), text(q, 1), sqlite3_column_double(q, 2));
        sqlite3_finalize(q);
        exec(priv, "BEGIN IMMEDIATE");
        copy(rows, false);

        rows.clear();
        q = prepare(priv, "SELECT DISTINCT Cod_Grupa, Cod_MatPrim, SUM(Cant) AS Cant FROM bare "
                          "GROUP BY Cod_Grupa, Cod_MatPrim ORDER BY Cod_MatPrim");
        while (sqlite3_step(q) == SQLITE_ROW)
            rows.emplace_back(text(q, 0), text(q, 1), sqlite3_column_double(q, 2));
        sqlite3_finalize(q);
        copy(rows, true);
        exec(priv, "COMMIT");
        lines = int(rows.size());
    }

    void copy(const std::vector<std::tuple<QString, QString, double>>& rows, bool keyed) {
        exec(priv, "DROP TABLE IF EXISTS bare");
        exec(priv, "CREATE TABLE bare (Cod_Grupa TEXT(8), Cod_MatPrim TEXT(30), Cant FLOAT)");
        sqlite3_stmt* ins = prepare(priv, "INSERT INTO bare VALUES (?,?,?)");
        for (const auto& [g, c, q] : rows) {
            bind(ins, 1, g);
            bind(ins, 2, c);
            sqlite3_bind_double(ins, 3, q);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        if (keyed)
            exec(priv, "CREATE UNIQUE INDEX bare_pk ON bare (Cod_Grupa, Cod_MatPrim)");
    }

    double firstScreen() {
        double total = 0;
        sqlite3_stmt* page =
            prepare(priv, "SELECT Cod_Grupa, Cod_MatPrim, Cant FROM bare ORDER BY Cod_Grupa, "
                          "Cod_MatPrim LIMIT ?1");
        sqlite3_stmt* name =
            prepare(company, "SELECT Denumire FROM Catalog WHERE Cod = ?1 AND substr(Cod, 1, 1) "
                             "IN ('M', 'S') ORDER BY Grupa, Cod LIMIT 1");
        sqlite3_stmt* sum = prepare(
            company, "SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_grupa = ?1 AND Cod_articol = ?2");
        sqlite3_bind_int(page, 1, kScreenRows);
        while (sqlite3_step(page) == SQLITE_ROW) {
            const QString g = text(page, 0), c = text(page, 1);
            bind(name, 1, c);
            sqlite3_step(name);
            total += text(name, 0).size();
            sqlite3_reset(name);
            bind(sum, 1, g);
            bind(sum, 2, c);
            sqlite3_step(sum);
            total += sqlite3_column_double(sum, 0) - sqlite3_column_double(page, 2);
            sqlite3_reset(sum);
        }
        for (sqlite3_stmt* s : {page, name, sum})
            sqlite3_finalize(s);
        return total;
    }
};

double ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

// The engine's build and first paint on a company, medians of warm runs.
struct EngineRun {
    double build = 0, paint = 0;
    int lines = 0;
};

EngineRun measureEngine(const QString& companyLocation, const QString& privateDir, int reps) {
    db::Session session;
    session.addAlias("KRV_PRIV", privateDir);
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {"PATH=" + companyLocation};
    dm.GhostDB.open();
    // The sheet's grid at the sheet's size, on the requirement table.
    TDBGridNormal grid;
    grid.resize(581, 343);
    grid.setDataSource(&dm.TempSource);
    grid.show();
    std::vector<double> buildMs, paintMs;
    EngineRun out;
    for (int r = 0; r <= reps; ++r) { // the first round warms the caches and is not counted
        requirement::closeRequirement(dm);
        QApplication::processEvents();
        auto t = Clock::now();
        requirement::buildRequirement(dm, kReceipt);
        const double b = ms(t);
        t = Clock::now();
        grid.repaint();
        const double p = ms(t);
        out.lines = dm.TempTable.recordCount();
        if (r > 0) {
            buildMs.push_back(b);
            paintMs.push_back(p);
        }
    }
    requirement::closeRequirement(dm);
    out.build = median(buildMs);
    out.paint = median(paintMs);
    return out;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::DriverChoice drivers = bench::parseDriverArguments(argc, argv);
    QTemporaryDir tmp;
    const QString root = drivers.rest.size() > 0 ? drivers.rest[0] : tmp.path();
    const int reps = drivers.rest.size() > 1 ? std::max(1, drivers.rest[1].toInt()) : 10;
    const QString companyDir = root + "/firma", privateDir = root + "/privat",
                  bareDir = root + "/privat-bare", serverPrivateDir = root + "/privat-server";
    for (const QString& d : {companyDir, privateDir, bareDir, serverPrivateDir})
        QDir().mkpath(d);
    // No registry here: the production characters stay as set.
    store::setRegistryRoot(root + "/registry");
    IndGest = 'G';
    IndCod = 'M';
    IndSemi = 'S';

    EngineRun lite, server;
    std::vector<double> bareBuildMs, bareScreenMs;
    int bareLines = 0;
    double checksum = 0;
    if (drivers.sqlite) {
        if (!QFile::exists(db::sqlite::Connection::fileNameFor(companyDir)) ||
            !QFile::exists(companyDir + "/populated")) {
            std::printf("populating %ld stock records, %d products of %d recipe lines in %s ...\n",
                        kRecords, kProducts, kRecipeLines, qPrintable(root));
            populate(companyDir);
            QFile(companyDir + "/populated").open(QIODevice::WriteOnly);
        }
        lite = measureEngine(companyDir, privateDir, reps);
        Bare bare{openLikeTheEngine(companyDir), openLikeTheEngine(bareDir)};
        for (int r = 0; r <= reps; ++r) {
            auto t = Clock::now();
            bare.build();
            const double bb = ms(t);
            t = Clock::now();
            checksum += bare.firstScreen();
            const double bs = ms(t);
            if (r > 0) {
                bareBuildMs.push_back(bb);
                bareScreenMs.push_back(bs);
            }
        }
        bareLines = bare.lines;
        sqlite3_close(bare.company);
        sqlite3_close(bare.priv);
    }
    std::unique_ptr<bench::BenchServer> srv;
    if (drivers.server) {
        srv = std::make_unique<bench::BenchServer>(drivers.serverPrefix);
        if (!srv->started())
            return 1;
        const QString location = srv->location(QStringLiteral("bench_requirement"));
        bool populated = false;
        {
            db::Session s;
            s.addAlias("C", location);
            db::Database d("C", &s);
            populated = d.tableExists("Doc_in");
        }
        if (!populated) {
            std::printf("populating %ld stock records on the server ...\n", kRecords);
            populateServer(location);
        }
        server = measureEngine(location, serverPrivateDir, reps);
    }

    std::printf("\nstock records: %ld, receipt lines: %d, recipe lines each: %d, requirement "
                "lines: %d (bare: %d, server: %d)\n",
                kRecords, kProducts, kRecipeLines, lite.lines, bareLines, server.lines);
    std::printf("medians of %d warm runs                 SQLite      server\n", reps);
    std::printf("engine build:                      %8.2f ms %8.2f ms\n", lite.build, server.build);
    std::printf("engine first paint of the grid:    %8.2f ms %8.2f ms\n", lite.paint, server.paint);
    std::printf("engine total:                      %8.2f ms %8.2f ms  (targets: 50 ms SQLite, 150 "
                "ms server)\n",
                lite.build + lite.paint, server.build + server.paint);
    if (drivers.sqlite) {
        const double bareTotal = median(bareBuildMs) + median(bareScreenMs);
        std::printf("bare SQLite build:                 %8.2f ms\n", median(bareBuildMs));
        std::printf("bare SQLite first screen (%d rows): %8.2f ms\n", kScreenRows,
                    median(bareScreenMs));
        std::printf("bare SQLite total:                 %8.2f ms\n", bareTotal);
        std::printf("ratio engine / bare:               %8.2f      (target: within 2)\n",
                    (lite.build + lite.paint) / bareTotal);
        if (lite.lines != bareLines || checksum == 0)
            return 1;
    }
    if (drivers.server && drivers.sqlite && server.lines != lite.lines)
        return 1;
    return 0;
}
