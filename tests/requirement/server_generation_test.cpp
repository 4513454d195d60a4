// Consumption documents on a company kept on a PostgreSQL server: two users generating against
// the same lots at once, and the server stopped dead in the middle of a generation. The test
// starts a server of its own (scripts/test-server.sh), since it kills it.
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kMaterials = 6, kLots = 200;
constexpr double kLotQuantity = 5, kPerDocument = 1.3;
const QString kScript = QStringLiteral(LUMBRA_SOURCE_DIR "/scripts/test-server.sh");

bool runScript(const QString& action, const QString& dir) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(kScript, {action, dir});
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class ServerGeneration : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString serverDir = dir.path() + QStringLiteral("/server");
    QString registryDir = dir.sub(QStringLiteral("registry"));
    QString company;

    static QString material(int m) { return QStringLiteral("M%1").arg(m, 3, 10, QChar('0')); }

    void SetUp() override {
        ASSERT_TRUE(runScript(QStringLiteral("start"), serverDir))
            << "no PostgreSQL server could be started";
        QFile f(serverDir + QStringLiteral("/location"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        company = QString::fromUtf8(f.readAll()).trimmed() + QStringLiteral(" schema=firma");
        // Receipt 1: 13 units of a product made by the batch of 10 from 1 of each material, so
        // every document takes 1.3 of each, spread over lots of 5.
        testsupport::CompanyBuilder builder(company);
        builder.counter(0).receipt(1, 7, "A1", {2024, 3, 12}).article("PF", "PF01", "Produs", 10);
        builder.receiptLine(1, 1, "PF", "PF01", 13);
        builder.database().transaction([&] {
            for (int m = 0; m < kMaterials; ++m) {
                builder.article("MAT", material(m)).recipe("PF01", "MAT", material(m), 1);
                builder.database().connection().exec(
                    QStringLiteral("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                                   "Pret_achizitie, "
                                   "Cantitate, Agent) SELECT 'G1', 'MAT', '%1', 'L' || "
                                   "lpad(l::text, 4, '0'), 2, %2, '' "
                                   "FROM generate_series(1, %3) l")
                        .arg(material(m))
                        .arg(kLotQuantity)
                        .arg(kLots));
            }
            builder.database().connection().noteWrite();
        });
    }

    void TearDown() override { runScript(QStringLiteral("stop"), serverDir); }

    std::unique_ptr<QProcess> startWorker(const QString& name) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(LUMBRA_KILL_WORKER), {company, dir.sub(name), registryDir});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }

    double scalar(const QString& sql) {
        db::Session s;
        s.addAlias(QStringLiteral("FIRMA"), company);
        db::Database d(QStringLiteral("FIRMA"), &s);
        auto st = d.connection().prepare(sql);
        db::StatementUse use(*st);
        return st->step() ? st->columnDouble(0) : -1;
    }

    // Every document whole (header, lines 1..n, every material issued in full, its counter)
    // or absent, every reversal too; the stock taken is the stock issued and none is below zero.
    void checkWholeOrAbsent() {
        const double documents = scalar("SELECT COUNT(*) FROM Doc_out");
        ASSERT_GT(documents, 0) << "no document was ever generated";
        EXPECT_EQ(scalar("SELECT COUNT(DISTINCT Contor) FROM Doc_out"), documents);
        EXPECT_EQ(scalar("SELECT MIN(Contor) FROM Doc_out"), 1);
        EXPECT_EQ(scalar("SELECT MAX(Contor) FROM Doc_out"), documents);
        EXPECT_EQ(scalar("SELECT NewCounterOut FROM Counter"), documents);
        EXPECT_EQ(
            scalar(
                "SELECT COUNT(*) FROM Item_out WHERE Contor NOT IN (SELECT Contor FROM Doc_out)"),
            0);
        EXPECT_EQ(
            scalar("SELECT COUNT(*) FROM (SELECT Contor FROM Item_out GROUP BY Contor "
                   "HAVING MIN(Contor_secundar) <> 1 OR MAX(Contor_secundar) <> COUNT(*)) AS gaps"),
            0);
        // Issued in full, or given back in full by a reversal.
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT Contor, Cod_articol FROM Item_out GROUP BY "
                         "Contor, Cod_articol HAVING ABS(ABS(SUM(Cantitate)) - 1.3) > 1e-9) AS "
                         "partial"),
                  0);
        // Every reversal marked against the document it reversed, once.
        const double reversals =
            scalar("SELECT COUNT(*) FROM Doc_out WHERE Explicatie LIKE 'Stornare %'");
        if (reversals > 0) {
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stornare"), reversals);
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stornare S JOIN Doc_out D ON D.Contor = "
                             "S.Contor_stornare WHERE D.Explicatie LIKE 'Stornare %'"),
                      reversals);
        }
        EXPECT_EQ(
            scalar("SELECT COUNT(*) FROM Doc_out d WHERE (SELECT COUNT(DISTINCT Cod_articol) FROM "
                   "Item_out i WHERE i.Contor = d.Contor) <> 6"),
            0);
        EXPECT_GE(scalar("SELECT MIN(Cantitate) FROM Stoc"), 0);
        for (int m = 0; m < kMaterials; ++m) {
            const QString code = QLatin1Char('\'') + material(m) + QLatin1Char('\'');
            const double left =
                scalar("SELECT TOTAL(Cantitate) FROM Stoc WHERE Cod_articol = " + code);
            const double issued =
                scalar("SELECT TOTAL(Cantitate) FROM Item_out WHERE Cod_articol = " + code);
            EXPECT_NEAR(left + issued, kLots * kLotQuantity, 1e-6) << code.toStdString();
        }
    }
};

