#pragma once
// A read-only grid of the host's windows: a QTableView over the toolkit's data-aware table model
// (DataGridModel), one row per record of the window of records that fits in it, one column per
// visible field, titled with the fields' display labels. It is navigational: its current row is
// the dataset's current record, and the keys (Up, Down, Page Up, Page Down, Ctrl+Home, Ctrl+End),
// the mouse wheel and the scroll bar move the dataset, whose window follows; choosing a row moves
// the dataset (and so its detail datasets), and a move of the dataset selects the row. A table of
// any size opens at once. The scroll bar, without record numbers, tells only whether the cursor is
// at the start, at the end or in between. Column widths come from the fields' display widths,
// capped so that a long text field does not push the others out of sight.
//
// The cells are the values the window read (lookup and calculated values included), so painting
// never reads the dataset.
#include "platform/db/field_type.h"

#include <QTableView>

#include <memory>

namespace db {
class DataSource;
}
namespace ui {
class DataGridModel;
class RecordScrollBar;
} // namespace ui

namespace host {

// A number with fixed decimals and thousands separators in the regional format in force
// ("1.234,50"); a value that rounds to zero has no sign.
QString formatFixed(double value, int decimals);

class RecordGrid : public QTableView {
public:
    static constexpr int kMaxColumnChars = 36;
    static constexpr int kWheelRecords = 3; // records one notch of the wheel moves

    // What the grid keeps of a shown field: copies, so that a grid that outlives its dataset
    // (while the window that holds both is torn down) points at nothing.
    struct Column {
        QString fieldName;
        QString label;
        db::FieldType type = db::FieldType::Text;
        int index = -1;       // the field's position in a record
        int displayWidth = 0; // characters
        bool operator==(const Column&) const = default;
    };

    explicit RecordGrid(db::DataSource* source, QWidget* parent = nullptr);
    ~RecordGrid() override;

    ui::DataGridModel* recordModel() const { return m_model; }
    // The column of a field, or -1 when it is not shown.
    int columnOf(const QString& fieldName) const;
    const Column& column(int column) const;
    // The column that takes the width left over (a name or explanation); the last one when
    // none is named.
    void setStretchField(const QString& fieldName);
    // Shows a float field with this many decimals and thousands separators (money).
    void setDecimals(const QString& fieldName, int decimals);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    class Cells;

    // Rows that fit in the viewport.
    int visibleRowCount() const;
    void fitColumns();
    // Gives the stretch column what the others leave of the view, never less than its width.
    void stretchColumn();
    void selectRow(int row);

    std::unique_ptr<Cells> m_cells;
    ui::DataGridModel* m_model;
    ui::RecordScrollBar* m_scrollBar;
    bool m_following = false; // the view is being moved to the dataset's record
    int m_fittedColumns = -1;
    QString m_stretchField;
    int m_stretchColumn = -1;
    int m_stretchBaseWidth = 0;
};

} // namespace host
