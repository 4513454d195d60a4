#include "db_fixture.h"

#include "platform/base/format_settings.h"
#include "platform/db/data_source.h"

using namespace db;
using dbtest::DbFixture;
using Kind = base::DatabaseError::Kind;

namespace {

class TableEditing : public DbFixture {
protected:
    std::unique_ptr<Table> recipes;

    void SetUp() override {
        DbFixture::SetUp();
        database->createTable({"Reteta.DB",
                               {{"Cod", FieldType::Text, 30},
                                {"Cod_MatPrim", FieldType::Text, 30},
                                {"Cod_Grupa", FieldType::Text, 8},
                                {"Cant_MatPrim", FieldType::Float},
                                {"Data", FieldType::Date}},
                               {{QString(), {"Cod", "Cod_MatPrim"}, true, true}}});
        recipes = table("Reteta.DB", "Cod");
        recipes->addField("Cod_Grupa", FieldType::Text, 8);
        recipes->addField("Cod", FieldType::Text, 30);
        recipes->addField("Cod_MatPrim", FieldType::Text, 30);
        recipes->addField("Cant_MatPrim", FieldType::Float);
        recipes->addField("Data", FieldType::Date);
        recipes->open();
    }

    void addLine(const QString& cod, const QString& mat, double cant) {
        recipes->append();
        recipes->fieldByName("Cod")->setAsString(cod);
        recipes->fieldByName("Cod_MatPrim")->setAsString(mat);
        recipes->fieldByName("Cod_Grupa")->setAsString("MAT");
        recipes->fieldByName("Cant_MatPrim")->setAsFloat(cant);
        recipes->post();
    }
};

TEST_F(TableEditing, InsertEditCancelAndDeleteReachTheFile) {
    addLine("PF01", "M100", 2);
    addLine("PF01", "M050", 1);
    EXPECT_EQ(recipes->state(), DataSetState::Browse);
    EXPECT_EQ(recipes->fieldByName("Cod_MatPrim")->asString(), "M050")
        << "a posted record stays current";
    recipes->edit();
    recipes->fieldByName("Cant_MatPrim")->setAsFloat(7.25);
    recipes->cancel();
    EXPECT_EQ(recipes->fieldByName("Cant_MatPrim")->asFloat(), 1);
    recipes->edit();
    recipes->fieldByName("Cant_MatPrim")
        ->setAsString(base::formatSettings().decimalSeparator == ',' ? "7,25" : "7.25");
    recipes->post();

    auto other = table("RETETA");
    other->open();
    EXPECT_EQ(column(*other, "Cod_MatPrim"), (QStringList{"M050", "M100"}));
    other->locate("Cod_MatPrim", {"M050"});
    EXPECT_DOUBLE_EQ(other->fieldByName("Cant_MatPrim")->asFloat(), 7.25);
    EXPECT_TRUE(other->fieldByName("Data")->isNull());
}

TEST_F(TableEditing, KeyViolationLeavesTheRecordInInsert) {
    addLine("PF01", "M100", 2);
    recipes->append();
    recipes->fieldByName("Cod")->setAsString("PF01");
    recipes->fieldByName("Cod_MatPrim")->setAsString("M100");
    try {
        recipes->post();
        FAIL() << "duplicate key posted";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.kind(), Kind::KeyViolation);
        EXPECT_EQ(e.message(), "Key violation.");
    }
    EXPECT_EQ(recipes->state(), DataSetState::Insert);
    EXPECT_EQ(recipes->fieldByName("Cod_MatPrim")->asString(), "M100");
    recipes->fieldByName("Cod_MatPrim")->setAsString("M101");
    recipes->post();
    EXPECT_EQ(recipes->recordCount(), 2);
}

