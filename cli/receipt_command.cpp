// lumbra receipt import COMPANY FILE: goods receipts made elsewhere, read from a CSV file and
// posted as the receipts window posts them, all or nothing.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/csv.h"
#include "cli/receipt_import.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"

#include <QTextStream>

namespace cli {

namespace {

QString count(qsizetype n, const char* one, const char* many) {
    return n == 1 ? QStringLiteral("1 ") + QString::fromUtf8(one)
                  : QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(many));
}

int runImport(const QStringList& args, Console& console) {
    const QStringList columns = receiptImportColumns();
    CommandOptions options(
        QStringLiteral("lumbra receipt import FIRMA FISIER [--dry-run]"),
        QStringLiteral(
            "Citește documente de intrare (NIR, recepție de la furnizor; BPF, predare din "
            "producție) dintr-un\n"
            "fișier CSV (UTF-8, separat prin virgulă sau punct și virgulă, numere cu punct sau "
            "virgulă zecimală)\n"
            "și le înregistrează ca fereastra \"Documente de intrare\": antetul, liniile și "
            "stocul, cu contorul\n"
            "luat din COUNTER.DB. Câte un rând pe linie de document, cu antetul coloanelor:\n"
            "  %1 (obligatorii)\n"
            "  %2 (opționale; TVA gol se calculează din cota articolului)\n"
            "Rândurile cu același tip și număr formează un document; data, furnizorul și "
            "explicația sunt\n"
            "aceleași pe toate rândurile lui. Data se scrie ZZ/LL/AAAA sau AAAA-LL-ZZ.\n"
            "Totul sau nimic: dacă o linie este refuzată nu se scrie niciun document și sunt "
            "enumerate toate\n"
            "liniile refuzate, cu numărul și motivul lor.")
            .arg(columns.mid(0, 8).join(QLatin1Char(',')), columns.mid(8).join(QLatin1Char(','))),
        QStringLiteral("lumbra receipt import ~/lumbra-demo receptii.csv --dry-run\n"
                       "  unde receptii.csv este:\n"
                       "    Tip,Numar,Data,Furnizor,Cod_gestiune,Cod_grupa,Cod_articol,Lot,"
                       "Cantitate,Pret_achizitie_lei\n"
                       "    NIR,5522,17/03/2025,Moara Dâmboviţa SRL,G01,MPF,M001,L250317,200,2.3\n"
                       "    NIR,5522,17/03/2025,Moara Dâmboviţa SRL,G01,MPF,M002,L250317,50,3.45"));
    options.addOption(
        {QStringLiteral("dry-run"), QStringLiteral("Doar verifică fișierul; nu scrie nimic.")});
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        // Dates are day first, as in the receipts window and the other commands.
        base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
        const QString fileName = options.positional()[1];
        BatchCompany company(options.positional()[0]);
        const bool dryRun = options.isSet(QStringLiteral("dry-run"));
        const ReceiptImportOutcome outcome = importReceipts(company, readCsvFile(fileName), dryRun);
        if (!outcome.refused.isEmpty())
            return reportRefusedRows(console, outcome.refused);
        const QString totals = count(outcome.receipts.size(), "document", "documente") +
                               QStringLiteral(", ") + count(outcome.lines, "linie", "linii");
        console.out << (dryRun ? QStringLiteral("Verificare reușită (nu s-a scris nimic): %1.\n")
                               : QStringLiteral("Documente de intrare înregistrate: %1.\n"))
                           .arg(totals);
        for (const ImportedReceipt& r : outcome.receipts) {
            const QString receipt = r.type + QLatin1Char(' ') + base::formatFloatGeneral(r.number);
            const QString lines = count(r.lines, "linie", "linii");
            console.out << (dryRun ? QStringLiteral("  %1: %2\n").arg(receipt, lines)
                                   : QStringLiteral("  %1: contor %2, %3\n")
                                         .arg(receipt, base::formatFloatGeneral(r.counter), lines));
        }
        return int(ExitOk);
    });
}

} // namespace

int runReceipt(const QStringList& args, Console& console) {
    const QString action = args.value(0);
    if (action == QLatin1String("import"))
        return runImport(args.mid(1), console);
    if (action == QLatin1String("--help") || action == QLatin1String("-h")) {
        console.out << QStringLiteral("Utilizare: lumbra receipt import FIRMA FISIER [--dry-run]\n"
                                      "(lumbra receipt import --help pentru detalii)\n");
        return ExitOk;
    }
    console.err << QStringLiteral("Utilizare: lumbra receipt import ... (--help pentru detalii)")
                << '\n';
    return ExitRefused;
}

} // namespace cli
