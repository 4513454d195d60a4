// Times the consumption document: a 500-line document against a stock table of 1,000,000
// records with synchronous writes, and in the same run the same reads and writes through the
// bare SQLite C API in one transaction. Then two processes generate 1,000 ten-line documents
// each against shared stock, and the result is checked: 2,000 distinct, contiguous counters,
// no stock record below zero, stock plus issued quantity conserved. Both are run again with the
// company on a PostgreSQL server (loopback), the requirement tables staying local.
//
//   bench_generation [--driver sqlite|postgres|both] [--server "postgres:<connection>"] [directory]
//                    [repetitions] [documents per process]
//
// Without --server a throwaway server is started for the run (scripts/test-server.sh); each run
// makes fresh company schemas on it.
//
// Build it without sanitizers for real figures (CMAKE_BUILD_TYPE=Release).
#include "bench/common/bench_server.h"
#include "data/qdm_data_module.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "settings/production_settings.h"
#include "tests/support/company_builder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

#include "bench/common/million_stock.h"
#include <vector>

namespace {

using namespace bench;

using Clock = std::chrono::steady_clock;

constexpr int kLines = 500;
constexpr double kRequired = 3;
// Disjoint sets of 500 materials, one per timed document, so that every run meets fresh stock.
constexpr int kSets = int(kGroups * kArticles / kLines);

void bindValue(sqlite3_stmt* s, int i, sqlite3_value* v) {
    sqlite3_bind_value(s, i, v);
}

double scalar(sqlite3* h, const char* sql) {
    sqlite3_stmt* s = prepare(h, sql);
    sqlite3_step(s);
    const double v = sqlite3_column_double(s, 0);
    sqlite3_finalize(s);
    return v;
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

double ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void noRegistry(const QString& root) {
    store::setRegistryRoot(root + "/registry");
    IndGest = 'G';
    IndCod = 'M';
    IndSemi = 'S';
}

// A number read through the engine's connection: the same on either driver.
double engineScalar(db::Database& d, const QString& sql) {
    auto s = d.connection().prepare(sql);
    db::StatementUse use(*s);
    return s->step() ? s->columnDouble(0) : 0;
}

// ---- the 500-line document ----

// Statements executed and prepared by a document's generation, on the company's connection and
// on the private one that holds the requirement table.
struct Statements {
    double executed = 0, prepared = 0;
};

db::Connection::StatementCounts countsOf(TQDMDataModule& dm) {
    const auto company = dm.GhostDB.connection().statementCounts();
    const auto own = dm.TempTable.database().connection().statementCounts();
    return {company.executed + own.executed, company.prepared + own.prepared};
}

// Generates the document, timing it and counting its statements.
double generateCounted(TQDMDataModule& dm, requirement::GenerationResult& result,
                       Statements& statements) {
    const auto before = countsOf(dm);
    const auto t = Clock::now();
    result = requirement::generateConsumptionDocument(dm, QDate(2024, 4, 2));
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - t).count();
    const auto after = countsOf(dm);
    statements.executed = double(after.executed - before.executed);
    statements.prepared = double(after.prepared - before.prepared);
    return elapsed;
}

void printStatements(const char* where, const Statements& s, int lines) {
    if (lines <= 0)
        return;
    std::printf("statements a document line, %s: %.2f executed, %.3f prepared (%.0f and %.0f "
                "for the document; target: at most 4 executed)\n",
                where, s.executed / lines, s.prepared / lines, s.executed, s.prepared);
}

// The same company on a server: the stock and the catalog generated by the server.
void populateLargeOnServer(const QString& location) {
    testsupport::CompanyBuilder company(location);
    db::Connection& c = company.database().connection();
    company.database().transaction([&] {
        c.exec(QStringLiteral("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                              "Pret_achizitie, Cantitate, Agent) "
                              "SELECT '0' || (w + 1), 'G' || lpad(g::text, 2, '0'), 'M' || "
                              "lpad(a::text, 6, '0'), 'L' || l, "
                              "1.5 + l, ((((w * %1 + g) * %2 + a) * %3 + l) % 7)::float8, '' "
                              "FROM generate_series(0, %4 - 1) w, generate_series(0, %1 - 1) g, "
                              "generate_series(0, %2 - 1) a, "
                              "generate_series(0, %3 - 1) l")
                   .arg(kGroups)
                   .arg(kArticles)
                   .arg(kLots)
                   .arg(kWarehouses));
        c.exec(QStringLiteral("INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, "
                              "Cont_marfa, Cont_cheltuieli, "
                              "Cont_TVA_Iesiri) SELECT 'G' || lpad(g::text, 2, '0'), 'M' || "
                              "lpad(a::text, 6, '0'), "
                              "'Materie prima ' || a, 'kg', '301', '601', '4427' "
                              "FROM generate_series(0, %1 - 1) g, generate_series(0, %2 - 1) a")
                   .arg(kGroups)
                   .arg(kArticles));
        c.exec("INSERT INTO Doc_in (Contor, Numar, Tip, Data) VALUES (1, 15, 'A1', '2024-03-12')");
        c.exec("INSERT INTO Counter (NewCounterOut, NewCounterIn) VALUES (0, 0)");
        c.noteWrite();
    });
    c.exec("ANALYZE");
}

