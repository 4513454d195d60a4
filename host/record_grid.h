#pragma once
// A read-only grid of the host's windows: a QTableView over a RecordTableModel, one row per
// record of the window of records that fits in it. It is navigational: its current row is the
// dataset's current record, and the keys (Up, Down, Page Up, Page Down, Ctrl+Home, Ctrl+End),
// the mouse wheel and the scroll bar move the dataset, whose window follows; choosing a row
// moves the dataset (and so its detail datasets), and a move of the dataset selects the row.
// The scroll bar, without record numbers, tells only whether the cursor is at the start, at the
// end or in between. Column widths come from the fields' display widths, capped so that a long
// text field does not push the others out of sight.
#include <QTableView>

namespace db {
class DataSource;
}

namespace host {

class RecordTableModel;

class RecordGrid : public QTableView {
public:
    static constexpr int kMaxColumnChars = 36;
    static constexpr int kWheelRecords = 3; // records one notch of the wheel moves

    explicit RecordGrid(db::DataSource* source, QWidget* parent = nullptr);

    RecordTableModel* recordModel() const { return m_model; }
    // The column of a field, or -1 when it is not shown.
    int columnOf(const QString& fieldName) const;
    // The column that takes the width left over (a name or explanation); the last one when
    // none is named.
    void setStretchField(const QString& fieldName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Rows that fit in the viewport.
    int visibleRowCount() const;
    void updateScrollBar();
    void scrollBarAction(int action);
    void fitColumns();
    // Gives the stretch column what the others leave of the view, never less than its width.
    void stretchColumn();
    void selectRow(int row);

    RecordTableModel* m_model;
    bool m_following = false; // the view is being moved to the dataset's record
    int m_fittedColumns = -1;
    QString m_stretchField;
    int m_stretchColumn = -1;
    int m_stretchBaseWidth = 0;
};

} // namespace host
