#include "platform/ui/data_module.h"

#include "platform/ui/dispatch.h"

namespace ui {

DataModule::~DataModule() {
    destroying();
}

void DataModule::created() {
    guarded([this] {
        if (onCreate)
            onCreate();
    });
}

void DataModule::destroying() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    guarded([this] {
        if (onDestroy)
            onDestroy();
    });
}

} // namespace ui
