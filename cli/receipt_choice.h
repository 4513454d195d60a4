#pragma once
// How a command names the goods receipt it works on: by its counter (CONTOR, the positional
// argument after the company), or by the number a person reads on the paper, --number, with
// --type when that number is used by more than one kind of receipt.
#include <QString>

namespace cli {

class BatchCompany;
class CommandOptions;

// Adds --number and --type to a command that takes a receipt.
void addReceiptChoiceOptions(CommandOptions& options);

// The receipt's counter: the positional argument at counterIndex, or the one receipt with the
// given number (and type). Refuses (CommandError, status 1) both or neither given, --type alone,
// a number no receipt has, and a number that several receipts share, naming their counters.
double chosenReceiptCounter(BatchCompany& company, const CommandOptions& options, int counterIndex);

// Refuses, before the company is opened, a choice that cannot name one receipt.
void checkReceiptChoice(const CommandOptions& options, int counterIndex);

} // namespace cli
