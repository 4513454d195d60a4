// Account symbols typed by a person: the first byte is the separator, the rest the symbol. Rules:
// the code counts the separators, or is 4 for a segment too long; an accepted symbol is exactly
// its parts put back together; the check with '.' agrees with the parse.
#include "common/account_symbol.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QChar separator = QLatin1Char(char(data[0] & 0x7f));
    const QString symbol = fuzz::utf8(data + 1, size - 1);
    const int code = ParseAccountSymbol(symbol, separator);
    const int separators = int(symbol.count(separator));
    FUZZ_CHECK(code == separators || code == 4, symbol);
    if (code <= 2) {
        QString joined = SyntheticAccount + SyntheticSuffix;
        FUZZ_CHECK(joined.size() <= kFirstSegmentMax, symbol);
        FUZZ_CHECK(SyntheticAccount.size() <= 3, symbol);
        if (code >= 1)
            joined += separator + AnalyticAccount;
        if (code == 2)
            joined += separator + SubAnalyticAccount;
        FUZZ_CHECK(joined == symbol, symbol + QLatin1String(" -> ") + joined);
        FUZZ_CHECK(AnalyticAccount.size() <= kAnalyticSegmentMax &&
                       SubAnalyticAccount.size() <= kAnalyticSegmentMax,
                   symbol);
    }
    const QString dotted = fuzz::utf8(data + 1, size - 1);
    FUZZ_CHECK(IsValidAccountSymbol(dotted) == (ParseAccountSymbol(dotted, QLatin1Char('.')) <= 2),
               dotted);
    return 0;
}
