#pragma once
// The catalog window "Selectie de articole": the host's article catalog browsed by class, group
// and article, in which a person picks an article for the recipe editor or the requirement sheet
// and may add and correct articles on the spot.
//
// The window works on the host's catalog tables directly through its own datasets on the alias
// MAGNIS: the classes ("Materiale.db") and groups ("Grup.DB") read-only, the groups following
// the current class, the articles ("CATALOG.DB") following the current group, and the currencies
// ("VALUTA.DB") for key look-ups only.
//
// States: browse (the article grid read-only with whole-row selection, OK enabled, EditBtn up)
// and edit mode (the article grid editable with its cell editor shown, OK disabled, EditBtn down).
// Edit mode is entered by EditBtn, or at creation when the first class has no groups; it is left
// by EditBtn once the pending article was posted. The column layouts of the group and article
// grids are written to "catlook.cfg" in the user's private directory at every close.
#include "platform/db/data_source.h"
#include "platform/db/table.h"
#include "platform/ui/form.h"

#include <memory>

namespace ui {
class Button;
class ComboBox;
class Edit;
class Label;
class SpeedButton;
} // namespace ui

class TCustomFileStraam;
class TDBGridNormal;

class TCatLookupForm : public ui::Form {
public:
    // Creates the window owned by owner and runs its creation. A failure there discards the
    // window and is thrown: ui::StreamError when "catlook.cfg" can be neither opened nor
    // created, base::Abort after the error box when the catalog's tables cannot be opened.
    static TCatLookupForm* create(QObject* owner);
    ~TCatLookupForm() override;

    // Moves the class list to the class owning the group, the group list to the group and the
    // article list to the article of that group; falls back to the first class and group when
    // the group is unknown or empty. An article not found leaves the article list where it was.
    void positionOn(const QString& groupCode, const QString& articleCode);

    // The code of the current group and of the current article (empty when there is none).
    QString currentGroupCode() const;
    QString currentArticleCode() const;
    // On while the article grid allows editing.
    bool editMode() const;

    // Datasets and their sources.
    db::Table TMateriale;
    db::Table Group;
    db::Table Catalog;
    db::Table Val;
    db::DataSource DSMateriale{&TMateriale, QStringLiteral("DSMateriale")};
    db::DataSource DSGroup{&Group, QStringLiteral("DSGroup")};
    db::DataSource CatDataSource{&Catalog, QStringLiteral("CatDataSource")};

    // Fields of Group.
    db::Field* GroupCode;
    db::Field* GroupDenumire;
    // Fields of Catalog.
    db::Field* CatalogGrupa;
    db::Field* CatalogCod;
    db::Field* CatalogDen;
    db::Field* CatalogDescriere;
    db::Field* CatalogUM;
    db::Field* CatalogPret;
    db::Field* CatalogMoneda;
    db::Field* CatalogCoef_TVA;
    db::Field* CatalogCoef_accize;
    db::Field* CatContMf;
    db::Field* CatContChel;
    db::Field* CatContTVA_I;
    db::Field* CatContTVA_E;
    db::Field* CatalogCont_accize;
    db::Field* CatalogCont_adaos;
    db::Field* CatalogCont_venituri;
    db::Field* CatalogStock_minim;

    // Controls.
    TDBGridNormal* MatGrid;
    TDBGridNormal* GroupGrid;
    TDBGridNormal* CatGrid;
    ui::Label* IndexLabel;
    ui::ComboBox* IndexComboBox;
    ui::Label* SearchLabel;
    ui::Edit* SearchEdit;
    ui::Button* ButtonOK;
    ui::Button* ButtonCancel;
    ui::SpeedButton* EditBtn;

    // Handlers.
    void FormCreate();
    void FormClose(ui::CloseAction& action);
    void IndexComboBoxChange();
    void SearchEditChange();
    void EditBtnClick();
    void CatalogNewRecord(db::DataSet& dataSet);
    void CatContMfValidate(db::Field& field);
    void CatalogMonedaValidate(db::Field& field);
    void CatalogBeforePost(db::DataSet& dataSet);
    void CatGridKeyPress(char16_t& key);
    void CatGridDblClick();
    void GroupGridDblClick();
    void GroupGridKeyPress(char16_t& key);

private:
    explicit TCatLookupForm(QObject* owner);

    void declareFields();
    void buildControls();
    void enterEditMode();
    void leaveEditMode();
    void showEditMode(bool on);
    // Reverses the mark of every article of the current group in the article grid.
    void toggleGroupMarks();

    std::unique_ptr<TCustomFileStraam> m_layoutStream;
    std::exception_ptr m_createFailure;
};
