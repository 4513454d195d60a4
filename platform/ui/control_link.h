#pragma once
// The data link a data-aware control keeps: it hands each notification of its data source to the
// control.
#include "platform/db/data_source.h"

#include <functional>

namespace ui {

class ControlLink : public db::DataLink {
public:
    explicit ControlLink(std::function<void(db::DataEvent, db::Field*)> handler)
        : m_handler(std::move(handler)) {}

protected:
    void dataEvent(db::DataEvent event, db::Field* field) override { m_handler(event, field); }

private:
    std::function<void(db::DataEvent, db::Field*)> m_handler;
};

} // namespace ui
