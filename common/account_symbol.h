#pragma once
// Account symbols: up to three segments separated by a separator character, as in "371.01.2" or
// "4426.1". The first segment (at most 10 characters) is a three-character synthetic account and
// an optional suffix (the fourth digit of a four-digit synthetic account); the second is the
// analytic account and the third the sub-analytic account (at most 20 characters each). Only the
// number of segments and their lengths are checked: any character, an empty segment and the empty
// text are accepted; "999(9).99(9).99(9)" is advice to the person, not a rule.
//
// The parts of the last symbol parsed are module-wide values; every parse empties and refills
// all four, so a parse overwrites the result of the one before.
#include <QChar>
#include <QString>

extern QString SyntheticAccount;   // the first three characters of the first segment
extern QString SyntheticSuffix;    // the rest of the first segment; empty for three or fewer
extern QString AnalyticAccount;    // the second segment
extern QString SubAnalyticAccount; // the third segment

// The length limits of the segments.
inline constexpr int kFirstSegmentMax = 10;
inline constexpr int kAnalyticSegmentMax = 20;

// The code of the symbol: the number of separators (0, 1 or 2 for an accepted symbol, 3 or more
// for too many segments), or 4 when the first segment is longer than 10 characters or the second
// or the third longer than 20. With three or more separators the whole text counts as the first
// segment. Fills the four parts.
int ParseAccountSymbol(const QString& symbol, QChar separator);

// True exactly when the symbol, separated by '.', has at most three segments within their limits.
bool IsValidAccountSymbol(const QString& symbol);
