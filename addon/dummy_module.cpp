#include "addon/dummy_module.h"

#include "backup/damaged_database_message.h"
#include "common/module_values.h"
#include "data/qdm_data_module.h"
#include "platform/db/data_set.h"
#include "platform/db/session.h"
#include "platform/store/ini_reader.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/message_box.h"
#include "recipes/qdm_reteta_form.h"
#include "requirement/ui/qdm_necesar_form.h"
#include "settings/form/qdm_indicator_form.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

ui::MenuItem* item(ui::MenuItem* parent, const char* name, const QString& caption, int groupIndex,
                   const QString& hint = QString()) {
    auto* i = new ui::MenuItem(parent, QString::fromLatin1(name), caption);
    i->setGroupIndex(groupIndex);
    i->setHint(hint);
    return i;
}

} // namespace

TDummyModule::TDummyModule(QObject* owner) : ui::DataModule(owner) {
    setName(QStringLiteral("DummyModule"));
    MainMenu1 = new ui::Menu(this, ui::Menu::Kind::Main, QStringLiteral("MainMenu1"));
    Fisier1 = new ui::MenuItem(MainMenu1, QStringLiteral("Fisier1"), QStringLiteral("&Sistem"));
    Fisier1->setGroupIndex(0);
    N1 = item(Fisier1, "N1", QStringLiteral("-"), 5);
    Retetedeproductie1 =
        item(Fisier1, "Retetedeproductie1", QStringLiteral("Retete de productie"), 5,
             QStringLiteral("Specifica necesarul tehnic de materii prime si materiale pentru "
                            "realizarea unei unitati de produs finit."));
    Retetedeproductie1->onClick = [this] { Retetedeproductie1Click(); };
    Productie1 =
        item(Fisier1, "Productie1", QStringLiteral("&Configurare productie"), 5,
             QStringLiteral(
                 "Specifica gestiunea si identificatorul de coduri de materii prime si materiale"));
    Productie1->onClick = [this] { Productie1Click(); };

    DocInMenu = new ui::Menu(this, ui::Menu::Kind::Main, QStringLiteral("DocInMenu"));
    Document1 =
        new ui::MenuItem(DocInMenu, QStringLiteral("Document1"), QStringLiteral("&Document"));
    Document1->setGroupIndex(1);
    N11 = item(Document1, "N11", QStringLiteral("-"), 5);
    CalcNec = item(Document1, "CalcNec", QStringLiteral("Calcul necesar tehnic"), 5);
    CalcNec->onClick = [this] { CalcNecClick(); };

    onCreate = [this] { DummyModuleCreate(); };
    onDestroy = [this] { DummyModuleDestroy(); };
    created();
}

TDummyModule::~TDummyModule() {
    destroying();
}

QString TDummyModule::hostSettingsFileName() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".INI");
}

void TDummyModule::DummyModuleCreate() {
    // A damaged company database is reported with the newest backup to restore from.
    backup::installDamagedDatabaseMessage(db::Session::instance());
    // The data module is published only once it exists whole: when its creation fails, the
    // error reaches the general error box and QDMDataModule stays empty.
    auto dataModule = std::make_unique<TQDMDataModule>();
    dataModule->showWarning = [](const QString& text) {
        ui::messageBox(ui::MessageKind::Warning, text);
    };
    m_dataModule = std::move(dataModule);
    QDMDataModule = m_dataModule.get();

    m_hostSettings = std::make_unique<store::IniReader>(hostSettingsFileName());
    const QString netDir =
        m_hostSettings->readString(QStringLiteral("Initial"), QStringLiteral("NetControlDir"));
    if (!netDir.isEmpty())
        db::Session::instance().setNetFileDir(netDir);
}

void TDummyModule::DummyModuleDestroy() {
    if (DummyModule == this)
        DummyModule = nullptr;
    m_hostSettings.reset();
    if (QDMDataModule == m_dataModule.get())
        QDMDataModule = nullptr;
    m_dataModule.reset();
}

// The recipe editor and the requirement sheet come with their own windows.
void TDummyModule::Retetedeproductie1Click() {
    // One editor at a time: the command brings an open one to the front.
    if (QDMRetetaForm) {
        QDMRetetaForm->bringToFront();
        return;
    }
    QDMRetetaForm = TQDMRetetaForm::create();
}

void TDummyModule::Productie1Click() {
    showProductionSettingsDialog(owner());
}

void TDummyModule::CalcNecClick() {
    if (!DocInDataSet || !DocInDataSet->isActive())
        return;
    DocInContor = DocInDataSet->fieldByName(QStringLiteral("Contor"))->asFloat();
    QPointer<TQDMNecesarForm> sheet = new TQDMNecesarForm(DocInOwner.data());
    // A sheet whose build failed has shown its error and discards itself.
    if (!sheet->isBuilt())
        return;
    QDMNecesarForm = sheet;
    // After the modal run, also when it ends by an error: the sheet goes, and a generation that
    // was started has the host show its document anew.
    auto finish = [this, sheet] {
        if (sheet && QDMNecesarForm == sheet)
            sheet->release();
        if (QDMNecesarForm == sheet)
            QDMNecesarForm = nullptr;
        if (DocOutGenerated && DocInDataSet && DocInDataSet->onCalcFields)
            DocInDataSet->onCalcFields(*DocInDataSet);
    };
    try {
        sheet->showModal();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
