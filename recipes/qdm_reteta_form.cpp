#include "recipes/qdm_reteta_form.h"

#include "catalog/select_catalog_article.h"
#include "common/module_values.h"
#include "controls/db_grid_normal.h"
#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/ui/application.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/db_edit.h"
#include "platform/ui/db_navigator.h"
#include "platform/ui/label.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/menu_renderer.h"
#include "platform/ui/message_box.h"
#include "recipes/product_search.h"
#include "settings/production_settings_file.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace {

using ui::NavigateButton;

TQDMDataModule& dataModule() {
    if (!QDMDataModule)
        throw base::Error(QStringLiteral("The production data module does not exist."));
    return *QDMDataModule;
}

bool isEditing(const db::DataSet& dataSet) {
    return dataSet.state() == db::DataSetState::Edit || dataSet.state() == db::DataSetState::Insert;
}

const ui::NavigateButtons kBrowseButtons = NavigateButton::First | NavigateButton::Prior |
                                           NavigateButton::Next | NavigateButton::Last |
                                           NavigateButton::Refresh;

} // namespace

TQDMRetetaForm* TQDMRetetaForm::create() {
    auto* form = new TQDMRetetaForm(ui::application()->mainWindow());
    // A failed editor has already released itself; it must not be published.
    return form->creationFailed() ? nullptr : form;
}

TQDMRetetaForm::TQDMRetetaForm(QObject* owner) : ui::Form(owner) {
    TQDMDataModule& dm = dataModule();
    setName(QStringLiteral("QDMRetetaForm"));
    setCaption(QStringLiteral("Reteta"));
    setPosition(ui::FormPosition::ScreenCenter);
    setFormStyle(ui::FormStyle::MdiChild);
    setClientSize(534, 474);
    setKeyPreview(true);
    buildControls();

    KDMCatalogGrid->setDataSource(&dm.CatalogSource);
    CantRetetaCBox->setDataSource(&dm.CatalogSource);
    CantRetetaCBox->setFieldName(QStringLiteral("CantReteta"));
    KDMRetetaGrid->setDataSource(&dm.RetetaSource);
    // The search is emptied by every change of the current product it did not make itself.
    dm.CatalogSourceDataChange = ::CatalogSourceDataChange;

    onCreate = [this] { FormCreate(); };
    onClose = [this](ui::CloseAction& action) { FormClose(action); };
    onKeyDown = [this](int& key, ui::ShiftState shift) { FormKeyDown(key, shift); };
    created();
    if (!m_creationFailed)
        KDMCatalogGrid->setFocus(Qt::OtherFocusReason);
}

TQDMRetetaForm::~TQDMRetetaForm() {
    // The editor may go with its owner without closing (the host shutting down).
    m_closing = true;
    if (QDMRetetaForm == this)
        QDMRetetaForm = nullptr;
}

