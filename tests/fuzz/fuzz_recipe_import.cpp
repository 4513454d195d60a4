// The recipe import on a scratch company: products P1, P2 (finished) and S1 (semi-finished),
// materials M1, M2 of group MAT and S1 of group SEM, and the recipe of P1. The input is the CSV
// file. Rules: a file refused in any line leaves the company file byte for byte as it was; a file
// taken gives every product it names exactly its lines, and the import counts every line.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/csv.h"
#include "cli/recipe_transfer.h"
#include "platform/base/errors.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/company_builder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace {

const QStringList kColumns = {QStringLiteral("Cod"), QStringLiteral("Cod_MatPrim"),
                              QStringLiteral("Cod_Grupa"), QStringLiteral("Cant_MatPrim"),
                              QStringLiteral("CantReteta")};

class ScratchCompany {
public:
    ScratchCompany() : m_directory(m_temp.filePath(QStringLiteral("firma"))) { make(); }

    // A new company as it is before any import.
    void make() {
        m_batch.reset();
        QDir(m_directory).removeRecursively();
        QDir().mkpath(m_directory);
        QFile ini(m_directory + QStringLiteral("/KRVDEF.INI"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Productie]\r\nIndGest=G\r\nIndCod=M\r\nIndSemi=S\r\n");
        ini.close();
        {
            testsupport::CompanyBuilder company(m_directory);
            company.article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
                .article(QStringLiteral("PF"), QStringLiteral("P2"), QStringLiteral("Cozonac"), 5)
                .article(QStringLiteral("SEM"), QStringLiteral("S1"), QStringLiteral("Umplutură"),
                         2)
                .article(QStringLiteral("MAT"), QStringLiteral("M1"), QStringLiteral("Făină"))
                .article(QStringLiteral("MAT"), QStringLiteral("M2"), QStringLiteral("Drojdie"))
                .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M1"), 6)
                .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M2"), 0.1);
        }
        m_batch = std::make_unique<cli::BatchCompany>(m_directory);
    }

    cli::BatchCompany& batch() { return *m_batch; }

    QByteArray fileBytes() const {
        QFile f(m_directory + QStringLiteral("/tables.sqlite"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_temp;
    QString m_directory;
    std::unique_ptr<cli::BatchCompany> m_batch;
};

double number(QString text) {
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    return QLocale::c().toDouble(text);
}

// "material|group|quantity" of each line of each product, in the order given.
using Lines = QHash<QString, QStringList>;

Lines linesOf(const QList<cli::CsvRecord>& records) {
    Lines out;
    if (records.isEmpty())
        return out;
    QList<int> at;
    for (const QString& name : kColumns) {
        const QStringList& header = records.first().fields;
        int found = -1;
        for (int i = 0; i < header.size() && found < 0; ++i)
            if (header[i].compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        at << found;
    }
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QStringList& f = records[r].fields;
        out[f.value(at[0]).trimmed()] << f.value(at[1]).trimmed() + QLatin1Char('|') +
                                             f.value(at[2]).trimmed() + QLatin1Char('|') +
                                             QString::number(number(f.value(at[3])), 'g', 17);
    }
    for (QStringList& lines : out)
        lines.sort();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchCompany company;
    const QString text = fuzz::utf8(data, size);
    QList<cli::CsvRecord> records;
    try {
        records = cli::parseCsv(text);
    } catch (const cli::CommandError&) {
        return 0;
    }
    const QByteArray before = company.fileBytes();
    cli::ImportOutcome outcome;
    try {
        outcome = cli::importRecipes(company.batch(), records, false);
    } catch (const cli::CommandError&) {
        FUZZ_CHECK(company.fileBytes() == before, text);
        return 0;
    }
    if (!outcome.refused.isEmpty()) {
        FUZZ_CHECK(company.fileBytes() == before,
                   text + QLatin1String("\n") + outcome.refused.join(QLatin1Char('\n')));
        return 0;
    }
    FUZZ_CHECK(outcome.lines == records.size() - 1, text);
    QString exported;
    QTextStream out(&exported);
    cli::exportRecipes(company.batch(), out);
    out.flush();
    const Lines wanted = linesOf(records);
    const Lines stored = linesOf(cli::parseCsv(exported));
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
        FUZZ_CHECK(stored.value(it.key()) == it.value(),
                   text + QLatin1String("\nstored:\n") + exported);
    company.make();
    return 0;
}
