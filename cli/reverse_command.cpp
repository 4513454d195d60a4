// lumbra reverse COMPANY COUNTER [--date DD/MM/YYYY]: reverses a consumption document posted by
// mistake, as the "Stornare" action of the output documents window, all or nothing.
#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "data/qdm_data_module.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/base/format_settings.h"
#include "requirement/consumption_reversal.h"

#include <QTextStream>

#include <cmath>

namespace cli {

int runReverse(const QStringList& args, Console& console) {
    CommandOptions options(
        QStringLiteral("lumbra reverse FIRMA CONTOR [--date ZZ/LL/AAAA] [--allow-earlier]"),
        QStringLiteral(
            "Stornează bonul de consum (BMC) cu contorul CONTOR: scrie un document BMC nou cu "
            "aceleași linii\n"
            "cu cantitățile cu semn schimbat, pune fiecare cantitate înapoi în înregistrarea de "
            "stoc din care\n"
            "a fost luată (o înregistrare golită de document este creată din nou, cu gestiunea, "
            "grupa, lotul,\n"
            "prețul și agentul ei) și marchează bonul ca stornat, totul sau nimic. Un bon se "
            "stornează o\n"
            "singură dată. Data documentului de stornare este azi, dacă nu se dă --date;\n"
            "o dată dinaintea bonului stornat se primește doar cu --allow-earlier."),
        QStringLiteral("lumbra reverse ~/lumbra-demo 7 --date 16/03/2025"));
    options.addOption({QStringLiteral("date"),
                       QStringLiteral("Data documentului de stornare (implicit azi)."),
                       QStringLiteral("ZZ/LL/AAAA")});
    options.addOption({QStringLiteral("allow-earlier"),
                       QStringLiteral("Primește o dată dinaintea bonului stornat.")});
    int status = 0;
    if (!options.parse(args, 2, 2, console, status))
        return status;
    return guarded(console, [&] {
        base::formatSettings().shortDateFormat = QStringLiteral("DD/MM/YYYY");
        QDate date = QDate::currentDate();
        if (options.isSet(QStringLiteral("date"))) {
            const QString text = options.value(QStringLiteral("date"));
            if (text.isEmpty() || !base::tryTextToDate(text, date) || !date.isValid())
                refuse(QStringLiteral("Data «%1» nu este o dată validă; scrieți-o ca ZZ/LL/AAAA, "
                                      "de exemplu 15/03/2025.")
                           .arg(text));
        }
        const QString counterText = options.positional()[1];
        bool ok = false;
        const double counter = counterText.toDouble(&ok);
        if (!ok || counter <= 0 || counter != std::floor(counter))
            refuse(
                QStringLiteral("Contorul «%1» nu este un număr întreg pozitiv.").arg(counterText));
        BatchCompany company(options.positional()[0]);
        requirement::ReversalResult result;
        try {
            result =
                requirement::reverseConsumption(company.dataModule().GhostDB, counter, date,
                                                options.isSet(QStringLiteral("allow-earlier")));
        } catch (const requirement::ReversalRefused& e) {
            refuse(e.message());
        }
        console.out << QStringLiteral("Documentul de consum cu contorul %1 a fost stornat prin "
                                      "documentul BMC cu contorul %2 din %3: %4 linii")
                           .arg(base::formatFloatGeneral(result.document),
                                base::formatFloatGeneral(result.counter), base::dateToText(date))
                           .arg(result.lineCount);
        if (result.recreated > 0)
            console.out
                << QStringLiteral(", %1 înregistrări de stoc create din nou").arg(result.recreated);
        console.out << QStringLiteral(".\n");
        return int(ExitOk);
    });
}

} // namespace cli
