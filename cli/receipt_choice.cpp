#include "cli/receipt_choice.h"

#include "cli/batch_company.h"
#include "cli/command_error.h"
#include "cli/command_options.h"
#include "cli/receipt_requirement.h"
#include "platform/base/date_text.h"
#include "platform/base/float_text.h"
#include "platform/db/query.h"

#include <cmath>

namespace cli {

namespace {

const QString kNumber = QStringLiteral("number");
const QString kType = QStringLiteral("type");

double parseReceiptNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value != std::floor(value))
        refuse(QStringLiteral("Numărul documentului de intrare (--number) trebuie să fie un număr "
                              "întreg, nu «%1».")
                   .arg(text));
    return value;
}

struct Candidate {
    double counter = 0;
    QString type;
    QDate date;
};

QString describe(const Candidate& c) {
    return QStringLiteral("%1 contor %2 din %3")
        .arg(c.type, base::formatFloatGeneral(c.counter), base::dateToText(c.date));
}

} // namespace

void addReceiptChoiceOptions(CommandOptions& options) {
    options.addOption({kNumber,
                       QStringLiteral("Documentul de intrare după numărul lui, în locul "
                                      "contorului."),
                       QStringLiteral("NUMAR")});
    options.addOption({kType,
                       QStringLiteral("Tipul documentului (NIR, BPF), cu --number; necesar doar "
                                      "când numărul este folosit de mai multe tipuri."),
                       QStringLiteral("TIP")});
}

void checkReceiptChoice(const CommandOptions& options, int counterIndex) {
    const bool byCounter = options.positional().size() > counterIndex;
    const bool byNumber = options.isSet(kNumber);
    if (byCounter && byNumber)
        refuse(QStringLiteral("Dați fie contorul documentului de intrare, fie --number, nu "
                              "amândouă."));
    if (!byCounter && !byNumber)
        refuse(QStringLiteral("Lipsește documentul de intrare: CONTOR, sau --number NUMAR "
                              "[--type TIP]."));
    if (options.isSet(kType) && !byNumber)
        refuse(QStringLiteral("--type se dă împreună cu --number."));
    if (byCounter)
        parseReceiptCounter(options.positional()[counterIndex]);
    else
        parseReceiptNumber(options.value(kNumber));
}

double chosenReceiptCounter(BatchCompany& company, const CommandOptions& options,
                            int counterIndex) {
    checkReceiptChoice(options, counterIndex);
    if (!options.isSet(kNumber))
        return parseReceiptCounter(options.positional()[counterIndex]);

    const double number = parseReceiptNumber(options.value(kNumber));
    const QString type = options.value(kType).trimmed();
    // Doc_in is keyed by counter only: the number is found by a scan, which the receipts of a
    // company (a few thousand a year) make cheap.
    db::Query q(QStringLiteral("ReceiptByNumber"));
    q.setSession(&company.session());
    q.setDatabaseName(QStringLiteral("KRVPROD"));
    q.setSqlText(QStringLiteral("SELECT Contor, Tip, Data FROM \"Doc_in.DB\" WHERE Numar = :Numar "
                                "ORDER BY Contor"));
    q.paramByName(QStringLiteral("Numar")).setAsFloat(number);
    q.open();
    QList<Candidate> all;
    for (; !q.eof(); q.next())
        all << Candidate{q.fieldByName(QStringLiteral("Contor"))->asFloat(),
                         q.fieldByName(QStringLiteral("Tip"))->asString().trimmed(),
                         q.fieldByName(QStringLiteral("Data"))->asDate()};
    q.close();

    QList<Candidate> matching;
    for (const Candidate& c : all)
        if (type.isEmpty() || c.type.compare(type, Qt::CaseInsensitive) == 0)
            matching << c;
    const QString named = type.isEmpty()
                              ? QStringLiteral("numărul %1").arg(base::formatFloatGeneral(number))
                              : QStringLiteral("tipul %1 și numărul %2")
                                    .arg(type.toUpper(), base::formatFloatGeneral(number));
    if (matching.isEmpty()) {
        QString text = QStringLiteral("Nu există document de intrare cu %1 în firma %2.")
                           .arg(named, company.directory());
        if (!all.isEmpty()) {
            QStringList others;
            for (const Candidate& c : all)
                others << describe(c);
            text += QStringLiteral(" Cu acest număr există: %1.")
                        .arg(others.join(QStringLiteral(", ")));
        }
        refuse(text);
    }
    if (matching.size() > 1) {
        QStringList counters;
        for (const Candidate& c : matching)
            counters << describe(c);
        refuse(QStringLiteral("Mai multe documente de intrare au %1: %2. Alegeți unul după "
                              "contor%3.")
                   .arg(named, counters.join(QStringLiteral(", ")),
                        type.isEmpty() ? QStringLiteral(" sau cu --type TIP") : QString()));
    }
    return matching.front().counter;
}

} // namespace cli
