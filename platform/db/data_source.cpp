#include "platform/db/data_source.h"

#include "platform/base/errors.h"

#include "platform/db/data_set.h"

namespace db {

DataLink::~DataLink() {
    setDataSource(nullptr);
}

void DataLink::setDataSource(DataSource* source) {
    if (m_source == source)
        return;
    if (m_source)
        m_source->m_links.removeAll(this);
    m_source = source;
    if (m_source)
        m_source->m_links.append(this);
}

DataSet* DataLink::dataSet() const {
    return m_source ? m_source->dataSet() : nullptr;
}

bool DataLink::isActive() const {
    return m_source && m_source->isEnabled() && m_source->dataSet() &&
           m_source->dataSet()->isActive();
}

DataSource::DataSource(DataSet* dataSet, QString name) : m_name(std::move(name)) {
    setDataSet(dataSet);
}

DataSource::~DataSource() {
    try {
        setDataSet(nullptr); // the links hear it and may read: see ~Table
    } catch (const base::Error&) {
    }
    for (DataLink* link : m_links)
        link->m_source = nullptr;
}

void DataSource::setDataSet(DataSet* dataSet) {
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->detachSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachSource(this);
    const auto links = m_links;
    for (DataLink* link : links)
        link->dataEvent(DataEvent::ActiveChanged, nullptr);
}

void DataSource::setEnabled(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    const auto links = m_links;
    for (DataLink* link : links)
        link->dataEvent(DataEvent::ActiveChanged, nullptr);
}

void DataSource::dataEvent(DataEvent event, Field* field, bool controlsDisabled) {
    if (!m_enabled)
        return;
    // Details must hear that their master is about to move even while controls are disabled.
    if (!controlsDisabled || event == DataEvent::CheckBrowseMode) {
        const auto links = m_links; // a link may detach itself while it handles the event
        for (DataLink* link : links)
            if (m_links.contains(link))
                link->dataEvent(event, field);
    }
    switch (event) {
    case DataEvent::StateChanged:
        if (onStateChange)
            onStateChange(*this);
        break;
    case DataEvent::DataSetChanged:
    case DataEvent::DataSetScroll:
    case DataEvent::RecordChanged:
        if (!controlsDisabled && onDataChange)
            onDataChange(*this, event == DataEvent::RecordChanged ? field : nullptr);
        break;
    case DataEvent::UpdateData:
        if (onUpdateData)
            onUpdateData(*this);
        break;
    case DataEvent::ActiveChanged:
        if (!controlsDisabled && onDataChange)
            onDataChange(*this, nullptr);
        break;
    case DataEvent::CheckBrowseMode:
        break;
    }
}

} // namespace db
