// Pictures of the catalog window over a small company, for a person to look at:
// LUMBRA_SCREENSHOT_DIR=/tmp xvfb-run -a test_catalog --gtest_filter='*Screenshot*'
#include "catalog_fixture.h"

namespace catalogtest {
namespace {

TEST_F(CatalogTest, Screenshots) {
    const QString target = qEnvironmentVariable("LUMBRA_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "LUMBRA_SCREENSHOT_DIR is not set";
    buildCatalog();
    addArticle("FAI", "M600", "Faina integrala de grau, macinata pe piatra, sac de 50 kg",
               "pentru paine neagra si produse dietetice");
    select(QStringLiteral("FAI"), QStringLiteral("M300"), [&](TCatLookupForm& form) {
        QTest::qWait(300);
        EXPECT_TRUE(form.grab().save(target + QStringLiteral("/lumbra-catalog-browse.png")));
        form.EditBtn->click();
        settle();
        QTest::qWait(300);
        EXPECT_TRUE(form.grab().save(target + QStringLiteral("/lumbra-catalog-edit.png")));
        form.ButtonCancel->click();
    });
}

} // namespace
} // namespace catalogtest
