#pragma once
// A company on disk for the backup tests, with its stock filled fast through SQLite itself, and
// the means to compare databases and damage them.
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

namespace backuptest {

// Every table's rows, in rowid order, as text: two databases with the same dump hold the same data.
QString dumpTables(const QString& databaseFile);
QByteArray fileBytes(const QString& file);
// Writes bytes over the file from offset on.
void overwrite(const QString& file, qint64 offset, const QByteArray& bytes);
// Adds stock records (lots "L<first>"...) in one transaction.
void addStock(const QString& databaseFile, int first, int count);
// Leaves the database as a crash in the middle of a write does: half a transaction written into
// the file (a one-page cache spills) and its journal beside it.
void leaveHotJournal(const QString& databaseFile);
// The files of a directory (names only), sorted.
QStringList filesIn(const QString& directory);

class BackupFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString database = companyDir + QStringLiteral("/tables.sqlite");

    // Builds the company (every host table, a few articles and stockRecords stock records) and
    // closes its connection again, so that no test starts with the company open.
    void makeCompany(int stockRecords = 200);
};

} // namespace backuptest
