#pragma once
// The indicator column of a data grid: a narrow fixed column left of the rows that marks the
// current record (an arrow while browsing, a bar while it is edited, a star while it is inserted)
// and the selected rows (a dot).
#include <QHeaderView>

namespace db {
class DataSet;
}

// What the indicator column (and the cells' painting) reads of the grid's rows.
class TGridRowMarks {
public:
    // The grid's dataset (open or not), or null.
    virtual db::DataSet* dataSet() const = 0;
    // The row of the current record, -1 when there is none.
    virtual int row() const = 0;
    // Whether the row is among the selected ones.
    virtual bool isSelectedRow(int row) = 0;

protected:
    ~TGridRowMarks() = default;
};

class TIndicatorHeader : public QHeaderView {
public:
    static constexpr int kWidth = 12;

    TIndicatorHeader(TGridRowMarks& marks, QWidget* parent);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TGridRowMarks& m_marks;
};
