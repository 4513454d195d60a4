// lumbra requirement COMPANY RECEIPT: the requirement sheet of one goods receipt.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/receipt_choice.h"
#include "cli/receipt_requirement.h"
#include "cli/report_table.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace cli {

namespace {

ReportTable linesTable(const ReceiptRequirement& r) {
    ReportTable table({{QStringLiteral("grupa"), QStringLiteral("Grupa")},
                       {QStringLiteral("cod"), QStringLiteral("Cod materie prima")},
                       {QStringLiteral("denumire"), QStringLiteral("Denumire materie prima")},
                       {QStringLiteral("cantitate"), QStringLiteral("Cantitate")},
                       {QStringLiteral("stoc_existent"), QStringLiteral("Stoc existent")},
                       {QStringLiteral("stoc_final"), QStringLiteral("Stoc final")},
                       {QStringLiteral("negativ"), QStringLiteral("Negativ")}});
    for (const auto& l : r.lines)
        table.addRow(
            {l.group, l.code, l.name, l.quantity, l.stockOnHand, l.finalStock, l.finalStock < 0});
    return table;
}

struct LeftOut {
    QString product;
    QString reason;
};

QList<LeftOut> leftOut(const ReceiptRequirement& r) {
    QList<LeftOut> out;
    for (const QString& p : r.report.productsWithoutRequirement)
        out << LeftOut{p,
                       QStringLiteral("fără rețetă, sau fără articol în catalog sub grupa liniei")};
    for (const QString& p : r.report.productsWithoutBatchQuantity)
        out << LeftOut{
            p, QStringLiteral("cantitatea de produs din rețetă (CantReteta) lipsește sau este 0")};
    return out;
}

} // namespace

int runRequirement(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral(
            "lumbra requirement FIRMA (CONTOR | --number NUMAR [--type TIP]) [--csv | --json]"),
        QStringLiteral("Calculează necesarul tehnic de materii prime al documentului de intrare cu "
                       "contorul CONTOR\n"
                       "din firma aflată în directorul FIRMA, ca în fișa de necesar tehnic: grupa, "
                       "codul, denumirea,\n"
                       "cantitatea necesară, stocul existent și stocul final; liniile cu stoc "
                       "final negativ sunt\n"
                       "marcate, iar produsele care nu dau necesar sunt enumerate cu motivul.\n"
                       "Documentul se poate numi și după numărul lui: --number 102; --type BPF "
                       "este necesar doar\n"
                       "când numărul este folosit de mai multe documente de intrare."),
        QStringLiteral("lumbra requirement ~/lumbra-demo 1\n"
                       "  lumbra requirement ~/lumbra-demo --number 102 --type BPF"));
    addReceiptChoiceOptions(options);
    options.addOption(
        {QStringLiteral("csv"), QStringLiteral("Scrie liniile ca CSV (UTF-8, cu antet).")});
    options.addOption({QStringLiteral("json"), QStringLiteral("Scrie rezultatul ca JSON.")});
    int status = 0;
    if (!options.parse(args, 1, 2, console, status))
        return status;
    return guarded(console, [&] {
        if (options.isSet(QStringLiteral("csv")) && options.isSet(QStringLiteral("json")))
            throw CommandError(ExitRefused, QStringLiteral("Alegeți fie --csv, fie --json."));
        checkReceiptChoice(options, 1);
        BatchCompany company(options.positional()[0]);
        const double contor = chosenReceiptCounter(company, options, 1);
        const ReceiptRequirement r = buildReceiptRequirement(company, contor);
        requirement::closeRequirement(company.dataModule());
        const ReportTable table = linesTable(r);
        const QList<LeftOut> missing = leftOut(r);
        if (options.isSet(QStringLiteral("json"))) {
            QJsonArray left;
            for (const LeftOut& l : missing)
                left.append(QJsonObject{{QStringLiteral("produs"), l.product},
                                        {QStringLiteral("motiv"), l.reason}});
            const QJsonObject receipt{{QStringLiteral("contor"), r.contor},
                                      {QStringLiteral("tip"), r.tip},
                                      {QStringLiteral("numar"), r.numar},
                                      {QStringLiteral("data"), r.data.toString(Qt::ISODate)}};
            QJsonObject doc{{QStringLiteral("document"), receipt},
                            {QStringLiteral("linii"),
                             QJsonDocument::fromJson(table.jsonArray().toUtf8()).array()},
                            {QStringLiteral("produse_fara_necesar"), left}};
            console.out << QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented));
        } else if (options.isSet(QStringLiteral("csv"))) {
            table.print(console.out, OutputFormat::Csv);
            for (const LeftOut& l : missing)
                console.err
                    << QStringLiteral("Produs fără necesar: %1 (%2)").arg(l.product, l.reason)
                    << '\n';
        } else {
            console.out << QStringLiteral("Fisa de necesar tehnic la documentul nr. %1 din data de "
                                          "%2 (%3, contor %4)\n\n")
                               .arg(base::formatFloatGeneral(r.numar), base::dateToText(r.data),
                                    r.tip, base::formatFloatGeneral(r.contor));
            if (table.isEmpty())
                console.out << QStringLiteral("Documentul nu are necesar de materii prime.\n");
            else
                table.print(console.out, OutputFormat::Text);
            if (r.hasNegativeLines())
                console.out << QStringLiteral(
                    "\nAtentie: liniile marcate ar crea stocuri negative.\n");
            if (!missing.isEmpty()) {
                console.out << QStringLiteral("\nProduse fără necesar:\n");
                for (const LeftOut& l : missing)
                    console.out << QStringLiteral("  %1: %2\n").arg(l.product, l.reason);
            }
            if (!r.report.semiFinishedWithoutBatchQuantity.isEmpty())
                console.out << QStringLiteral("\nSemifabricate rămase ca linii (au rețetă, dar "
                                              "cantitatea de rețetă lipsește sau este 0): ")
                            << r.report.semiFinishedWithoutBatchQuantity.join(QStringLiteral(", "))
                            << '\n';
        }
        return int(ExitOk);
    });
}

} // namespace cli