void populateLarge(const QString& companyDir) {
    testsupport::CompanyBuilder company(companyDir);
    sqlite3* h = company.database().sqliteConnection().handle();
    exec(h, "BEGIN IMMEDIATE");
    bench::insertMillionStock(h);
    sqlite3_stmt* ins = nullptr;
    ins = prepare(
        h,
        "INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, Cont_marfa, Cont_cheltuieli, "
        "Cont_TVA_Iesiri) VALUES (?,?,?,'kg','301','601','4427')");
    for (long g = 0; g < kGroups; ++g)
        for (long a = 0; a < kArticles; ++a) {
            bind(ins, 1, group(g));
            bind(ins, 2, article(a));
            bind(ins, 3, QStringLiteral("Materie prima %1").arg(a));
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
    sqlite3_finalize(ins);
    exec(h, "INSERT INTO Doc_in (Contor, Numar, Tip, Data) VALUES (1, 15, 'A1', '2024-03-12')");
    exec(h, "INSERT INTO Counter (NewCounterOut, NewCounterIn) VALUES (0, 0)");
    exec(h, "COMMIT");
}

// Material i of set s.
long setGroup(int s, int i) {
    return (long(s) * kLines + i) % kGroups;
}
long setArticle(int s, int i) {
    return (long(s) * kLines + i) / kGroups;
}

// The requirement table of set s, as the sheet leaves it.
void writeRequirement(sqlite3* priv, const char* table, int s) {
    exec(priv, "BEGIN IMMEDIATE");
    exec(priv, (QByteArray("DROP TABLE IF EXISTS ") + table).constData());
    exec(priv, (QByteArray("CREATE TABLE ") + table +
                " (Cod_Grupa TEXT(8), Cod_MatPrim TEXT(30), Cant FLOAT)")
                   .constData());
    exec(priv, (QByteArray("CREATE UNIQUE INDEX ") + table + "$PK ON " + table +
                " (Cod_Grupa, Cod_MatPrim)")
                   .constData());
    sqlite3_stmt* ins =
        prepare(priv, (QByteArray("INSERT INTO ") + table + " VALUES (?,?,?)").constData());
    for (int i = 0; i < kLines; ++i) {
        bind(ins, 1, group(setGroup(s, i)));
        bind(ins, 2, article(setArticle(s, i)));
        sqlite3_bind_double(ins, 3, kRequired);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    exec(priv, "COMMIT");
}

// The same reads and writes as the engine's generation, with the bare C API, in one transaction.
int bareGeneration(sqlite3* h, sqlite3* priv) {
    exec(h, "BEGIN IMMEDIATE");
    const double counter =
        scalar(h, "SELECT NewCounterOut FROM Counter ORDER BY rowid LIMIT 1") + 1;
    sqlite3_stmt* s = prepare(
        h, "UPDATE Counter SET NewCounterOut = ?1 WHERE rowid = (SELECT MIN(rowid) FROM Counter)");
    sqlite3_bind_double(s, 1, counter);
    sqlite3_step(s);
    sqlite3_finalize(s);
    sqlite3_stmt* in = prepare(h, "SELECT Numar, Tip, Data FROM Doc_in WHERE Contor = 1");
    sqlite3_step(in);
    s = prepare(h, "INSERT INTO Doc_out (Contor, Data_inregistrarii, Numar, Tip, Data, Explicatie) "
                   "VALUES (?1, '2024-04-02', ?2, 'BMC', '2024-04-02', ?3)");
    sqlite3_bind_double(s, 1, counter);
    sqlite3_bind_double(s, 2, sqlite3_column_double(in, 0));
    bind(s, 3,
         QStringLiteral("Consum coresp. %1 %2/%3")
             .arg(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(in, 1))))
             .arg(sqlite3_column_double(in, 0))
             .arg(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(in, 2)))));
    sqlite3_step(s);
    sqlite3_finalize(s);
    sqlite3_finalize(in);

    sqlite3_stmt* lines = prepare(
        priv, "SELECT Cod_Grupa, Cod_MatPrim, Cant FROM bare ORDER BY Cod_Grupa, Cod_MatPrim");
    sqlite3_stmt* onHand =
        prepare(h, "SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_grupa = ?1 AND Cod_articol = ?2");
    sqlite3_stmt* accounts =
        prepare(h, "SELECT Cont_marfa, Cont_TVA_Iesiri, Cont_cheltuieli, Cont_accize, Cont_adaos, "
                   "Cont_venituri FROM Catalog WHERE Grupa = ?1 AND Cod = ?2");
    sqlite3_stmt* records =
        prepare(h, "SELECT rowid, Cod_gestiune, Cod_grupa, Lot, Pret_achizitie, Agent, Cantitate "
                   "FROM Stoc WHERE Cod_grupa = ?1 AND Cod_articol = ?2 "
                   "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, rowid");
    sqlite3_stmt* lower = prepare(h, "UPDATE Stoc SET Cantitate = ?1 WHERE rowid = ?2");
    sqlite3_stmt* remove = prepare(h, "DELETE FROM Stoc WHERE rowid = ?1");
    sqlite3_stmt* line = prepare(
        h,
        "INSERT INTO Item_out (Contor, Contor_secundar, Cod_articol, Cod_grupa, Cod_gestiune, "
        "Cantitate, Pret_achizitie, Pret_vinzare, Pret_vz_echiv_USD, TVA, Lot, Agent, Cont_marfa, "
        "Cont_TVA_Iesiri, Cont_cheltuieli, Cont_accize, Cont_adaos, Cont_venituri) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?7, 0, 0, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
    int number = 1;
    while (sqlite3_step(lines) == SQLITE_ROW) {
        const double need = sqlite3_column_double(lines, 2);
        for (sqlite3_stmt* q : {onHand, accounts, records}) {
            bindValue(q, 1, sqlite3_column_value(lines, 0));
            bindValue(q, 2, sqlite3_column_value(lines, 1));
        }
        sqlite3_step(onHand);
        const bool enough =
            std::nearbyint((sqlite3_column_double(onHand, 0) - need) * 100) / 100 >= 0;
        sqlite3_reset(onHand);
        if (!enough || need == 0)
            continue;
        sqlite3_step(accounts);
        double remaining = need;
        while (remaining > 0 && sqlite3_step(records) == SQLITE_ROW) {
            const double have = sqlite3_column_double(records, 6);
            if (have <= 0)
                continue;
            const double taken = std::min(have, remaining);
            remaining -= taken;
            if (have - taken == 0) {
                sqlite3_bind_int64(remove, 1, sqlite3_column_int64(records, 0));
                sqlite3_step(remove);
                sqlite3_reset(remove);
            } else {
                sqlite3_bind_double(lower, 1, have - taken);
                sqlite3_bind_int64(lower, 2, sqlite3_column_int64(records, 0));
                sqlite3_step(lower);
                sqlite3_reset(lower);
            }
            sqlite3_bind_double(line, 1, counter);
            sqlite3_bind_double(line, 2, number++);
            bindValue(line, 3, sqlite3_column_value(lines, 1));
            bindValue(line, 4, sqlite3_column_value(records, 2));
            bindValue(line, 5, sqlite3_column_value(records, 1));
            sqlite3_bind_double(line, 6, taken);
            bindValue(line, 7, sqlite3_column_value(records, 4));
            bindValue(line, 8, sqlite3_column_value(records, 3));
            bindValue(line, 9, sqlite3_column_value(records, 5));
            for (int a = 0; a < 6; ++a)
                bindValue(line, 10 + a, sqlite3_column_value(accounts, a));
            check(h, sqlite3_step(line), "insert line");
            sqlite3_reset(line);
        }
        sqlite3_reset(records);
        sqlite3_reset(accounts);
    }
    for (sqlite3_stmt* q : {lines, onHand, accounts, records, lower, remove, line})
        sqlite3_finalize(q);
    exec(h, "COMMIT");
    return number - 1;
}

