// Editing at the edges: values exactly at their field's limit and one past it, every kind of
// change another user can make under a record being edited, a required field left out in turn,
// and undoing a record that was changed or only started.
#include "db_fixture.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

// "Rec.DB": Cod text(5) key, Den text(5) and Cant required, Obs text(5), Val, Data, Nr. One record:
// K1, "Abc", 2, Obs "Abc", Val 2, 1 March 2024, Nr empty.
class RecordFixture : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        database->createTable({QStringLiteral("Rec.DB"),
                               {{QStringLiteral("Cod"), FieldType::Text, 5, true},
                                {QStringLiteral("Den"), FieldType::Text, 5, true},
                                {QStringLiteral("Cant"), FieldType::Float, 0, true},
                                {QStringLiteral("Obs"), FieldType::Text, 5},
                                {QStringLiteral("Val"), FieldType::Float},
                                {QStringLiteral("Data"), FieldType::Date},
                                {QStringLiteral("Nr"), FieldType::Integer}},
                               {{QString(), {QStringLiteral("Cod")}, true, true}}});
        t = table("Rec.DB");
        t->open();
        t->append();
        t->fieldByName("Cod")->setAsString("K1");
        t->fieldByName("Den")->setAsString("Abc");
        t->fieldByName("Cant")->setAsFloat(2);
        t->fieldByName("Obs")->setAsString("Abc");
        t->fieldByName("Val")->setAsFloat(2);
        t->fieldByName("Data")->setAsDate(QDate(2024, 3, 1));
        t->post();
    }
    // One field of the table's only record as stored, read through a table of its own.
    QVariant stored(const char* field) {
        auto reader = table("Rec.DB");
        reader->open();
        if (reader->isEmpty())
            return QStringLiteral("<deleted>");
        return reader->fieldByName(field)->value();
    }
    std::unique_ptr<Table> t;
};

// ---- limits ----

struct Limit {
    const char* name;
    const char* field;
    QVariant value;
    bool accepted;
};
void PrintTo(const Limit& l, std::ostream* os) {
    *os << l.name;
}

class FieldLimit : public RecordFixture, public ::testing::WithParamInterface<Limit> {};

