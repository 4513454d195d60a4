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

namespace {

// The add-on's display name: constant data of the library, handed over without a copy.
constexpr auto kAddOnName = hostabi::constHostString("Productie-calcul necesar tehnic");

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