TEST_F(ServerGeneration, TwoUsersGeneratingAgainstTheSameLotsKeepTheStockWhole) {
    auto a = startWorker(QStringLiteral("privat-a"));
    auto b = startWorker(QStringLiteral("privat-b"));
    QThread::msleep(4000);
    for (auto* p : {a.get(), b.get()}) {
        ASSERT_EQ(p->state(), QProcess::Running)
            << "a user stopped by itself: " << p->readAllStandardError().toStdString();
        p->kill();
        p->waitForFinished();
    }
    checkWholeOrAbsent();
    EXPECT_GE(scalar("SELECT COUNT(*) FROM Doc_out"), 2);
}

TEST_F(ServerGeneration, AServerStoppedMidGenerationLeavesNothingHalfWrittenAndSaysSo) {
    auto worker = startWorker(QStringLiteral("privat"));
    QThread::msleep(1500);
    ASSERT_EQ(worker->state(), QProcess::Running) << worker->readAllStandardError().toStdString();
    ASSERT_TRUE(runScript(QStringLiteral("kill"), serverDir));
    ASSERT_TRUE(worker->waitForFinished(60000)) << "the user waited for ever on a dead server";
    const QString message = QString::fromUtf8(worker->readAllStandardError());
    EXPECT_EQ(worker->exitCode(), 1) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("was lost")) ||
                message.contains(QStringLiteral("Cannot reach")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("127.0.0.1")))
        << "the server is named: " << message.toStdString();

    ASSERT_TRUE(runScript(QStringLiteral("restart"), serverDir));
    checkWholeOrAbsent();
    // The next attempt works once the server is back.
    const double before = scalar("SELECT COUNT(*) FROM Doc_out");
    auto again = startWorker(QStringLiteral("privat"));
    QThread::msleep(1500);
    ASSERT_EQ(again->state(), QProcess::Running) << again->readAllStandardError().toStdString();
    again->kill();
    again->waitForFinished();
    EXPECT_GT(scalar("SELECT COUNT(*) FROM Doc_out"), before);
    checkWholeOrAbsent();
}

// A connection that was open when the server went away says so in plain words, names the
// server, and works again on the next operation once the server is back.
TEST_F(ServerGeneration, AnOpenConnectionReconnectsAfterTheServerComesBack) {
    db::Session s;
    s.addAlias(QStringLiteral("FIRMA"), company);
    db::Database d(QStringLiteral("FIRMA"), &s);
    EXPECT_TRUE(d.tableExists(QStringLiteral("Stoc.DB")));
    ASSERT_TRUE(runScript(QStringLiteral("kill"), serverDir));
    try {
        d.tableExists(QStringLiteral("Stoc.DB"));
        ADD_FAILURE() << "a dead server answered";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), base::DatabaseError::Kind::NotConnected);
        EXPECT_TRUE(e.message().contains(QStringLiteral("127.0.0.1"))) << e.message().toStdString();
    }
    ASSERT_TRUE(runScript(QStringLiteral("restart"), serverDir));
    EXPECT_TRUE(d.tableExists(QStringLiteral("Stoc.DB")));
}

} // namespace
