#pragma once
// What the import's tests share: a source directory of Paradox files written in the test, a
// place for the new company (a directory on SQLite, a schema of the test server on the server
// pass), and reading the company back.
#include "import/paradox_import.h"
#include "tests/import/paradox_writer.h"
#include "tests/support/temp_dir.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace pxtest {

class ImportTest : public ::testing::Test {
public:
    testsupport::TempDir dir;
    QString source = dir.sub(QStringLiteral("sursa"));
    QString company = dir.path() + QStringLiteral("/firma");

    // The request for this run's driver.
    paradox::ImportRequest request() const;
    paradox::ImportOutcome run(bool acceptRefused = false, bool dryRun = false);

    QString file(const QString& name) const { return QDir(source).filePath(name); }
    bool companyLeft() const { return QFileInfo::exists(company); }

    // The records of a company table in the order they were written, fields as listed.
    QList<QVariantList> rows(const QString& table, const QStringList& fields) const;

    // A stock file with n records; answers the path.
    QString writeStock(int n, const QString& name = QStringLiteral("Stoc.DB"));
};

// "a; b; c" for a failure message.
std::string joined(const QStringList& lines);
bool anyContains(const QStringList& lines, const QString& part);

} // namespace pxtest
