#pragma once
// The menu-carrier module: the data module that holds the two menus the host merges — the main
// menu (recipes, production settings) and the goods-receipt window's menu (the technical
// requirement) — and owns the production data module. It keeps the goods-receipt window and
// document dataset the host registered last.
#include "platform/ui/data_module.h"

#include <QPointer>
#include <memory>

namespace db {
class DataSet;
}
namespace store {
class IniReader;
}
namespace ui {
class Form;
class Menu;
class MenuItem;
} // namespace ui
class TQDMDataModule;

class TDummyModule : public ui::DataModule {
public:
    explicit TDummyModule(QObject* owner);
    ~TDummyModule() override;

    ui::Menu* MainMenu1;
    ui::MenuItem* Fisier1;
    ui::MenuItem* N1;
    ui::MenuItem* Retetedeproductie1;
    ui::MenuItem* Productie1;
    ui::Menu* DocInMenu;
    ui::MenuItem* Document1;
    ui::MenuItem* N11;
    ui::MenuItem* CalcNec;

    // Set only by VelAddOnDocInForm: the host's document dataset (its field "Contor" is the
    // counter) and its goods-receipt window.
    db::DataSet* DocInDataSet = nullptr;
    QPointer<ui::Form> DocInOwner;

    void DummyModuleCreate();
    void DummyModuleDestroy();
    void Retetedeproductie1Click();
    void Productie1Click();
    void CalcNecClick();

    // The host's settings file, the executable's path with the extension ".INI".
    static QString hostSettingsFileName();

private:
    std::unique_ptr<TQDMDataModule> m_dataModule;
    std::unique_ptr<store::IniReader> m_hostSettings;
};
