// The consumption document's arithmetic on random stock and requirement. A scratch company has
// one finished product P1 (batch 10) whose recipe takes the raw materials M1..M4, and receipt 1
// of P1. The input sets the receipt's quantity (first byte), the recipe's quantities (next four)
// and then up to 32 stock records, four bytes each (material, warehouse and lot; price; quantity,
// tiny ones near the tolerance included). Rules, after the requirement is built and the document
// generated: every stock record lost exactly what the document's lines took from it (the stock
// plus what was issued is conserved), no line is of zero, no record the document touched is left
// holding no more than the tolerance, and for every material the quantity issued plus the
// quantity reported not issued is the requirement.
#include "data/qdm_data_module.h"
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/session.h"
#include "platform/store/registry_store.h"
#include "requirement/consumption_document.h"
#include "requirement/requirement_build.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/company_builder.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

namespace {

constexpr double kTolerance = 0.000001;
const char* const kMaterials[] = {"M1", "M2", "M3", "M4"};
const char* const kWarehouses[] = {"G01", "G02", "PF1", "G01"};

class ScratchCompany {
public:
    ScratchCompany()
        : m_company(m_temp.filePath(QStringLiteral("firma"))),
          m_private(m_temp.filePath(QStringLiteral("priv"))) {
        QDir().mkpath(m_company);
        QDir().mkpath(m_private);
        store::setRegistryRoot(m_temp.filePath(QStringLiteral("registry")));
        store::RegistryStore registry;
        registry.openKey(QStringLiteral("Software\\Calbrik\\Merovan"), true);
        registry.writeString(QStringLiteral("LastDatabaseDir"), m_company);
        QFile ini(m_company + QStringLiteral("/KRVDEF.INI"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Productie]\r\nIndGest=G\r\nIndCod=M\r\nIndSemi=S\r\n");
        ini.close();
        m_builder = std::make_unique<testsupport::CompanyBuilder>(m_company);
        m_builder->article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
            .receipt(1, 1, QStringLiteral("BPF"), QDate(2024, 4, 1))
            .receiptLine(1, 1, QStringLiteral("PF"), QStringLiteral("P1"), 10,
                         QStringLiteral("PF1"))
            .counter(0);
        for (const char* m : kMaterials)
            m_builder->article(QStringLiteral("MAT"), QLatin1String(m), QLatin1String(m))
                .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QLatin1String(m), 1);
        m_session.addAlias(QStringLiteral("KRV_PRIV"), m_private);
        m_dm = std::make_unique<TQDMDataModule>(&m_session);
        m_dm->GhostDB.params() = {QStringLiteral("PATH=") + m_company};
    }

    TQDMDataModule& dm() { return *m_dm; }

    void exec(const QString& sql) { m_builder->database().connection().exec(sql); }

    // Stock quantity by "warehouse|group|code|lot|price".
    QMap<QString, double> quantities(const QString& sql) {
        QMap<QString, double> out;
        auto s = m_builder->database().connection().prepare(sql);
        db::StatementUse use(*s);
        while (s->step()) {
            QStringList key;
            for (int i = 0; i < 5; ++i)
                key << s->columnRaw(i).toString();
            out[key.join(QLatin1Char('|'))] += s->columnRaw(5).toDouble();
        }
        return out;
    }

    QMap<QString, double> stock() {
        return quantities(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                                         "Pret_achizitie, Cantitate FROM Stoc"));
    }

    QMap<QString, double> issued() {
        return quantities(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                                         "Pret_achizitie, Cantitate FROM Item_out"));
    }

private:
    QTemporaryDir m_temp;
    QString m_company;
    QString m_private;
    std::unique_ptr<testsupport::CompanyBuilder> m_builder;
    db::Session m_session;
    std::unique_ptr<TQDMDataModule> m_dm;
};

double stockQuantity(uint8_t high, uint8_t low) {
    if (high == 0xFF) // around the tolerance: 0, 1e-7 … 2.55e-5
        return low * 1e-7;
    return (high * 256 + low) / 64.0;
}

