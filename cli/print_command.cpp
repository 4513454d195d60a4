// lumbra print COMPANY COUNTER --pdf FILE: the consumption voucher of an output document as a
// PDF file, without a display.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/voucher_pdf.h"

#include <QDir>
#include <QTextStream>

namespace cli {

int runPrint(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra print FIRMA CONTOR --pdf FISIER"),
        QStringLiteral("Scrie bonul de consum al documentului de ieșire cu contorul CONTOR ca "
                       "fișier PDF (A4):\n"
                       "firma, numărul și data, gestiunea, locul de consum, liniile cu valorile "
                       "lor, totalul\n"
                       "și casetele pentru semnături. Documentul nu se schimbă."),
        QStringLiteral("lumbra print ~/lumbra-demo 2 --pdf bon-2.pdf"));
    options.addOption({QStringLiteral("pdf"), QStringLiteral("Fișierul PDF care se scrie."),
                       QStringLiteral("FISIER")});
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        if (!options.isSet(QStringLiteral("pdf")))
            refuse(QStringLiteral("Lipsește fișierul în care se scrie bonul: --pdf FISIER."));
        const double counter = parseOutputCounter(options.positional()[1]);
        BatchCompany company(options.positional()[0]);
        const QString file = options.value(QStringLiteral("pdf"));
        writeVoucherPdf(company, counter, file);
        console.out << QStringLiteral("Bonul de consum a fost scris în %1\n")
                           .arg(QDir::toNativeSeparators(file));
        return int(ExitOk);
    });
}

} // namespace cli
