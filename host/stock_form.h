#pragma once
// The stock window "Stoc": the stock records (Stoc.DB) by warehouse, group, article, lot and
// price, with the article's name and the value of each record, and the count and value of the
// records in view below. Three boxes above the grid narrow it to the warehouses, groups and
// articles whose codes start with what is typed there; the database reads only those records,
// by index range, so the window stays quick on a stock of a million records.
#include "host/host_form.h"
#include "platform/db/data_source.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

class QLabel;

namespace ui {
class Edit;
}

namespace host {

class RecordGrid;

class StockForm : public HostForm {
public:
    explicit StockForm(QWidget* mainWindow);
    ~StockForm() override;

    db::Table& stock() { return m_stock; }
    RecordGrid* stockGrid() const { return m_grid; }
    QLabel* totalLabel() const { return m_total; }
    ui::Edit* warehouseFilter() const { return m_warehouseFilter; }
    ui::Edit* groupFilter() const { return m_groupFilter; }
    ui::Edit* articleFilter() const { return m_articleFilter; }

    void refreshData() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTotal();
    void applyFilter();
    QList<db::Table::Prefix> filterPrefixes() const;

    db::Table m_catalog{QStringLiteral("CatalogTable")};
    db::Table m_stock{QStringLiteral("StocTable")};
    db::DataSource m_stockSource{&m_stock, QStringLiteral("StocSource")};
    db::Query m_totalQuery{QStringLiteral("TotalQuery")};
    RecordGrid* m_grid;
    QLabel* m_total;
    ui::Edit* m_warehouseFilter;
    ui::Edit* m_groupFilter;
    ui::Edit* m_articleFilter;
};

} // namespace host
