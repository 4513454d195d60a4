// Walks through a table at the edges: both directions, from both ends, with and without a
// filter, over record counts around the size of the page the table reads ahead.
#include "db_fixture.h"

using namespace db;
using dbtest::DbFixture;

namespace {

enum class Filter { None, EveryThird, Nothing };

struct Walk {
    const char* name;
    int records;
    Filter filter;
    const char* index; // the order; empty for the primary index
};
// Named in test lists and failure reports by its name.
void PrintTo(const Walk& w, std::ostream* os) {
    *os << w.name;
}

class TableWalk : public DbFixture, public ::testing::WithParamInterface<Walk> {
protected:
    // "Nr.DB": Cod A000, A001, ... and a group that repeats every 4 records, inserted in reverse
    // so that the order never comes from the order of entry alone. A group is empty on every
    // fifth record.
    std::unique_ptr<Table> filled(int count) {
        database->createTable(
            {QStringLiteral("Nr.DB"),
             {{QStringLiteral("Cod"), FieldType::Text, 10},
              {QStringLiteral("Grupa"), FieldType::Float},
              {QStringLiteral("Nr"), FieldType::Integer}},
             {{QString(), {QStringLiteral("Cod")}, true, true},
              {QStringLiteral("Grupe"), {QStringLiteral("Grupa")}, false, false}}});
        auto t = table("Nr.DB");
        t->open();
        for (int i = count - 1; i >= 0; --i) {
            t->append();
            t->fieldByName("Cod")->setAsString(code(i));
            if (i % 5 != 0)
                t->fieldByName("Grupa")->setAsFloat(i % 4);
            t->fieldByName("Nr")->setAsInteger(i);
            t->post();
        }
        t->close();
        return t;
    }
    static QString code(int i) { return QStringLiteral("A%1").arg(i, 3, 10, QLatin1Char('0')); }

    // The codes a walk should meet, in order.
    QStringList expected(const Walk& w) const {
        QList<int> order;
        for (int i = 0; i < w.records; ++i)
            if (accepted(w.filter, i))
                order << i;
        if (QString::fromLatin1(w.index) == QLatin1String("Grupa")) {
            // Empty groups first, then by group; equal groups in order of entry (which was
            // reverse).
            auto group = [](int i) { return i % 5 == 0 ? -1 : i % 4; };
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                if (group(a) != group(b))
                    return group(a) < group(b);
                return a > b;
            });
        }
        QStringList out;
        for (int i : order)
            out << code(i);
        return out;
    }
    static bool accepted(Filter f, int i) {
        switch (f) {
        case Filter::None:
            return true;
        case Filter::EveryThird:
            return i % 3 == 1;
        case Filter::Nothing:
            return false;
        }
        return true;
    }
};

TEST_P(TableWalk, MeetsEveryRecordInViewOnceEachWayAndStopsAtBothEnds) {
    const Walk& w = GetParam();
    auto t = filled(w.records);
    t->setIndexFieldNames(QString::fromLatin1(w.index));
    if (w.filter != Filter::None) {
        t->onFilterRecord = [&](DataSet& d, bool& accept) {
            accept = accepted(w.filter, d.fieldByName("Nr")->asInteger());
        };
        t->setFiltered(true);
    }
    t->open();
    const QStringList want = expected(w);
    EXPECT_EQ(t->recordCount(), want.size());
    EXPECT_EQ(t->isEmpty(), want.isEmpty());

    QStringList forward;
    for (t->first(); !t->eof(); t->next()) {
        forward << t->fieldByName("Cod")->asString();
        ASSERT_LE(forward.size(), want.size()) << "the walk forwards does not end";
    }
    EXPECT_EQ(forward, want);
    // At the end a further step stays on the last record.
    t->next();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->fieldByName("Cod")->asString(), want.value(want.size() - 1));

    QStringList backward;
    for (t->last(); !t->bof(); t->prior()) {
        backward.prepend(t->fieldByName("Cod")->asString());
        ASSERT_LE(backward.size(), want.size()) << "the walk backwards does not end";
    }
    EXPECT_EQ(backward, want);
    t->prior();
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->fieldByName("Cod")->asString(), want.value(0));

    // From each end, a move as long as the view reaches the other end and no further.
    const int span = int(want.size()) - 1;
    t->first();
    EXPECT_EQ(t->moveBy(span + 1), std::max(span, 0));
    EXPECT_EQ(t->fieldByName("Cod")->asString(), want.value(want.size() - 1));
    t->last();
    EXPECT_EQ(t->moveBy(-(span + 1)), -std::max(span, 0));
    EXPECT_EQ(t->fieldByName("Cod")->asString(), want.value(0));
    if (want.size() >= 2) {
        t->last();
        EXPECT_TRUE(t->eof()) << "last() stands at the end";
        EXPECT_FALSE(t->bof());
        t->first();
        EXPECT_TRUE(t->bof()) << "first() stands at the beginning";
        EXPECT_FALSE(t->eof());
        t->next();
        t->prior();
        EXPECT_FALSE(t->bof());
        EXPECT_EQ(t->fieldByName("Cod")->asString(), want.value(0));
    }
}

// The table reads 32 records ahead: the counts sit on either side of one and two pages.
INSTANTIATE_TEST_SUITE_P(
    Engine, TableWalk,
    ::testing::Values(Walk{"Empty", 0, Filter::None, ""}, Walk{"OneRecord", 1, Filter::None, ""},
                      Walk{"TwoRecords", 2, Filter::None, ""},
                      Walk{"OneShortOfAPage", 31, Filter::None, ""},
                      Walk{"ExactlyAPage", 32, Filter::None, ""},
                      Walk{"OnePastAPage", 33, Filter::None, ""},
                      Walk{"TwoPagesAndOne", 65, Filter::None, ""},
                      Walk{"FilteredOnePastAPage", 33, Filter::EveryThird, ""},
                      Walk{"FilteredTwoPagesAndOne", 65, Filter::EveryThird, ""},
                      Walk{"FilterAcceptsNothing", 40, Filter::Nothing, ""},
                      Walk{"FilterOnOneRecordAcceptsIt", 2, Filter::EveryThird, ""},
                      Walk{"DuplicateKeysAcrossPages", 70, Filter::None, "Grupa"},
                      Walk{"DuplicateKeysFiltered", 70, Filter::EveryThird, "Grupa"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
