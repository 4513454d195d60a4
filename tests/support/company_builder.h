#pragma once
// Builds a company database on disk from a short description, for unit, GUI and benchmark
// code alike: every host table plus the recipe table, then articles, recipes, stock and
// receipts added one call at a time.
//
//   testsupport::CompanyBuilder company(dir.path());
//   company.article("PF", "PF01", "Paine", 10).recipe("PF01", "MAT", "M100", 2)
//          .stock("01", "MAT", "M100", "L1", 1.5, 4).receipt(7, 15, "A1", {2024, 3, 12})
//          .receiptLine(7, 1, "PF", "PF01", 20);
#include "platform/db/database.h"
#include "platform/db/session.h"

#include <QDate>
#include <memory>

namespace testsupport {

class CompanyBuilder {
public:
    // session: the session in which the alias "COMPANY" is defined for the builder's own use.
    explicit CompanyBuilder(const QString& directory);
    ~CompanyBuilder();

    db::Database& database() { return *m_database; }
    const QString& directory() const { return m_directory; }

    // cantReteta < 0 leaves the batch quantity empty.
    CompanyBuilder& article(const QString& grupa, const QString& cod,
                            const QString& denumire = QString(), double cantReteta = -1);
    CompanyBuilder& recipe(const QString& product, const QString& materialGroup,
                           const QString& material, double qty);
    CompanyBuilder& stock(const QString& gestiune, const QString& grupa, const QString& cod,
                          const QString& lot, double pret, double cantitate);
    CompanyBuilder& receipt(double contor, double numar, const QString& tip, const QDate& data);
    CompanyBuilder& receiptLine(double contor, double line, const QString& grupa,
                                const QString& cod, double cantitate,
                                const QString& gestiune = QStringLiteral("PF"));
    CompanyBuilder& counter(double newCounterOut);
    // An output document and its lines, as a consumption document's generation writes them.
    CompanyBuilder& outputDocument(double contor, double numar, const QString& tip,
                                   const QDate& data, const QString& explicatie);
    CompanyBuilder& outputLine(double contor, double line, const QString& gestiune,
                               const QString& grupa, const QString& cod, const QString& lot,
                               double cantitate, double pret);
    // The article classes and groups the catalog window browses the articles by, and currencies.
    CompanyBuilder& articleClass(const QString& code, const QString& name);
    CompanyBuilder& articleGroup(const QString& classCode, const QString& code,
                                 const QString& name);
    CompanyBuilder& currency(const QString& code, const QString& name);

private:
    void insert(const QString& table, const QList<QPair<QString, QVariant>>& values);
    QString m_directory;
    db::Session m_session;
    std::unique_ptr<db::Database> m_database;
};

} // namespace testsupport
