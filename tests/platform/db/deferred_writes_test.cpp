// Writes sent ahead of their answers inside a transaction (db::DeferredWrites): what they write
// at commit, that a refused one fails the transaction whole with its reason, that a rollback
// drops them, and that new records keep their order of entry.
#include "db_fixture.h"

#include "platform/db/connection.h"

#include <functional>

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class DeferredFixture : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        createStock();
        auto t = table("Stoc.DB");
        t->open();
        addStock(*t, "G1", "MAT", "M001", "L1", 1, 5);
        addStock(*t, "G1", "MAT", "M001", "L2", 2, 3);
        addStock(*t, "G2", "MAT", "M001", "L1", 1, 4);
    }

    // "warehouse lot quantity" of every stock record, in key order.
    QStringList stock() {
        auto t = table("Stoc.DB");
        t->open();
        QStringList out;
        for (t->first(); !t->eof(); t->next())
            out << t->fieldByName("Cod_gestiune")->asString() + " " +
                       t->fieldByName("Lot")->asString() + " " +
                       QString::number(t->fieldByName("Cantitate")->asFloat());
        return out;
    }
};

// What happens to the records of M001 (read in key order: G1 L1, G1 L2, G2 L1) while writes are
// deferred, before they are checked.
enum class Meanwhile { Nothing, ChangedByAnother, DeletedByAnother };
enum class End { Commit, Rollback };

struct DeferCase {
    const char* name;
    Meanwhile meanwhile;
    End end;
    std::optional<Kind> refused;
    QStringList left;
};
void PrintTo(const DeferCase& c, std::ostream* os) {
    *os << c.name;
}

class DeferredWrites : public DeferredFixture, public ::testing::WithParamInterface<DeferCase> {};

// Lowers G1 L1 to 1, deletes G1 L2 and appends G3 L9, all deferred.
TEST_P(DeferredWrites, AreWrittenWholeOrNotAtAll) {
    const DeferCase& c = GetParam();
    auto t = table("Stoc.DB");
    t->open();
    Field* quantity = t->fieldByName("Cantitate");
    const auto refused = dbtest::errorKind([&] {
        database->transaction([&] {
            auto found = t->readMatching("Cod_grupa;Cod_articol", {{"MAT", "M001"}});
            ASSERT_EQ(found[0].size(), 3u);
            if (c.meanwhile != Meanwhile::Nothing) {
                auto other = table("Stoc.DB");
                other->open();
                ASSERT_TRUE(other->findKey({"G1", "MAT", "M001", "L1", 1.0}));
                if (c.meanwhile == Meanwhile::ChangedByAnother) {
                    other->edit();
                    other->fieldByName("Cantitate")->setAsFloat(7);
                    other->post();
                } else {
                    other->remove();
                }
            }
            db::DeferredWrites ahead(database->connection());
            RecordBuffer lowered = found[0][0];
            lowered.values[quantity->index()] = quantity->convert(1.0);
            t->writeRecord(found[0][0], lowered);
            t->deleteRecord(found[0][1]);
            addStock(*t, "G3", "MAT", "M001", "L9", 1, 9);
            ahead.finish();
            if (c.end == End::Rollback)
                throw base::DatabaseError(QStringLiteral("given up"));
        });
    });
    if (c.end == End::Rollback && !c.refused)
        EXPECT_EQ(refused, Kind::General);
    else
        EXPECT_EQ(refused, c.refused);
    EXPECT_EQ(stock(), c.left);
    // The connection goes on as before.
    t->refresh();
    addStock(*t, "G4", "MAT", "M001", "L1", 1, 1);
    EXPECT_EQ(stock().last(), "G4 L1 1");
}

INSTANTIATE_TEST_SUITE_P(Cases, DeferredWrites,
                         ::testing::Values(DeferCase{"AllWrittenAtCommit",
                                                     Meanwhile::Nothing,
                                                     End::Commit,
                                                     std::nullopt,
                                                     {"G1 L1 1", "G2 L1 4", "G3 L9 9"}},
                                           DeferCase{"DroppedByARollback",
                                                     Meanwhile::Nothing,
                                                     End::Rollback,
                                                     std::nullopt,
                                                     {"G1 L1 5", "G1 L2 3", "G2 L1 4"}},
                                           DeferCase{"ARecordChangedMeanwhileRefusesAll",
                                                     Meanwhile::ChangedByAnother,
                                                     End::Commit,
                                                     Kind::RecordChanged,
                                                     {"G1 L1 5", "G1 L2 3", "G2 L1 4"}},
                                           DeferCase{"ARecordDeletedMeanwhileRefusesAll",
                                                     Meanwhile::DeletedByAnother,
                                                     End::Commit,
                                                     Kind::RecordDeleted,
                                                     {"G1 L1 5", "G1 L2 3", "G2 L1 4"}}),
                         [](const ::testing::TestParamInfo<DeferCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DeferredFixture, NewRecordsKeepTheirOrderOfEntry) {
    // Records with one key follow each other in order of entry: those appended with writes
    // deferred, over more than one block of identities taken ahead, and one appended after.
    auto t = table("Stoc.DB", "Cod_grupa;Cod_articol");
    t->open();
    database->transaction([&] {
        db::DeferredWrites ahead(database->connection());
        for (int i = 0; i < 70; ++i)
            addStock(*t, QStringLiteral("W%1").arg(69 - i, 2, 10, QChar('0')), "AUX", "A1", "L", 1,
                     i);
        ahead.finish();
    });
    // The record last appended is the dataset's current one and reads back by its identity.
    t->refresh();
    EXPECT_EQ(t->fieldByName("Cantitate")->asFloat(), 69);
    EXPECT_EQ(t->fieldByName("Cod_gestiune")->asString(), "W00");
    addStock(*t, "00", "AUX", "A1", "L", 1, 70);
    auto read = table("Stoc.DB", "Cod_grupa;Cod_articol");
    read->open();
    ASSERT_TRUE(read->findKey({"AUX", "A1"}));
    QStringList order;
    for (; !read->eof() && read->fieldByName("Cod_grupa")->asString() == "AUX"; read->next())
        order << QString::number(read->fieldByName("Cantitate")->asFloat());
    QStringList want;
    for (int i = 0; i <= 70; ++i)
        want << QString::number(i);
    EXPECT_EQ(order, want);
}

} // namespace
