#pragma once
// The commands of the goods-receipt window that change receipts: a new receipt (Insert or
// "Document nou"), the correction of the selected one (F2 or "Corectare") and its deletion
// (Ctrl+Delete or "Ștergere", after a question whose default answer is No). They open the
// receipt editor or call the receipt posting library, and have the host's windows read the
// company again once something was written.
#include <QObject>
#include <QPointer>

class QPushButton;

namespace host {

class ReceiptEditor;
class ReceiptsForm;

class ReceiptCommands : public QObject {
public:
    // Puts the buttons above the form's grids and its keys on the form.
    explicit ReceiptCommands(ReceiptsForm* form);

    ReceiptEditor* newReceipt();
    // Null (after a message box) when no receipt is selected.
    ReceiptEditor* correctReceipt();
    // False when nothing was deleted (no receipt selected, the question answered No, refused).
    bool deleteReceipt();

private:
    // The counter of the selected receipt, 0 after telling that there is none.
    double selectedCounter();
    ReceiptEditor* open(double counter);
    void written(double counter);

    ReceiptsForm* m_form;
};

} // namespace host
