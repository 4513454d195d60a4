#pragma once
// A company on disk with the production characters M (raw materials), S (semi-finished) and G
// (raw-material warehouses), and the command line run on it as a separate program.
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace clitest {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs the built `lumbra` with the arguments; the private directories stay inside dir.
CliRun runCli(const QStringList& args, const QString& tempDir = QString());

// The company database file's bytes, to show that a refused command changed nothing.
QByteArray databaseBytes(const QString& companyDir);

class CliFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    std::unique_ptr<testsupport::CompanyBuilder> company = makeCompany(companyDir);

    static std::unique_ptr<testsupport::CompanyBuilder> makeCompany(const QString& directory);
    CliRun run(const QStringList& args) { return runCli(args, dir.path()); }
};

} // namespace clitest
