#pragma once
// The cells of a data grid as its data-aware model shows them: one column per grid column, titled
// as the column says, and each cell the display text of the column's field, read through the
// dataset for the row of the model's window when the view asks (the record being edited is the
// dataset's own current record).
#include "platform/ui/data_grid_model.h"

#include <QFont>

#include <functional>

class TDBGridColumns;

class TGridCells : public ui::DataGridColumns {
public:
    // titleFont answers the grid's title font, for titles that have none of their own.
    TGridCells(TDBGridColumns& columns, std::function<QFont()> titleFont);
    // The model whose window holds the rows.
    void setModel(ui::DataGridModel* model) { m_model = model; }

    // The text of a cell of the window, as drawn; empty where there is none.
    QString cellText(int row, int column) const;
    // True while the columns are being bound to the dataset's fields.
    bool binding() const { return m_binding; }

    int columnCount() const override;
    QVariant cellData(int row, int column, int role) const override;
    QVariant headerData(int section, int role) const override;
    void bindColumns(db::DataSet* dataSet) override;
    bool sameColumns(const db::DataSet* dataSet) const override;

private:
    TDBGridColumns& m_columns;
    std::function<QFont()> m_titleFont;
    ui::DataGridModel* m_model = nullptr;
    bool m_binding = false;
};
