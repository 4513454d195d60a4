// Failures of a command become one message on standard error and an exit status.
#include "cli/command_error.h"
#include "cli/commands.h"
#include "platform/base/errors.h"

#include <QTextStream>

namespace cli {

int guarded(Console& console, const std::function<int()>& command) {
    try {
        return command();
    } catch (const CommandError& e) {
        console.err << e.message() << '\n';
        return e.status();
    } catch (const base::DatabaseError& e) {
        if (e.kind() == base::DatabaseError::Kind::Damaged) {
            // The message says what happened, to which file and what to do.
            console.err << e.message() << '\n';
            return ExitDatabaseError;
        }
        QString text = QStringLiteral("Eroare de bază de date: %1").arg(e.message());
        if (e.kind() == base::DatabaseError::Kind::Busy)
            text += QStringLiteral(
                "\nO tabelă este blocată de alt utilizator; încercați din nou peste câteva clipe.");
        text += QStringLiteral("\nNu s-a scris nimic.");
        console.err << text << '\n';
        return ExitDatabaseError;
    } catch (const base::ConversionError& e) {
        console.err << e.message() << '\n';
        return ExitRefused;
    } catch (const base::Abort&) {
        console.err << QStringLiteral("Operația a fost oprită de o regulă a datelor.") << '\n';
        return ExitRefused;
    } catch (const base::Error& e) {
        console.err << e.message() << '\n';
        return ExitDatabaseError;
    }
}

int reportRefusedRows(Console& console, const QStringList& refused) {
    console.err << QStringLiteral("%1 linii refuzate; nu s-a scris nimic:\n").arg(refused.size());
    for (const QString& r : refused)
        console.err << QStringLiteral("  ") << r << '\n';
    return int(ExitRefused);
}

} // namespace cli
