#pragma once
// A read-only grid of the host's windows: a QTableView over a RecordTableModel, one row per
// record. Its current row and the dataset's current record follow each other: choosing a row
// moves the dataset (and so its detail datasets), and a move of the dataset selects the row.
// Column widths come from the fields' display widths, capped so that a long text field does
// not push the others out of sight.
#include <QTableView>

namespace db {
class DataSource;
}

namespace host {

class RecordTableModel;

class RecordGrid : public QTableView {
public:
    static constexpr int kMaxColumnChars = 36;

    explicit RecordGrid(db::DataSource* source, QWidget* parent = nullptr);

    RecordTableModel* recordModel() const { return m_model; }
    // The column of a field, or -1 when it is not shown.
    int columnOf(const QString& fieldName) const;
    // The column that takes the width left over (a name or explanation); the last one when
    // none is named.
    void setStretchField(const QString& fieldName);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
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
