#pragma once
// A company-like database in a temporary directory (or, when the suite runs on the test server,
// in a schema of its own there), reached through a session of its own.
#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace dbtest {

class DbFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    // Where the database lives: dir itself on SQLite, a schema of the test server otherwise.
    QString location = testsupport::companyLocation(dir.path());
    db::Session session;
    std::unique_ptr<db::Database> database;

    void SetUp() override {
        session.addAlias(QStringLiteral("TESTDB"), location);
        database = std::make_unique<db::Database>(QStringLiteral("TESTDB"), &session);
    }

    std::unique_ptr<db::Table> table(const QString& tableName, const QString& index = QString()) {
        auto t = std::make_unique<db::Table>(tableName);
        t->setSession(&session);
        t->setDatabaseName(QStringLiteral("TESTDB"));
        t->setTableName(tableName);
        t->setIndexFieldNames(index);
        return t;
    }

    // "Stoc.DB": stock by warehouse, group, article, lot and price, plus an index by group and
    // article.
    void createStock() {
        using db::FieldType;
        db::TableDef def{
            QStringLiteral("Stoc.DB"),
            {{QStringLiteral("Cod_gestiune"), FieldType::Text, 4},
             {QStringLiteral("Cod_grupa"), FieldType::Text, 8},
             {QStringLiteral("Cod_articol"), FieldType::Text, 30},
             {QStringLiteral("Lot"), FieldType::Text, 30},
             {QStringLiteral("Pret_achizitie"), FieldType::Float},
             {QStringLiteral("Cantitate"), FieldType::Float}},
            {{QString(),
              {"Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot", "Pret_achizitie"},
              true,
              true},
             {QStringLiteral("GrupaArticol"), {"Cod_grupa", "Cod_articol"}, false, false}}};
        database->createTable(def);
    }

    void addStock(db::Table& t, const QString& gest, const QString& grupa, const QString& cod,
                  const QString& lot, double pret, double cant) {
        t.append();
        t.fieldByName("Cod_gestiune")->setAsString(gest);
        t.fieldByName("Cod_grupa")->setAsString(grupa);
        t.fieldByName("Cod_articol")->setAsString(cod);
        t.fieldByName("Lot")->setAsString(lot);
        t.fieldByName("Pret_achizitie")->setAsFloat(pret);
        t.fieldByName("Cantitate")->setAsFloat(cant);
        t.post();
    }

    // Reads one field of every record in view, from the first.
    static QStringList column(db::DataSet& d, const QString& field) {
        QStringList out;
        for (d.first(); !d.eof(); d.next())
            out << d.fieldByName(field)->asString();
        return out;
    }
};

// The engine error kind a statement raises; empty when it raises none.
template <class F> std::optional<base::DatabaseError::Kind> errorKind(F&& f) {
    try {
        f();
    } catch (const base::DatabaseError& e) {
        return e.kind();
    }
    return std::nullopt;
}

} // namespace dbtest
