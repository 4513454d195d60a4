#include "common/custom_file_straam.h"

#include "common/object_wrapper.h"
#include "platform/ui/component_writer.h"

#include <QFile>
#include <QFileInfo>

namespace {

ui::FileStream::Mode openMode(const QString& fileName) {
    return QFileInfo::exists(fileName) ? ui::FileStream::Mode::OpenReadWrite
                                       : ui::FileStream::Mode::Create;
}

} // namespace

TCustomFileStraam::TCustomFileStraam(const QString& fileName)
    : ui::FileStream(fileName, openMode(fileName)) {}

bool TCustomFileStraam::SaveObjects(const QList<TSavedObject>& objects) {
    bool result = true;
    try {
        seek(0);
        ui::ComponentWriter writer(device());
        for (qsizetype i = 0; i < objects.size(); ++i) {
            TObjectWrapper wrapper;
            if (objects[i].persistent()) {
                wrapper.setWrappedPersistent(objects[i].persistent());
                wrapper.setWrappedComponent(nullptr);
            } else {
                wrapper.setWrappedComponent(objects[i].component());
                wrapper.setWrappedPersistent(nullptr);
            }
            wrapper.setCurrentClassName(QString::number(i));
            writer.writeRecord(wrapper.record());
        }
    } catch (...) {
        result = false;
    }
    // Whatever an earlier, longer save left after this point is not part of the file any more.
    auto* file = qobject_cast<QFile*>(&device());
    if (!file || !file->resize(position()))
        result = false;
    return result;
}