struct LargeFigures {
    double engine = 0, bare = 0;
    int engineLines = 0, bareLines = 0;
    Statements statements; // of the last counted document
};

LargeFigures timeLargeDocument(const QString& root, int reps) {
    const QString companyDir = root + "/firma", privateDir = root + "/privat",
                  bareDir = root + "/privat-bare";
    for (const QString& d : {companyDir, privateDir, bareDir})
        QDir().mkpath(d);
    QFile setsFile(root + "/sets-used");
    int used = 0;
    if (setsFile.open(QIODevice::ReadOnly))
        used = setsFile.readAll().trimmed().toInt();
    setsFile.close();
    if (!QFile::exists(companyDir + "/populated") || used + 2 * (reps + 1) > kSets) {
        QFile::remove(db::sqlite::Connection::fileNameFor(companyDir));
        std::printf("populating %ld stock records in %s ...\n", kRecords, qPrintable(companyDir));
        populateLarge(companyDir);
        QFile(companyDir + "/populated").open(QIODevice::WriteOnly);
        used = 0;
    }

    db::Session session;
    session.addAlias("KRV_PRIV", privateDir);
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {"PATH=" + companyDir};
    dm.GhostDB.open();
    sqlite3* priv = openLikeTheEngine(privateDir);
    sqlite3* company = openLikeTheEngine(companyDir);
    sqlite3* barePriv = openLikeTheEngine(bareDir);

    LargeFigures f;
    std::vector<double> engine, bare;
    for (int r = 0; r <= reps; ++r) { // the first round warms the caches and is not counted
        requirement::closeRequirement(dm);
        writeRequirement(priv, "temp", used++);
        // The datasets as the requirement sheet leaves them open.
        for (db::Table* t : {&dm.StocTable, &dm.CatalogTable1, &dm.ItemInTable, &dm.CounterTable,
                             &dm.TempTable, &dm.DocInTable})
            t->open();
        dm.DocInTable.findKey({1.0});
        // The receipt the requirement was built for, as a build through the sheet leaves it.
        dm.CalcNecesQuery.paramByName(QStringLiteral("Contor")).setAsFloat(1);
        requirement::GenerationResult result;
        Statements statements;
        const double e = generateCounted(dm, result, statements);

        writeRequirement(barePriv, "bare", used++);
        const auto t = Clock::now();
        const int bareLines = bareGeneration(company, barePriv);
        const double b = ms(t);
        if (r > 0) {
            engine.push_back(e);
            bare.push_back(b);
            f.engineLines = result.lineCount;
            f.bareLines = bareLines;
            f.statements = statements;
        }
    }
    requirement::closeRequirement(dm);
    if (setsFile.open(QIODevice::WriteOnly))
        setsFile.write(QByteArray::number(used));
    sqlite3_close(priv);
    sqlite3_close(company);
    sqlite3_close(barePriv);
    f.engine = median(engine);
    f.bare = median(bare);
    return f;
}

