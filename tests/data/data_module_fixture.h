#pragma once
// A company on disk (or, when the suite runs on the test server, its tables in a schema there)
// and the production data module connected to it, with the production characters set to letters
// (M raw materials, S semi-finished, G raw-material warehouses).
#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "settings/production_settings.h"
#include "tests/support/company_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"

#include <gtest/gtest.h>

namespace datatest {

class DataModuleFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString companyDir = dir.sub(QStringLiteral("firma"));
    QString privateDir = dir.sub(QStringLiteral("privat"));
    // Where the company's tables are: companyDir on SQLite, a schema of the test server otherwise.
    // The company's files (the production settings) stay in companyDir.
    QString companyLocation = testsupport::companyLocation(companyDir);
    testsupport::CompanyBuilder company{companyLocation};
    db::Session session;
    std::unique_ptr<TQDMDataModule> dm;
    QStringList warnings;

    void SetUp() override {
        IndGest = 'G';
        IndCod = 'M';
        IndSemi = 'S';
        session.addAlias(QStringLiteral("KRV_PRIV"), privateDir);
        dm = std::make_unique<TQDMDataModule>(&session);
        dm->showWarning = [this](const QString& text) { warnings << text; };
        dm->GhostDB.params() = {QStringLiteral("PATH=") + companyLocation};
        dm->GhostDB.open();
    }

    void TearDown() override {
        dm.reset();
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
    }

    // The requirement table as the requirement sheet builds it.
    void createRequirementTable() {
        db::Database priv(QStringLiteral("PRIVTEST"), &session);
        priv.params() = {QStringLiteral("PATH=") + privateDir};
        priv.createTable({QStringLiteral("temp.DB"),
                          {{QStringLiteral("Cod_Grupa"), db::FieldType::Text, 8},
                           {QStringLiteral("Cod_MatPrim"), db::FieldType::Text, 30},
                           {QStringLiteral("Cant"), db::FieldType::Float, 0}},
                          {{QStringLiteral("Cod_MatPrim"),
                            {QStringLiteral("Cod_grupa"), QStringLiteral("Cod_MatPrim")},
                            true,
                            true}}});
    }

    static QStringList column(db::DataSet& d, const QString& field) {
        QStringList out;
        for (d.first(); !d.eof(); d.next())
            out << d.fieldByName(field)->asString();
        return out;
    }
};

} // namespace datatest
