#include "common/object_wrapper.h"

void TObjectWrapper::setWrappedPersistent(const TPersistent* object) {
    m_persistent = object;
    if (object)
        m_component = nullptr;
}

void TObjectWrapper::setWrappedComponent(const QObject* component) {
    m_component = component;
    if (component)
        m_persistent = nullptr;
}

ui::ComponentRecord TObjectWrapper::record() const {
    ui::ComponentRecord record{QStringLiteral("TObjectWrapper"), QString(), {}, {}};
    if (m_persistent)
        m_persistent->storeAs(QStringLiteral("WrappedPersistent"), record.properties);
    // A reference is stored by the name of the component it points to; a component without a
    // name cannot be referred to and is left out, as a reference to nothing is.
    if (m_component && !m_component->objectName().isEmpty())
        record.properties.push_back(
            {QStringLiteral("WrappedComponent"), ui::Ident{m_component->objectName()}});
    if (!m_currentClassName.isEmpty())
        record.properties.push_back({QStringLiteral("CurrentClassName"), m_currentClassName});
    return record;
}
