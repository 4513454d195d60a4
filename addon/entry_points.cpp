// The seven entry points through which the host drives the add-on.
#include "addon/entry_points.h"

#include "addon/dummy_module.h"
#include "addon/table_definition.h"
#include "common/module_values.h"
#include "data/qdm_data_module.h"
#include "platform/abi/host_string.h"
#include "platform/db/session.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/screen.h"
#include "requirement/consumption_register.h"
#include "requirement/consumption_trace.h"
#include "requirement/recipe_issue.h"

namespace {

// The add-on's display name: constant data of the library, handed over without a copy.
constexpr auto kAddOnName = hostabi::constHostString("Productie-calcul necesar tehnic");

// A table of the module's own (the register of the consumption documents, of their reversals,
// the stock records and the recipe figures beside each document), declared from the definition
// the module itself creates the table by, so the host and the module never disagree on its
// fields.
void addModuleTable(hostabi::TableDefinitionList* list, const db::TableDef& def) {
    using hostabi::FieldTypeCode;
    QList<FieldSpec> fields;
    for (const db::FieldDef& f : def.fields) {
        const FieldTypeCode type = f.type == db::FieldType::Float     ? FieldTypeCode::Float
                                   : f.type == db::FieldType::Date    ? FieldTypeCode::Date
                                   : f.type == db::FieldType::Boolean ? FieldTypeCode::Boolean
                                                                      : FieldTypeCode::String;
        fields << FieldSpec{f.name, type, std::uint16_t(f.size), 0};
    }
    QList<IndexSpec> indexes;
    for (const db::IndexDef& i : def.indexes)
        indexes << IndexSpec{i.primary ? QString() : i.name, i.fields.join(QLatin1Char(';')),
                             std::uint8_t((i.primary ? hostabi::IndexPrimary : 0) |
                                          (i.unique ? hostabi::IndexUnique : 0))};
    AddTableDefinition(list, def.name, fields, 1, indexes);
}

} // namespace

void LUMBRA_CALL InitAddOnDLL(ui::Screen* hostScreen, ui::Application* hostApplication) {
    SavedApplication = ui::application();
    SavedScreen = ui::screen();
    ui::setApplication(hostApplication);
    ui::setScreen(hostScreen);
}

void LUMBRA_CALL ClearAddOnDLL() {
    ui::setApplication(SavedApplication);
    ui::setScreen(SavedScreen);
}

void LUMBRA_CALL VelAddOnGetName(char** name) {
    if (name)
        hostabi::strAssign(*name, kAddOnName.str());
}

void LUMBRA_CALL VelAddOnAddTables(hostabi::TableDefinitionList* list) {
    TableDefinitionList = list;
    AddTableDefinition(list, recipeTableName(), recipeTableFields(), 1, recipeTableIndexes());
    for (const db::TableDef& def :
         {requirement::consumptionRegisterDef(), requirement::reversalRegisterDef(),
          requirement::consumptionTraceDef(), requirement::recipeBesideIssueDef()})
        addModuleTable(list, def);
}

ui::Menu* LUMBRA_CALL VelAddOnMainForm(QObject* owner) {
    DummyModule = new TDummyModule(owner);
    return DummyModule ? DummyModule->MainMenu1 : nullptr;
}

void LUMBRA_CALL VelAddOnChangeDB(const char* directory) {
    // Without a data module (its creation failed) there is no connection to point anywhere.
    if (!QDMDataModule)
        return;
    // The host rewrites the aliases it provides (MAGNIS, KRV_PRIV) when it opens a company. A
    // database the catalog window or the requirement sheet connected through them keeps its
    // connection, and would go on reading (and holding open) the company opened before.
    db::Session& session = db::Session::instance();
    for (const QString& alias : {QStringLiteral("MAGNIS"), QStringLiteral("KRV_PRIV")})
        if (session.hasAlias(alias))
            session.findDatabase(alias).close();
    session.loadConfigFile(db::Session::defaultConfigFile());
    db::Database& ghost = QDMDataModule->GhostDB;
    if (ghost.isConnected())
        ghost.close(); // closes every dataset of the data module on the alias
    ghost.params().clear();
    ghost.params() << QStringLiteral("PATH=") + hostabi::strToQString(directory);
    ghost.open();
}

ui::Menu* LUMBRA_CALL VelAddOnDocInForm(ui::Form* docInForm, db::DataSet* docInDataSet) {
    if (!DummyModule)
        return nullptr;
    DummyModule->DocInDataSet = docInDataSet;
    DummyModule->DocInOwner = docInForm;
    return DummyModule->DocInMenu;
}
