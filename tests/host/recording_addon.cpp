// An add-on that records how the host drives it: each entry point appends a line to the file
// named by $RECORDING_ADDON_LOG (a file, so that the record outlives the library's unloading).
// It hands over a main menu and a goods-receipt menu like the production add-on's, and
// declares a table with every field type the host stores.
#include "addon/entry_points.h"
#include "platform/abi/host_string.h"
#include "platform/abi/host_string_var.h"
#include "platform/abi/table_definition.h"
#include "platform/db/data_set.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/screen.h"

#include <QFile>
#include <QObject>

namespace {

constexpr auto kName = hostabi::constHostString("Modul de proba");

ui::Menu* g_mainMenu = nullptr;
ui::Menu* g_docInMenu = nullptr;

void record(const QString& line) {
    QFile log(qEnvironmentVariable("RECORDING_ADDON_LOG"));
    if (log.open(QIODevice::Append | QIODevice::Text))
        log.write((line + QLatin1Char('\n')).toUtf8());
}

QString address(const void* p) {
    return QString::number(reinterpret_cast<quintptr>(p), 16);
}

ui::MenuItem* item(ui::MenuItem* parent, const QString& caption, int groupIndex) {
    auto* i = new ui::MenuItem(parent, QString(), caption);
    i->setGroupIndex(groupIndex);
    return i;
}

} // namespace

void LUMBRA_CALL InitAddOnDLL(ui::Screen* hostScreen, ui::Application* hostApplication) {
    record(QStringLiteral("InitAddOnDLL %1 %2").arg(address(hostScreen), address(hostApplication)));
}

void LUMBRA_CALL ClearAddOnDLL() {
    record(QStringLiteral("ClearAddOnDLL"));
}

void LUMBRA_CALL VelAddOnGetName(char** name) {
    record(QStringLiteral("VelAddOnGetName"));
    hostabi::HostStringVar(name).store(kName);
}

void LUMBRA_CALL VelAddOnAddTables(hostabi::TableDefinitionList* list) {
    record(QStringLiteral("VelAddOnAddTables"));
    hostabi::TableDefinitionEntry& entry = list->appendEntry();
    entry.tableName.set(QStringLiteral("Proba.DB"));
    entry.fieldCount = 4;
    entry.indexCount = 2;
    entry.indexFlag = 1;
    auto* fields = hostabi::allocateDescriptors<hostabi::FieldDescriptor>(4);
    fields[0].assign(QStringLiteral("Cod"), hostabi::FieldTypeCode::String, 12);
    fields[1].assign(QStringLiteral("Cant"), hostabi::FieldTypeCode::Float, 0);
    fields[2].assign(QStringLiteral("Data"), hostabi::FieldTypeCode::Date, 0);
    fields[3].assign(QStringLiteral("Activ"), hostabi::FieldTypeCode::Boolean, 0);
    entry.fields.set(fields);
    auto* indexes = hostabi::allocateDescriptors<hostabi::IndexDescriptor>(2);
    indexes[0].assign(QString(), QStringLiteral("Cod"),
                      hostabi::IndexPrimary | hostabi::IndexUnique);
    indexes[1].assign(QStringLiteral("DupaData"), QStringLiteral("Data;Cod"), 0);
    entry.indexes.set(indexes);
}

ui::Menu* LUMBRA_CALL VelAddOnMainForm(QObject* owner) {
    record(QStringLiteral("VelAddOnMainForm %1").arg(address(owner)));
    // The menu carrier belongs to the host's component and says when it goes.
    auto* carrier = new QObject(owner);
    QObject::connect(carrier, &QObject::destroyed, [] {
        record(QStringLiteral("carrier destroyed"));
        g_mainMenu = g_docInMenu = nullptr;
    });
    g_mainMenu = new ui::Menu(carrier);
    auto* system = new ui::MenuItem(g_mainMenu, QString(), QStringLiteral("&Sistem"));
    item(system, QStringLiteral("Comanda de proba"), 5)->onClick = [] {
        record(QStringLiteral("Comanda de proba"));
    };
    g_docInMenu = new ui::Menu(carrier);
    auto* document = new ui::MenuItem(g_docInMenu, QString(), QStringLiteral("&Document"));
    document->setGroupIndex(1);
    item(document, QStringLiteral("Comanda documentului"), 5);
    return g_mainMenu;
}

void LUMBRA_CALL VelAddOnChangeDB(const char* directory) {
    record(QStringLiteral("VelAddOnChangeDB %1").arg(hostabi::strToQString(directory)));
}

ui::Menu* LUMBRA_CALL VelAddOnDocInForm(ui::Form* docInForm, db::DataSet* docInDataSet) {
    const bool hasCounter = docInDataSet && docInDataSet->findField(QStringLiteral("Contor"));
    record(QStringLiteral("VelAddOnDocInForm %1 %2")
               .arg(address(docInForm), hasCounter ? "Contor" : "-"));
    return g_docInMenu;
}
