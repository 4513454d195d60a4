#pragma once
// A read-only table model over a dataset, for the host's own windows: one row per record in
// view, one column per visible field, titled with the fields' display labels. It follows the
// dataset through a data link on its data source.
//
// The rows are a snapshot of the records, read again after any notification that says that
// records may have changed (opened, closed, changed). Reading walks the dataset with its
// controls disabled and puts the cursor back where it was: detail datasets do not follow the
// walk, and the listeners hear one change at the end with the cursor where it was. It runs
// from the event loop, never inside the dataset operation that sent the notification, and it
// assumes one such model per dataset. A move of the current record only moves the current row.
// At most kMaxRows records are shown: the host's windows show small tables.
#include "platform/db/data_source.h"
#include "platform/db/field_type.h"
#include "platform/db/record_buffer.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QTimer>

#include <vector>

namespace db {
class DataSet;
class Field;
} // namespace db

namespace host {

// A number with fixed decimals and thousands separators in the regional format in force
// ("1.234,50"); a value that rounds to zero has no sign.
QString formatFixed(double value, int decimals);

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;

    explicit RecordTableModel(db::DataSource* source, QObject* parent = nullptr);
    ~RecordTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

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
    int currentRow() const { return m_currentRow; }
    // Makes the record of the row the dataset's current record.
    void moveTo(int row);

    // Shows a float field with this many decimals and thousands separators (money).
    void setDecimals(const QString& fieldName, int decimals);

    // Reads the records again now rather than from the event loop.
    void reload();

signals:
    // The dataset's current record moved to another row (or to none: -1).
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

    QString cellText(const Column& column, const QVariant& value) const;
    void scheduleReload();
    void followCurrentRecord();
    void refreshCurrentRow();

    Link m_link{*this};
    QTimer m_reloadTimer;
    bool m_reading = false;
    QList<Column> m_columns;
    std::vector<db::RecordBuffer> m_rows;
    int m_currentRow = -1;
    QHash<QString, int> m_decimals; // upper-case field name -> decimals
};

} // namespace host
