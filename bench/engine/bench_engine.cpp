// Times the dataset engine against the bare SQLite C API on a stock table of 1,000,000
// records, statement for statement, and prints both with their ratio.
//
//   bench_engine [directory] [records]
//
// Build it without sanitizers for real figures (CMAKE_BUILD_TYPE=Release).
#include "platform/db/database.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/query.h"
#include "platform/db/session.h"
#include "platform/db/table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <sqlite3.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(int reps, const std::function<void(int)>& fn) {
    const auto start = Clock::now();
    for (int i = 0; i < reps; ++i)
        fn(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / reps;
}

long residentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Key {
    QString gest, grupa, cod, lot;
    double pret;
};

constexpr int kWarehouses = 4, kGroups = 20, kLots = 5;

Key keyOf(long i, long articles) {
    const long lot = i % kLots;
    i /= kLots;
    const long art = i % articles;
    i /= articles;
    const long grp = i % kGroups;
    const long gest = i / kGroups;
    return {QStringLiteral("%1").arg(gest + 1, 2, 10, QChar('0')), QStringLiteral("G%1").arg(grp, 2, 10, QChar('0')),
            QStringLiteral("M%1").arg(art, 6, 10, QChar('0')), QStringLiteral("L%1").arg(lot), 1.5 + double(lot)};
}

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bindText(sqlite3_stmt* s, int i, const QString& v) {
    const QByteArray u = v.toUtf8();
    sqlite3_bind_text(s, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void populate(const QString& dir, long records) {
    db::Session session;
    session.addAlias("BENCH", dir);
    db::Database database("BENCH", &session);
    using db::FieldType;
    database.createTable({"Stoc.DB",
                          {{"Cod_gestiune", FieldType::Text, 4},
                           {"Cod_grupa", FieldType::Text, 8},
                           {"Cod_articol", FieldType::Text, 30},
                           {"Lot", FieldType::Text, 30},
                           {"Pret_achizitie", FieldType::Float},
                           {"Cantitate", FieldType::Float},
                           {"Agent", FieldType::Text, 3}},
                          {{QString(), {"Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot", "Pret_achizitie"}, true, true},
                           {"GrupaArticol", {"Cod_grupa", "Cod_articol"}, false, false}}});
    sqlite3* h = database.connection().handle();
    const long articles = records / (kWarehouses * kGroups * kLots);
    check(sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), h);
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(h, "INSERT INTO Stoc VALUES (?,?,?,?,?,?,'')", -1, &ins, nullptr), h);
    for (long i = 0; i < records; ++i) {
        const Key k = keyOf(i, articles);
        bindText(ins, 1, k.gest);
        bindText(ins, 2, k.grupa);
        bindText(ins, 3, k.cod);
        bindText(ins, 4, k.lot);
        sqlite3_bind_double(ins, 5, k.pret);
        sqlite3_bind_double(ins, 6, double(i % 17));
        check(sqlite3_step(ins), h);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr), h);
}

