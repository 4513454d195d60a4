#include "host/stock_form.h"

#include "host/company_environment.h"
#include "host/record_grid.h"
#include "platform/base/cp1250.h"
#include "platform/db/table_name.h"
#include "platform/ui/edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

namespace host {

using db::FieldType;

StockForm::StockForm(QWidget* mainWindow) : HostForm(mainWindow) {
    setName(QStringLiteral("StocForm"));
    setCaption(QStringLiteral("Stoc"));

    placeCatalog(m_catalog);

    placeTable(m_stock, "Stoc.DB");
    addColumn(m_stock, "Cod_gestiune", FieldType::Text, 4, "Gestiune", 6);
    addColumn(m_stock, "Cod_grupa", FieldType::Text, 8, "Grupa", 6);
    addColumn(m_stock, "Cod_articol", FieldType::Text, 30, "Cod articol", 16);
    showAs(m_stock.addLookupField(QStringLiteral("Denumire"), 255, &m_catalog,
                                  QStringLiteral("Cod_grupa;Cod_articol"),
                                  QStringLiteral("Grupa;Cod"), QStringLiteral("Denumire")),
           "Denumire", 30);
    addColumn(m_stock, "Lot", FieldType::Text, 30, "Lot", 9);
    addColumn(m_stock, "Cantitate", FieldType::Float, 0, "Cantitate", 9);
    addColumn(m_stock, "Pret_achizitie", FieldType::Float, 0, "Preț achiziție", 10);
    showAs(m_stock.addCalculatedField(QStringLiteral("Valoare"), FieldType::Float), "Valoare (lei)",
           11);
    m_stock.onCalcFields = [](db::DataSet& d) {
        d.fieldByName(QStringLiteral("Valoare"))
            ->setAsFloat(d.fieldByName(QStringLiteral("Cantitate"))->asFloat() *
                         d.fieldByName(QStringLiteral("Pret_achizitie"))->asFloat());
    };

    m_totalQuery.setDatabaseName(QString::fromLatin1(kCompanyAlias));

    m_grid = new RecordGrid(&m_stockSource, this);
    m_grid->setObjectName(QStringLiteral("StocGrid"));
    m_grid->setStretchField(QStringLiteral("Denumire"));
    for (const char* money : {"Pret_achizitie", "Valoare"})
        m_grid->setDecimals(QString::fromLatin1(money), 2);
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("StocTotal"));

    auto* filters = new QHBoxLayout;
    auto filterBox = [&](const QString& title, const char* name, int length) {
        auto* edit = new ui::Edit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(length);
        edit->setClearButtonEnabled(true);
        edit->setToolTip(QStringLiteral("Se arată înregistrările al căror cod începe cu textul "
                                        "scris aici (literele mari și mici contează)."));
        auto* label = new QLabel(title, this);
        label->setBuddy(edit);
        filters->addWidget(label);
        filters->addWidget(edit, 1);
        edit->onChange = [this] { applyFilter(); };
        // Down leaves the boxes for the records they show.
        edit->installEventFilter(this);
        return edit;
    };
    m_warehouseFilter = filterBox(QStringLiteral("Gestiune:"), "StocFiltruGestiune", 4);
    m_groupFilter = filterBox(QStringLiteral("Grupa:"), "StocFiltruGrupa", 8);
    m_articleFilter = filterBox(QStringLiteral("Cod articol:"), "StocFiltruArticol", 30);
    filters->addStretch(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(filters);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_total);

    setFormStyle(ui::FormStyle::MdiChild);
    fitInto(900, 520);
    m_catalog.open();
    m_stock.open();
    showTotal();
    created();
}

StockForm::~StockForm() {
    m_stock.close();
    m_catalog.close();
}

void StockForm::refreshData() {
    m_stock.refresh();
    showTotal();
}

QList<db::Table::Prefix> StockForm::filterPrefixes() const {
    return {{QStringLiteral("Cod_gestiune"), m_warehouseFilter->text().trimmed()},
            {QStringLiteral("Cod_grupa"), m_groupFilter->text().trimmed()},
            {QStringLiteral("Cod_articol"), m_articleFilter->text().trimmed()}};
}

void StockForm::applyFilter() {
    const QList<db::Table::Prefix> prefixes = filterPrefixes();
    // Without a warehouse, group and article lead: the records are then read in the order of
    // the (group, article) index, whose range the condition is.
    const bool byWarehouse =
        !prefixes[0].text.isEmpty() || (prefixes[1].text.isEmpty() && prefixes[2].text.isEmpty());
    m_stock.setPrefixCondition(prefixes);
    m_stock.setIndexFieldNames(byWarehouse ? QString() : QStringLiteral("Cod_grupa;Cod_articol"));
    showTotal();
}

bool StockForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down &&
        (watched == m_warehouseFilter || watched == m_groupFilter || watched == m_articleFilter)) {
        m_grid->setFocus();
        return true;
    }
    return HostForm::eventFilter(watched, event);
}

void StockForm::showTotal() {
    // The same ranges the table reads, so that the figures are those of the records in view.
    QStringList conds;
    QList<std::pair<QString, QString>> binds;
    for (const db::Table::Prefix& p : filterPrefixes()) {
        const QString from = base::cp1250::normalize(p.text);
        if (from.isEmpty())
            continue;
        const QString column = db::quoteIdentifier(p.field);
        const QString name = QStringLiteral("p%1").arg(binds.size());
        conds << QStringLiteral("%1 >= :%2").arg(column, name);
        binds << std::pair{name, from};
        const QString end = db::prefixEnd(from);
        if (!end.isEmpty()) {
            const QString endName = QStringLiteral("p%1").arg(binds.size());
            conds << QStringLiteral("%1 < :%2").arg(column, endName);
            binds << std::pair{endName, end};
        }
    }
    m_totalQuery.close();
    m_totalQuery.setSqlText(
        QStringLiteral("SELECT COUNT(*) AS Inregistrari, SUM(Cantitate * Pret_achizitie) AS "
                       "Valoare FROM Stoc") +
        (conds.isEmpty() ? QString()
                         : QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "))));
    for (const auto& [name, value] : binds)
        m_totalQuery.paramByName(name).setAsString(value);
    m_totalQuery.open();
    const int records = m_totalQuery.field(0)->asInteger();
    const double value = m_totalQuery.field(1)->asFloat();
    m_totalQuery.close();
    m_total->setText(QStringLiteral("%1 înregistrări de stoc, valoare totală %2 lei")
                         .arg(formatFixed(records, 0))
                         .arg(formatFixed(value, 2)));
}

} // namespace host
