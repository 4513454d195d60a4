// Searches at the edges: a key that exists, one that falls between two keys, one before the first
// and one after the last, for every kind of search, with and without a filter.
#include "db_fixture.h"

#include <vector>

using namespace db;
using dbtest::DbFixture;

namespace {

enum class Op { FindKey, FindNearest, Locate, LocateNoCase, LocatePartial, Lookup, Sum };

struct Search {
    const char* name;
    Op op;
    std::vector<const char*>
        key;            // for the key searches on (Grupa, Cod); for the others: values of `fields`
    const char* fields; // locate, lookup and sum
    bool filtered;      // the filter hides B K10 and D K10
    bool found;
    const char*
        at; // "Grupa Cod" of the record current afterwards; lookup: Nr found; sum: the total
};
// Named in test lists and failure reports by its name.
void PrintTo(const Search& s, std::ostream* os) {
    *os << s.name;
}

class TableSearch : public DbFixture, public ::testing::WithParamInterface<Search> {
protected:
    // "Cat.DB" keyed by group then code: B K10, B K20, D K10, D K30 (quantities 1, 2, 4, 8).
    std::unique_ptr<Table> catalog() {
        database->createTable(
            {QStringLiteral("Cat.DB"),
             {{QStringLiteral("Grupa"), FieldType::Text, 8},
              {QStringLiteral("Cod"), FieldType::Text, 10},
              {QStringLiteral("Nr"), FieldType::Integer},
              {QStringLiteral("Cant"), FieldType::Float}},
             {{QString(), {QStringLiteral("Grupa"), QStringLiteral("Cod")}, true, true},
              {QStringLiteral("Coduri"), {QStringLiteral("Cod")}, false, false}}});
        auto t = table("Cat.DB");
        t->open();
        struct Row {
            const char* grupa;
            const char* cod;
            double cant;
        };
        int nr = 1;
        for (const Row& r :
             {Row{"D", "K30", 8}, Row{"B", "K20", 2}, Row{"D", "K10", 4}, Row{"B", "K10", 1}}) {
            t->append();
            t->fieldByName("Grupa")->setAsString(r.grupa);
            t->fieldByName("Cod")->setAsString(r.cod);
            t->fieldByName("Nr")->setAsInteger(nr++);
            t->fieldByName("Cant")->setAsFloat(r.cant);
            t->post();
        }
        return t;
    }
    static QString at(Table& t) {
        return t.fieldByName("Grupa")->asString() + " " + t.fieldByName("Cod")->asString();
    }
};

TEST_P(TableSearch, FindsExactlyTheRecordItShouldAndElseStaysPut) {
    const Search& s = GetParam();
    auto t = catalog();
    if (s.filtered) {
        t->onFilterRecord = [](DataSet& d, bool& accept) {
            accept = d.fieldByName("Cod")->asString() != "K10";
        };
        t->setFiltered(true);
    }
    // Start from the second record in view, which no case expects to reach.
    t->first();
    t->next();
    const QString start = at(*t);
    ASSERT_EQ(start, s.filtered ? "D K30" : "B K20");
    QVariantList key;
    for (const char* v : s.key)
        key << QString::fromLatin1(v);
    const QString fields = QString::fromLatin1(s.fields);
    switch (s.op) {
    case Op::FindKey:
        EXPECT_EQ(t->findKey(key), s.found);
        break;
    case Op::FindNearest:
        t->findNearest(key);
        EXPECT_EQ(t->eof(), !s.found) << "a key after the last one leaves the table at its end";
        break;
    case Op::Locate:
        EXPECT_EQ(t->locate(fields, key), s.found);
        break;
    case Op::LocateNoCase:
        EXPECT_EQ(t->locate(fields, key, {.caseInsensitive = true}), s.found);
        break;
    case Op::LocatePartial:
        EXPECT_EQ(t->locate(fields, key, {.partialKey = true}), s.found);
        break;
    case Op::Lookup: {
        const QVariant nr = t->lookup(fields, key, "Nr");
        EXPECT_EQ(nr.isValid() && !nr.isNull(), s.found);
        EXPECT_EQ(nr.toString(), s.found ? QString::fromLatin1(s.at) : QString());
        EXPECT_EQ(at(*t), start) << "a lookup does not move";
        return;
    }
    case Op::Sum:
        EXPECT_DOUBLE_EQ(t->sum("Cant", fields, key), QString::fromLatin1(s.at).toDouble());
        EXPECT_EQ(at(*t), start) << "a sum does not move";
        return;
    }
    EXPECT_EQ(at(*t), s.found || s.op == Op::FindNearest ? QString::fromLatin1(s.at) : start);
    EXPECT_EQ(t->state(), DataSetState::Browse);
}

#define KEY(...)                                                                                   \
    std::vector<const char*> {                                                                     \
        __VA_ARGS__                                                                                \
    }
INSTANTIATE_TEST_SUITE_P(
    Engine, TableSearch,
    ::testing::Values(
        // findKey: the leading fields of the primary order equal the values.
        Search{"FindKeyExact", Op::FindKey, KEY("D", "K10"), "", false, true, "D K10"},
        Search{"FindKeyFirstOfAGroup", Op::FindKey, KEY("D"), "", false, true, "D K10"},
        Search{"FindKeyFirstRecord", Op::FindKey, KEY("B", "K10"), "", false, true, "B K10"},
        Search{"FindKeyLastRecord", Op::FindKey, KEY("D", "K30"), "", false, true, "D K30"},
        Search{"FindKeyBetweenGroups", Op::FindKey, KEY("C"), "", false, false, ""},
        Search{"FindKeyBetweenCodes", Op::FindKey, KEY("B", "K15"), "", false, false, ""},
        Search{"FindKeyBeforeFirst", Op::FindKey, KEY("A"), "", false, false, ""},
        Search{"FindKeyAfterLast", Op::FindKey, KEY("D", "K40"), "", false, false, ""},
        Search{"FindKeyPrefixOfACode", Op::FindKey, KEY("D", "K1"), "", false, false, ""},
        Search{"FindKeyCaseMatters", Op::FindKey, KEY("d"), "", false, false, ""},
        Search{"FindKeyFilteredOut", Op::FindKey, KEY("B", "K10"), "", true, false, ""},
        Search{"FindKeyFilteredGroupSkipsToItsNext", Op::FindKey, KEY("B"), "", true, true,
               "B K20"},
        // findNearest: the first key equal or greater, or the end.
        Search{"NearestExact", Op::FindNearest, KEY("D", "K10"), "", false, true, "D K10"},
        Search{"NearestBetweenCodes", Op::FindNearest, KEY("B", "K15"), "", false, true, "B K20"},
        Search{"NearestAfterAGroupsLastCode", Op::FindNearest, KEY("B", "K25"), "", false, true,
               "D K10"},
        Search{"NearestBetweenGroups", Op::FindNearest, KEY("C"), "", false, true, "D K10"},
        Search{"NearestBeforeFirst", Op::FindNearest, KEY("A"), "", false, true, "B K10"},
        Search{"NearestEmptyKeyIsTheFirst", Op::FindNearest, KEY(""), "", false, true, "B K10"},
        Search{"NearestAfterLast", Op::FindNearest, KEY("E"), "", false, false, "D K30"},
        Search{"NearestAfterLastCode", Op::FindNearest, KEY("D", "K31"), "", false, false, "D K30"},
        Search{"NearestFilteredSkipsForward", Op::FindNearest, KEY("B", "K05"), "", true, true,
               "B K20"},
        Search{"NearestFilteredAcrossAGroup", Op::FindNearest, KEY("C"), "", true, true, "D K30"},
        // locate: any fields, first record in the order.
        Search{"LocateExact", Op::Locate, KEY("K10"), "Cod", false, true, "B K10"},
        Search{"LocateTwoFields", Op::Locate, KEY("D", "K10"), "Grupa;Cod", false, true, "D K10"},
        Search{"LocateBetween", Op::Locate, KEY("K15"), "Cod", false, false, ""},
        Search{"LocateBeforeFirst", Op::Locate, KEY("K00"), "Cod", false, false, ""},
        Search{"LocateAfterLast", Op::Locate, KEY("K99"), "Cod", false, false, ""},
        Search{"LocateFieldsOfDifferentRecords", Op::Locate, KEY("B", "K30"), "Grupa;Cod", false,
               false, ""},
        Search{"LocateFiltered", Op::Locate, KEY("K10"), "Cod", true, false, ""},
        Search{"LocateTooLongForTheField", Op::Locate, KEY("K1000000000"), "Cod", false, false, ""},
        Search{"LocateIgnoringCase", Op::LocateNoCase, KEY("k30"), "Cod", false, true, "D K30"},
        Search{"LocateIgnoringCaseBetween", Op::LocateNoCase, KEY("k15"), "Cod", false, false, ""},
        Search{"LocatePartialKey", Op::LocatePartial, KEY("K3"), "Cod", false, true, "D K30"},
        Search{"LocatePartialKeyLongerThanAny", Op::LocatePartial, KEY("K300"), "Cod", false, false,
               ""},
        Search{"LocatePartialFiltered", Op::LocatePartial, KEY("K1"), "Cod", true, false, ""},
        // lookup answers the result field without moving.
        Search{"LookupExact", Op::Lookup, KEY("D", "K10"), "Grupa;Cod", false, true, "3"},
        Search{"LookupBetween", Op::Lookup, KEY("C", "K10"), "Grupa;Cod", false, false, ""},
        Search{"LookupBeforeFirst", Op::Lookup, KEY("A"), "Grupa", false, false, ""},
        Search{"LookupAfterLast", Op::Lookup, KEY("K31"), "Cod", false, false, ""},
        Search{"LookupFiltered", Op::Lookup, KEY("D", "K10"), "Grupa;Cod", true, false, ""},
        // sum reads the stored records, filter or not.
        Search{"SumOverEveryGroup", Op::Sum, KEY("K10"), "Cod", true, true, "5"},
        Search{"SumOfOneRecord", Op::Sum, KEY("D", "K30"), "Grupa;Cod", false, true, "8"},
        Search{"SumBetween", Op::Sum, KEY("K15"), "Cod", false, true, "0"},
        Search{"SumBeforeFirst", Op::Sum, KEY("A"), "Grupa", false, true, "0"},
        Search{"SumAfterLast", Op::Sum, KEY("E"), "Grupa", false, true, "0"},
        Search{"SumCaseMatters", Op::Sum, KEY("k10"), "Cod", false, true, "0"}),
    [](const auto& info) { return std::string(info.param.name); });
#undef KEY

class TableSearchPaging : public DbFixture {};

// More records share the key than the table reads in one page; the filter hides all but the
// last few, so the search has to go on past the first page.
TEST_F(TableSearchPaging, FindKeyGoesOnPastAPageOfEqualKeys) {
    database->createTable({QStringLiteral("Dup.DB"),
                           {{QStringLiteral("Grupa"), FieldType::Text, 8},
                            {QStringLiteral("Nr"), FieldType::Integer}},
                           {{QStringLiteral("Grupe"), {QStringLiteral("Grupa")}, false, false}}});
    auto t = table("Dup.DB", "Grupa");
    t->open();
    for (int i = 0; i < 40; ++i) {
        t->append();
        t->fieldByName("Grupa")->setAsString(i < 38 ? "G" : "H");
        t->fieldByName("Nr")->setAsInteger(i);
        t->post();
    }
    for (int visibleFrom : {31, 32, 33, 37, 38}) {
        t->onFilterRecord = [visibleFrom](DataSet& d, bool& accept) {
            accept = d.fieldByName("Nr")->asInteger() >= visibleFrom;
        };
        t->setFiltered(false);
        t->setFiltered(true);
        t->last();
        const bool found = t->findKey({"G"});
        EXPECT_EQ(found, visibleFrom < 38) << visibleFrom;
        EXPECT_EQ(t->fieldByName("Nr")->asInteger(), found ? visibleFrom : 39) << visibleFrom;
    }
}

} // namespace
