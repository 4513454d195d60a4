#include "common/account_symbol.h"

QString SyntheticAccount;
QString SyntheticSuffix;
QString AnalyticAccount;
QString SubAnalyticAccount;

int ParseAccountSymbol(const QString& symbol, QChar separator) {
    SyntheticAccount = symbol;
    SyntheticSuffix.clear();
    AnalyticAccount.clear();
    SubAnalyticAccount.clear();

    // Counting goes on past two separators; only the first two positions matter.
    int count = 0;
    qsizetype first = -1;
    qsizetype second = -1;
    for (qsizetype i = 0; i < symbol.size(); ++i) {
        if (symbol.at(i) != separator)
            continue;
        ++count;
        if (count == 1)
            first = i;
        else if (count == 2)
            second = i;
    }
    if (count == 2) {
        SyntheticAccount = symbol.left(first);
        AnalyticAccount = symbol.mid(first + 1, second - first - 1);
        SubAnalyticAccount = symbol.mid(second + 1);
    } else if (count == 1) {
        SyntheticAccount = symbol.left(first);
        AnalyticAccount = symbol.mid(first + 1);
    }
    if (SyntheticAccount.size() > 3) {
        SyntheticSuffix = SyntheticAccount.mid(3);
        SyntheticAccount.truncate(3);
    }

    int code = count;
    if (SyntheticAccount.size() + SyntheticSuffix.size() > kFirstSegmentMax)
        code = 4;
    // Each of the two later segments has its own limit.
    if (AnalyticAccount.size() > kAnalyticSegmentMax ||
        SubAnalyticAccount.size() > kAnalyticSegmentMax)
        code = 4;
    return code;
}

bool IsValidAccountSymbol(const QString& symbol) {
    const int code = ParseAccountSymbol(symbol, QLatin1Char('.'));
    return code >= 0 && code <= 2;
}
