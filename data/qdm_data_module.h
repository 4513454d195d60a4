#pragma once
// The production data module: the one owner of every dataset the production functions use —
// the recipe table, the host's catalog, receipts, stock, counters and output documents, the
// per-user requirement table, the three queries, the batch mover and the connection GhostDB
// that defines the alias KRVPROD. Windows reach the data only through it.
//
// Nothing is open when it is created; each window opens what it needs. The connection is
// given its real directory by the host (VelAddOnChangeDB) before any window can open.
#include "platform/db/batch_move.h"
#include "platform/db/data_source.h"
#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/table.h"

#include <QHash>

#include <functional>

class TQDMDataModule {
public:
    // session: the engine session that resolves the aliases (this side's own when null).
    explicit TQDMDataModule(db::Session* session = nullptr);
    ~TQDMDataModule();
    TQDMDataModule(const TQDMDataModule&) = delete;
    TQDMDataModule& operator=(const TQDMDataModule&) = delete;

    // The connection: alias "KRVPROD", driver "STANDARD", one parameter "PATH=<directory>".
    db::Database GhostDB;

    db::Table RetetaTable{QStringLiteral("RetetaTable")};
    db::Table CatalogTable{QStringLiteral("CatalogTable")};
    db::Table CatalogTable1{QStringLiteral("CatalogTable1")};
    db::Table CatalogTable2{QStringLiteral("CatalogTable2")};
    db::Table DocInTable{QStringLiteral("DocInTable")};
    db::Table ItemInTable{QStringLiteral("ItemInTable")};
    db::Table StocTable{QStringLiteral("StocTable")};
    db::Table CounterTable{QStringLiteral("CounterTable")};
    db::Table DocOutTable{QStringLiteral("DocOutTable")};
    db::Table ItemOutTable{QStringLiteral("ItemOutTable")};
    db::Table TempTable{QStringLiteral("TempTable")};

    db::Query CalcNecesQuery{QStringLiteral("CalcNecesQuery")};
    db::Query CalcNecesQuery2{QStringLiteral("CalcNecesQuery2")};
    db::Query ExtragReteta{QStringLiteral("ExtragReteta")};

    db::BatchMove TempBatchMove;

    db::DataSource RetetaSource{&RetetaTable, QStringLiteral("RetetaSource")};
    db::DataSource CatalogSource{&CatalogTable, QStringLiteral("CatalogSource")};
    db::DataSource DocInSource{&DocInTable, QStringLiteral("DocInSource")};
    db::DataSource ItemInSource{&ItemInTable, QStringLiteral("ItemInSource")};
    db::DataSource CalcNecesSource{&CalcNecesQuery, QStringLiteral("CalcNecesSource")};
    db::DataSource TempSource{&TempTable, QStringLiteral("TempSource")};
    db::DataSource StocSource{&StocTable, QStringLiteral("StocSource")};
    db::DataSource CounterSource{&CounterTable, QStringLiteral("CounterSource")};
    db::DataSource DocOutSource{&DocOutTable, QStringLiteral("DocOutSource")};
    db::DataSource ItemOutSource{&ItemOutTable, QStringLiteral("ItemOutSource")};

    // Fields the rules and windows name directly.
    db::Field* RetetaTableCod_Grupa;
    db::Field* RetetaTableCod;
    db::Field* RetetaTableCod_MatPrim;
    db::Field* RetetaTableCant_MatPrim;
    db::Field* RetetaTableDenMat_Prim;
    db::Field* CatalogTableCantReteta;
    db::Field* CounterTableNewCounterOut;
    db::Field* TempTableCod_grupa;
    db::Field* TempTableCod_MatPrim;
    db::Field* TempTableDenumire;
    db::Field* TempTableCant;
    db::Field* TempTableStocExist;
    db::Field* TempTableStocFin;
    // The recipe's quantity of the line (empty for a line the recipes did not give).
    db::Field* TempTableCantReteta;

    // The recipe's quantity of every requirement line as the last build computed it, before any
    // correction, by "<group>\n<code>"; empty when no requirement is built.
    QHash<QString, double> TempRecipeQuantities;

    // Rules attached to the datasets.
    void CatalogTableFilterRecord(db::DataSet& dataSet, bool& accept);
    void CatalogTable1FilterRecord(db::DataSet& dataSet, bool& accept);
    void CatalogTable2FilterRecord(db::DataSet& dataSet, bool& accept);
    void StocTableFilterRecord(db::DataSet& dataSet, bool& accept);
    void RetetaTableBeforePost(db::DataSet& dataSet);
    void RetetaTableCod_MatPrimValidate(db::Field& field);
    void TempTableBeforePost(db::DataSet& dataSet);
    void TempTableCod_MatPrimValidate(db::Field& field);
    void TempTableCalcFields(db::DataSet& dataSet);

    // Handlers that serve windows; the requirement sheet and the recipe editor set them.
    std::function<void(db::DataSource&)> TempSourceStateChange;
    std::function<void(db::DataSource&, db::Field*)> TempSourceDataChange;
    std::function<void(db::DataSource&, db::Field*)> CatalogSourceDataChange;

    // Shows a rule's warning box (caption "Warning", one OK button). The module's windows
    // connect it to the toolkit's message box; without it the warning is not shown.
    std::function<void(const QString&)> showWarning;

    // Every dataset, in declaration order.
    QList<db::DataSet*> dataSets();

private:
    void defineTables();
    void defineQueries();
    void attachRules();
};

// The single instance, empty until the menu-carrier module creates it.
extern TQDMDataModule* QDMDataModule;
