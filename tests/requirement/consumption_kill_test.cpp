// Kills a process that generates consumption documents at random moments, again and again, and
// then checks the company database: it passes SQLite's integrity check, and every document is
// whole (header, every line numbered without gaps, its stock taken, its counter) or absent; so
// is every reversal (its mark, its lines, its stock put back).
#include "platform/db/drivers/sqlite/connection.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

namespace {

constexpr int kMaterials = 10, kLots = 1000;
constexpr double kLotQuantity = 5, kPerDocument = 1.3;

class ConsumptionKill : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString privateDir = dir.sub(QStringLiteral("privat"));
    QString registryDir = dir.sub(QStringLiteral("registry"));
    sqlite3* h = nullptr;

    static QString material(int m) { return QStringLiteral("M%1").arg(m, 3, 10, QChar('0')); }

    void SetUp() override {
        // Receipt 1: 13 units of a product made by the batch of 10 from 1 of each material, so
        // every document takes 1.3 of each, spread over lots of 5.
        testsupport::CompanyBuilder company(companyDir);
        company.counter(0).receipt(1, 7, "A1", {2024, 3, 12}).article("PF", "PF01", "Produs", 10);
        company.receiptLine(1, 1, "PF", "PF01", 13);
        company.database().transaction([&] {
            for (int m = 0; m < kMaterials; ++m)
                company.article("MAT", material(m)).recipe("PF01", "MAT", material(m), 1);
            // Inside the engine's transaction: its own connection writes the lots.
            db::Connection& engine = company.database().connection();
            ASSERT_EQ(engine.driver(), db::Connection::Driver::Sqlite);
            sqlite3* c = static_cast<db::sqlite::Connection&>(engine).handle();
            sqlite3_stmt* ins = nullptr;
            sqlite3_prepare_v2(
                c,
                "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, "
                "Cantitate) VALUES (?1, 'MAT', ?2, ?3, 2.5, ?4)",
                -1, &ins, nullptr);
            for (int m = 0; m < kMaterials; ++m)
                for (int l = 0; l < kLots; ++l) {
                    const QByteArray gest = QByteArray::number(l % 3 + 1),
                                     code = material(m).toUtf8(), lot = "L" + QByteArray::number(l);
                    sqlite3_bind_text(ins, 1, gest.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(ins, 2, code.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(ins, 3, lot.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_double(ins, 4, kLotQuantity);
                    sqlite3_step(ins);
                    sqlite3_reset(ins);
                }
            sqlite3_finalize(ins);
        });
    }

    void TearDown() override {
        if (h)
            sqlite3_close(h);
    }

    double scalar(const QByteArray& sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(h) << " in " << sql.constData();
            return NAN;
        }
        sqlite3_step(s);
        const double v = sqlite3_column_double(s, 0);
        sqlite3_finalize(s);
        return v;
    }

    QString integrity(const QString& directory) {
        sqlite3* d = nullptr;
        sqlite3_open(QFile::encodeName(db::sqlite::Connection::fileNameFor(directory)).constData(),
                     &d);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(d, "PRAGMA integrity_check", -1, &s, nullptr);
        QString result;
        while (sqlite3_step(s) == SQLITE_ROW)
            result += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        sqlite3_close(d);
        return result;
    }

    void killRepeatedly(int kills) {
        const unsigned start = std::random_device{}();
        std::mt19937 rng(start);
        std::uniform_int_distribution<int> delay(50, 1000);
        const QString journal =
            db::sqlite::Connection::fileNameFor(companyDir) + QStringLiteral("-journal");
        int interrupted = 0;
        for (int k = 0; k < kills; ++k) {
            QProcess worker;
            worker.start(QStringLiteral(LUMBRA_KILL_WORKER), {companyDir, privateDir, registryDir});
            ASSERT_TRUE(worker.waitForStarted()) << "random start " << start;
            QThread::msleep(delay(rng));
            ASSERT_EQ(worker.state(), QProcess::Running)
                << "the worker stopped by itself: " << worker.readAllStandardError().toStdString()
                << " (random start " << start << ")";
            worker.kill();
            worker.waitForFinished();
            if (QFile::exists(journal) && QFile(journal).size() > 0)
                ++interrupted;
        }
        std::printf("%d kills (random start %u), %d of them in the middle of a write to the "
                    "company database\n",
                    kills, start, interrupted);
    }

    void checkWholeOrAbsent() {
        EXPECT_EQ(integrity(companyDir), "ok");
        EXPECT_EQ(integrity(privateDir), "ok");
        ASSERT_EQ(
            sqlite3_open(
                QFile::encodeName(db::sqlite::Connection::fileNameFor(companyDir)).constData(), &h),
            SQLITE_OK);

        const double documents = scalar("SELECT COUNT(*) FROM Doc_out");
        ASSERT_GT(documents, 0) << "no document was ever generated";
        std::printf("%.0f documents, %.0f lines\n", documents,
                    scalar("SELECT COUNT(*) FROM Item_out"));
        // Counters: one per document, from 1 without gaps, and the counters record on the last.
        EXPECT_EQ(scalar("SELECT COUNT(DISTINCT Contor) FROM Doc_out"), documents);
        EXPECT_EQ(scalar("SELECT MIN(Contor) FROM Doc_out"), 1);
        EXPECT_EQ(scalar("SELECT MAX(Contor) FROM Doc_out"), documents);
        EXPECT_EQ(scalar("SELECT NewCounterOut FROM Counter"), documents);
        // The register names exactly the documents generated, each against its receipt; the
        // others are reversals, each marked against the document it reversed.
        const double reversals = scalar("SELECT COUNT(*) FROM Doc_out WHERE Explicatie LIKE "
                                        "'Stornare %'");
        std::printf("%.0f of them reversals\n", reversals);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Consum WHERE Contor_intrare = 1 AND Contor_iesire "
                         "IN (SELECT Contor FROM Doc_out)"),
                  documents - reversals);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Consum"), documents - reversals);
        if (reversals > 0) {
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stornare WHERE Contor_iesire IN (SELECT "
                             "Contor_iesire FROM Consum) AND Contor_stornare IN (SELECT Contor "
                             "FROM Doc_out WHERE Explicatie LIKE 'Stornare %')"),
                      reversals);
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stornare"), reversals);
            // A reversal's lines are its document's, negated.
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stornare S JOIN Item_out A ON A.Contor = "
                             "S.Contor_iesire LEFT JOIN Item_out B ON B.Contor = "
                             "S.Contor_stornare AND B.Contor_secundar = A.Contor_secundar AND "
                             "B.Cantitate = -A.Cantitate AND B.Lot = A.Lot WHERE B.Contor IS "
                             "NULL"),
                      0);
        }
        // Lines: none without its header, numbered 1..n in every document.
        EXPECT_EQ(
            scalar(
                "SELECT COUNT(*) FROM Item_out WHERE Contor NOT IN (SELECT Contor FROM Doc_out)"),
            0);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT Contor FROM Item_out GROUP BY Contor "
                         "HAVING MIN(Contor_secundar) <> 1 OR MAX(Contor_secundar) <> COUNT(*))"),
                  0);
        // Every material a document names was issued in full (or given back in full).
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT Contor, Cod_articol FROM Item_out GROUP BY "
                         "Contor, Cod_articol "
                         "HAVING ABS(ABS(SUM(Cantitate)) - 1.3) > 1e-9)"),
                  0);
        // The stock taken is the stock issued, material by material, and none went below zero.
        EXPECT_GE(scalar("SELECT MIN(Cantitate) FROM Stoc"), 0);
        for (int m = 0; m < kMaterials; ++m) {
            const QByteArray code = "'" + material(m).toUtf8() + "'";
            const double left =
                scalar("SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_articol = " + code);
            const double issued =
                scalar("SELECT TOTAL(Cantitate) FROM Item_out WHERE Cod_articol = " + code);
            EXPECT_NEAR(left + issued, kLots * kLotQuantity, 1e-6) << code.constData();
        }
    }
};

TEST_F(ConsumptionKill, FifteenKills) {
    killRepeatedly(15);
    checkWholeOrAbsent();
}

// The full run: ctest runs it under the label "long".
TEST_F(ConsumptionKill, DISABLED_TwoHundredKills) {
    killRepeatedly(200);
    checkWholeOrAbsent();
}

} // namespace
