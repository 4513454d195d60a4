#pragma once
// The subcommands of the command line. Each takes its own arguments (after the subcommand's
// name), prints its results to standard output and its messages to standard error, and answers
// the exit status: 0 done, 1 refused input, 2 a database failure.
#include <QStringList>

#include <functional>

class QTextStream;

namespace cli {

struct Console {
    QTextStream& out;
    QTextStream& err;
};

int runRequirement(const QStringList& args, Console& console);
int runConsume(const QStringList& args, Console& console);
int runRecipes(const QStringList& args, Console& console);
int runCapacity(const QStringList& args, Console& console);
int runBackup(const QStringList& args, Console& console);
int runRestore(const QStringList& args, Console& console);
int runCheck(const QStringList& args, Console& console);
int runMove(const QStringList& args, Console& console);
int runPrint(const QStringList& args, Console& console);
int runReceipt(const QStringList& args, Console& console);
int runImportParadox(const QStringList& args, Console& console);
int runReverse(const QStringList& args, Console& console);
int runVariances(const QStringList& args, Console& console);

// Runs a command, turning its failures into a message on standard error and an exit status.
int guarded(Console& console, const std::function<int()>& command);

// Lists the refused rows of an imported file on standard error, after saying nothing was
// written, and answers the refused-input status.
int reportRefusedRows(Console& console, const QStringList& refused);

} // namespace cli
