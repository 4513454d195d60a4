#pragma once
// A non-visual container of components (menus, datasets, data sources) with create and destroy
// events. A subclass builds its components in its constructor and then calls created(), which
// runs onCreate; an error in onCreate goes to the general error box and the module still exists.
#include "platform/ui/component.h"

#include <functional>

namespace ui {

class DataModule : public Component {
public:
    explicit DataModule(QObject* owner = nullptr) : Component(owner) {}
    // Runs onDestroy when the subclass has not done so; the owned components still exist.
    ~DataModule() override;

    std::function<void()> onCreate;
    std::function<void()> onDestroy;

protected:
    // Call at the end of the subclass constructor, once its components exist.
    void created();
    // Call first in a subclass destructor whose destroy handler uses the subclass's own members;
    // runs onDestroy once.
    void destroying();

private:
    bool m_destroyed = false;
};

} // namespace ui
