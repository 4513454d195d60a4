// The recipe editor inside the reference host, which loads the production add-on as a host does,
// over the demo company. Pictures of it, for a person to look at:
//   LUMBRA_SCREENSHOT_DIR=/tmp xvfb-run -a test_recipes_host --gtest_filter='*Screenshots*'
#include "host/demo_company.h"
#include "recipes/qdm_reteta_form.h"
#include "tests/host/host_fixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

namespace {

class EditorInTheHost : public hosttest::HostTest {
protected:
    void startOnTheDemoCompany() {
        const QString company = dir.path() + QStringLiteral("/brutarie");
        ASSERT_TRUE(host::createDemoCompany(company, {}));
        start(company, QStringLiteral(LUMBRA_ADDON_PATH));
        ASSERT_NE(program->addOn(), nullptr) << program->addOnProblem().toStdString();
    }
};

TEST_F(EditorInTheHost, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    startOnTheDemoCompany();
    window()->resize(1024, 720);
    window()->show();
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    settle();

    QAction* command = action("&Sistem", "Retete de productie");
    ASSERT_NE(command, nullptr);
    command->trigger();
    settle();
    QTest::qWait(400);
    const QString prefix =
        target + QStringLiteral("/lumbra-recipes-") + qEnvironmentVariable("LANG", "none");
    ASSERT_TRUE(window()->grab().save(prefix + QStringLiteral("-open.png")));

    // A search typed over the products, then the recipe lines of the product found.
    QMdiSubWindow* frame = window()->mdiArea()->activeSubWindow();
    ASSERT_NE(frame, nullptr);
    QWidget* products = frame->widget()->findChild<QWidget*>(QStringLiteral("KDMCatalogGrid"));
    ASSERT_NE(products, nullptr);
    products->setFocus(Qt::TabFocusReason);
    settle();
    ASSERT_EQ(QApplication::focusWidget(), products);
    QTest::keyClicks(products, QStringLiteral("PFP"));
    settle();
    QTest::qWait(300);
    ASSERT_TRUE(window()->grab().save(prefix + QStringLiteral("-search.png")));
    // Two more commands: still one editor.
    command->trigger();
    command->trigger();
    settle();
    int editors = 0;
    for (QMdiSubWindow* w : window()->mdiArea()->subWindowList())
        editors += w->widget()->objectName() == QLatin1String("QDMRetetaForm");
    EXPECT_EQ(editors, 1);
    EXPECT_TRUE(desktop.boxes.empty());
}

// The host going away with the editor open takes the editor down before the add-on's data.
// It comes last: Qt keeps the type registrations of an unloaded library, so a library loaded
// again in the same process must not paint grids after it (ctest runs each test alone).
TEST_F(EditorInTheHost, TheHostShutsDownWithTheEditorOpen) {
    startOnTheDemoCompany();
    action("&Sistem", "Retete de productie")->trigger();
    settle();
    ASSERT_NE(window()->mdiArea()->activeSubWindow(), nullptr);
    EXPECT_EQ(window()->mdiArea()->activeSubWindow()->widget()->objectName(), "QDMRetetaForm");
    program.reset();
    EXPECT_TRUE(desktop.boxes.empty());
}

} // namespace
