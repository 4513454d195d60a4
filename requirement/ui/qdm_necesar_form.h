#pragma once
// The requirement sheet "Fisa Necesar Tehnic" of one goods receipt: the raw materials that the
// received products consumed by their recipes, each beside the stock on hand and the stock that
// would remain, corrected by the user and turned into a consumption document. It is built while
// it is created (a sheet whose build failed has shown its error and discards itself: it is
// never shown), shown modally by the receipt window's command, and freed when it closes, which
// also deletes the requirement table.
//
// The window holds controls and messages only: the build, the reading of the lines and the
// generation are the requirement module's widget-free routines.
#include "controls/grid_options.h"
#include "platform/ui/form.h"

#include <QDate>

namespace db {
class DataSource;
class Field;
} // namespace db
namespace ui {
class Button;
class DBNavigator;
class Label;
class Panel;
} // namespace ui
class TColumn;
class TDBGridNormal;
class TNormalCustomDBGrid;
class TQDMDataModule;

class TQDMNecesarForm : public ui::Form {
public:
    // owner: the host's goods-receipt window. Builds the requirement of the receipt whose
    // counter is in DocInContor through QDMDataModule.
    explicit TQDMNecesarForm(QObject* owner);
    ~TQDMNecesarForm() override;

    ui::Panel* Panel2;
    ui::Label* NecTehLbl;
    ui::Label* Label1;
    ui::Label* NrDocLbl;
    ui::Label* Label2;
    ui::Label* DataDocLbl;
    // The receipt lines that yield no requirement (no recipe, or no catalog record under the
    // line's group), named so that nothing is left out unseen; hidden when there are none.
    ui::Label* OmittedLbl;
    ui::DBNavigator* NecesarNavigator;
    ui::Button* GenDocOutBTN;
    // Shows (Ctrl+L too) which stock records the document would take from, writing nothing.
    ui::Button* PreviewBTN;
    // Prints the sheet as it stands, the lines with negative stock in bold.
    ui::Button* PrintBTN;
    ui::Button* BitBtn2;
    ui::Panel* Panel1;
    TDBGridNormal* NecesarGrid;

    // False when the build failed: the sheet has shown its error and discards itself.
    bool isBuilt() const { return m_built; }

    void FormCreate();
    void FormClose(ui::CloseAction& action);
    void NecesarGridKeyPress(char16_t& key);
    void NecesarGridDblClick();
    void NecesarGridDrawColumnCell(TNormalCustomDBGrid& sender, const QRect& rect, int dataCol,
                                   TColumn& column, TGridDrawState state);
    void GenDocOutBTNClick();
    void PreviewBTNClick();
    void FormKeyDown(int& key, ui::ShiftState shift);

private:
    // After a failed build: closes what the build opened, ignoring further errors, and lets the
    // sheet go.
    void discard();
    // Whether the current line's quantity is not the recipe's (or the line is the user's own).
    bool changedQuantity();
    void showAllColumns();
    // The questions before a document is written; each answers true to go on.
    bool confirmAnotherDocument();              // the receipt has a document already
    bool confirmEarlierDate(const QDate& date); // the date is before the receipt's

    TQDMDataModule& m_dm;
    bool m_built = false;
};

// The requirement table's notifications, which the data module hands to the sheet: a state
// change lowers NegativeStockShown; a data change enables the open sheet's GenDocOutBTN exactly
// when the requirement table holds a record.
void TempSourceStateChange(db::DataSource& source);
void TempSourceDataChange(db::DataSource& source, db::Field* field);