// The engine's generation with the company on a server (a fresh schema) and the requirement
// table in the local private directory.
double timeLargeDocumentOnServer(const QString& root, int reps, const QString& location, int& lines,
                                 Statements& counted) {
    const QString privateDir = root + "/privat-server";
    QDir().mkpath(privateDir);
    std::printf("populating %ld stock records on the server ...\n", kRecords);
    populateLargeOnServer(location);
    db::Session session;
    session.addAlias("KRV_PRIV", privateDir);
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {"PATH=" + location};
    dm.GhostDB.open();
    sqlite3* priv = openLikeTheEngine(privateDir);
    std::vector<double> engine;
    int used = 0;
    for (int r = 0; r <= reps; ++r) {
        requirement::closeRequirement(dm);
        writeRequirement(priv, "temp", used++);
        for (db::Table* t : {&dm.StocTable, &dm.CatalogTable1, &dm.ItemInTable, &dm.CounterTable,
                             &dm.TempTable, &dm.DocInTable})
            t->open();
        dm.DocInTable.findKey({1.0});
        // The receipt the requirement was built for, as a build through the sheet leaves it.
        dm.CalcNecesQuery.paramByName(QStringLiteral("Contor")).setAsFloat(1);
        requirement::GenerationResult result;
        Statements statements;
        const double e = generateCounted(dm, result, statements);
        if (r > 0) {
            engine.push_back(e);
            lines = result.lineCount;
            counted = statements;
        }
    }
    requirement::closeRequirement(dm);
    sqlite3_close(priv);
    return median(engine);
}

