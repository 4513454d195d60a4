#include "platform/ui/grid_data_link.h"

namespace ui {

void GridDataLink::dataEvent(db::DataEvent event, db::Field* field) {
    switch (event) {
    case db::DataEvent::ActiveChanged:
        emit activeChanged();
        break;
    case db::DataEvent::DataSetChanged:
        emit dataSetChanged();
        break;
    case db::DataEvent::RecordChanged:
        emit recordChanged(field);
        break;
    case db::DataEvent::DataSetScroll:
        emit scrolled();
        break;
    case db::DataEvent::StateChanged:
        emit stateChanged();
        break;
    case db::DataEvent::UpdateData:
        emit updateData();
        break;
    case db::DataEvent::CheckBrowseMode:
        break; // for detail datasets, not for what a grid shows
    }
}

} // namespace ui
