#pragma once
// Switches a dataset's controls off for the life of a scope: no data source hears of the walk
// or the changes inside it, and leaving the scope, however it is left, switches them back on,
// which tells every source that the records may have changed.
//
// An error raised while the sources catch up is thrown from the destructor unless the scope is
// already being left by an exception, which then goes on alone.
#include "platform/db/data_set.h"

#include <exception>

namespace db {

class ControlsDisabled {
public:
    explicit ControlsDisabled(DataSet& dataSet)
        : m_dataSet(dataSet), m_exceptions(std::uncaught_exceptions()) {
        m_dataSet.disableControls();
    }
    ~ControlsDisabled() noexcept(false) {
        if (std::uncaught_exceptions() == m_exceptions) {
            m_dataSet.enableControls();
            return;
        }
        try {
            m_dataSet.enableControls();
        } catch (...) {
        }
    }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    DataSet& m_dataSet;
    int m_exceptions;
};

} // namespace db
