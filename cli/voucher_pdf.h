#pragma once
// The consumption voucher of an output document written as a PDF file, for the print command
// and for consume --pdf.
#include <QCommandLineOption>
#include <QString>

namespace cli {

class BatchCompany;
class CommandOptions;

// Refuses (CommandError) a counter that names no consumption document and a file that cannot
// be written; a database failure passes through as base::DatabaseError.
void writeVoucherPdf(BatchCompany& company, double counter, const QString& fileName);

// consume --pdf FILE: the voucher of the document just generated.
QCommandLineOption voucherPdfOption();
// Refuses --pdf with --dry-run (no document is written, so there is no voucher) and an empty
// file name, before anything is generated.
void checkVoucherPdfOption(const CommandOptions& options);
// With --pdf, writes the voucher of the generated document; a file that cannot be written is
// refused with a message saying that the document was generated all the same.
void writeGeneratedVoucherPdf(BatchCompany& company, const CommandOptions& options, double counter);

// The output-document counter as typed: a whole number.
double parseOutputCounter(const QString& text);

} // namespace cli