void TQDMRetetaForm::buildControls() {
    KDMCatalogGrid = new TDBGridNormal(this);
    KDMCatalogGrid->setObjectName(QStringLiteral("KDMCatalogGrid"));
    KDMCatalogGrid->setReadOnly(true);
    KDMCatalogGrid->setOptions(KDMCatalogGrid->options() | dgRowSelect | dgAlwaysShowSelection);
    KDMCatalogGrid->columns().add(QStringLiteral("Grupa"), QStringLiteral("Grupa"), 44);
    KDMCatalogGrid->columns().add(QStringLiteral("Cod"), QStringLiteral("Cod produs finit"), 100);
    KDMCatalogGrid->columns().add(QStringLiteral("Denumire"),
                                  QStringLiteral("Denumire produs finit"), 150);
    KDMCatalogGrid->onEnter = [this] { KDMCatalogGridEnter(); };

    Label1 = new ui::Label(QStringLiteral("Sorteaza produsele finite dupa:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    OrderCombo = new ui::ComboBox(this, ui::ComboStyle::DropDownList);
    OrderCombo->setObjectName(QStringLiteral("OrderCombo"));
    OrderCombo->addItems({QStringLiteral("Grupa;Cod"), QStringLiteral("Grupa;Denumire")});
    OrderCombo->setToolTip(QStringLiteral("Alege ordinea de sortare"));
    OrderCombo->onChange = [this] { OrderComboChange(); };
    Label1->setFocusControl(OrderCombo);

    Cautlbl = new ui::Label(this);
    Cautlbl->setObjectName(QStringLiteral("Cautlbl"));
    Cautlbl->setMinimumHeight(Cautlbl->fontMetrics().height() + 4);
    QFont searchFont = Cautlbl->font();
    searchFont.setBold(true);
    Cautlbl->setFont(searchFont);

    Label2 = new ui::Label(QStringLiteral("Cantitatea de produs finit"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new ui::Label(QStringLiteral("rezultata conform retetarului :"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    CantRetetaCBox = new ui::DBEdit(this);
    CantRetetaCBox->setObjectName(QStringLiteral("CantRetetaCBox"));
    CantRetetaCBox->setFixedWidth(80);
    CantRetetaCBox->onExit = [this] { CantRetetaCBoxExit(); };
    CantRetetaCBox->installEventFilter(this);
    Label3->setFocusControl(CantRetetaCBox);

    RetetaNavigator = new ui::DBNavigator(this);
    RetetaNavigator->setObjectName(QStringLiteral("RetetaNavigator"));
    RetetaNavigator->setHints({QStringLiteral("Primul"), QStringLiteral("Anterior"),
                               QStringLiteral("Urmator"), QStringLiteral("Ultimul"),
                               QStringLiteral("Adaugare"), QStringLiteral("Stergere"),
                               QStringLiteral("Editare"), QStringLiteral("Salvare"),
                               QStringLiteral("Anulare"), QStringLiteral("Refresh")});
    RetetaNavigator->setConfirmDelete(false);
    RetetaNavigator->setVisibleButtons(kBrowseButtons);

    KDMRetetaGrid = new TDBGridNormal(this);
    KDMRetetaGrid->setObjectName(QStringLiteral("KDMRetetaGrid"));
    KDMRetetaGrid->setOptions((KDMRetetaGrid->options() | dgTabs) & ~dgConfirmDelete);
    KDMRetetaGrid->columns().add(QStringLiteral("Cod_Grupa"), QStringLiteral("Cod_Grupa"), 70);
    KDMRetetaGrid->columns().add(QStringLiteral("Cod_MatPrim"), QStringLiteral("Cod materie prima"),
                                 120);
    KDMRetetaGrid->columns().add(QStringLiteral("Cant_MatPrim"),
                                 QStringLiteral("Cantitate materie prima"), 146);
    TColumn* name = KDMRetetaGrid->columns().add(QStringLiteral("DenMat_Prim"),
                                                 QStringLiteral("Denumire materie prima"), 158);
    name->setButtonStyle(TColumnButtonStyle::cbsNone);
    KDMRetetaGrid->onEnter = [this] { KDMRetetaGridEnter(); };
    KDMRetetaGrid->onKeyPress = [this](char16_t& key) { KDMRetetaGridKeyPress(key); };
    KDMRetetaGrid->onDblClick = [this] { KDMRetetaGridDblClick(); };

    RetetaPopup = new ui::Menu(this, ui::Menu::Kind::Popup, QStringLiteral("RetetaPopup"));
    RetetaPopCopy = new ui::MenuItem(RetetaPopup, QStringLiteral("RetetaPopCopy"),
                                     QStringLiteral("Copiaza reteta"));
    RetetaPopCopy->onClick = [this] { RetetaPopCopyClick(); };
    RetetaPopPaste = new ui::MenuItem(RetetaPopup, QStringLiteral("RetetaPopPaste"),
                                      QStringLiteral("Lipeste reteta"));
    RetetaPopPaste->setEnabled(false);
    RetetaPopPaste->onClick = [this] { RetetaPopPasteClick(); };
    RetetaPopCancel = new ui::MenuItem(RetetaPopup, QStringLiteral("RetetaPopCancel"),
                                       QStringLiteral("Renunta la copiere"));
    RetetaPopCancel->setEnabled(false);
    RetetaPopCancel->onClick = [this] { RetetaPopCancelClick(); };
    ui::attachPopup(KDMRetetaGrid, RetetaPopup);

    // A band across the top: the products on the left, their order, search and batch quantity
    // and the navigator on the right; the recipe lines fill the rest.
    auto* side = new QVBoxLayout;
    side->setSpacing(4);
    side->addWidget(Label1);
    side->addWidget(OrderCombo);
    side->addWidget(Cautlbl);
    side->addSpacing(6);
    // The two captions above the box: beside each other they would squeeze the products.
    side->addWidget(Label2);
    side->addWidget(Label3);
    side->addWidget(CantRetetaCBox);
    side->addStretch(1);
    side->addWidget(RetetaNavigator, 0, Qt::AlignLeft);

    auto* band = new QHBoxLayout;
    band->addWidget(KDMCatalogGrid, 1);
    band->addLayout(side);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    main->addLayout(band, 5);
    main->addWidget(KDMRetetaGrid, 6);
}

void TQDMRetetaForm::showDatabaseError(const QString& engineMessage) {
    ui::messageBox(ui::MessageKind::Error,
                   QStringLiteral("Eroare de acces la baza de date!\r<%1> !").arg(engineMessage));
}

void TQDMRetetaForm::closeTables() {
    TQDMDataModule& dm = dataModule();
    for (db::DataSet* table :
         {static_cast<db::DataSet*>(&dm.CatalogTable), static_cast<db::DataSet*>(&dm.CatalogTable2),
          static_cast<db::DataSet*>(&dm.RetetaTable)}) {
        try {
            table->close();
        } catch (const base::DatabaseError& error) {
            showDatabaseError(error.message());
        }
    }
}

void TQDMRetetaForm::FormCreate() {
    TQDMDataModule& dm = dataModule();
    std::optional<ui::CursorGuard> hourglass(std::in_place);
    // Whatever stops the creation discards the window, so that no editor without its tables is
    // left behind; a database error is told here, any other goes on to the general error box.
    auto discard = [this] {
        m_creationFailed = true;
        m_closing = true;
        release();
    };
    try {
        // The catalog filters read the code characters: they must be the company's.
        LoadProductionSettings();
        // Preselected, not applied: the products keep the table's own order, group then code.
        OrderCombo->setItemIndex(0);
        dm.CatalogTable.open();
        dm.CatalogTable2.open();
        dm.RetetaTable.open();
    } catch (const base::DatabaseError& error) {
        hourglass.reset();
        closeTables();
        showDatabaseError(error.message());
        discard();
        return;
    } catch (...) {
        hourglass.reset();
        discard();
        closeTables();
        throw;
    }
}

void TQDMRetetaForm::FormClose(ui::CloseAction& action) {
    // Open until everything pending is stored; an error on the way keeps it open as well.
    action = ui::CloseAction::None;
    TQDMDataModule& dm = dataModule();
    std::optional<ui::CursorGuard> hourglass(std::in_place);
    // A pending recipe line is posted (an untouched new one dropped); a line a rule refuses
    // stops the closing here, its message already shown.
    if (dm.RetetaTable.isActive())
        dm.RetetaTable.checkBrowseMode();
    // So is a batch quantity typed for the current product, which closing the products would
    // otherwise lose; it passes the same check as when the box is left.
    const QString typed = CantRetetaCBox->text();
    if (!CantRetetaCBox->updateRecord())
        return;
    if (dm.CatalogTable.isActive() && isEditing(dm.CatalogTable)) {
        if (!dm.CatalogTable.isModified()) {
            dm.CatalogTable.cancel();
        } else {
            if (isBatchQuantityRefused(typed)) {
                hourglass.reset();
                refuseBatchQuantity();
                return;
            }
            dm.CatalogTable.post();
        }
    }
    action = ui::CloseAction::Free;
    m_closing = true;
    closeTables();
    if (QDMRetetaForm == this)
        QDMRetetaForm = nullptr;
}

void TQDMRetetaForm::FormKeyDown(int& key, ui::ShiftState) {
    // Only the products grid searches: typing a batch quantity must never move the products.
    if (!KDMCatalogGrid->hasFocus())
        return;
    if (!applyProductSearchKey(ProductSearchText, key))
        return;
    Cautlbl->setText(ProductSearchText);
    // The single key value matches the first field of every order the window offers, the
    // group code. The key itself goes on to the grid.
    db::Table& products = dataModule().CatalogTable;
    ProductSearchActive = true;
    try {
        products.findNearest({ProductSearchText});
    } catch (...) {
        ProductSearchActive = false;
        throw;
    }
    ProductSearchActive = false;
}

void TQDMRetetaForm::OrderComboChange() {
    dataModule().CatalogTable.setIndexFieldNames(OrderCombo->text());
    KDMCatalogGrid->setFocus(Qt::OtherFocusReason);
    ResetProductSearch();
}

void TQDMRetetaForm::KDMCatalogGridEnter() {
    NavigatorSource = &dataModule().CatalogSource;
    RetetaNavigator->setDataSource(NavigatorSource);
    RetetaNavigator->setVisibleButtons(kBrowseButtons);
    ResetProductSearch();
}

void TQDMRetetaForm::KDMRetetaGridEnter() {
    NavigatorSource = &dataModule().RetetaSource;
    RetetaNavigator->setDataSource(NavigatorSource);
    RetetaNavigator->setVisibleButtons(ui::DBNavigator::allButtons());
    ResetProductSearch();
}

void TQDMRetetaForm::KDMRetetaGridKeyPress(char16_t& key) {
    // Ctrl+Enter (character 10) picks the line's material from the catalog, on the columns
    // that name it; the quantity column and every other character are left to the grid.
    if (key != 10)
        return;
    const db::Field* column = KDMRetetaGrid->currentField();
    if (!column)
        return;
    const QString field = column->fieldName();
    if (field != QLatin1String("Cod_MatPrim") && field != QLatin1String("DenMat_Prim") &&
        field != QLatin1String("Cod_Grupa"))
        return;
    key = 0;
    TQDMDataModule& dm = dataModule();
    QString group = dm.RetetaTableCod_Grupa->asString();
    QString code = dm.RetetaTableCod_MatPrim->asString();
    if (!SelectCatalogArticle(this, group, code))
        return;
    // Text typed into the cell and not yet stored would overwrite the choice when the cell is
    // left: it is dropped, as Escape drops it.
    if (KDMRetetaGrid->editModified()) {
        int escape = ui::vk::Escape;
        KDMRetetaGrid->keyDown(escape, {});
    }
    // On an empty recipe this starts a line. The group goes first: the material's check looks
    // the pair up in the catalog.
    const bool wasEditing = isEditing(dm.RetetaTable);
    const QVariant previousGroup = dm.RetetaTableCod_Grupa->value();
    dm.RetetaTable.edit();
    try {
        dm.RetetaTableCod_Grupa->setAsString(group);
        dm.RetetaTableCod_MatPrim->setAsString(code);
    } catch (const base::Abort&) {
        // A material the check refuses (after its message) leaves the line as it was, its
        // group included.
        if (wasEditing)
            dm.RetetaTableCod_Grupa->setValue(previousGroup);
        else
            dm.RetetaTable.cancel();
        throw;
    }
}

void TQDMRetetaForm::KDMRetetaGridDblClick() {
    char16_t key = 10;
    KDMRetetaGridKeyPress(key);
}

bool TQDMRetetaForm::isBatchQuantityRefused(const QString& text) {
    // On the text as typed: "0.0" or "00" pass, the field converts them itself.
    return text.isEmpty() || text == QLatin1String("0");
}

void TQDMRetetaForm::refuseBatchQuantity() {
    ui::messageBox(ui::MessageKind::Warning,
                   QStringLiteral("Atentie campul cantitate nu poate fi gol sau 0! Scrieti "
                                  "cantitatea corecta!"));
    // After the focus change under way is over.
    QTimer::singleShot(0, CantRetetaCBox,
                       [box = CantRetetaCBox] { box->setFocus(Qt::OtherFocusReason); });
}

void TQDMRetetaForm::CantRetetaCBoxExit() {
    if (m_closing)
        return;
    if (!isBatchQuantityRefused(m_quantityLeft))
        return;
    // The refused quantity is already in the product's field; it is dropped, so that the next
    // move of the products (a click on another one) cannot store it.
    db::Table& products = dataModule().CatalogTable;
    if (products.isActive() && isEditing(products))
        products.cancel();
    refuseBatchQuantity();
}

bool TQDMRetetaForm::eventFilter(QObject* watched, QEvent* event) {
    // Seen before the box writes its text into the field, which shows it again formatted: the
    // check is on what was typed ("0,0" passes, "0" does not).
    if (watched == CantRetetaCBox && event->type() == QEvent::FocusOut)
        m_quantityLeft = CantRetetaCBox->text();
    return ui::Form::eventFilter(watched, event);
}

void TQDMRetetaForm::RetetaPopCopyClick() {
    RetetaPopCopy->setEnabled(false);
    // The product code the current line holds: the current product's, empty without lines.
    CopySourceCode = dataModule().RetetaTableCod->asString();
    RetetaPopPaste->setEnabled(true);
    RetetaPopCancel->setEnabled(true);
}

void TQDMRetetaForm::RetetaPopPasteClick() {
    TQDMDataModule& dm = dataModule();
    // A pending line of the target is stored first; when a rule refuses it, nothing is pasted
    // and the copy stays marked, so that the paste can be made once the line is corrected.
    dm.RetetaTable.checkBrowseMode();
    RetetaPopCopy->setEnabled(true);
    db::Query& source = dm.ExtragReteta;
    struct Finish {
        TQDMRetetaForm& form;
        db::Query& query;
        ~Finish() {
            ui::guarded([this] { query.close(); });
            form.RetetaPopPaste->setEnabled(false);
            form.RetetaPopCancel->setEnabled(false);
        }
    } finish{*this, source};
    source.paramByName(QStringLiteral("From")).setAsString(CopySourceCode);
    source.open();
    const QString target = dm.CatalogTable.fieldByName(QStringLiteral("Cod"))->asString();
    db::Table& lines = dm.RetetaTable;
    for (source.first(); !source.eof(); source.next()) {
        // A row that a rule refuses (after its own message) or that the table refuses as a
        // duplicate of a line the target has is skipped; the others are added.
        try {
            lines.append();
            dm.RetetaTableCod_Grupa->setValue(
                source.fieldByName(QStringLiteral("Cod_Grupa"))->value());
            dm.RetetaTableCod->setAsString(target);
            dm.RetetaTableCod_MatPrim->setValue(
                source.fieldByName(QStringLiteral("Cod_MatPrim"))->value());
            dm.RetetaTableCant_MatPrim->setValue(
                source.fieldByName(QStringLiteral("Cant_MatPrim"))->value());
            lines.post();
        } catch (const base::Abort&) {
            lines.cancel();
        } catch (const base::DatabaseError& error) {
            lines.cancel();
            if (error.kind() != base::DatabaseError::Kind::KeyViolation)
                throw;
        }
    }
}

void TQDMRetetaForm::RetetaPopCancelClick() {
    RetetaPopCopy->setEnabled(true);
    RetetaPopPaste->setEnabled(false);
    RetetaPopCancel->setEnabled(false);
}