struct Row {
    const char* what;
    double engine, bare;
};

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const long records = argc > 2 ? std::atol(argv[2]) : 1000000;
    const long articles = records / (kWarehouses * kGroups * kLots);
    QDir().mkpath(dir);
    if (!QFile::exists(db::sqlite::Connection::fileNameFor(dir))) {
        std::printf("populating %ld stock records in %s ...\n", records, qPrintable(dir));
        const auto t0 = Clock::now();
        populate(dir, records);
        std::printf("populated in %.1f s\n", std::chrono::duration<double>(Clock::now() - t0).count());
    }
    std::mt19937 rng(42);
    std::uniform_int_distribution<long> pick(0, records - 1);
    const int reps = 2000;
    std::vector<Key> keys;
    for (int i = 0; i < reps; ++i)
        keys.push_back(keyOf(pick(rng), articles));

    db::Session session;
    session.addAlias("BENCH", dir);
    db::Database database("BENCH", &session);
    database.open();
    db::Table stoc("StocTable");
    stoc.setSession(&session);
    stoc.setDatabaseName("BENCH");
    stoc.setTableName("Stoc.DB");
    for (const char* f : {"Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot"})
        stoc.addField(f, db::FieldType::Text, QString(f) == "Cod_gestiune" ? 4 : QString(f) == "Cod_grupa" ? 8 : 30);
    stoc.addField("Pret_achizitie", db::FieldType::Float);
    stoc.addField("Cantitate", db::FieldType::Float);
    stoc.addField("Agent", db::FieldType::Text, 3);

    const long rssBefore = residentKiB();
    stoc.open();
    const long rssAfter = residentKiB();
    std::vector<Row> rows;

    // Bare SQLite on its own connection to the same file.
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(db::sqlite::Connection::fileNameFor(dir)).constData(), &h, SQLITE_OPEN_READWRITE,
                    nullptr);
    sqlite3_busy_timeout(h, 10000);
    sqlite3_exec(h, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    auto prep = [&](const char* sql) {
        sqlite3_stmt* s = nullptr;
        check(sqlite3_prepare_v3(h, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), h);
        return s;
    };
    const char* cols = "rowid, Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, Cantitate, Agent";
    auto readRow = [](sqlite3_stmt* s) {
        volatile double sink = 0;
        for (int c = 0; c < 8; ++c)
            sink = sink + sqlite3_column_bytes(s, c) + sqlite3_column_double(s, c);
    };
    const QByteArray firstSql = QStringLiteral("SELECT %1 FROM Stoc ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                                               "Pret_achizitie LIMIT 30").arg(cols).toUtf8();
    const QByteArray exactSql = QStringLiteral("SELECT %1 FROM Stoc WHERE Cod_gestiune=? AND Cod_grupa=? AND Cod_articol=? "
                                               "AND Lot=? AND Pret_achizitie=? LIMIT 1").arg(cols).toUtf8();
    const QByteArray nearestSql = QStringLiteral("SELECT %1 FROM Stoc WHERE Cod_gestiune=? AND Cod_grupa=? AND Cod_articol>=? "
                                                 "ORDER BY Cod_articol, Lot, Pret_achizitie LIMIT 1").arg(cols).toUtf8();
    const QByteArray locateSql = QStringLiteral("SELECT %1 FROM Stoc WHERE Cod_grupa=? AND Cod_articol=? ORDER BY "
                                                "+Cod_gestiune, +Lot, +Pret_achizitie LIMIT 1").arg(cols).toUtf8();

    // Open: the engine opens the dataset (structure, order, first page); bare SQLite prepares
    // and reads the first record in key order.
    const double engineOpen = microseconds(200, [&](int) {
        stoc.close();
        stoc.open();
    });
    const double bareOpen = microseconds(200, [&](int) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, firstSql.constData(), -1, &s, nullptr);
        sqlite3_step(s);
        readRow(s);
        sqlite3_finalize(s);
    });
    rows.push_back({"open", engineOpen, bareOpen});

    const double engineScreen = microseconds(500, [&](int) {
        stoc.first();
        for (int i = 1; i < 30; ++i)
            stoc.next();
    });
    sqlite3_stmt* first = prep(firstSql.constData());
    const double bareScreen = microseconds(500, [&](int) {
        while (sqlite3_step(first) == SQLITE_ROW)
            readRow(first);
        sqlite3_reset(first);
    });
    rows.push_back({"first screen of 30 records", engineScreen, bareScreen});

    // Records appended by earlier runs on the same file must not collide.
    const qint64 runId = QDateTime::currentMSecsSinceEpoch();
    const double engineAppend = microseconds(50, [&](int i) {
        stoc.append();
        stoc.fieldByName("Cod_gestiune")->setAsString("99");
        stoc.fieldByName("Cod_grupa")->setAsString("NOU");
        stoc.fieldByName("Cod_articol")->setAsString(QStringLiteral("E%1-%2").arg(runId).arg(i));
        stoc.fieldByName("Pret_achizitie")->setAsFloat(1);
        stoc.fieldByName("Cantitate")->setAsFloat(1);
        stoc.post();
    });
    sqlite3_stmt* ins = prep("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, Cantitate, Agent) "
                             "VALUES ('99','NOU',?,'',1,1,'')");
    const double bareAppend = microseconds(50, [&](int i) {
        sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        bindText(ins, 1, QStringLiteral("B%1-%2").arg(runId).arg(i));
        check(sqlite3_step(ins), h);
        sqlite3_reset(ins);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    });
    rows.push_back({"append and post one record", engineAppend, bareAppend});

    const double engineExact = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        if (!stoc.findKey({k.gest, k.grupa, k.cod, k.lot, k.pret}))
            std::abort();
    });
    sqlite3_stmt* exact = prep(exactSql.constData());
    const double bareExact = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        bindText(exact, 1, k.gest);
        bindText(exact, 2, k.grupa);
        bindText(exact, 3, k.cod);
        bindText(exact, 4, k.lot);
        sqlite3_bind_double(exact, 5, k.pret);
        if (sqlite3_step(exact) != SQLITE_ROW)
            std::abort();
        readRow(exact);
        sqlite3_reset(exact);
    });
    rows.push_back({"exact key search", engineExact, bareExact});

    const double engineNearest = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        stoc.findNearest({k.gest, k.grupa, k.cod.left(5)});
    });
    sqlite3_stmt* nearest = prep(nearestSql.constData());
    const double bareNearest = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        bindText(nearest, 1, k.gest);
        bindText(nearest, 2, k.grupa);
        bindText(nearest, 3, k.cod.left(5));
        if (sqlite3_step(nearest) == SQLITE_ROW)
            readRow(nearest);
        sqlite3_reset(nearest);
    });
    rows.push_back({"nearest key search (partial key)", engineNearest, bareNearest});

    const double engineLocate = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        if (!stoc.locate("Cod_Grupa;Cod_articol", {k.grupa, k.cod}))
            std::abort();
    });
    sqlite3_stmt* locate = prep(locateSql.constData());
    const double bareLocate = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        bindText(locate, 1, k.grupa);
        bindText(locate, 2, k.cod);
        if (sqlite3_step(locate) != SQLITE_ROW)
            std::abort();
        readRow(locate);
        sqlite3_reset(locate);
    });
    rows.push_back({"locate on (group, code)", engineLocate, bareLocate});

    db::Query sum("StocSum");
    sum.setSession(&session);
    sum.setDatabaseName("BENCH");
    sum.setSqlText("SELECT SUM(Cantitate) AS Total FROM Stoc WHERE Cod_grupa = :Grupa AND Cod_articol = :Cod");
    const double engineSum = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        sum.close();
        sum.paramByName("Grupa").setAsString(k.grupa);
        sum.paramByName("Cod").setAsString(k.cod);
        sum.open();
        volatile double total = sum.fieldByName("Total")->asFloat();
        (void)total;
    });
    sqlite3_stmt* bareSum = prep("SELECT SUM(Cantitate) FROM Stoc WHERE Cod_grupa = ? AND Cod_articol = ?");
    const double bareSumUs = microseconds(reps, [&](int i) {
        const Key& k = keys[size_t(i)];
        bindText(bareSum, 1, k.grupa);
        bindText(bareSum, 2, k.cod);
        sqlite3_step(bareSum);
        volatile double total = sqlite3_column_double(bareSum, 0);
        (void)total;
        sqlite3_reset(bareSum);
    });
    rows.push_back({"indexed SUM over one (group, code)", engineSum, bareSumUs});

    for (sqlite3_stmt* s : {first, ins, exact, nearest, locate, bareSum})
        sqlite3_finalize(s);
    sqlite3_close(h);

    std::printf("\nstock table: %ld records, SQLite %s, journal mode %s\n", records, sqlite3_libversion(),
                qPrintable(database.connection().journalMode()));
    std::printf("%-38s %12s %12s %8s\n", "operation", "engine (us)", "SQLite (us)", "ratio");
    for (const Row& r : rows)
        std::printf("%-38s %12.1f %12.1f %8.2f\n", r.what, r.engine, r.bare, r.engine / r.bare);
    std::printf("resident memory added by opening the table: %.1f MB\n", double(rssAfter - rssBefore) / 1024.0);
    return 0;
}
