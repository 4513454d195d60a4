#pragma once
// The lines of a receipt being entered: an editable table that holds them in memory until the
// receipt is posted. Keyboard first: typing in a cell edits it, Tab and Enter go to the next
// cell (past the last one a new line is started), Insert adds a line, Ctrl+Delete removes the
// current one, and F4 or Ctrl+Enter on the group, code or name opens the catalog's pick list.
// A code typed alone takes its group from the catalog when only one group has it; the name
// column shows the catalog's name of the article, or says it is not in the catalog.
#include "host/receipt_posting.h"

#include <QTableWidget>

#include <functional>

namespace host {

class ReceiptLinesTable : public QTableWidget {
public:
    enum Column { Group, Article, Name, Warehouse, Lot, Quantity, Price, Vat, ColumnCount };

    explicit ReceiptLinesTable(QWidget* parent = nullptr);

    // The lines as typed, blank ones included (the posting leaves them out).
    QList<receipts::ReceiptLine> lines() const;
    void setLines(const QList<receipts::ReceiptLine>& lines);

    // Appends a line and puts the cursor on its group.
    void addLine();
    void removeCurrentLine();
    // Opens the pick list for the current line and puts the choice into it.
    void pickArticle();

    // The catalog's name of an article, or a null text when it is not there.
    std::function<QString(const QString& group, const QString& code)> nameOf;
    // The group of a code when exactly one group of the catalog has it, else an empty text.
    std::function<QString(const QString& code)> groupOf;
    // The pick list: group and code in and out; false when nothing was chosen.
    std::function<bool(QString& group, QString& code)> pick;
    // Something was typed, added or removed.
    std::function<void()> onChanged;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    void cellChanged(int row, int column);
    void fillName(int row);
    // The next editable cell after (row, column), starting a new line past the last one.
    QModelIndex nextCell(int row, int column);

    bool m_filling = false;
};

} // namespace host
