#include "tests/support/company_builder.h"

#include "host/company_schema.h"
#include "platform/db/table.h"

namespace testsupport {

CompanyBuilder::CompanyBuilder(const QString& directory) : m_directory(directory) {
    m_session.addAlias(QStringLiteral("COMPANY"), directory);
    m_database = std::make_unique<db::Database>(QStringLiteral("COMPANY"), &m_session);
    QList<db::TableDef> tables = company::hostTables();
    tables << company::addOnRecipeTable();
    company::createMissingTables(*m_database, tables);
}

CompanyBuilder::~CompanyBuilder() = default;

void CompanyBuilder::insert(const QString& table, const QList<QPair<QString, QVariant>>& values) {
    db::Table t(table);
    t.setSession(&m_session);
    t.setDatabaseName(QStringLiteral("COMPANY"));
    t.setTableName(table);
    t.open();
    t.append();
    for (const auto& [field, value] : values)
        t.fieldByName(field)->setValue(value);
    t.post();
}

CompanyBuilder& CompanyBuilder::article(const QString& grupa, const QString& cod,
                                        const QString& denumire, double cantReteta) {
    insert(QStringLiteral("CATALOG.DB"),
           {{"Grupa", grupa},
            {"Cod", cod},
            {"Denumire", denumire.isEmpty() ? cod : denumire},
            {"Unitate_masura", QStringLiteral("buc")},
            {"Cont_marfa", QStringLiteral("301")},
            {"Cont_cheltuieli", QStringLiteral("601")},
            {"Cont_TVA_Iesiri", QStringLiteral("4427")},
            {"CantReteta", cantReteta < 0 ? QVariant() : QVariant(cantReteta)}});
    return *this;
}

CompanyBuilder& CompanyBuilder::recipe(const QString& product, const QString& materialGroup,
                                       const QString& material, double qty) {
    insert(QStringLiteral("Reteta.DB"), {{"Cod", product},
                                         {"Cod_MatPrim", material},
                                         {"Cod_Grupa", materialGroup},
                                         {"Cant_MatPrim", qty}});
    return *this;
}

CompanyBuilder& CompanyBuilder::stock(const QString& gestiune, const QString& grupa,
                                      const QString& cod, const QString& lot, double pret,
                                      double cantitate) {
    insert(QStringLiteral("Stoc.DB"), {{"Cod_gestiune", gestiune},
                                       {"Cod_grupa", grupa},
                                       {"Cod_articol", cod},
                                       {"Lot", lot},
                                       {"Pret_achizitie", pret},
                                       {"Cantitate", cantitate}});
    return *this;
}

CompanyBuilder& CompanyBuilder::receipt(double contor, double numar, const QString& tip,
                                        const QDate& data) {
    insert(QStringLiteral("Doc_in.DB"), {{"Contor", contor},
                                         {"Numar", numar},
                                         {"Tip", tip},
                                         {"Data", data},
                                         {"Data_inregistrarii", data}});
    return *this;
}

CompanyBuilder& CompanyBuilder::outputDocument(double contor, double numar, const QString& tip,
                                               const QDate& data, const QString& explicatie) {
    insert(QStringLiteral("Doc_out.DB"), {{"Contor", contor},
                                          {"Numar", numar},
                                          {"Tip", tip},
                                          {"Data", data},
                                          {"Data_inregistrarii", data},
                                          {"Explicatie", explicatie}});
    return *this;
}

CompanyBuilder& CompanyBuilder::outputLine(double contor, double line, const QString& gestiune,
                                           const QString& grupa, const QString& cod,
                                           const QString& lot, double cantitate, double pret) {
    insert(QStringLiteral("Item_out.DB"), {{"Contor", contor},
                                           {"Contor_secundar", line},
                                           {"Cod_gestiune", gestiune},
                                           {"Cod_grupa", grupa},
                                           {"Cod_articol", cod},
                                           {"Lot", lot},
                                           {"Cantitate", cantitate},
                                           {"Pret_achizitie", pret},
                                           {"Pret_vinzare", pret}});
    return *this;
}

CompanyBuilder& CompanyBuilder::receiptLine(double contor, double line, const QString& grupa,
                                            const QString& cod, double cantitate,
                                            const QString& gestiune) {
    insert(QStringLiteral("Item_in.DB"), {{"Contor", contor},
                                          {"Contor_secundar", line},
                                          {"Cod_gestiune", gestiune},
                                          {"Cod_grupa", grupa},
                                          {"Cod_articol", cod},
                                          {"Cantitate", cantitate}});
    return *this;
}

CompanyBuilder& CompanyBuilder::counter(double newCounterOut) {
    insert(QStringLiteral("COUNTER.DB"), {{"NewCounterOut", newCounterOut}, {"NewCounterIn", 0.0}});
    return *this;
}

CompanyBuilder& CompanyBuilder::articleClass(const QString& code, const QString& name) {
    insert(QStringLiteral("Materiale.db"), {{"Cod_material", code}, {"Denumire", name}});
    return *this;
}

CompanyBuilder& CompanyBuilder::articleGroup(const QString& classCode, const QString& code,
                                             const QString& name) {
    insert(QStringLiteral("Grup.DB"),
           {{"Cod_material", classCode}, {"Cod_grupa", code}, {"Denumire", name}});
    return *this;
}

CompanyBuilder& CompanyBuilder::currency(const QString& code, const QString& name) {
    insert(QStringLiteral("VALUTA.DB"), {{"Cod_valuta", code}, {"Denumire", name}});
    return *this;
}

} // namespace testsupport
