// lumbra recipes export|import: recipes to and from CSV files.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/csv.h"
#include "cli/recipe_transfer.h"

#include <QSaveFile>
#include <QTextStream>

namespace cli {

namespace {

int runExport(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra recipes export FIRMA [FISIER]"),
        QStringLiteral(
            "Scrie toate rețetele firmei ca CSV (UTF-8, cu antet): Cod, Cod_MatPrim, Cod_Grupa,\n"
            "Cant_MatPrim și cantitatea de produs a rețetei, CantReteta; în FISIER, sau la "
            "ieșirea\n"
            "standard când fișierul lipsește."),
        QStringLiteral("lumbra recipes export ~/lumbra-demo retete.csv"));
    int status = 0;
    if (!options.parse(args, 1, 2, console, status))
        return status;
    return guarded(console, [&] {
        BatchCompany company(options.positional()[0]);
        if (options.positional().size() == 1) {
            exportRecipes(company, console.out);
            return int(ExitOk);
        }
        // The file is replaced only once it is written whole.
        const QString fileName = options.positional()[1];
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            refuse(QStringLiteral("Fișierul %1 nu poate fi scris: %2")
                       .arg(fileName, file.errorString()));
        QTextStream stream(&file);
        const int lines = exportRecipes(company, stream);
        stream.flush();
        if (!file.commit())
            refuse(QStringLiteral("Fișierul %1 nu poate fi scris: %2")
                       .arg(fileName, file.errorString()));
        console.err << QStringLiteral("%1 linii de rețetă scrise în %2").arg(lines).arg(fileName)
                    << '\n';
        return int(ExitOk);
    });
}

int runImport(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra recipes import FIRMA FISIER [--dry-run]"),
        QStringLiteral(
            "Citește rețete dintr-un fișier CSV (UTF-8, cu antet; separator virgulă sau punct și "
            "virgulă)\n"
            "cu coloanele Cod, Cod_MatPrim, Cod_Grupa, Cant_MatPrim și CantReteta. Rețeta fiecărui "
            "produs\n"
            "din fișier este înlocuită cu liniile din fișier, după regulile editorului de rețete: "
            "materialul\n"
            "este materie primă sau semifabricat din grupa liniei, toate câmpurile sunt "
            "completate, produsul\n"
            "există, cantitatea de produs este pozitivă. Totul sau nimic: dacă o linie este "
            "refuzată nu se\n"
            "scrie nimic și sunt enumerate toate liniile refuzate, cu numărul și motivul lor."),
        QStringLiteral("lumbra recipes import ~/lumbra-demo retete.csv --dry-run"));
    options.addOption(
        {QStringLiteral("dry-run"), QStringLiteral("Doar verifică fișierul; nu scrie nimic.")});
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        const QString fileName = options.positional()[1];
        BatchCompany company(options.positional()[0]);
        const bool dryRun = options.isSet(QStringLiteral("dry-run"));
        const ImportOutcome outcome = importRecipes(company, readCsvFile(fileName), dryRun);
        if (!outcome.refused.isEmpty())
            return reportRefusedRows(console, outcome.refused);
        console.out
            << (dryRun ? QStringLiteral(
                             "Verificare reușită (nu s-a scris nimic): %1 linii, %2 produse.\n")
                       : QStringLiteral("Rețete importate: %1 linii, %2 produse.\n"))
                   .arg(outcome.lines)
                   .arg(outcome.products);
        return int(ExitOk);
    });
}

} // namespace

int runRecipes(const QStringList& args, Console& console) {
    const QString action = args.value(0);
    if (action == QLatin1String("export"))
        return runExport(args.mid(1), console);
    if (action == QLatin1String("import"))
        return runImport(args.mid(1), console);
    if (action == QLatin1String("--help") || action == QLatin1String("-h")) {
        console.out << QStringLiteral(
            "Utilizare: lumbra recipes export FIRMA [FISIER]\n"
            "           lumbra recipes import FIRMA FISIER [--dry-run]\n"
            "(lumbra recipes export --help, lumbra recipes import --help pentru detalii)\n");
        return ExitOk;
    }
    console.err << QStringLiteral(
                       "Utilizare: lumbra recipes export|import ... (--help pentru detalii)")
                << '\n';
    return ExitRefused;
}

} // namespace cli
