// The host on a company whose tables are on the test server: --create-demo --server makes the
// demo there, the company directory keeps only its files and names the server, and the host's
// windows and the production add-on show the same records as on a directory. Run by the suite's
// server pass only.
#include "host_fixture.h"

#include "host/demo_company.h"
#include "host/receipts_form.h"
#include "host/record_grid.h"
#include "host/stock_form.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "tests/support/test_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace hosttest;

namespace {

class ServerCompany : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        if (!testsupport::onServer())
            GTEST_SKIP() << "runs on the test server";
        server =
            testsupport::serverLocation(QStringLiteral("h%1_%2")
                                            .arg(QCoreApplication::applicationPid())
                                            .arg(QRandomGenerator::global()->bounded(1000000)));
    }

    static QString cell(host::RecordGrid* grid, int row, const char* field) {
        return grid->model()
            ->index(row, grid->columnOf(QString::fromLatin1(field)))
            .data()
            .toString();
    }

    QString companyDir = dir.path() + QStringLiteral("/brutarie");
    QString server;
};

TEST_F(ServerCompany, TheDemoMadeOnAServerOpensWithItsRecords) {
    host::HostProgram::Options options{companyDir, true, QString()};
    options.server = server;
    program = std::make_unique<host::HostProgram>(options);
    settle();
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(db::serverLocationOf(companyDir), server);
    EXPECT_FALSE(QFile::exists(companyDir + QStringLiteral("/tables.sqlite")))
        << "the tables are on the server, not in the directory";
    EXPECT_TRUE(QFile::exists(companyDir + QStringLiteral("/KRVDEF.INI")))
        << "the company's files stay local";
    EXPECT_TRUE(window()->windowTitle().contains(QDir::toNativeSeparators(companyDir)));
    EXPECT_TRUE(desktop.boxes.empty());

    host::ReceiptsForm* receipts = window()->openReceipts();
    settle();
    host::RecordGrid* documents = receipts->documentsGrid();
    ASSERT_EQ(documents->model()->rowCount(), 4);
    int production = -1;
    for (int row = 0; row < documents->model()->rowCount(); ++row)
        if (cell(documents, row, "Contor") == QStringLiteral("2"))
            production = row;
    ASSERT_GE(production, 0);
    EXPECT_EQ(cell(documents, production, "Total"), "585,00");

    // What another computer writes on the server, this one shows.
    {
        db::Session other;
        other.addAlias(QStringLiteral("FIRMA"), server);
        db::Database d(QStringLiteral("FIRMA"), &other);
        d.connection().exec(QStringLiteral("DELETE FROM Stoc WHERE Cod_articol = 'M050'"));
    }
    host::StockForm* stock = window()->openStock();
    settle();
    for (int row = 0; row < stock->stockGrid()->model()->rowCount(); ++row)
        EXPECT_NE(cell(stock->stockGrid(), row, "Cod_articol"), "M050");
}

TEST_F(ServerCompany, ADirectoryThatHoldsACompanyKeepsItsPlace) {
    ASSERT_TRUE(host::createDemoCompany(companyDir, {}));
    host::HostProgram::Options options{companyDir, true, QString()};
    options.server = server;
    program = std::make_unique<host::HostProgram>(options);
    settle();
    EXPECT_TRUE(db::serverLocationOf(companyDir).isEmpty());
    EXPECT_TRUE(QFile::exists(companyDir + QStringLiteral("/tables.sqlite")));
}

TEST_F(ServerCompany, TheServerOptionNeedsTheDemoAndAServerAlias) {
    host::HostProgram::Options options;
    QString message;
    EXPECT_EQ(host::HostProgram::parseArguments({"lumbra-host", "--server", server, companyDir},
                                                options, message),
              host::HostProgram::Parsed::Error);
    EXPECT_EQ(
        host::HostProgram::parseArguments(
            {"lumbra-host", "--create-demo", "--server", "/tmp/x", companyDir}, options, message),
        host::HostProgram::Parsed::Error);
    EXPECT_EQ(
        host::HostProgram::parseArguments(
            {"lumbra-host", "--create-demo", "--server", server, companyDir}, options, message),
        host::HostProgram::Parsed::Run);
    EXPECT_EQ(options.server, server);
}

} // namespace
