#pragma once
// A data source connects a dataset to the controls and rules that follow it: data links
// (grids, edits, navigators, a detail table's master link) hear every notification, and the
// source's own events report state changes and data changes to a window.
#include "platform/db/data_event.h"

#include <QList>
#include <QString>
#include <functional>

namespace db {

class DataSet;
class DataSource;
class Field;

// A listener bound to one data source.
class DataLink {
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    DataSet* dataSet() const;
    // True while the source's dataset is open.
    bool isActive() const;

protected:
    friend class DataSource;
    virtual void dataEvent(DataEvent event, Field* field) = 0;

private:
    DataSource* m_source = nullptr;
};

class DataSource {
public:
    explicit DataSource(DataSet* dataSet = nullptr, QString name = QString());
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const QString& name() const { return m_name; }
    DataSet* dataSet() const { return m_dataSet; }
    void setDataSet(DataSet* dataSet);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

    std::function<void(DataSource&)> onStateChange;
    std::function<void(DataSource&, Field*)> onDataChange; // field set for a change of one field
    std::function<void(DataSource&)> onUpdateData;

    // Called by the dataset. While its controls are disabled only the source's own
    // state-change event runs; links hear nothing.
    void dataEvent(DataEvent event, Field* field, bool controlsDisabled);

private:
    friend class DataLink;
    friend class DataSet;
    QString m_name;
    DataSet* m_dataSet = nullptr;
    bool m_enabled = true;
    bool m_autoEdit = true;
    QList<DataLink*> m_links;
};

} // namespace db
