#pragma once
// The window in which one goods receipt is entered or corrected: its type ("NIR" a purchase,
// "BPF" a production receipt), number, date, supplier or section ("Furnizor"), explanation,
// and its lines. Nothing is written until "Validare" (or Ctrl+S) posts it through the receipt
// posting library, all at once; a refusal is shown in a message box and the receipt stays as
// typed. Closing a receipt that was changed and not posted asks whether to drop it.
#include "host/host_form.h"
#include "platform/db/table.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDateEdit;

namespace host {

class ReceiptLinesTable;

class ReceiptEditor : public HostForm {
public:
    // counter 0: a new receipt; else the posted receipt of that counter, to correct. Throws
    // base::Error when that receipt is not there.
    ReceiptEditor(QWidget* mainWindow, double counter);
    ~ReceiptEditor() override;

    // Posts the receipt; false (after the message box) when it was refused or failed.
    bool post();

    double counter() const { return m_counter; }
    bool isModified() const { return m_modified; }

    QComboBox* typeBox() const { return m_type; }
    QLineEdit* numberEdit() const { return m_number; }
    TDateEdit* dateEdit() const { return m_date; }
    QLineEdit* supplierEdit() const { return m_supplier; }
    QLineEdit* explanationEdit() const { return m_explanation; }
    ReceiptLinesTable* linesTable() const { return m_lines; }
    QPushButton* postButton() const { return m_postButton; }

    // Run after a successful post with the receipt's counter.
    std::function<void(double counter)> onPosted;

    void refreshData() override {}

private:
    void changed();
    void updateTotal();
    QString articleName(const QString& group, const QString& code);
    QString articleGroup(const QString& code);

    double m_counter;
    bool m_modified = false;
    bool m_posted = false;
    db::Table m_catalog{QStringLiteral("CatalogByKey")};
    db::Table m_codes{QStringLiteral("CatalogByCode")};
    QComboBox* m_type;
    QLineEdit* m_number;
    TDateEdit* m_date;
    QLineEdit* m_supplier;
    QLineEdit* m_explanation;
    ReceiptLinesTable* m_lines;
    QLabel* m_total;
    QPushButton* m_postButton;
};

} // namespace host
