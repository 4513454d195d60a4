// lumbra import-paradox SOURCE_DIR COMPANY: a company's Paradox tables brought into a new
// company, all or nothing, with a summary per table.
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/report_table.h"
#include "import/paradox_import.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace cli {

namespace {

// Refusals shown on the terminal; the report written with --accept-refused lists them all.
constexpr qsizetype kRefusalsShown = 100;

void printSummary(Console& console, const paradox::ImportOutcome& outcome) {
    ReportTable table({{QStringLiteral("tabela"), QStringLiteral("Tabela")},
                       {QStringLiteral("fisier"), QStringLiteral("Fișier")},
                       {QStringLiteral("citite"), QStringLiteral("Citite")},
                       {QStringLiteral("scrise"), QStringLiteral("Scrise")},
                       {QStringLiteral("refuzate"), QStringLiteral("Refuzate")}});
    for (const paradox::TableSummary& t : outcome.tables)
        table.addRow({t.table,
                      t.file.isEmpty() ? QStringLiteral("-") : QFileInfo(t.file).fileName(),
                      double(t.read), double(t.written), double(t.refused)});
    table.print(console.out, OutputFormat::Text);
    if (!outcome.notes.isEmpty()) {
        console.out << QStringLiteral("De știut:\n");
        for (const QString& n : outcome.notes)
            console.out << QStringLiteral("  ") << n << '\n';
    }
}

void printRefusals(QTextStream& stream, const QStringList& refused) {
    for (qsizetype i = 0; i < refused.size() && i < kRefusalsShown; ++i)
        stream << QStringLiteral("  ") << refused[i] << '\n';
    if (refused.size() > kRefusalsShown)
        stream << QStringLiteral("  … și încă %1.\n").arg(refused.size() - kRefusalsShown);
}

} // namespace

int runImportParadox(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra import-paradox DIRECTOR_SURSA FIRMA [--server ALIAS] [--dry-run] "
                       "[--accept-refused]"),
        QStringLiteral(
            "Creează firma nouă FIRMA din tabelele Paradox ale unei firme existente (CATALOG.DB,\n"
            "Doc_in.DB, Item_in.DB, Stoc.DB, COUNTER.DB, Doc_out.DB, Item_out.DB, Reteta.DB,\n"
            "Materiale.db, Grup.DB, VALUTA.DB din DIRECTOR_SURSA; litera mică sau mare și\n"
            "extensia nu contează) și copiază KRVDEF.INI așa cum este. Câmpurile se potrivesc\n"
            "după nume; valorile trec fără pierdere (texte în code page 1250, numere bit cu bit,\n"
            "date, valori logice). O valoare care nu încape, o cheie repetată, un câmp pe care\n"
            "firma nu îl are sau un fișier deteriorat sunt refuzate și enumerate; atunci nu se\n"
            "scrie nimic, iar cu --accept-refused se scrie restul și raportul lângă firmă\n"
            "(FIRMA-import-paradox.txt). O tabelă care lipsește este creată goală.\n"
            "FIRMA este un director nou sau gol; cu --server tabelele merg pe server, într-o\n"
            "schemă fără tabele, iar directorul numește serverul în fișierul server.location."),
        QStringLiteral("lumbra import-paradox /mnt/vechi/FIRMA ~/firma --dry-run"));
    options.addOption(
        {QStringLiteral("server"),
         QStringLiteral("Tabelele firmei pe serverul de baze de date (postgres:...)."),
         QStringLiteral("ALIAS")});
    options.addOption({QStringLiteral("dry-run"),
                       QStringLiteral("Citește și verifică totul, fără să scrie firma.")});
    options.addOption(
        {QStringLiteral("accept-refused"),
         QStringLiteral("Scrie ce nu a fost refuzat și raportul refuzurilor lângă firmă.")});
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        paradox::ImportRequest request;
        request.sourceDirectory = options.positional()[0];
        request.companyDirectory = QDir(options.positional()[1]).absolutePath();
        request.server = options.value(QStringLiteral("server")).trimmed();
        request.dryRun = options.isSet(QStringLiteral("dry-run"));
        request.acceptRefused = options.isSet(QStringLiteral("accept-refused"));
        std::unique_ptr<ProgressLine> line;
        QString current;
        request.progress = [&](const QString& table, qint64 done, qint64 total) {
            if (table != current) {
                line.reset();
                line = std::make_unique<ProgressLine>(QStringLiteral("Se importă %1").arg(table),
                                                      int(total));
                current = table;
            }
            line->advance(int(done));
            return true;
        };
        paradox::ImportOutcome outcome;
        try {
            outcome = paradox::importCompany(request);
        } catch (const paradox::ImportRefused& e) {
            line.reset();
            refuse(e.message());
        }
        line.reset();
        printSummary(console, outcome);
        const QString company = QDir::toNativeSeparators(request.companyDirectory);
        if (!outcome.refused.isEmpty() && !outcome.written) {
            console.err << QStringLiteral("%1 refuzuri; nu s-a scris nimic (firma %2 nu a fost "
                                          "creată):\n")
                               .arg(outcome.refused.size())
                               .arg(company);
            printRefusals(console.err, outcome.refused);
            if (!request.dryRun)
                console.err << QStringLiteral("Cu --accept-refused se importă restul, iar "
                                              "refuzurile se scriu într-un raport lângă firmă.\n");
            return int(ExitRefused);
        }
        if (request.dryRun) {
            console.out << QStringLiteral("Verificare reușită: tabelele pot fi importate (nu s-a "
                                          "scris nimic).\n");
            return int(ExitOk);
        }
        console.out << QStringLiteral("Firma %1 a fost creată.\n").arg(company);
        if (!outcome.refused.isEmpty()) {
            console.out
                << QStringLiteral("%1 refuzuri, lăsate deoparte:\n").arg(outcome.refused.size());
            printRefusals(console.out, outcome.refused);
            if (!outcome.reportFile.isEmpty())
                console.out << QStringLiteral("Raportul: %1\n")
                                   .arg(QDir::toNativeSeparators(outcome.reportFile));
        }
        return int(ExitOk);
    });
}

} // namespace cli