QString describe(const QMap<QString, double>& values) {
    QString out;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out += QStringLiteral("\n    %1 = %2").arg(it.key()).arg(it.value(), 0, 'g', 17);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchCompany company;
    if (size < 5)
        return 0;
    const double produced = double(int(data[0] % 41) - 5); // -5 … 35: a return as well
    double recipe[4];
    for (int i = 0; i < 4; ++i)
        recipe[i] = data[1 + i] == 0xFF ? 1e-7 : data[1 + i] / 8.0;

    company.exec(QStringLiteral("DELETE FROM Stoc"));
    company.exec(QStringLiteral("DELETE FROM Item_out"));
    company.exec(QStringLiteral("DELETE FROM Doc_out"));
    try {
        company.exec(QStringLiteral("DELETE FROM Consum"));
    } catch (const base::DatabaseError&) {
        // the register is created with the first document
    }
    company.exec(QStringLiteral("UPDATE COUNTER SET NewCounterOut = 0"));
    company.exec(QStringLiteral("UPDATE Item_in SET Cantitate = %1").arg(produced));
    for (int i = 0; i < 4; ++i)
        company.exec(QStringLiteral("UPDATE Reteta SET Cant_MatPrim = %1 WHERE Cod_MatPrim = '%2'")
                         .arg(recipe[i], 0, 'g', 17)
                         .arg(QLatin1String(kMaterials[i])));
    for (size_t at = 5, n = 0; at + 4 <= size && n < 32; at += 4, ++n) {
        const uint8_t where = data[at];
        company.exec(QStringLiteral("INSERT OR IGNORE INTO Stoc (Cod_gestiune, Cod_grupa, "
                                    "Cod_articol, Lot, Pret_achizitie, Cantitate) VALUES "
                                    "('%1', 'MAT', '%2', 'L%3', %4, %5)")
                         .arg(QLatin1String(kWarehouses[(where >> 2) & 3]))
                         .arg(QLatin1String(kMaterials[where & 3]))
                         .arg(where >> 4)
                         .arg(data[at + 1] / 4.0, 0, 'g', 17)
                         .arg(stockQuantity(data[at + 2], data[at + 3]), 0, 'g', 17));
    }

    const QMap<QString, double> before = company.stock();
    TQDMDataModule& dm = company.dm();
    requirement::GenerationResult result;
    bool generated = false;
    try {
        requirement::buildRequirement(dm, 1);
        result = requirement::generateConsumptionDocument(dm, QDate(2024, 4, 2));
        generated = true;
    } catch (const base::Error&) {
        // A refused generation writes nothing: checked below like any other.
    }
    requirement::closeRequirement(dm);

    const QMap<QString, double> after = company.stock();
    const QMap<QString, double> issued = company.issued();
    const QString picture = QStringLiteral("\n  before:") + describe(before) +
                            QStringLiteral("\n  after:") + describe(after) +
                            QStringLiteral("\n  issued:") + describe(issued);
    if (!generated)
        FUZZ_CHECK(after == before && issued.isEmpty(), picture);

    QMap<QString, double> keys = before;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        keys.insert(it.key(), 0);
    for (auto it = issued.cbegin(); it != issued.cend(); ++it)
        keys.insert(it.key(), 0);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const double took = before.value(it.key()) - after.value(it.key());
        const double line = issued.value(it.key());
        FUZZ_CHECK(std::fabs(took - line) <= 1e-9 * (1 + std::fabs(line)), it.key() + picture);
        if (issued.contains(it.key())) {
            FUZZ_CHECK(std::fabs(line) > kTolerance, it.key() + picture);
            FUZZ_CHECK(!after.contains(it.key()) || std::fabs(after.value(it.key())) > kTolerance,
                       it.key() + picture);
        }
    }
    if (!generated)
        return 0;
    for (int i = 0; i < 4; ++i) {
        const double required = produced * recipe[i] / 10;
        double given = 0;
        for (auto it = issued.cbegin(); it != issued.cend(); ++it)
            if (it.key().section(QLatin1Char('|'), 2, 2) == QLatin1String(kMaterials[i]))
                given += it.value();
        for (const requirement::NotIssued& n : result.notIssued)
            if (n.code == QLatin1String(kMaterials[i]))
                given += n.quantity;
        if (std::fabs(required) > kTolerance)
            FUZZ_CHECK(std::fabs(given - required) <= 1e-6 * (1 + std::fabs(required)),
                       QStringLiteral("%1: required %2, issued and not issued %3")
                               .arg(QLatin1String(kMaterials[i]))
                               .arg(required)
                               .arg(given) +
                           picture);
    }
    return 0;
}
