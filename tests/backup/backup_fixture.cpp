#include "tests/backup/backup_fixture.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace backuptest {

QString dumpTables(const QString& databaseFile) {
    sqlite3* db = nullptr;
    QString dump;
    if (sqlite3_open_v2(QFile::encodeName(databaseFile).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("<cannot open>");
    }
    QStringList tables;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1,
                       &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const QString& table : tables) {
        dump += QStringLiteral("[%1]\n").arg(table);
        sqlite3_stmt* rows = nullptr;
        const QByteArray sql =
            QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table).toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &rows, nullptr);
        while (sqlite3_step(rows) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < sqlite3_column_count(rows); ++i)
                values << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(rows, i)));
            dump += values.join(QLatin1Char('|')) + QLatin1Char('\n');
        }
        sqlite3_finalize(rows);
    }
    sqlite3_close(db);
    return dump;
}

QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void overwrite(const QString& file, qint64 offset, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(offset));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void addStock(const QString& databaseFile, int first, int count) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(databaseFile).constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                       "Pret_achizitie, Cantitate, Agent) VALUES ('G01','MAT',?1,?2,?3,?4,'')",
                       -1, &ins, nullptr);
    for (int i = first; i < first + count; ++i) {
        const QByteArray code = QStringLiteral("M%1").arg(i % 500).toUtf8();
        const QByteArray lot = QStringLiteral("L%1").arg(i).toUtf8();
        sqlite3_bind_text(ins, 1, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 2, lot.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(ins, 3, 1.5 + i % 7);
        sqlite3_bind_double(ins, 4, 10 + i % 13);
        ASSERT_EQ(sqlite3_step(ins), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void leaveHotJournal(const QString& databaseFile) {
    const QString journal = databaseFile + QStringLiteral("-journal");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(databaseFile).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA cache_size=1; BEGIN; UPDATE Stoc SET Cantitate = -1, "
                           "Lot = Lot || 'x'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The files as they are at this moment are what the crash leaves.
    ASSERT_TRUE(QFile::copy(databaseFile, databaseFile + QStringLiteral(".crash")));
    ASSERT_TRUE(QFile::copy(journal, journal + QStringLiteral(".crash")));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_TRUE(QFile::remove(databaseFile));
    ASSERT_TRUE(QFile::rename(databaseFile + QStringLiteral(".crash"), databaseFile));
    ASSERT_TRUE(QFile::rename(journal + QStringLiteral(".crash"), journal));
}

QStringList filesIn(const QString& directory) {
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

void BackupFixture::makeCompany(int stockRecords) {
    {
        testsupport::CompanyBuilder company(companyDir);
        company.article(QStringLiteral("MAT"), QStringLiteral("M1"), QStringLiteral("Făină"))
            .article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M1"), 5);
    }
    addStock(database, 0, stockRecords);
}

} // namespace backuptest