TEST_F(TableEditing, RefusedValuesChangeNothing) {
    addLine("PF01", "M100", 2);
    recipes->edit();
    struct Case {
        const char* field;
        QVariant value;
    };
    const Case cases[] = {
        {"Cod_Grupa", QString("MATERIALE")}, // 9 characters in a text(8)
        {"Cant_MatPrim", QString("doi")},    // not a number
        {"Data", QString("31/04/2024")},     // 31 April
        {"Data", QString("29/02/2023")},     // not a leap year
        {"Cod_MatPrim", QString("M\u4e00")}, // outside code page 1250
    };
    base::FormatSettings fs = base::formatSettings();
    fs.shortDateFormat = "DD/MM/YYYY";
    base::setFormatSettings(fs);
    for (const Case& c : cases) {
        const QVariant before = recipes->fieldByName(c.field)->value();
        EXPECT_THROW(recipes->fieldByName(c.field)->setValue(c.value), base::ConversionError)
            << c.field;
        EXPECT_EQ(recipes->fieldByName(c.field)->value(), before) << c.field;
    }
    EXPECT_FALSE(recipes->isModified());
    recipes->fieldByName("Data")->setAsString("29/02/2024");
    recipes->fieldByName("Cod_Grupa")->setAsString("ș-ț");
    EXPECT_EQ(recipes->fieldByName("Cod_Grupa")->asString(), "ş-ţ")
        << "comma-below letters are stored with cedilla";
    recipes->post();
    EXPECT_EQ(recipes->fieldByName("Data")->asDate(), QDate(2024, 2, 29));
}

TEST_F(TableEditing, ValidateAndBeforePostRefusalsKeepValueAndState) {
    addLine("PF01", "M100", 2);
    recipes->fieldByName("Cod_MatPrim")->onValidate = [](Field& f) {
        if (!f.asString().startsWith('M'))
            base::abortSilently();
    };
    recipes->beforePost = [](DataSet& d) {
        if (d.fieldByName("Cant_MatPrim")->isNull())
            base::abortSilently();
    };
    recipes->edit();
    EXPECT_THROW(recipes->fieldByName("Cod_MatPrim")->setAsString("X1"), base::Abort);
    EXPECT_EQ(recipes->fieldByName("Cod_MatPrim")->asString(), "M100");
    recipes->fieldByName("Cant_MatPrim")->clear();
    EXPECT_THROW(recipes->post(), base::Abort);
    EXPECT_EQ(recipes->state(), DataSetState::Edit);
    recipes->fieldByName("Cant_MatPrim")->setAsFloat(0);
    recipes->post();
    EXPECT_EQ(recipes->state(), DataSetState::Browse);
    EXPECT_FALSE(recipes->fieldByName("Cant_MatPrim")->isNull()) << "zero is a value";
}

TEST_F(TableEditing, NavigatingPostsModifiedAndDropsUntouchedNewRecords) {
    addLine("PF01", "M100", 2);
    recipes->append();
    recipes->first();
    EXPECT_EQ(recipes->recordCount(), 1) << "an unmodified new record is discarded";
    recipes->edit();
    recipes->fieldByName("Cant_MatPrim")->setAsFloat(3);
    recipes->next();
    auto other = table("Reteta");
    other->open();
    EXPECT_EQ(other->fieldByName("Cant_MatPrim")->asFloat(), 3);
}

TEST_F(TableEditing, MasterDetailShowsAndFillsTheMastersLines) {
    addLine("PF01", "M100", 2);
    addLine("PF01", "M200", 1);
    addLine("PF02", "M300", 5);
    database->createTable({"CATALOG.DB",
                           {{"Grupa", FieldType::Text, 8},
                            {"Cod", FieldType::Text, 30},
                            {"Denumire", FieldType::Text, 255}},
                           {{QString(), {"Grupa", "Cod"}, true, true}}});
    auto catalog = table("Catalog.DB");
    catalog->open();
    for (const char* cod : {"PF01", "PF02", "PF03"}) {
        catalog->append();
        catalog->fieldByName("Grupa")->setAsString("PF");
        catalog->fieldByName("Cod")->setAsString(cod);
        catalog->post();
    }
    DataSource catalogSource(catalog.get());
    recipes->close();
    recipes->setMasterSource(&catalogSource);
    recipes->setMasterFields("Cod");
    recipes->open();
    catalog->first();
    EXPECT_EQ(column(*recipes, "Cod_MatPrim"), (QStringList{"M100", "M200"}));
    catalog->next();
    EXPECT_EQ(column(*recipes, "Cod_MatPrim"), (QStringList{"M300"}));
    catalog->next();
    EXPECT_TRUE(recipes->isEmpty());
    recipes->append();
    EXPECT_EQ(recipes->fieldByName("Cod")->asString(), "PF03")
        << "a new line takes the product's code";
    recipes->fieldByName("Cod_MatPrim")->setAsString("M400");
    recipes->post();
    catalog->first();
    catalog->last();
    EXPECT_EQ(column(*recipes, "Cod_MatPrim"), (QStringList{"M400"}));
}