// ---- two processes over shared stock ----

constexpr int kSharedMaterials = 10, kSharedLots = 60;
constexpr double kLotQuantity = 50, kPerDocument = 1.3;

QString sharedMaterial(int m) {
    return QStringLiteral("M%1").arg(m, 3, 10, QChar('0'));
}

void populateShared(const QString& companyDir) {
    testsupport::CompanyBuilder company(companyDir);
    company.counter(0).receipt(1, 7, "A1", {2024, 3, 12}).article("PF", "PF01", "Produs", 10);
    company.receiptLine(1, 1, "PF", "PF01", 13); // 1.3 of every material
    company.database().transaction([&] {
        for (int m = 0; m < kSharedMaterials; ++m) {
            company.article("MAT", sharedMaterial(m)).recipe("PF01", "MAT", sharedMaterial(m), 1);
            for (int l = 0; l < kSharedLots; ++l)
                company.stock(QStringLiteral("0%1").arg(l % 3 + 1), "MAT", sharedMaterial(m),
                              QStringLiteral("L%1").arg(l, 2, 10, QChar('0')), 2 + m, kLotQuantity);
        }
    });
}

// One user: builds the requirement of the receipt and generates `documents` documents from it.
int worker(const QString& companyDir, const QString& privateDir, int documents) {
    noRegistry(privateDir);
    db::Session session;
    session.addAlias("KRV_PRIV", privateDir);
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {"PATH=" + companyDir};
    try {
        requirement::buildRequirement(dm, 1);
        for (int i = 0; i < documents; ++i)
            requirement::generateConsumptionDocument(dm, QDate(2024, 4, 2));
        requirement::closeRequirement(dm);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "worker: %s\n", e.what());
        return 1;
    }
    return 0;
}

