#include "catalog/select_catalog_article.h"

#include "catalog/cat_lookup_form.h"
#include "common/module_values.h"
#include "platform/ui/combo_box.h"

#include <QPointer>

bool SelectCatalogArticle(QObject* owner, QString& groupCode, QString& articleCode) {
    QPointer<TCatLookupForm> form = TCatLookupForm::create(owner);
    CatLookupForm = form;
    // The window is discarded on every way out; it may already be gone with its owner.
    struct Discard {
        QPointer<TCatLookupForm>& form;
        ~Discard() { delete form.data(); }
    } discard{form};

    form->positionOn(groupCode, articleCode);
    // The article list is already in code order; the list only shows it.
    form->IndexComboBox->setItemIndex(0);
    const ui::ModalResult result = form->showModal();
    if (!form || result == ui::mrCancel)
        return false;
    groupCode = form->currentGroupCode();
    articleCode = form->currentArticleCode();
    return true;
}