TEST_P(FieldLimit, TakesAValueAtTheLimitAndRefusesOnePast) {
    const Limit& l = GetParam();
    t->edit();
    const QVariant before = t->fieldByName(l.field)->value();
    if (!l.accepted) {
        EXPECT_THROW(t->fieldByName(l.field)->setValue(l.value), base::ConversionError);
        EXPECT_EQ(t->fieldByName(l.field)->value(), before) << "a refused value leaves the old one";
        EXPECT_FALSE(t->isModified());
        t->cancel();
        return;
    }
    t->fieldByName(l.field)->setValue(l.value);
    t->post();
    EXPECT_EQ(stored(l.field), t->fieldByName(l.field)->value());
    EXPECT_EQ(t->fieldByName(l.field)->value(), t->fieldByName(l.field)->convert(l.value))
        << "stored as typed";
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FieldLimit,
    ::testing::Values(Limit{"TextAtItsWidth", "Den", QString("Abcde"), true},
                      Limit{"TextOnePastItsWidth", "Den", QString("Abcdef"), false},
                      Limit{"RomanianLettersAtItsWidth", "Den", QString("ăâîșț"), true},
                      Limit{"RomanianLettersOnePast", "Den", QString("ăâîșțĂ"), false},
                      Limit{"KeyTextAtItsWidth", "Cod", QString("K1234"), true},
                      Limit{"KeyTextOnePast", "Cod", QString("K12345"), false},
                      Limit{"NumberAsTextAtItsWidth", "Den", 123.5, true},
                      Limit{"NumberAsTextOnePast", "Den", 12345.5, false},
                      Limit{"WholeNumberAtItsMaximum", "Nr", 2147483647.0, true},
                      Limit{"WholeNumberOnePastItsMaximum", "Nr", 2147483648.0, false},
                      Limit{"WholeNumberAtItsNegativeLimit", "Nr", -2147483647.0, true},
                      Limit{"WholeNumberWithAFraction", "Nr", 1.5, false},
                      Limit{"WholeNumberTypedAtItsMaximum", "Nr", QString("2147483647"), true},
                      Limit{"WholeNumberTypedOnePast", "Nr", QString("2147483648"), false},
                      Limit{"LastDayOfFebruaryInALeapYear", "Data", QDate(2024, 2, 29), true},
                      Limit{"FirstDayOfTheCalendar", "Data", QDate(1, 1, 1), true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- required fields ----

struct Missing {
    const char* name;
    const char* field; // left out of the new record; nullptr: nothing left out
};
void PrintTo(const Missing& m, std::ostream* os) {
    *os << m.name;
}

class RequiredField : public RecordFixture, public ::testing::WithParamInterface<Missing> {};

TEST_P(RequiredField, ANewRecordWithoutItStaysInInsertAndNothingIsStored) {
    const Missing& m = GetParam();
    t->append();
    for (const char* f : {"Cod", "Den", "Cant"}) {
        if (m.field && QString::fromLatin1(f) == QLatin1String(m.field))
            continue;
        if (QString::fromLatin1(f) == QLatin1String("Cant"))
            t->fieldByName(f)->setAsFloat(0); // zero is a value
        else
            t->fieldByName(f)->setAsString("K2");
    }
    if (!m.field) {
        t->post();
        EXPECT_EQ(t->recordCount(), 2);
        return;
    }
    try {
        t->post();
        ADD_FAILURE() << "posted without " << m.field;
    } catch (const base::DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QString::fromLatin1(m.field)))
            << e.message().toStdString();
    }
    EXPECT_EQ(t->state(), DataSetState::Insert);
    t->cancel();
    EXPECT_EQ(t->recordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engine, RequiredField,
                         ::testing::Values(Missing{"Complete", nullptr},
                                           Missing{"WithoutKey", "Cod"},
                                           Missing{"WithoutText", "Den"},
                                           Missing{"WithoutNumber", "Cant"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- another user's change under an edit ----

enum class Mine { Post, Delete };

struct Conflict {
    const char* name;
    const char* field; // changed by the other user; nullptr: the record is deleted
    QVariant theirs;   // the value they store (null: they clear it)
    QVariant before;   // the value the record has when both read it (null: empty)
    Mine mine;
    std::optional<Kind> refused; // none: my change goes through
};
void PrintTo(const Conflict& c, std::ostream* os) {
    *os << c.name;
}

class EditConflict : public RecordFixture, public ::testing::WithParamInterface<Conflict> {};

TEST_P(EditConflict, RefusesWhatAnotherUserChangedSinceItWasRead) {
    const Conflict& c = GetParam();
    if (c.field) {
        t->edit();
        t->fieldByName(c.field)->setValue(c.before);
        t->post();
    }
    Session otherUser;
    otherUser.addAlias(QStringLiteral("TESTDB"), location);
    auto theirs = table("Rec.DB");
    theirs->setSession(&otherUser);
    theirs->open();

    // I begin editing; then the other user changes the record.
    t->edit();
    if (!c.field) {
        theirs->remove();
    } else {
        theirs->edit();
        theirs->fieldByName(c.field)->setValue(c.theirs);
        theirs->post();
    }
    const QVariant afterTheirs = c.field ? stored(c.field) : QVariant();
    if (c.mine == Mine::Post) {
        t->fieldByName("Nr")->setAsInteger(7);
        EXPECT_EQ(dbtest::errorKind([&] { t->post(); }), c.refused);
    } else {
        EXPECT_EQ(dbtest::errorKind([&] { t->remove(); }), c.refused);
    }
    if (c.refused) {
        EXPECT_EQ(t->state(), DataSetState::Edit) << "a refused change stays in edit";
        if (c.field) {
            EXPECT_EQ(stored(c.field), afterTheirs) << "the other user's value is kept";
        }
        t->cancel();
        EXPECT_EQ(t->state(), DataSetState::Browse);
    } else if (c.mine == Mine::Post) {
        EXPECT_EQ(stored("Nr").toInt(), 7);
    } else {
        EXPECT_EQ(stored("Cod").toString(), "<deleted>");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Engine, EditConflict,
    ::testing::Values(
        Conflict{"PostAfterTextChanged", "Den", QString("Xyz"), QString("Abc"), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterTextCleared", "Obs", QVariant(), QString("Abc"), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterEmptyTextFilled", "Obs", QString("Xyz"), QVariant(), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterNumberChanged", "Val", 3.0, 2.0, Mine::Post, Kind::RecordChanged},
        Conflict{"PostAfterNumberCleared", "Val", QVariant(), 2.0, Mine::Post, Kind::RecordChanged},
        Conflict{"PostAfterZeroCleared", "Val", QVariant(), 0.0, Mine::Post, Kind::RecordChanged},
        Conflict{"PostAfterEmptyNumberFilledWithZero", "Val", 0.0, QVariant(), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterDateChanged", "Data", QDate(2024, 3, 2), QDate(2024, 3, 1), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterDateCleared", "Data", QVariant(), QDate(2024, 3, 1), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterEmptyDateFilled", "Data", QDate(2024, 3, 1), QVariant(), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterKeyChanged", "Cod", QString("K9"), QString("K1"), Mine::Post,
                 Kind::RecordChanged},
        Conflict{"PostAfterDeleted", nullptr, {}, {}, Mine::Post, Kind::RecordDeleted},
        Conflict{"PostAfterTheSameValueStored", "Den", QString("Abc"), QString("Abc"), Mine::Post,
                 std::nullopt},
        Conflict{"DeleteAfterTextChanged", "Den", QString("Xyz"), QString("Abc"), Mine::Delete,
                 Kind::RecordChanged},
        Conflict{"DeleteAfterTextCleared", "Obs", QVariant(), QString("Abc"), Mine::Delete,
                 Kind::RecordChanged},
        Conflict{"DeleteAfterEmptyTextFilled", "Obs", QString("Xyz"), QVariant(), Mine::Delete,
                 Kind::RecordChanged},
        Conflict{"DeleteAfterDeleted", nullptr, {}, {}, Mine::Delete, Kind::RecordDeleted}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- undo ----

enum class Start { EditTyped, EditUntouched, InsertTyped, InsertUntouched, InsertIntoEmpty };

struct Undo {
    const char* name;
    Start start;
};
void PrintTo(const Undo& u, std::ostream* os) {
    *os << u.name;
}

class CancelRecord : public RecordFixture, public ::testing::WithParamInterface<Undo> {};

TEST_P(CancelRecord, LeavesTheStoredRecordsAndTheCursorAsTheyWere) {
    const Undo& u = GetParam();
    if (u.start == Start::InsertIntoEmpty) {
        t->remove();
        ASSERT_TRUE(t->isEmpty());
    }
    const int count = t->recordCount();
    switch (u.start) {
    case Start::EditTyped:
        t->edit();
        t->fieldByName("Den")->setAsString("Nou");
        t->fieldByName("Cant")->clear();
        break;
    case Start::EditUntouched:
        t->edit();
        break;
    case Start::InsertTyped:
        t->insert();
        t->fieldByName("Cod")->setAsString("K0");
        t->fieldByName("Den")->setAsString("Nou");
        break;
    case Start::InsertUntouched:
    case Start::InsertIntoEmpty:
        t->insert();
        break;
    }
    t->cancel();
    EXPECT_EQ(t->state(), DataSetState::Browse);
    EXPECT_FALSE(t->isModified());
    EXPECT_EQ(t->recordCount(), count);
    if (u.start == Start::InsertIntoEmpty) {
        EXPECT_TRUE(t->isEmpty());
        EXPECT_TRUE(t->fieldByName("Cod")->isNull());
        return;
    }
    EXPECT_EQ(t->fieldByName("Cod")->asString(), "K1") << "back on the record it was on";
    EXPECT_EQ(t->fieldByName("Den")->asString(), "Abc");
    EXPECT_EQ(t->fieldByName("Cant")->asFloat(), 2);
    EXPECT_EQ(stored("Den").toString(), "Abc");
    // A second cancel has nothing left to undo.
    t->cancel();
    EXPECT_EQ(t->fieldByName("Den")->asString(), "Abc");
}

INSTANTIATE_TEST_SUITE_P(Engine, CancelRecord,
                         ::testing::Values(Undo{"ChangedRecord", Start::EditTyped},
                                           Undo{"RecordOnlyOpenedForEditing", Start::EditUntouched},
                                           Undo{"NewRecordTypedInto", Start::InsertTyped},
                                           Undo{"NewRecordOnlyStarted", Start::InsertUntouched},
                                           Undo{"NewRecordInAnEmptyTable", Start::InsertIntoEmpty}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
