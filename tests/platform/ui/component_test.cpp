// Components: ownership, names and data modules' create and destroy events.
#include "recording_desktop.h"

#include "platform/base/errors.h"
#include "platform/ui/data_module.h"
#include "platform/ui/form.h"
#include "platform/ui/label.h"
#include "platform/ui/panel.h"

#include <QPointer>

using namespace ui;

namespace {

class ComponentTest : public testsupport::UiTest {};

TEST_F(ComponentTest, OwnerDestroysWhatItOwnsAndFindsItByName) {
    auto* owner = new Component;
    auto* module = new Component(owner);
    module->setName(QStringLiteral("QDMDataModule"));
    QPointer<Component> table = new Component(module);
    table->setName(QStringLiteral("RetetaTable"));

    EXPECT_EQ(owner->findComponent(QStringLiteral("retetatable")), table);
    EXPECT_EQ(module->owner(), owner);
    EXPECT_EQ(owner->findComponent(QStringLiteral("Missing")), nullptr);
    auto* other = new Component(module);
    EXPECT_THROW(other->setName(QStringLiteral("RETETATABLE")), base::Error);

    delete owner;
    EXPECT_TRUE(table.isNull());
}

TEST_F(ComponentTest, FormFindsControlsInsidePanels) {
    Form form;
    auto* panel = new Panel(&form);
    auto* label = new Label(QStringLiteral("la documentul nr."), panel);
    label->setObjectName(QStringLiteral("NrDocLbl"));
    EXPECT_EQ(form.findComponent(QStringLiteral("NrDocLbl")), label);
}

class CountingModule : public DataModule {
public:
    CountingModule(QObject* owner, std::vector<QString>& log, bool failCreate)
        : DataModule(owner), m_log(log) {
        setName(QStringLiteral("DummyModule"));
        auto* child = new Component(this);
        child->setName(QStringLiteral("MainMenu1"));
        onCreate = [this, failCreate] {
            m_log.push_back(QStringLiteral("create"));
            if (failCreate)
                throw base::DatabaseError(QStringLiteral("Connection failed"));
        };
        onDestroy = [this] {
            // The components still exist while the destroy handler runs.
            m_log.push_back(findComponent(QStringLiteral("MainMenu1")) ? QStringLiteral("destroy")
                                                                       : QStringLiteral("gone"));
        };
        created();
    }
    ~CountingModule() override { destroying(); }

private:
    std::vector<QString>& m_log;
};

TEST_F(ComponentTest, DataModuleRunsCreateAndDestroyEvents) {
    std::vector<QString> log;
    auto* owner = new Component;
    new CountingModule(owner, log, false);
    delete owner;
    EXPECT_EQ(log, (std::vector<QString>{"create", "destroy"}));
}

TEST_F(ComponentTest, ErrorInCreateIsShownAndTheModuleStillExists) {
    std::vector<QString> log;
    CountingModule module(nullptr, log, true);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Connection failed"));
    EXPECT_EQ(module.findComponent(QStringLiteral("MainMenu1"))->objectName(),
              QStringLiteral("MainMenu1"));
}

} // namespace
