#pragma once
// The stock window "Stoc": the stock records (Stoc.DB) by warehouse, group, article, lot and
// price, with the article's name and the value of each record, and the value of the whole
// stock below.
#include "host/host_form.h"
#include "platform/db/data_source.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

class QLabel;

namespace host {

class RecordGrid;

class StockForm : public HostForm {
public:
    explicit StockForm(QWidget* mainWindow);
    ~StockForm() override;

    db::Table& stock() { return m_stock; }
    RecordGrid* stockGrid() const { return m_grid; }
    QLabel* totalLabel() const { return m_total; }

    void refreshData() override;

private:
    void showTotal();

    db::Table m_catalog{QStringLiteral("CatalogTable")};
    db::Table m_stock{QStringLiteral("StocTable")};
    db::DataSource m_stockSource{&m_stock, QStringLiteral("StocSource")};
    db::Query m_totalQuery{QStringLiteral("TotalQuery")};
    RecordGrid* m_grid;
    QLabel* m_total;
};

} // namespace host
