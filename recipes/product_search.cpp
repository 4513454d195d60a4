#include "recipes/product_search.h"

#include "common/module_values.h"
#include "platform/ui/keys.h"
#include "platform/ui/label.h"
#include "recipes/qdm_reteta_form.h"

QString ProductSearchText;
bool ProductSearchActive = false;

void ResetProductSearch() {
    ProductSearchText.clear();
    if (QDMRetetaForm)
        QDMRetetaForm->Cautlbl->clear();
}

void CatalogSourceDataChange(db::DataSource&, db::Field* field) {
    if (!field && !ProductSearchActive)
        ResetProductSearch();
}

bool applyProductSearchKey(QString& text, int key) {
    if (key == ui::vk::Back) {
        text.chop(1);
        return true;
    }
    const bool letter = key >= 'A' && key <= 'Z';
    const bool digit = key >= '0' && key <= '9';
    if (letter || digit || key == ui::vk::Space) {
        // The key code is the character: letters search as capitals whatever the shift state.
        text.append(QChar(key));
        return true;
    }
    return false;
}
