#include "host/receipt_lines_table.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace host {

namespace {

const QStringList kTitles = {QStringLiteral("Grupa"),      QStringLiteral("Cod articol"),
                             QStringLiteral("Denumire"),   QStringLiteral("Gestiune"),
                             QStringLiteral("Lot"),        QStringLiteral("Cantitate"),
                             QStringLiteral("Preț (lei)"), QStringLiteral("TVA (lei)")};
// Widths in characters.
constexpr int kWidths[] = {7, 14, 30, 8, 12, 10, 10, 10};

const QString kNotInCatalog = QStringLiteral("— nu este în catalog —");

// Enter in a cell being edited keeps what was typed and goes on to edit the next cell, as Tab.
class NextOnEnter : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool plain = !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier);
            if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                auto* editor = static_cast<QWidget*>(object);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

} // namespace

ReceiptLinesTable::ReceiptLinesTable(QWidget* parent) : QTableWidget(0, ColumnCount, parent) {
    setHorizontalHeaderLabels(kTitles);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setItemDelegate(new NextOnEnter(this));
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, kWidths[c] * ch + 12);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    connect(this, &QTableWidget::cellChanged, this, [this](int r, int c) { cellChanged(r, c); });
}

QString ReceiptLinesTable::text(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void ReceiptLinesTable::setText(int row, int column, const QString& value) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        if (column == Name)
            it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        if (column >= Quantity)
            it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row, column, it);
    }
    it->setText(value);
}

QList<receipts::ReceiptLine> ReceiptLinesTable::lines() const {
    QList<receipts::ReceiptLine> out;
    for (int r = 0; r < rowCount(); ++r) {
        receipts::ReceiptLine l{text(r, Group),    text(r, Article), QString(),   text(r, Lot),
                                text(r, Quantity), text(r, Price),   text(r, Vat)};
        // A line started and left untouched holds only the warehouse it took from the line
        // above: it is blank.
        if (!l.isBlank())
            l.warehouse = text(r, Warehouse);
        out << l;
    }
    return out;
}

void ReceiptLinesTable::setLines(const QList<receipts::ReceiptLine>& lines) {
    m_filling = true;
    setRowCount(0);
    for (const receipts::ReceiptLine& l : lines) {
        const int r = rowCount();
        insertRow(r);
        for (int c = 0; c < ColumnCount; ++c)
            setText(r, c, QString());
        setText(r, Group, l.group);
        setText(r, Article, l.article);
        setText(r, Warehouse, l.warehouse);
        setText(r, Lot, l.lot);
        setText(r, Quantity, l.quantity);
        setText(r, Price, l.price);
        setText(r, Vat, l.vat);
        fillName(r);
    }
    m_filling = false;
}

void ReceiptLinesTable::addLine() {
    const int r = rowCount();
    m_filling = true;
    insertRow(r);
    for (int c = 0; c < ColumnCount; ++c)
        setText(r, c, QString());
    // A new line takes the warehouse of the one above: a receipt mostly goes to one warehouse.
    if (r > 0)
        setText(r, Warehouse, text(r - 1, Warehouse));
    m_filling = false;
    setCurrentCell(r, Group);
    if (onChanged)
        onChanged();
}

void ReceiptLinesTable::removeCurrentLine() {
    if (currentRow() < 0)
        return;
    removeRow(currentRow());
    if (onChanged)
        onChanged();
}

void ReceiptLinesTable::pickArticle() {
    if (!pick)
        return;
    if (currentRow() < 0)
        addLine();
    const int r = currentRow();
    QString group = text(r, Group).trimmed();
    QString code = text(r, Article).trimmed();
    if (!pick(group, code))
        return;
    m_filling = true;
    setText(r, Group, group);
    setText(r, Article, code);
    m_filling = false;
    fillName(r);
    setCurrentCell(r, Warehouse);
    if (onChanged)
        onChanged();
}

void ReceiptLinesTable::cellChanged(int row, int column) {
    if (m_filling)
        return;
    if (column == Article && text(row, Group).trimmed().isEmpty() && groupOf) {
        const QString group = groupOf(text(row, Article).trimmed());
        if (!group.isEmpty()) {
            m_filling = true;
            setText(row, Group, group);
            m_filling = false;
        }
    }
    if (column == Group || column == Article)
        fillName(row);
    if (onChanged)
        onChanged();
}

void ReceiptLinesTable::fillName(int row) {
    const QString group = text(row, Group).trimmed();
    const QString code = text(row, Article).trimmed();
    QString name;
    if (!code.isEmpty() && nameOf) {
        name = nameOf(group, code);
        if (name.isNull())
            name = kNotInCatalog;
    }
    const bool was = m_filling;
    m_filling = true;
    setText(row, Name, name);
    m_filling = was;
}

QModelIndex ReceiptLinesTable::nextCell(int row, int column) {
    int c = column + 1;
    if (c == Name)
        ++c;
    if (c < ColumnCount)
        return model()->index(row, c);
    if (row + 1 >= rowCount()) {
        addLine();
        return model()->index(rowCount() - 1, Group);
    }
    return model()->index(row + 1, Group);
}

QModelIndex ReceiptLinesTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex here = currentIndex();
    if (action == MoveNext && here.isValid())
        return nextCell(here.row(), here.column());
    if (action == MovePrevious && here.isValid()) {
        int c = here.column() - 1;
        if (c == Name)
            --c;
        if (c >= 0)
            return model()->index(here.row(), c);
        if (here.row() > 0)
            return model()->index(here.row() - 1, Vat);
        return here;
    }
    return QTableWidget::moveCursor(action, modifiers);
}

void ReceiptLinesTable::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    const int column = currentColumn();
    const bool onArticle = column == Group || column == Article || column == Name;
    if (key == Qt::Key_F4 || (ctrl && (key == Qt::Key_Return || key == Qt::Key_Enter))) {
        if (onArticle || currentRow() < 0)
            pickArticle();
        event->accept();
        return;
    }
    if (key == Qt::Key_Insert && !ctrl) {
        addLine();
        event->accept();
        return;
    }
    if (key == Qt::Key_Delete && ctrl) {
        removeCurrentLine();
        event->accept();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && state() != EditingState) {
        if (currentIndex().isValid())
            setCurrentIndex(nextCell(currentRow(), currentColumn()));
        else
            addLine();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

} // namespace host
