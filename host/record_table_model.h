#pragma once
// A read-only table model over a dataset, for the host's own windows: one row per record of a
// window of records around the dataset's current record (the toolkit's RecordWindow, as the
// module's data grid has it), one column per visible field, titled with the fields' display
// labels. It follows the dataset through a data link on its data source, so a table of any size
// opens at once and is shown whole: the grid moves the dataset, and the window follows.
//
// The window holds the rows that fit in the grid (setCapacity). Every notification that says
// records may have changed re-reads the window around the current record, which keeps its row
// as far as the records before and after it allow; reading never moves the cursor. A move of
// the current record re-reads the window with the record on its row, or at the window's edge
// when it left the window. The cells are the values the window read (lookup and calculated
// values included), so painting never reads the dataset.
#include "platform/db/data_source.h"
#include "platform/db/field_type.h"
#include "platform/ui/record_window.h"
#include "platform/ui/record_window_model.h"

#include <QHash>
#include <QObject>

namespace db {
class DataSet;
class Field;
} // namespace db

namespace host {

// A number with fixed decimals and thousands separators in the regional format in force
// ("1.234,50"); a value that rounds to zero has no sign.
QString formatFixed(double value, int decimals);

class RecordTableModel : public ui::RecordWindowModel, private ui::RecordWindowCells {
    Q_OBJECT
public:
    explicit RecordTableModel(db::DataSource* source, QObject* parent = nullptr);
    ~RecordTableModel() override;

    // What the model keeps of a shown field: copies, so that a model that outlives its dataset
    // (while the window that holds both is torn down) points at nothing.
    struct Column {
        QString fieldName;
        QString label;
        db::FieldType type = db::FieldType::Text;
        int index = -1;       // the field's position in a record
        int displayWidth = 0; // characters
        bool operator==(const Column&) const = default;
    };

    db::DataSet* dataSet() const { return m_link.dataSet(); }
    const Column& column(int column) const { return m_columns[column]; }
    // The row of the dataset's current record, -1 when there is none.
    int currentRow() const { return m_window.activeRow(); }
    // Moves the dataset by whole records (the grid's keys, wheel and clicks); answers how far
    // it moved.
    int moveBy(int distance);
    // Makes the record of the row the dataset's current record.
    void moveTo(int row);
    // The first or last record, on the first or last row.
    void first();
    void last();

    // The rows the window holds: those that fit in the grid.
    int capacity() const { return m_window.capacity(); }
    void setCapacity(int rows);

    // Shows a float field with this many decimals and thousands separators (money).
    void setDecimals(const QString& fieldName, int decimals);

    // Reads the columns and the records around the current record again.
    void reload();

signals:
    // The dataset's current record is on another row now (or on none: -1).
    void currentRowChanged(int row);

private:
    class Link : public db::DataLink {
    public:
        explicit Link(RecordTableModel& model) : m_model(model) {}

    protected:
        void dataEvent(db::DataEvent event, db::Field* field) override;

    private:
        RecordTableModel& m_model;
    };

    int cellColumnCount() const override;
    QVariant cellData(int row, int column, int role) const override;
    QVariant columnHeaderData(int section, int role) const override;

    QString cellText(const Column& column, const QVariant& value) const;
    QList<Column> readColumns() const;
    // Re-reads the window with the current record on preferredRow, as far as the records allow.
    void refill(int preferredRow);
    void followCurrentRecord();
    void refreshCurrentRow();
    void announceCurrentRow();

    Link m_link{*this};
    ui::RecordWindow m_window;
    QList<Column> m_columns;
    QHash<QString, int> m_decimals; // upper-case field name -> decimals
    bool m_moving = false;          // the model itself moves the dataset
};

} // namespace host
