// lumbra consume COMPANY RECEIPT --date DD/MM/YYYY: the consumption document of one goods
// receipt, generated as the requirement sheet's button does, all or nothing.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/receipt_choice.h"
#include "cli/receipt_requirement.h"
#include "cli/report_table.h"
#include "cli/voucher_pdf.h"
#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "platform/db/query.h"
#include "platform/db/table.h"
#include "requirement/consumption_document.h"
#include "requirement/consumption_plan.h"
#include "requirement/consumption_register.h"
#include "requirement/not_issued_reason.h"

#include <QTextStream>

namespace cli {

namespace {

QDate parseDocumentDate(const QString& text) {
    QDate date;
    if (text.isEmpty() || !base::tryTextToDate(text, date) || !date.isValid())
        refuse(
            QStringLiteral(
                "Data «%1» nu este o dată validă; scrieți-o ca ZZ/LL/AAAA, de exemplu 15/03/2025.")
                .arg(text));
    return date;
}

QList<ReportTable::Column> documentColumns() {
    return {{QStringLiteral("nr"), QStringLiteral("Nr.")},
            {QStringLiteral("grupa"), QStringLiteral("Grupa")},
            {QStringLiteral("cod"), QStringLiteral("Cod materie prima")},
            {QStringLiteral("gestiune"), QStringLiteral("Gestiune")},
            {QStringLiteral("lot"), QStringLiteral("Lot")},
            {QStringLiteral("cantitate"), QStringLiteral("Cantitate")},
            {QStringLiteral("pret"), QStringLiteral("Pret achizitie")}};
}

// The lines a generation would write, as documentLines shows the written ones.
ReportTable plannedLines(const requirement::ConsumptionPlan& plan) {
    ReportTable table(documentColumns());
    for (const requirement::PlannedLine& l : plan.lines)
        table.addRow({double(l.number), l.group.toString(), l.code, l.warehouse.toString(),
                      l.lot.toString(), l.quantity, l.price.toDouble()});
    return table;
}

// The counter the next consumption document would get, as the counters record holds it now.
double nextDocumentCounter(TQDMDataModule& dm) {
    db::Table& counters = dm.CounterTable;
    if (!counters.isActive())
        counters.open();
    counters.refresh();
    counters.first();
    return dm.CounterTableNewCounterOut->asFloat() + 1;
}

ReportTable documentLines(BatchCompany& company, double counter) {
    db::Query q;
    q.setSession(&company.session());
    q.setDatabaseName(QStringLiteral("KRVPROD"));
    q.setSqlText(QStringLiteral(
        "SELECT Contor_secundar, Cod_grupa, Cod_articol, Cod_gestiune, Lot, Cantitate, "
        "Pret_achizitie FROM \"Item_out.DB\" WHERE Contor = :Contor ORDER BY Contor_secundar"));
    q.paramByName(QStringLiteral("Contor")).setAsFloat(counter);
    q.open();
    ReportTable table(documentColumns());
    for (q.first(); !q.eof(); q.next())
        table.addRow({q.fieldByName(QStringLiteral("Contor_secundar"))->asFloat(),
                      q.fieldByName(QStringLiteral("Cod_grupa"))->asString(),
                      q.fieldByName(QStringLiteral("Cod_articol"))->asString(),
                      q.fieldByName(QStringLiteral("Cod_gestiune"))->asString(),
                      q.fieldByName(QStringLiteral("Lot"))->asString(),
                      q.fieldByName(QStringLiteral("Cantitate"))->asFloat(),
                      q.fieldByName(QStringLiteral("Pret_achizitie"))->asFloat()});
    q.close();
    return table;
}

// A second document for the same receipt takes the materials out a second time, and a date
// before the receipt's is most often a typing slip: both only when asked for by name.
void refuseRepeatOrEarlier(const ReceiptRequirement& r, TQDMDataModule& dm, const QDate& date,
                           bool again, bool allowEarlier) {
    if (!again) {
        const QList<requirement::RegisteredConsumption> earlier =
            requirement::consumptionsOfReceipt(dm.GhostDB, r.contor);
        if (!earlier.isEmpty()) {
            QStringList documents;
            for (const auto& c : earlier)
                documents << QStringLiteral("contor %1 din %2")
                                 .arg(base::formatFloatGeneral(c.document),
                                      base::dateToText(c.date));
            refuse(QStringLiteral("Pentru această recepție există deja bonul de consum %1. "
                                  "Nu s-a scris nimic; cu --again se generează încă unul.")
                       .arg(documents.join(QStringLiteral(", "))));
        }
    }
    if (!allowEarlier && r.data.isValid() && date < r.data)
        refuse(QStringLiteral("Data bonului de consum, %1, este înaintea datei recepției, %2. "
                              "Nu s-a scris nimic; cu --allow-earlier se primește.")
                   .arg(base::dateToText(date), base::dateToText(r.data)));
}

} // namespace

int runConsume(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral(
            "lumbra consume FIRMA (CONTOR | --number NUMAR [--type TIP]) --date ZZ/LL/AAAA "
            "[--skip-negative] [--again] [--allow-earlier] [--dry-run]"),
        QStringLiteral(
            "Generează documentul de consum (BMC) al documentului de intrare cu contorul CONTOR, "
            "ca butonul\n"
            "\"Genereaza document iesire\" al fișei de necesar tehnic: antetul, câte o linie "
            "pentru fiecare\n"
            "înregistrare de stoc consumată și stocul micșorat, totul sau nimic. Scrie contorul "
            "noului document,\n"
            "liniile lui și cantitățile care nu au putut fi eliberate din stoc.\n"
            "Fără --skip-negative comanda refuză, fără să scrie nimic, un necesar care ar crea "
            "stocuri negative;\n"
            "cu el, acele materiale sunt lăsate în afara documentului, ca în fereastră.\n"
            "Un al doilea document pentru aceeași recepție se scrie doar cu --again, iar o dată "
            "dinaintea datei\n"
            "recepției doar cu --allow-earlier.\n"
            "Documentul de intrare se poate numi și după numărul lui: --number 102; --type BPF "
            "este necesar\n"
            "doar când numărul este folosit de mai multe documente de intrare."),
        QStringLiteral("lumbra consume ~/lumbra-demo 1 --date 15/03/2025 --dry-run\n"
                       "  lumbra consume ~/lumbra-demo --number 101 --type BPF --date 15/03/2025"));
    addReceiptChoiceOptions(options);
    options.addOption({QStringLiteral("date"), QStringLiteral("Data documentului de consum."),
                       QStringLiteral("ZZ/LL/AAAA")});
    options.addOption(
        {QStringLiteral("skip-negative"),
         QStringLiteral("Lasă în afara documentului materialele care ar ajunge pe stoc negativ.")});
    options.addOption(
        {QStringLiteral("again"),
         QStringLiteral("Generează documentul și când recepția are deja un bon de consum.")});
    options.addOption({QStringLiteral("allow-earlier"),
                       QStringLiteral("Primește o dată dinaintea datei recepției.")});
    options.addOption({QStringLiteral("dry-run"),
                       QStringLiteral("Arată documentul care s-ar scrie și nu scrie nimic.")});
    options.addOption(
        {QStringLiteral("csv"), QStringLiteral("Scrie liniile documentului ca CSV.")});
    options.addOption(voucherPdfOption());
    int status = 0;
    if (!options.parse(args, 1, 2, console, status))
        return status;
    return guarded(console, [&] {
        if (!options.isSet(QStringLiteral("date")))
            refuse(QStringLiteral("Lipsește data documentului: --date ZZ/LL/AAAA."));
        // Dates are day first from the moment the date is asked for, as in the date dialog.
        base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
        const QDate date = parseDocumentDate(options.value(QStringLiteral("date")));
        checkVoucherPdfOption(options);
        checkReceiptChoice(options, 1);
        BatchCompany company(options.positional()[0]);
        const double contor = chosenReceiptCounter(company, options, 1);
        TQDMDataModule& dm = company.dataModule();
        const ReceiptRequirement r = buildReceiptRequirement(company, contor);
        const bool dryRun = options.isSet(QStringLiteral("dry-run"));
        try {
            if (r.lines.isEmpty())
                refuse(QStringLiteral("Documentul de intrare cu contorul %1 nu are necesar de "
                                      "materii prime; nu s-a scris nimic.")
                           .arg(base::formatFloatGeneral(contor)));
            refuseRepeatOrEarlier(r, dm, date, options.isSet(QStringLiteral("again")),
                                  options.isSet(QStringLiteral("allow-earlier")));
            if (r.hasNegativeLines() && !options.isSet(QStringLiteral("skip-negative"))) {
                QString text = QStringLiteral("Atentie, consumul ar crea stocuri negative la:\n");
                for (const auto& l : r.lines)
                    if (l.finalStock < 0)
                        text += QStringLiteral("  %1 %2: necesar %3, stoc %4\n")
                                    .arg(l.group, l.code, personNumber(l.quantity),
                                         personNumber(l.stockOnHand));
                text += QStringLiteral("Nu s-a scris nimic. Cu --skip-negative aceste materiale "
                                       "sunt lăsate în afara documentului.");
                refuse(text);
            }
            requirement::GenerationResult result;
            ReportTable lines{QList<ReportTable::Column>{}};
            if (dryRun) {
                // The allocation the generation would make, planned by the same code on the
                // stock as it is now; nothing is written, not even the counter.
                const requirement::ConsumptionPlan plan = requirement::previewConsumption(dm);
                result.counter = nextDocumentCounter(dm);
                result.lineCount = int(plan.lines.size());
                result.notIssued = plan.notIssued;
                lines = plannedLines(plan);
            } else {
                try {
                    result = requirement::generateConsumptionDocument(dm, date);
                } catch (const requirement::GenerationRefused& e) {
                    refuse(e.message());
                }
                lines = documentLines(company, result.counter);
            }
            requirement::closeRequirement(dm);

            if (options.isSet(QStringLiteral("csv"))) {
                lines.print(console.out, OutputFormat::Csv);
            } else {
                console.out
                    << (dryRun ? QStringLiteral(
                                     "Documentul de consum care s-ar genera (nu s-a scris nimic): ")
                               : QStringLiteral("Documentul de consum generat: "))
                    << QStringLiteral("BMC, contor %1, din %2\n\n")
                           .arg(base::formatFloatGeneral(result.counter), base::dateToText(date));
                if (lines.isEmpty())
                    console.out << QStringLiteral(
                        "Documentul nu are linii: niciun material nu a putut fi luat din stoc.\n");
                else
                    lines.print(console.out, OutputFormat::Text);
            }
            if (!result.notIssued.isEmpty()) {
                QTextStream& to = options.isSet(QStringLiteral("csv")) ? console.err : console.out;
                to << QStringLiteral("\nCantități care nu au intrat în document:\n");
                for (const auto& n : result.notIssued)
                    to << QStringLiteral("  ")
                       << requirement::notIssuedLine(n, personNumber(n.quantity)) << '\n';
            }
            if (!dryRun)
                writeGeneratedVoucherPdf(company, options, result.counter);
        } catch (...) {
            if (dm.TempTable.isActive())
                requirement::closeRequirement(dm);
            throw;
        }
        return int(ExitOk);
    });
}

} // namespace cli
