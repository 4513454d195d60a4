// The CSV files of the recipe and receipt imports, as text. Rules: a file is either refused with
// the command line's error or gives records on ascending lines; the records written back one
// line each read back field for field.
#include "cli/command_error.h"
#include "cli/csv.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::utf8(data, size);
    QList<cli::CsvRecord> records;
    try {
        records = cli::parseCsv(text);
    } catch (const cli::CommandError&) {
        return 0;
    }
    int previous = 0;
    QString written;
    for (const cli::CsvRecord& record : records) {
        FUZZ_CHECK(record.line > previous && !record.fields.isEmpty(), text);
        previous = record.line;
        written += cli::csvLine(record.fields, QLatin1Char(',')) + QLatin1String("\r\n");
    }
    QList<cli::CsvRecord> again;
    try {
        again = cli::parseCsv(written);
    } catch (const cli::CommandError&) {
        FUZZ_CHECK(false, written);
    }
    FUZZ_CHECK(again.size() == records.size(), written);
    for (qsizetype i = 0; i < records.size(); ++i)
        FUZZ_CHECK(again[i].fields == records[i].fields, written);
    return 0;
}
