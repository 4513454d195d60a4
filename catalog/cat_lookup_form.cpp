#include "catalog/cat_lookup_form.h"

#include "catalog/article_defaults.h"
#include "common/account_symbol.h"
#include "common/custom_file_straam.h"
#include "common/module_values.h"
#include "controls/db_grid_normal.h"
#include "platform/base/errors.h"
#include "platform/db/session.h"
#include "platform/ui/button.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/message_box.h"
#include "platform/ui/speed_button.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <new>
#include <optional>

namespace {

const QString kAlias = QStringLiteral("MAGNIS");
const QString kLayoutFile = QStringLiteral("catlook.cfg");

// The layout file goes to the user's private directory (alias KRV_PRIV), which is the user's
// own and writable wherever the program was started from; the current directory only when the
// environment names no private directory.
QString layoutFilePath() {
    const QString privateDir = db::Session::instance().aliasDirectory(QStringLiteral("KRV_PRIV"));
    if (privateDir.isEmpty())
        return kLayoutFile;
    QDir().mkpath(privateDir);
    return QDir(privateDir).filePath(kLayoutFile);
}

// The orders of the article list, in the order of the order list's items.
struct ArticleOrder {
    const char* item;
    const char* indexFields;
};
constexpr ArticleOrder kOrders[] = {
    {"dupa Cod", "Grupa;Cod"},
    {"dupa Denumire", "Grupa;Denumire"},
    {"dupa Descriere", "Grupa;Descriere"},
};

// The grid options of a list that is browsed a whole row at a time; Tab leaves the grid, so
// that the keyboard reaches every list and button of the window.
constexpr TDBGridOptions kBrowseOptions = TDBGridOptions(
    (kDefaultGridOptions & ~TDBGridOptions(dgTabs)) | dgRowSelect | dgAlwaysShowSelection);

// The picture of EditBtn: a pencil over a line of writing.
QPixmap editGlyph() {
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawLine(1, 14, 9, 14);
    p.translate(8, 8);
    p.rotate(-45);
    p.setBrush(QColor(230, 180, 40));
    p.drawRect(QRectF(-5, -2, 9, 4));
    p.setBrush(QColor(200, 80, 80));
    p.drawRect(QRectF(4, -2, 2.5, 4));
    p.setBrush(QColor(245, 225, 190));
    p.drawPolygon(QPolygonF({QPointF(-5, -2), QPointF(-8, 0), QPointF(-5, 2)}));
    return glyph;
}

} // namespace

TCatLookupForm* TCatLookupForm::create(QObject* owner) {
    auto* form = new TCatLookupForm(owner);
    if (form->m_createFailure) {
        const std::exception_ptr failure = form->m_createFailure;
        delete form;
        std::rethrow_exception(failure);
    }
    return form;
}

TCatLookupForm::TCatLookupForm(QObject* owner) : ui::Form(owner) {
    setName(QStringLiteral("CatLookupForm"));
    setCaption(QStringLiteral("Selectie de articole"));
    setBorderStyle(ui::BorderStyle::Dialog);
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(850, 587);

    declareFields();
    buildControls();

    onClose = [this](ui::CloseAction& action) { FormClose(action); };
    // A failure of the creation goes to the creator (create()), not to the general error box.
    onCreate = [this] {
        try {
            FormCreate();
        } catch (...) {
            m_createFailure = std::current_exception();
        }
    };
    created();
    CatGrid->setFocus();
}

TCatLookupForm::~TCatLookupForm() {
    if (CatLookupForm == this)
        CatLookupForm = nullptr;
    // The grids outlive the datasets (they go with the window's widgets): let them go first.
    for (TDBGridNormal* grid : {CatGrid, GroupGrid, MatGrid})
        grid->setDataSource(nullptr);
    Catalog.close();
    Group.close();
    TMateriale.close();
    Val.close();
}