// serverLocation: the company on a server instead of a directory under root.
bool runShared(const QString& root, int documents, const char* self,
               const QString& serverLocation = QString()) {
    const QString suffix = serverLocation.isEmpty() ? QString() : QStringLiteral("-server");
    const QString companyDir = serverLocation.isEmpty() ? root + "/shared" : serverLocation,
                  privA = root + "/shared-a" + suffix, privB = root + "/shared-b" + suffix;
    if (serverLocation.isEmpty()) {
        QDir(companyDir).removeRecursively();
        QDir().mkpath(companyDir);
    }
    for (const QString& d : {privA, privB})
        QDir().mkpath(d);
    populateShared(companyDir);
    db::Session readerSession;
    readerSession.addAlias("SHARED", companyDir);
    db::Database reader("SHARED", &readerSession);
    auto scalar = [&](const char* sql) { return engineScalar(reader, QString::fromUtf8(sql)); };
    const double before = scalar("SELECT TOTAL(Cantitate) FROM Stoc");

    const auto t = Clock::now();
    QProcess a, b;
    a.start(QString::fromLocal8Bit(self),
            {"--worker", companyDir, privA, QString::number(documents)});
    b.start(QString::fromLocal8Bit(self),
            {"--worker", companyDir, privB, QString::number(documents)});
    bool ok = true;
    for (QProcess* p : {&a, &b}) {
        p->waitForFinished(-1);
        const QByteArray err = p->readAllStandardError();
        if (!err.isEmpty())
            std::fprintf(stderr, "%s", err.constData());
        ok = ok && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
    }
    const double elapsed = ms(t);

    const int docs = int(scalar("SELECT COUNT(*) FROM Doc_out"));
    const int distinct = int(scalar("SELECT COUNT(DISTINCT Contor) FROM Doc_out"));
    const double low = scalar("SELECT MIN(Contor) FROM Doc_out"),
                 high = scalar("SELECT MAX(Contor) FROM Doc_out");
    const double counter = scalar("SELECT NewCounterOut FROM Counter");
    const bool contiguous = distinct == 2 * documents && docs == distinct && low == 1 &&
                            high == 2 * documents && counter == high;
    const double lowest = scalar("SELECT MIN(Cantitate) FROM Stoc");
    const double after = scalar("SELECT TOTAL(Cantitate) FROM Stoc");
    const double issued = scalar("SELECT TOTAL(Cantitate) FROM Item_out");
    bool conserved = std::fabs(before - (after + issued)) < 1e-6;
    // Per material as well: a quantity issued from one material's stock and booked to another
    // would pass the total.
    for (int m = 0; m < kSharedMaterials; ++m) {
        const QByteArray code = sharedMaterial(m).toUtf8();
        const double left = scalar(
            ("SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_articol = '" + code + "'").constData());
        const double out =
            scalar(("SELECT TOTAL(Cantitate) FROM Item_out WHERE Cod_articol = '" + code + "'")
                       .constData());
        conserved = conserved && std::fabs(kSharedLots * kLotQuantity - (left + out)) < 1e-6;
    }
    const double expectedIssued = 2.0 * documents * kSharedMaterials * kPerDocument;

    std::printf(
        "\ntwo processes, %d ten-line documents each, shared stock of %d materials x %d lots, %s\n",
        documents, kSharedMaterials, kSharedLots, serverLocation.isEmpty() ? "SQLite" : "server");
    std::printf("elapsed:                            %8.0f ms (%.2f ms a document)\n", elapsed,
                elapsed / (2 * documents));
    std::printf("documents: %d, distinct counters: %d, range %.0f..%.0f, counter %.0f: %s\n", docs,
                distinct, low, high, counter, contiguous ? "distinct and contiguous" : "FAILED");
    std::printf("lowest stock record: %g: %s\n", lowest,
                lowest >= 0 ? "none below zero" : "FAILED");
    std::printf("stock before %g = after %g + issued %g (expected issued %g): %s\n", before, after,
                issued, expectedIssued, conserved ? "conserved" : "FAILED");
    return ok && contiguous && lowest >= 0 && conserved;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--worker")
        return worker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      std::atoi(argv[4]));

    const bench::DriverChoice drivers = bench::parseDriverArguments(argc, argv);
    QTemporaryDir tmp;
    const QString root = drivers.rest.size() > 0 ? drivers.rest[0] : tmp.path();
    const int reps = drivers.rest.size() > 1 ? std::max(1, drivers.rest[1].toInt()) : 9;
    const int documents = drivers.rest.size() > 2 ? std::max(1, drivers.rest[2].toInt()) : 1000;
    noRegistry(root);

    LargeFigures f;
    if (drivers.sqlite)
        f = timeLargeDocument(root, reps);
    std::unique_ptr<bench::BenchServer> srv;
    double serverMs = 0;
    int serverLines = 0;
    Statements serverStatements;
    const QString runTag = QString::number(QDateTime::currentSecsSinceEpoch());
    if (drivers.server) {
        srv = std::make_unique<bench::BenchServer>(drivers.serverPrefix);
        if (!srv->started())
            return 1;
        serverMs = timeLargeDocumentOnServer(
            root, reps, srv->location("bench_generation_" + runTag), serverLines, serverStatements);
    }
    std::printf("\n%d-line document against %ld stock records, synchronous writes; medians of %d "
                "warm runs\n",
                kLines, kRecords, reps);
    std::printf(
        "engine generation, SQLite (%d document lines): %8.2f ms   (target: under 40 ms quiet)\n",
        f.engineLines, f.engine);
    std::printf(
        "engine generation, server (%d document lines): %8.2f ms   (target: under 200 ms)\n",
        serverLines, serverMs);
    std::printf("bare SQLite, one transaction (%d lines):        %8.2f ms\n", f.bareLines, f.bare);
    if (drivers.sqlite)
        std::printf(
            "ratio engine / bare:                           %8.2f      (target: within 1.5)\n",
            f.engine / f.bare);

    if (drivers.sqlite)
        printStatements("SQLite", f.statements, f.engineLines);
    if (drivers.server)
        printStatements("server", serverStatements, serverLines);

    bool shared = true;
    if (drivers.sqlite)
        shared = runShared(root, documents, argv[0]);
    if (drivers.server)
        shared =
            runShared(root, documents, argv[0], srv->location("bench_shared_" + runTag)) && shared;
    return shared ? 0 : 1;
}
