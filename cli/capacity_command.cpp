// lumbra capacity COMPANY [PRODUCT]: how many units of each product the stock allows.
#include "cli/batch_company.h"
#include "cli/capacity.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/report_table.h"

#include <QTextStream>

#include <cmath>

namespace cli {

int runCapacity(const QStringList& args, Console& console) {
    CommandOptions options(QStringLiteral("lumbra capacity FIRMA [PRODUS] [--csv | --json]"),
                           QStringLiteral("Calculează câte unități din fiecare produs cu rețetă "
                                          "(sau doar din PRODUS) permite stocul\n"
                                          "actual: fiecare linie a rețetei cere Cant_MatPrim / "
                                          "CantReteta din materialul ei pe unitate,\n"
                                          "față de stocul materialului din toate gestiunile. Arată "
                                          "și materialul care limitează."),
                           QStringLiteral("lumbra capacity ~/lumbra-demo"));
    options.addOption({QStringLiteral("csv"), QStringLiteral("Scrie rezultatul ca CSV.")});
    options.addOption({QStringLiteral("json"), QStringLiteral("Scrie rezultatul ca JSON.")});
    int status = 0;
    if (!options.parse(args, 1, 2, console, status))
        return status;
    return guarded(console, [&] {
        BatchCompany company(options.positional()[0]);
        const QList<ProductCapacity> list = productCapacity(company, options.positional().value(1));
        ReportTable table(
            {{QStringLiteral("grupa"), QStringLiteral("Grupa")},
             {QStringLiteral("cod"), QStringLiteral("Cod produs")},
             {QStringLiteral("denumire"), QStringLiteral("Denumire")},
             {QStringLiteral("unitati"), QStringLiteral("Unitati posibile")},
             {QStringLiteral("grupa_limitativa"), QStringLiteral("Grupa mat.")},
             {QStringLiteral("material_limitativ"), QStringLiteral("Material limitativ")},
             {QStringLiteral("stoc_material"), QStringLiteral("Stoc material")},
             {QStringLiteral("observatii"), QStringLiteral("Observatii")}});
        for (const ProductCapacity& c : list) {
            if (c.computed)
                table.addRow({c.group, c.code, c.name, c.units, c.limitingGroup, c.limitingCode,
                              c.limitingStock, QString()});
            else
                table.addRow({c.group, c.code, c.name, QString(), QString(), QString(), QString(),
                              c.reason});
        }
        if (options.isSet(QStringLiteral("json")))
            table.print(console.out, OutputFormat::Json);
        else if (options.isSet(QStringLiteral("csv")))
            table.print(console.out, OutputFormat::Csv);
        else if (table.isEmpty())
            console.out << QStringLiteral("Niciun produs nu are rețetă.\n");
        else
            table.print(console.out, OutputFormat::Text);
        return int(ExitOk);
    });
}

} // namespace cli