void TCatLookupForm::declareFields() {
    using db::FieldType;
    TMateriale.setName(QStringLiteral("TMateriale"));
    TMateriale.setDatabaseName(kAlias);
    TMateriale.setTableName(QStringLiteral("Materiale.db"));
    TMateriale.setReadOnly(true);
    TMateriale.addField(QStringLiteral("Cod_material"), FieldType::Text, 10);
    TMateriale.addField(QStringLiteral("Denumire"), FieldType::Text, 100);
    TMateriale.addField(QStringLiteral("CONT_SINT"), FieldType::Text, 20);

    Group.setName(QStringLiteral("Group"));
    Group.setDatabaseName(kAlias);
    Group.setTableName(QStringLiteral("Grup.DB"));
    Group.setReadOnly(true);
    Group.setIndexFieldNames(QStringLiteral("Cod_material"));
    Group.setMasterSource(&DSMateriale);
    Group.setMasterFields(QStringLiteral("Cod_material"));
    Group.addField(QStringLiteral("Cod_material"), FieldType::Text, 10);
    GroupCode = Group.addField(QStringLiteral("Cod_grupa"), FieldType::Text, 8);
    GroupDenumire = Group.addField(QStringLiteral("Denumire"), FieldType::Text, 100);
    Group.addField(QStringLiteral("Cont_sint"), FieldType::Text, 20);

    Catalog.setName(QStringLiteral("Catalog"));
    Catalog.setDatabaseName(kAlias);
    Catalog.setTableName(QStringLiteral("CATALOG.DB"));
    Catalog.setIndexFieldNames(QStringLiteral("Grupa;Cod"));
    Catalog.setMasterSource(&DSGroup);
    Catalog.setMasterFields(QStringLiteral("Cod_grupa"));
    auto text = [this](const char* name, int size, const char* label = nullptr) {
        db::Field* f = Catalog.addField(QString::fromUtf8(name), FieldType::Text, size);
        if (label)
            f->setDisplayLabel(QString::fromUtf8(label));
        return f;
    };
    auto number = [this](const char* name, const char* label = nullptr) {
        db::Field* f = Catalog.addField(QString::fromUtf8(name), FieldType::Float);
        if (label)
            f->setDisplayLabel(QString::fromUtf8(label));
        return f;
    };
    CatalogGrupa = text("Grupa", 8);
    CatalogGrupa->setVisible(false);
    CatalogCod = text("Cod", 30);
    CatalogDen = text("Denumire", 255);
    CatalogDescriere = text("Descriere", 255);
    CatalogUM = text("Unitate_masura", 4, "U.M.");
    // Shown as "#,##0.00" where a list shows it; no list of this window does.
    CatalogPret = number("Pret_vinzare", "Pret vinzare");
    CatalogMoneda = text("Moneda", 3);
    CatalogCoef_TVA = number("Coef_TVA");
    // Shown as "#.##%", edited as "#.##", where a list shows it; no list of this window does.
    CatalogCoef_accize = number("Coef_accize", "Coef. accize");
    CatContMf = text("Cont_marfa", 20, "Cont marfa");
    CatContChel = text("Cont_cheltuieli", 20, "Cont cheltuieli");
    CatContTVA_I = text("Cont_TVA_Intrari", 20, "Cont TVA intrari");
    CatContTVA_E = text("Cont_TVA_Iesiri", 20, "Cont TVA iesiri");
    CatalogCont_accize = text("Cont_accize", 20, "Cont accize");
    CatalogCont_adaos = text("Cont_adaos", 20, "Cont adaos");
    CatalogCont_venituri = text("Cont_venituri", 20, "Cont venituri");
    CatalogStock_minim = number("Stock_minim");

    Catalog.onNewRecord = [this](db::DataSet& d) { CatalogNewRecord(d); };
    Catalog.beforePost = [this](db::DataSet& d) { CatalogBeforePost(d); };
    for (db::Field* account : {CatContMf, CatContChel, CatContTVA_I, CatContTVA_E,
                               CatalogCont_accize, CatalogCont_adaos, CatalogCont_venituri})
        account->onValidate = [this](db::Field& f) { CatContMfValidate(f); };
    CatalogMoneda->onValidate = [this](db::Field& f) { CatalogMonedaValidate(f); };

    Val.setName(QStringLiteral("Val"));
    Val.setDatabaseName(kAlias);
    Val.setTableName(QStringLiteral("VALUTA.DB"));
    Val.setReadOnly(true);
}

