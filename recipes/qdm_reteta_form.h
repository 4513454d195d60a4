#pragma once
// The recipe editor "Reteta": an MDI child of the host's main window in which the user keeps,
// for each finished or semi-finished product of the catalog, its recipe lines (raw material,
// group and quantity) and its batch quantity, and copies whole recipes between products. It
// keeps no data of its own: it shows and edits the production data module's products
// (CatalogTable), raw materials (CatalogTable2) and recipe lines (RetetaTable), under the
// module's rules. At most one editor exists; QDMRetetaForm refers to it while it is open.
#include "platform/ui/form.h"

#include <QString>

class TDBGridNormal;
namespace db {
class DataSource;
}
namespace ui {
class ComboBox;
class DBEdit;
class DBNavigator;
class Label;
class Menu;
class MenuItem;
} // namespace ui

class TQDMRetetaForm : public ui::Form {
public:
    // Creates the editor as a child of the application's main window. Null when its creation
    // failed: the error has been shown and the window discarded.
    static TQDMRetetaForm* create();

    // owner: the window whose MDI area holds the editor. Throws base::Error without the
    // production data module or without an MDI area.
    explicit TQDMRetetaForm(QObject* owner);
    ~TQDMRetetaForm() override;

    bool creationFailed() const { return m_creationFailed; }

    TDBGridNormal* KDMCatalogGrid;
    ui::Label* Label1; // "Sorteaza produsele finite dupa:"
    ui::ComboBox* OrderCombo;
    ui::Label* Cautlbl;
    ui::Label* Label2; // "Cantitatea de produs finit"
    ui::Label* Label3; // "rezultata conform retetarului :"
    ui::DBEdit* CantRetetaCBox;
    ui::DBNavigator* RetetaNavigator;
    TDBGridNormal* KDMRetetaGrid;
    ui::Menu* RetetaPopup;
    ui::MenuItem* RetetaPopCopy;
    ui::MenuItem* RetetaPopPaste;
    ui::MenuItem* RetetaPopCancel;

    // The data source the navigator serves: the products or the recipe lines, whichever grid
    // had the focus last; null until one of them gets it.
    db::DataSource* NavigatorSource = nullptr;
    // The product whose recipe "Copiaza reteta" marked; kept after a paste.
    QString CopySourceCode;

    void FormCreate();
    void FormClose(ui::CloseAction& action);
    void FormKeyDown(int& key, ui::ShiftState shift);
    void OrderComboChange();
    void KDMCatalogGridEnter();
    void KDMRetetaGridEnter();
    void KDMRetetaGridKeyPress(char16_t& key);
    void KDMRetetaGridDblClick();
    void CantRetetaCBoxExit();
    void RetetaPopCopyClick();
    void RetetaPopPasteClick();
    void RetetaPopCancelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // Closes the editor's tables; a database error is shown and the others are closed still.
    void closeTables();
    // Shows "Eroare de acces la baza de date!" with the engine's message.
    static void showDatabaseError(const QString& engineMessage);
    static bool isBatchQuantityRefused(const QString& text);
    // Warns that the batch quantity is empty or 0 and puts the focus back in its box.
    void refuseBatchQuantity();

    // The batch quantity box's text as it was when the focus left it, before the field took
    // it and the box showed it again in the field's own format.
    QString m_quantityLeft;
    bool m_creationFailed = false;
    bool m_closing = false;
};
