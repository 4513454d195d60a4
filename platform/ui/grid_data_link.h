#pragma once
// The link between a data source and a grid's model: each dataset notification becomes a Qt
// signal, to which the model answers with its own model signals (a reset for activeChanged and
// dataSetChanged, a change of the current row for recordChanged, a move of the current row for
// scrolled, the editing state for stateChanged). updateData asks the grid's cell editor to write
// its pending text into the field before the record is posted. The link holds no data.
#include "platform/db/data_source.h"

#include <QObject>

namespace ui {

class GridDataLink : public QObject, public db::DataLink {
    Q_OBJECT
public:
    explicit GridDataLink(QObject* parent = nullptr) : QObject(parent) {}

signals:
    void activeChanged();                 // the dataset was opened or closed: columns and rows
    void dataSetChanged();                // any record in view may have changed
    void recordChanged(db::Field* field); // the current record: one field, or all when null
    void scrolled();                      // the current record moved
    void stateChanged();                  // browse, edit or insert
    void updateData();                    // write pending edits into the fields now

protected:
    void dataEvent(db::DataEvent event, db::Field* field) override;
};

} // namespace ui
