#pragma once
// The host's main window: its menus ("&Sistem", "&Document", "&Ferestre"), the MDI area with
// the host's windows and the add-on's, and a status bar that names the company and the add-on.
//
// It opens a company (registry, aliases and engine configuration, missing tables), hands the
// add-on its main-menu owner once the first company is open (VelAddOnMainForm, whose menu it
// merges), points the add-on at every company it opens (VelAddOnChangeDB), and registers each
// goods-receipt window with the add-on (VelAddOnDocInForm), merging that window's menu while
// it is the current window. Loading and unloading the add-on is HostProgram's.
#include "platform/db/field_type.h"
#include "platform/ui/main_window.h"
#include "platform/ui/menu.h"

#include <QList>
#include <QPointer>

#include <memory>

class QLabel;
class QMenu;

namespace ui {
class MenuItem;
}

namespace host {

class AddOnLibrary;
class CompanyBackupCommands;
class HostForm;
class ParadoxImportCommand;
class OutputDocumentsForm;
class ReceiptsForm;
class StockForm;

class HostMainWindow : public ui::MainWindow {
public:
    // addOn may be null (the host runs without it); addOnStatus is what the status bar says of it.
    HostMainWindow(AddOnLibrary* addOn, QList<db::TableDef> addOnTables,
                   const QString& addOnStatus);
    ~HostMainWindow() override;

    // Opens the company in directory, closing the windows of the one open before. Throws
    // base::Error (nothing changed) for a directory that does not exist; errors of the add-on
    // while it is pointed at the company are shown and leave the company open.
    void openCompany(const QString& directory);
    const QString& companyDirectory() const { return m_companyDirectory; }

    // Each window exists once: asking again brings it to the front. They need an open company.
    ReceiptsForm* openReceipts();
    StockForm* openStock();
    OutputDocumentsForm* openOutputDocuments();

    // Closes every MDI window (the add-on's too); false when one refused.
    bool closeAllForms();
    // Reads the host's windows again, after the add-on wrote into the company.
    void refreshWindows();
    // Closes the company for a restore: its windows, the host's connection and the add-on's;
    // false when a window refused to close.
    bool closeCompany();
    // Backup, restore, the daily backup and the damaged-database offer.
    CompanyBackupCommands* backups() const { return m_backups.get(); }
    // A new company from a company's Paradox tables.
    ParadoxImportCommand* paradoxImport() const { return m_paradoxImport.get(); }

    // The add-on's main menu, once handed over.
    ui::Menu* addOnMenu() const { return m_addOnMenu; }
    QLabel* addOnLabel() const { return m_addOnLabel; }
    QLabel* companyLabel() const { return m_companyLabel; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void chooseCompany();
    void startAddOn();
    void showCompany();
    void updateMergedMenu();
    void fillWindowMenu(QMenu* menu);
    void showHint();
    template <class F> F* track(F* form);
    void requireCompany() const;

    AddOnLibrary* m_addOn;
    QList<db::TableDef> m_addOnTables;
    QString m_companyDirectory;

    ui::Menu* m_menu;
    ui::MenuItem* m_receiptsItem = nullptr;
    ui::MenuItem* m_outputsItem = nullptr;
    ui::MenuItem* m_stockItem = nullptr;
    QList<QAction*> m_windowActions;

    bool m_addOnStarted = false;
    QPointer<ui::Menu> m_addOnMenu;
    QPointer<ui::Menu> m_mergedDocMenu;

    QList<QPointer<HostForm>> m_forms;
    QPointer<ReceiptsForm> m_receipts;
    QPointer<StockForm> m_stock;
    QPointer<OutputDocumentsForm> m_outputs;

    QLabel* m_companyLabel;
    QLabel* m_addOnLabel;
    QLabel* m_hint; // what to do, on the empty MDI area
    std::unique_ptr<CompanyBackupCommands> m_backups;
    std::unique_ptr<ParadoxImportCommand> m_paradoxImport;
};

} // namespace host
