#pragma once
// The goods-receipt window "Documente de intrare": the receipt documents (Doc_in.DB) above the
// lines of the current one (Item_in.DB). Its document dataset is the one the host hands to the
// add-on: its field "Contor" is the document counter, and its calculated field "Total" (the
// sum of quantity x purchase price in lei over the document's lines) is computed by
// DocumentsCalcFields.
//
// Its calculated field "Consum" names the consumption documents the module has written for the
// receipt (their counters, from the module's register "Consum.DB", by its index on the
// receipt's counter); empty for a receipt without one and while the module has written none.
//
// The add-on calls the calculated-fields handler itself, outside a calculation, once it has
// written documents of its own (a consumption document after a requirement sheet); the
// handler then asks the host, through onDataWritten, to show what changed.
#include "host/host_form.h"
#include "platform/db/data_source.h"
#include "platform/db/query.h"
#include "platform/db/table.h"
#include "platform/ui/menu.h"

#include <QPointer>

#include <functional>

namespace host {

class ReceiptCommands;
class RecordGrid;

class ReceiptsForm : public HostForm {
public:
    explicit ReceiptsForm(QWidget* mainWindow);
    ~ReceiptsForm() override;

    db::Table& documents() { return m_documents; }
    db::Table& lines() { return m_lines; }
    RecordGrid* documentsGrid() const { return m_documentsGrid; }
    RecordGrid* linesGrid() const { return m_linesGrid; }
    // New receipts, corrections and deletions.
    ReceiptCommands* commands() const { return m_commands; }

    // The add-on's menu for this window, merged into the main menu while the window is active.
    QPointer<ui::Menu> docInMenu;
    // The add-on has written into the company's tables.
    std::function<void()> onDataWritten;
    // The window is going (run first thing in its destructor).
    std::function<void()> onDestroy;

    void refreshData() override;

    void DocumentsCalcFields(db::DataSet& dataSet);
    // The documents the module wrote for a receipt, as the column "Consum" shows them.
    QString consumptionOf(double receipt);
    void LinesCalcFields(db::DataSet& dataSet);

private:
    db::Table m_catalog{QStringLiteral("CatalogTable")};
    db::Table m_documents{QStringLiteral("DocInTable")};
    db::DataSource m_documentsSource{&m_documents, QStringLiteral("DocInSource")};
    db::Table m_lines{QStringLiteral("ItemInTable")};
    db::DataSource m_linesSource{&m_lines, QStringLiteral("ItemInSource")};
    db::Query m_totalQuery{QStringLiteral("TotalQuery")};
    db::Query m_consumptionQuery{QStringLiteral("ConsumptionQuery")};
    // Whether the company has the module's register; looked at again on every refresh, since
    // the module creates it with its first document.
    bool m_hasConsumptionRegister = false;
    RecordGrid* m_documentsGrid;
    RecordGrid* m_linesGrid;
    ReceiptCommands* m_commands;
};

} // namespace host
