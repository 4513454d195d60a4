#pragma once
// A company on disk with the production data module connected to it, the production settings
// file in place (M raw materials, S semi-finished, G raw-material warehouses) and a known date
// format, plus a second connection to the company database that reads and writes as another
// user would.
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "tests/data/data_module_fixture.h"
#include "tests/platform/base/scoped_format.h"

#include <QFile>
#include <ostream>
#include <sqlite3.h>

// Readable texts in the failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace requirementtest {

class RequirementFixture : public datatest::DataModuleFixture {
protected:
    testsupport::ScopedFormat format{"DD/MM/YYYY", '.', ','};

    void SetUp() override {
        store::setRegistryRoot(dir.sub(QStringLiteral("registry")));
        store::RegistryStore r;
        r.openKey(QStringLiteral("Software\\Calbrik\\Merovan"), true);
        r.writeString(QStringLiteral("LastDatabaseDir"), companyDir);
        QFile ini(companyDir + QStringLiteral("/KRVDEF.INI"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Productie]\r\nIndGest=G\r\nIndCod=M\r\nIndSemi=S\r\n");
        ini.close();
        DataModuleFixture::SetUp();
    }

    void TearDown() override {
        DataModuleFixture::TearDown();
        store::setRegistryRoot(QString());
    }

    // Rows of a statement run on the second connection.
    QList<QVariantList> rows(const char* sql) {
        sqlite3* h = company.database().connection().handle();
        sqlite3_stmt* s = nullptr;
        QList<QVariantList> out;
        if (sqlite3_prepare_v2(h, sql, -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(h) << " in " << sql;
            return out;
        }
        while (sqlite3_step(s) == SQLITE_ROW) {
            QVariantList row;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                switch (sqlite3_column_type(s, i)) {
                case SQLITE_NULL:
                    row << QVariant();
                    break;
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    row << sqlite3_column_double(s, i);
                    break;
                default:
                    row << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
                }
            }
            out << row;
        }
        sqlite3_finalize(s);
        return out;
    }

    QVariant scalar(const char* sql) {
        const auto r = rows(sql);
        return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
    }

    // Runs a statement on the second connection.
    void exec(const char* sql) {
        char* err = nullptr;
        if (sqlite3_exec(company.database().connection().handle(), sql, nullptr, nullptr, &err) !=
            SQLITE_OK)
            ADD_FAILURE() << (err ? err : "") << " in " << sql;
        sqlite3_free(err);
    }
};

} // namespace requirementtest
