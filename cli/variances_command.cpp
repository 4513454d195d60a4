// lumbra variances COMPANY [--from DD/MM/YYYY --to DD/MM/YYYY] [--csv | --json]: the materials
// of the consumption documents by variance, what was issued against what the recipes asked for.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/report_table.h"
#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/format_settings.h"
#include "requirement/recipe_issue.h"

#include <QTextStream>

namespace cli {

namespace {

QDate optionalDate(const CommandOptions& options, const QString& name) {
    if (!options.isSet(name))
        return QDate();
    const QString text = options.value(name);
    QDate date;
    if (text.isEmpty() || !base::tryTextToDate(text, date) || !date.isValid())
        refuse(QStringLiteral("Data «%1» (--%2) nu este o dată validă; scrieți-o ca ZZ/LL/AAAA, "
                              "de exemplu 15/03/2025.")
                   .arg(text, name));
    return date;
}

} // namespace

int runVariances(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral(
            "lumbra variances FIRMA [--from ZZ/LL/AAAA] [--to ZZ/LL/AAAA] [--csv | --json]"),
        QStringLiteral(
            "Abaterile de consum pe materiale: pentru bonurile de consum generate de modul (fără "
            "cele stornate),\n"
            "cantitatea cerută de rețete, cea din fișa de necesar la generare și cea eliberată, "
            "abaterea\n"
            "(eliberat - rețetă), valoarea ei la prețul mediu de eliberare (\"-\" când nu s-a "
            "eliberat nimic)\n"
            "și procentul din cantitatea rețetei (\"-\" când rețeta nu a cerut nimic).\n"
            "Materialele cu cea mai mare abatere valorică sunt primele."),
        QStringLiteral("lumbra variances ~/lumbra-demo --from 01/03/2025 --to 31/03/2025"));
    options.addOption({QStringLiteral("from"), QStringLiteral("Bonurile de la această dată."),
                       QStringLiteral("ZZ/LL/AAAA")});
    options.addOption({QStringLiteral("to"), QStringLiteral("Bonurile până la această dată."),
                       QStringLiteral("ZZ/LL/AAAA")});
    options.addOption({QStringLiteral("csv"), QStringLiteral("Scrie rezultatul ca CSV.")});
    options.addOption({QStringLiteral("json"), QStringLiteral("Scrie rezultatul ca JSON.")});
    int status = 0;
    if (!options.parse(args, 1, 1, console, status))
        return status;
    return guarded(console, [&] {
        if (options.isSet(QStringLiteral("csv")) && options.isSet(QStringLiteral("json")))
            refuse(QStringLiteral("Alegeți fie --csv, fie --json."));
        base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
        const QDate from = optionalDate(options, QStringLiteral("from"));
        const QDate to = optionalDate(options, QStringLiteral("to"));
        if (from.isValid() && to.isValid() && to < from)
            refuse(QStringLiteral("Perioada se termină (%1) înainte să înceapă (%2).")
                       .arg(base::dateToText(to), base::dateToText(from)));
        BatchCompany company(options.positional()[0]);
        const QList<requirement::MaterialVariance> variances =
            requirement::materialVariances(company.dataModule().GhostDB, from, to);
        ReportTable table({{QStringLiteral("grupa"), QStringLiteral("Grupa")},
                           {QStringLiteral("cod"), QStringLiteral("Cod materie prima")},
                           {QStringLiteral("reteta"), QStringLiteral("Cant. rețetă")},
                           {QStringLiteral("fisa"), QStringLiteral("Cant. fișă")},
                           {QStringLiteral("eliberat"), QStringLiteral("Cant. eliberată")},
                           {QStringLiteral("abatere"), QStringLiteral("Abatere")},
                           {QStringLiteral("valoare"), QStringLiteral("Valoare abatere")},
                           {QStringLiteral("procent"), QStringLiteral("Abatere %")}});
        for (const requirement::MaterialVariance& v : variances)
            table.addRow({v.group, v.code, v.recipe, v.sheet, v.issued, v.quantity,
                          v.hasValue ? QVariant(v.value) : QVariant(QStringLiteral("-")),
                          v.hasPercent ? QVariant(v.percent) : QVariant(QStringLiteral("-"))});
        if (options.isSet(QStringLiteral("json"))) {
            table.print(console.out, OutputFormat::Json);
        } else if (options.isSet(QStringLiteral("csv"))) {
            table.print(console.out, OutputFormat::Csv);
        } else if (table.isEmpty()) {
            console.out << QStringLiteral("Niciun bon de consum în perioada cerută.\n");
        } else {
            table.print(console.out, OutputFormat::Text);
        }
        return int(ExitOk);
    });
}

} // namespace cli
