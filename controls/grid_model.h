#pragma once
// The table model of a data grid: the toolkit's thin model over the grid's window of records,
// whose cells are the grid's columns read through the dataset when the view asks.
#include "platform/ui/record_window_model.h"

class TNormalCustomDBGrid;

class TGridModel : public ui::RecordWindowModel, private ui::RecordWindowCells {
public:
    explicit TGridModel(TNormalCustomDBGrid& grid);

private:
    int cellColumnCount() const override;
    QVariant cellData(int row, int column, int role) const override;
    QVariant columnHeaderData(int section, int role) const override;

    TNormalCustomDBGrid& m_grid;
};
