#pragma once
// A company on disk with the production data module connected to it, the production settings
// file in place (M raw materials, S semi-finished, G raw-material warehouses) and a known date
// format, plus a second connection to the company database that reads and writes as another
// user would.
#include "platform/db/connection.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "tests/data/data_module_fixture.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/company_settings.h"

#include <QFile>
#include <optional>
#include <ostream>

// Readable texts in the failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace requirementtest {

class RequirementFixture : public datatest::DataModuleFixture {
protected:
    testsupport::ScopedFormat format{"DD/MM/YYYY", '.', ','};
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override {
        registry.emplace(dir.sub(QStringLiteral("registry")), companyDir);
        EXPECT_TRUE(testsupport::writeProductionSettings(companyDir));
        DataModuleFixture::SetUp();
    }

    void TearDown() override {
        DataModuleFixture::TearDown();
        registry.reset();
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