void TCatLookupForm::buildControls() {
    auto grid = [this](const char* name, db::DataSource* source) {
        auto* g = new TDBGridNormal(this);
        g->setObjectName(QString::fromLatin1(name));
        g->setNoEditSelection(true);
        g->setOptions(kBrowseOptions);
        g->setReadOnly(true);
        g->setDataSource(source);
        return g;
    };
    MatGrid = grid("MatGrid", &DSMateriale);
    MatGrid->columns().add(QStringLiteral("Cod_material"), QStringLiteral("Cod clasa"), 80);
    MatGrid->columns().add(QStringLiteral("Denumire"), QString(), 540);
    GroupGrid = grid("GroupGrid", &DSGroup);
    GroupGrid->columns().add(QStringLiteral("Cod_grupa"), QStringLiteral("Cod grupa"), 80);
    GroupGrid->columns().add(QStringLiteral("Denumire"), QString(), 720);
    CatGrid = grid("CatGrid", &CatDataSource);
    CatGrid->columns().add(QStringLiteral("Cod"), QStringLiteral("Cod mat."), 130);
    CatGrid->columns().add(QStringLiteral("Denumire"), QString(), 290);
    CatGrid->columns().add(QStringLiteral("Descriere"), QString(), 220);
    CatGrid->columns().add(QStringLiteral("Unitate_masura"), QString(), 50);
    CatGrid->columns().add(QStringLiteral("Cont_cheltuieli"), QString(), 110);

    IndexComboBox = new ui::ComboBox(this, ui::ComboStyle::DropDownList);
    IndexComboBox->setObjectName(QStringLiteral("IndexComboBox"));
    for (const ArticleOrder& order : kOrders)
        IndexComboBox->addItem(QString::fromLatin1(order.item));
    IndexLabel = new ui::Label(QStringLiteral("Or&dine de afisare:"), this);
    IndexLabel->setFocusControl(IndexComboBox);
    SearchEdit = new ui::Edit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setMaxLength(30);
    SearchLabel = new ui::Label(QStringLiteral("&Cauta:"), this);
    SearchLabel->setFocusControl(SearchEdit);

    ButtonOK = new ui::Button(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonOK->setModalResult(ui::mrOk);
    ButtonCancel = new ui::Button(QStringLiteral("&Renunta"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setCancel(true);
    ButtonCancel->setModalResult(ui::mrCancel);
    EditBtn = new ui::SpeedButton(this);
    EditBtn->setObjectName(QStringLiteral("EditBtn"));
    EditBtn->setText(QStringLiteral("&Editeaza"));
    EditBtn->setGlyph(editGlyph());
    EditBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    EditBtn->setAutoRaise(false);
    EditBtn->setCheckable(true);
    EditBtn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* side = new QVBoxLayout;
    side->addWidget(IndexLabel);
    side->addWidget(IndexComboBox);
    side->addSpacing(6);
    side->addWidget(SearchLabel);
    side->addWidget(SearchEdit);
    side->addStretch(1);
    side->addWidget(ButtonOK);
    side->addWidget(ButtonCancel);
    side->addWidget(EditBtn);
    auto* top = new QHBoxLayout;
    top->addWidget(MatGrid, 1);
    top->addLayout(side);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(8, 8, 8, 8);
    main->addLayout(top, 3);
    main->addWidget(GroupGrid, 3);
    main->addWidget(CatGrid, 6);
    for (QWidget* w : std::initializer_list<QWidget*>{IndexComboBox, SearchEdit, ButtonOK,
                                                      ButtonCancel, EditBtn})
        w->setFixedWidth(170);

    setTabOrder(MatGrid, IndexComboBox);
    setTabOrder(IndexComboBox, SearchEdit);
    setTabOrder(SearchEdit, ButtonOK);
    setTabOrder(ButtonOK, ButtonCancel);
    setTabOrder(ButtonCancel, GroupGrid);
    setTabOrder(GroupGrid, CatGrid);

    IndexComboBox->onChange = [this] { IndexComboBoxChange(); };
    SearchEdit->onChange = [this] { SearchEditChange(); };
    EditBtn->onClick = [this] { EditBtnClick(); };
    CatGrid->onKeyPress = [this](char16_t& key) { CatGridKeyPress(key); };
    CatGrid->onDblClick = [this] { CatGridDblClick(); };
    GroupGrid->onDblClick = [this] { GroupGridDblClick(); };
    GroupGrid->onKeyPress = [this](char16_t& key) { GroupGridKeyPress(key); };
}

bool TCatLookupForm::editMode() const {
    return CatGrid->options().testFlag(dgEditing);
}

QString TCatLookupForm::currentGroupCode() const {
    return Group.isActive() && !Group.isEmpty() ? GroupCode->asString() : QString();
}

QString TCatLookupForm::currentArticleCode() const {
    return Catalog.isActive() && !Catalog.isEmpty() ? CatalogCod->asString() : QString();
}

void TCatLookupForm::positionOn(const QString& groupCode, const QString& articleCode) {
    // The group list shows one class at a time: find the class that owns the group first.
    bool placed = false;
    if (!groupCode.isEmpty()) {
        db::Table groups;
        groups.setDatabaseName(kAlias);
        groups.setTableName(QStringLiteral("Grup.DB"));
        groups.setReadOnly(true);
        db::Field* ownerClass =
            groups.addField(QStringLiteral("Cod_material"), db::FieldType::Text, 10);
        groups.addField(QStringLiteral("Cod_grupa"), db::FieldType::Text, 8);
        groups.open();
        if (groups.findKey({groupCode}))
            placed = TMateriale.locate(QStringLiteral("Cod_material"), {ownerClass->asString()}) &&
                     Group.locate(QStringLiteral("Cod_grupa"), {groupCode});
    }
    if (!placed) {
        TMateriale.first();
        Group.first();
    }
    Catalog.setIndexFieldNames(QString::fromLatin1(kOrders[0].indexFields));
    Catalog.findKey({currentGroupCode(), articleCode});
}

// ---- handlers ----

void TCatLookupForm::FormCreate() {
    m_layoutStream = std::make_unique<TCustomFileStraam>(layoutFilePath());
    try {
        TMateriale.open();
        Group.open();
        Catalog.open();
        Val.open();
    } catch (const base::DatabaseError& e) {
        ui::messageBox(ui::MessageKind::Error,
                       QStringLiteral("Eroare de acces la catalogul de articole!\r") + e.message() +
                           QStringLiteral(">"));
        base::abortSilently();
    }
    IndexComboBox->setItemIndex(0);
    if (Group.isEmpty()) {
        enterEditMode();
        ui::messageBox(ui::MessageKind::Warning, QStringLiteral("Adaugati articole în catalog!"));
    }
}

void TCatLookupForm::FormClose(ui::CloseAction&) {
    // The layouts are written for whoever wants them; nothing here reads them back, so a file
    // that cannot be written is not worth a word.
    if (m_layoutStream)
        m_layoutStream->SaveObjects({&GroupGrid->columns(), &CatGrid->columns()});
    m_layoutStream.reset();
}

void TCatLookupForm::IndexComboBoxChange() {
    const int index = IndexComboBox->itemIndex();
    if (index < 0 || index >= int(std::size(kOrders)))
        return;
    try {
        // Reordering reopens the list, which would drop an article being typed: store it first.
        Catalog.checkBrowseMode();
    } catch (...) {
        for (int i = 0; i < int(std::size(kOrders)); ++i)
            if (Catalog.indexFieldNames() == QString::fromLatin1(kOrders[i].indexFields))
                IndexComboBox->setItemIndex(i);
        throw;
    }
    Catalog.setIndexFieldNames(QString::fromLatin1(kOrders[index].indexFields));
    Catalog.setMasterSource(&DSGroup);
    Catalog.setMasterFields(QStringLiteral("Cod_grupa"));
}

void TCatLookupForm::SearchEditChange() {
    const QString text = SearchEdit->text();
    if (text.isEmpty())
        return;
    Catalog.findNearest({currentGroupCode(), text});
}

void TCatLookupForm::EditBtnClick() {
    // The button shows the mode the window is in, also when leaving it was refused.
    struct Sync {
        TCatLookupForm& form;
        ~Sync() { form.showEditMode(form.editMode()); }
    } sync{*this};
    if (editMode())
        leaveEditMode();
    else
        enterEditMode();
    CatGrid->setFocus();
}

void TCatLookupForm::enterEditMode() {
    CatGrid->setReadOnly(false);
    GroupGrid->setReadOnly(false); // the groups stay read-only through their table
    CatGrid->setOptions((CatGrid->options() & ~TDBGridOptions(dgRowSelect)) | dgEditing |
                        dgAlwaysShowEditor);
    showEditMode(true);
}

void TCatLookupForm::leaveEditMode() {
    if (Catalog.state() == db::DataSetState::Edit || Catalog.state() == db::DataSetState::Insert)
        Catalog.post();
    CatGrid->setOptions((CatGrid->options() & ~TDBGridOptions(dgEditing | dgAlwaysShowEditor)) |
                        dgRowSelect);
    CatGrid->setReadOnly(true);
    GroupGrid->setReadOnly(true);
    showEditMode(false);
}

void TCatLookupForm::showEditMode(bool on) {
    ButtonOK->setEnabled(!on);
    EditBtn->setChecked(on);
}

void TCatLookupForm::CatalogNewRecord(db::DataSet&) {
    CatContMf->setAsString(kDefaultContMarfa);
    CatContChel->setAsString(kDefaultContCheltuieli);
    CatContTVA_I->setAsString(kDefaultContTVAIntrari);
    CatContTVA_E->setAsString(kDefaultContTVAIesiri);
    CatalogCoef_TVA->setAsFloat(kDefaultCoefTVA);
    CatalogCont_venituri->setAsString(kDefaultContVenituri);
    CatalogCont_adaos->setAsString(kDefaultContAdaos);
    CatalogCont_accize->setAsString(kDefaultContAccize);
    CatGrid->setCurrentField(CatalogCod);
}

void TCatLookupForm::CatContMfValidate(db::Field& field) {
    if (IsValidAccountSymbol(field.asString()))
        return;
    ui::messageBox(ui::MessageKind::Warning,
                   QStringLiteral("Introduceti simbolul contului în format 999(9).99(9).99(9) !"));
    base::abortSilently();
}

void TCatLookupForm::CatalogMonedaValidate(db::Field& field) {
    const QString code = field.asString();
    // No currency is a valid choice: the articles of the catalog start without one.
    if (code.isEmpty() || Val.findKey({code}))
        return;
    ui::messageBox(ui::MessageKind::Warning,
                   QStringLiteral("<") + code +
                       QStringLiteral("> nu exista în catalogul de valute!"));
    base::abortSilently();
}

void TCatLookupForm::CatalogBeforePost(db::DataSet&) {
    // A code or name of blanks names nothing, as an empty one.
    if (!CatalogCod->asString().trimmed().isEmpty() && !CatalogDen->asString().trimmed().isEmpty())
        return;
    ui::messageBox(ui::MessageKind::Warning,
                   QStringLiteral("Introduceti atît codul si denumirea!"));
    base::abortSilently();
}

void TCatLookupForm::CatGridKeyPress(char16_t& key) {
    // Outside edit mode the space bar steps through the articles, as Shift+Down does.
    if (key != u' ' || editMode())
        return;
    int down = ui::vk::Down;
    CatGrid->keyDown(down, ui::ShiftKey::Shift);
    key = 0;
}

void TCatLookupForm::CatGridDblClick() {
    // An article typed in edit mode is stored before it is chosen, so that the caller never gets
    // the code of an article that is not in the catalog; a refused one keeps the window open.
    Catalog.checkBrowseMode();
    setModalResult(ui::mrOk);
}

void TCatLookupForm::GroupGridDblClick() {
    toggleGroupMarks();
}

void TCatLookupForm::GroupGridKeyPress(char16_t& key) {
    if (key != u' ' || editMode())
        return;
    key = 0;
    toggleGroupMarks();
}

void TCatLookupForm::toggleGroupMarks() {
    std::optional<ui::CursorGuard> hourglass(std::in_place);
    Catalog.disableControls();
    try {
        TXBookmarkList& marks = CatGrid->selectedRecords();
        try {
            for (Catalog.first(); !Catalog.eof(); Catalog.next())
                marks.setCurrentRecordSelected(!marks.currentRecordSelected());
        } catch (const std::bad_alloc&) {
            // The marks made so far stay.
            hourglass.reset();
            ui::messageBox(ui::MessageKind::Warning,
                           QStringLiteral("Memorie insuficienta! Selectati mai putine articole!"));
        }
        Catalog.first();
    } catch (...) {
        Catalog.enableControls();
        throw;
    }
    Catalog.enableControls();
}
