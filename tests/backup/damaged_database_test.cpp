// A company whose database has overwritten bytes: the engine answers with one message naming
// the company directory and the file and offering the newest backup that passes its check, and
// writes nothing more to the file.
#include "backup/backup_catalog.h"
#include "backup/company_backup.h"
#include "backup/damaged_database_message.h"
#include "platform/base/errors.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/db/session.h"
#include "tests/backup/backup_fixture.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace backuptest {
namespace {

using base::DatabaseError;

struct Damage {
    const char* name;
    qint64 offset;
    int length;
};

class DamagedDatabase : public BackupFixture, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override {
        makeCompany(5000);
        good = backup::backupCompany(companyDir).file;
        // A newer backup that fails its check is passed over.
        QFile::copy(good, backup::newBackupFile(companyDir, backup::BackupKind::Manual,
                                                QDateTime::currentDateTime().addSecs(60)));
        damagedBackup = backup::listBackups(companyDir).first().path;
        overwrite(damagedBackup, 4096 * 20, QByteArray(4096 * 3, '\x11'));
        overwrite(database, GetParam().offset, QByteArray(GetParam().length, '\xA5'));
    }

    // Reads every table through the engine until it fails.
    std::optional<DatabaseError> readEverything() {
        try {
            db::sqlite::Connection connection(companyDir, backup::damagedDatabaseMessage);
            for (const char* table : {"CATALOG", "Stoc", "Reteta"}) {
                auto rows = connection.prepare(
                    QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
                db::sqlite::StatementUse use(*rows);
                while (rows->step()) {
                }
            }
        } catch (const DatabaseError& e) {
            return e;
        }
        return std::nullopt;
    }

    QString good;
    QString damagedBackup;
};

TEST_P(DamagedDatabase, ShowsOneMessageNamingTheCompanyAndOfferingTheNewestSoundBackup) {
    const std::optional<DatabaseError> error = readEverything();
    ASSERT_TRUE(error.has_value()) << "the damage went unnoticed";
    EXPECT_EQ(error->kind(), DatabaseError::Kind::Damaged);
    const QString text = error->message();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(companyDir))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(database))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("deteriorat"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(good))) << text.toStdString();
    EXPECT_FALSE(text.contains(QDir::toNativeSeparators(damagedBackup))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("lumbra restore"))) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Overwritten, DamagedDatabase,
                         ::testing::Values(Damage{"Header", 0, 32}, Damage{"SchemaPage", 100, 400},
                                           Damage{"StockTablePage", 4096 * 30, 4096}),
                         [](const auto& info) { return std::string(info.param.name); });

class DamagedConnection : public BackupFixture {
protected:
    void SetUp() override {
        makeCompany(5000);
        overwrite(database, 4096 * 30, QByteArray(4096, '\xA5'));
    }
};

TEST_F(DamagedConnection, RefusesEveryWriteOnceItHasSeenTheDamage) {
    db::sqlite::Connection connection(companyDir, backup::damagedDatabaseMessage);
    EXPECT_THROW(
        {
            auto rows = connection.prepare(QStringLiteral("SELECT * FROM Stoc"));
            db::sqlite::StatementUse use(*rows);
            while (rows->step()) {
            }
        },
        DatabaseError);
    ASSERT_TRUE(connection.isDamaged());
    const QByteArray before = fileBytes(database);
    for (const char* sql : {"INSERT INTO CATALOG (Grupa, Cod) VALUES ('X', 'Y')",
                            "CREATE TABLE Nou (a TEXT)", "DELETE FROM Stoc"}) {
        try {
            connection.exec(QString::fromLatin1(sql));
            ADD_FAILURE() << "written: " << sql;
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.kind(), DatabaseError::Kind::Damaged) << sql;
        }
    }
    EXPECT_THROW(connection.begin(), DatabaseError);
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(DamagedConnection, WithoutASoundBackupSaysSoAndToKeepTheFile) {
    db::sqlite::Connection connection(companyDir, backup::damagedDatabaseMessage);
    try {
        auto rows = connection.prepare(QStringLiteral("SELECT * FROM Stoc"));
        db::sqlite::StatementUse use(*rows);
        while (rows->step()) {
        }
        FAIL() << "the damage went unnoticed";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Nu există nicio copie de siguranță")))
            << e.message().toStdString();
    }
}

// Who words the damaged-database error: the engine alone says what it knows; a session with the
// backups' wording installed hands it to every connection it opens.
struct Wording {
    const char* name;
    bool throughSession;
    bool installed;
    bool offersBackups;
};

class DamagedDatabaseWording : public BackupFixture, public ::testing::WithParamInterface<Wording> {
protected:
    void SetUp() override {
        makeCompany(5000);
        overwrite(database, 4096 * 30, QByteArray(4096, '\xA5'));
    }

    static void readStock(db::Connection& connection) {
        auto rows = connection.prepare(QStringLiteral("SELECT * FROM Stoc"));
        db::StatementUse use(*rows);
        while (rows->step()) {
        }
    }

    QString damageMessage() {
        try {
            if (GetParam().throughSession) {
                db::Session session;
                if (GetParam().installed)
                    backup::installDamagedDatabaseMessage(session);
                readStock(*session.connect(companyDir));
            } else if (GetParam().installed) {
                db::sqlite::Connection connection(companyDir, backup::damagedDatabaseMessage);
                readStock(connection);
            } else {
                db::sqlite::Connection connection(companyDir);
                readStock(connection);
            }
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.kind(), DatabaseError::Kind::Damaged);
            return e.message();
        }
        ADD_FAILURE() << "the damage went unnoticed";
        return QString();
    }
};

TEST_P(DamagedDatabaseWording, NamesTheFileAndOffersBackupsOnlyWhenInstalled) {
    const QString text = damageMessage();
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("Baza de date a firmei din directorul %1 este "
                       "deteriorată: fișierul %2")
            .arg(QDir::toNativeSeparators(companyDir), QDir::toNativeSeparators(database))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Programul nu mai scrie nimic")))
        << text.toStdString();
    EXPECT_EQ(text.contains(QStringLiteral("Nu există nicio copie de siguranță")),
              GetParam().offersBackups)
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, DamagedDatabaseWording,
    ::testing::Values(Wording{"EngineAlone", false, false, false},
                      Wording{"ConnectionGivenTheBackupsWording", false, true, true},
                      Wording{"SessionWithoutAWording", true, false, false},
                      Wording{"SessionWithTheBackupsWording", true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace backuptest
