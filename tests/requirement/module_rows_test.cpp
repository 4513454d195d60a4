// The module's rows go in a few statements at a time, a handful of statement shapes serving
// every number of rows: whatever the number, every row is written whole and in order, and a row
// whose key is there already leaves nothing of the call behind.
#include "requirement_core_fixture.h"

#include "platform/db/row_insert.h"

namespace {

db::TableDef rowsTable() {
    using db::FieldType;
    db::TableDef def;
    def.name = QStringLiteral("Randuri.DB");
    def.fields = {{QStringLiteral("Nr"), FieldType::Float, 0, true},
                  {QStringLiteral("Cod"), FieldType::Text, 30, false},
                  {QStringLiteral("Data"), FieldType::Date, 0, false},
                  {QStringLiteral("Cant"), FieldType::Float, 0, false}};
    def.indexes = {{QString(), {QStringLiteral("Nr")}, true, true}};
    return def;
}

// Row n: a code with a diacritic every seventh row, no date every fifth, the quantity n / 4.
QVariantList row(int n) {
    return {double(n), n % 7 == 0 ? QStringLiteral("Șură %1").arg(n) : QStringLiteral("C%1").arg(n),
            n % 5 == 0 ? QVariant() : QVariant(QDate(2024, 1, 1).addDays(n)), n / 4.0};
}

class ModuleRows : public requirementtest::RequirementFixture,
                   public ::testing::WithParamInterface<int> {};

TEST_P(ModuleRows, EveryRowGoesInWholeAndInOrder) {
    const int count = GetParam();
    db::Database& database = dm->GhostDB;
    database.createTable(rowsTable());
    QList<QVariantList> given;
    for (int n = 1; n <= count; ++n)
        given << row(n);
    database.transaction([&] { db::insertRows(database, rowsTable(), given); });

    const QList<QVariantList> stored = rows("SELECT Nr, Cod, Data, Cant FROM Randuri ORDER BY Nr");
    ASSERT_EQ(stored.size(), count);
    for (int n = 1; n <= count; ++n) {
        const QVariantList& r = stored[n - 1];
        const QVariantList want = row(n);
        EXPECT_EQ(r[0].toDouble(), want[0].toDouble()) << "row " << n;
        EXPECT_EQ(r[1].toString(), want[1].toString()) << "row " << n;
        EXPECT_EQ(r[2].isNull() ? QString() : r[2].toString().left(10),
                  want[2].isNull() ? QString() : want[2].toDate().toString(Qt::ISODate))
            << "row " << n;
        EXPECT_EQ(r[3].toDouble(), want[3].toDouble()) << "row " << n;
    }
}

// Around the statements' sizes: one row, the powers of two below and at the largest, one past
// it, and several of them with a rest.
INSTANTIATE_TEST_SUITE_P(Counts, ModuleRows, ::testing::Values(0, 1, 3, 127, 128, 129, 300, 715),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Rows" + std::to_string(info.param);
                         });

class ModuleRowsOnceOnly : public requirementtest::RequirementFixture {};

TEST_F(ModuleRowsOnceOnly, AKeyThereAlreadyLeavesNothingOfTheCall) {
    db::Database& database = dm->GhostDB;
    database.createTable(rowsTable());
    database.transaction([&] { db::insertRows(database, rowsTable(), {row(200)}); });
    QList<QVariantList> given;
    for (int n = 1; n <= 300; ++n)
        given << row(n);
    EXPECT_THROW(database.transaction([&] { db::insertRows(database, rowsTable(), given); }),
                 base::DatabaseError);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Randuri").toDouble(), 1.0);
}

} // namespace
