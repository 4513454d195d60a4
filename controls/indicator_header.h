#pragma once
// The indicator column of a data grid: a narrow fixed column left of the rows that marks the
// current record (an arrow while browsing, a bar while it is edited, a star while it is inserted)
// and the selected rows (a dot).
#include <QHeaderView>

class TNormalCustomDBGrid;

class TIndicatorHeader : public QHeaderView {
public:
    static constexpr int kWidth = 12;

    explicit TIndicatorHeader(TNormalCustomDBGrid& grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TNormalCustomDBGrid& m_grid;
};
