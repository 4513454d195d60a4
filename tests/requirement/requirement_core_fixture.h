#pragma once
// A company on disk with the production data module connected to it, the production settings
// file in place (M raw materials, S semi-finished, G raw-material warehouses) and a known date
// format, plus a second connection to the company database that reads and writes as another
// user would.
#include "platform/db/connection.h"
#include "platform/store/registry_store.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "tests/data/data_module_fixture.h"
#include "tests/platform/base/scoped_format.h"

#include <QFile>
#include <ostream>

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

    // Rows of a statement run on the second connection (numbers as doubles).
    QList<QVariantList> rows(const char* sql) {
        QList<QVariantList> out;
        try {
            auto s = company.database().connection().prepare(QString::fromUtf8(sql));
            db::StatementUse use(*s);
            while (s->step()) {
                QVariantList row;
                for (int i = 0; i < s->columnCount(); ++i) {
                    const QVariant v = s->columnRaw(i);
                    row << (v.typeId() == QMetaType::LongLong ? QVariant(v.toDouble()) : v);
                }
                out << row;
            }
        } catch (const base::DatabaseError& e) {
            ADD_FAILURE() << e.message().toStdString() << " in " << sql;
        }
        return out;
    }

    QVariant scalar(const char* sql) {
        const auto r = rows(sql);
        return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
    }

    // Runs a statement on the second connection.
    void exec(const char* sql) {
        try {
            company.database().connection().exec(QString::fromUtf8(sql));
        } catch (const base::DatabaseError& e) {
            ADD_FAILURE() << e.message().toStdString() << " in " << sql;
        }
    }
};

} // namespace requirementtest