TEST_F(TableEditing, LookupAndCalculatedFieldsAreComputedNeverStored) {
    database->createTable({"CATALOG.DB",
                           {{"Grupa", FieldType::Text, 8},
                            {"Cod", FieldType::Text, 30},
                            {"Denumire", FieldType::Text, 255}},
                           {{QString(), {"Grupa", "Cod"}, true, true}}});
    auto catalog = table("Catalog.DB");
    catalog->open();
    catalog->append();
    catalog->fieldByName("Grupa")->setAsString("MAT");
    catalog->fieldByName("Cod")->setAsString("M100");
    catalog->fieldByName("Denumire")->setAsString("Făină albă");
    catalog->post();
    catalog->onFilterRecord = [](DataSet& d, bool& accept) {
        accept = d.fieldByName("Cod")->asString().startsWith('M');
    };
    catalog->setFiltered(true);

    recipes->close();
    recipes->addLookupField("DenMat_Prim", 255, catalog.get(), "Cod_MatPrim", "Cod", "Denumire");
    recipes->addCalculatedField("Dublu", FieldType::Float);
    recipes->onCalcFields = [](DataSet& d) {
        d.fieldByName("Dublu")->setAsFloat(d.fieldByName("Cant_MatPrim")->asFloat() * 2);
    };
    recipes->open();
    addLine("PF01", "M100", 2);
    EXPECT_EQ(recipes->fieldByName("DenMat_Prim")->asString(), "Făină albă");
    EXPECT_EQ(recipes->fieldByName("Dublu")->asFloat(), 4);
    addLine("PF01", "P1", 1);
    EXPECT_TRUE(recipes->fieldByName("DenMat_Prim")->isNull())
        << "codes outside the filtered view have no name";
    recipes->edit();
    recipes->fieldByName("Cod_MatPrim")->setAsString("M100X");
    EXPECT_TRUE(recipes->fieldByName("DenMat_Prim")->isNull());
    recipes->fieldByName("Cant_MatPrim")->setAsFloat(5);
    EXPECT_EQ(recipes->fieldByName("Dublu")->asFloat(), 10) << "recomputed while editing";
    EXPECT_THROW(recipes->fieldByName("Dublu")->setAsFloat(1), base::DatabaseError);
    recipes->cancel();
    EXPECT_EQ(database->tableStructure("Reteta").fields.size(), 5) << "nothing computed is stored";
}

TEST_F(TableEditing, DataSourcesHearStateAndDataChangesUnlessDisabled) {
    DataSource source(recipes.get());
    QStringList heard;
    source.onStateChange = [&](DataSource& s) {
        heard << QStringLiteral("state %1").arg(int(s.dataSet()->state()));
    };
    source.onDataChange = [&](DataSource&, Field* f) {
        heard << (f ? "field " + f->fieldName() : QString("data"));
    };
    recipes->append();
    recipes->fieldByName("Cod")->setAsString("PF9");
    EXPECT_TRUE(heard.contains(QStringLiteral("state %1").arg(int(DataSetState::Insert))));
    EXPECT_TRUE(heard.contains("field Cod"));
    recipes->cancel();
    heard.clear();
    recipes->disableControls();
    addLine("PF01", "M1", 1);
    addLine("PF01", "M2", 1);
    EXPECT_FALSE(heard.contains("data")) << heard.join(',').toStdString();
    recipes->enableControls();
    EXPECT_EQ(heard.last(), "data");
}

TEST_F(TableEditing, ReadOnlyTableRefusesChanges) {
    addLine("PF01", "M100", 2);
    auto ro = table("Reteta");
    ro->setReadOnly(true);
    ro->open();
    EXPECT_EQ(dbtest::errorKind([&] { ro->edit(); }), Kind::InvalidState);
    EXPECT_EQ(dbtest::errorKind([&] { ro->append(); }), Kind::InvalidState);
    EXPECT_EQ(dbtest::errorKind([&] { ro->remove(); }), Kind::InvalidState);
    EXPECT_EQ(ro->state(), DataSetState::Browse);
}

} // namespace
