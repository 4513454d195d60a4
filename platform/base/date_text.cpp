#include "platform/base/date_text.h"

#include "platform/base/errors.h"
#include "platform/base/format_settings.h"

#include <QList>

namespace base {
namespace {

enum class Part { Day, Month, Year };

// The order of day, month and year in the format, with the width of each.
struct Layout {
    QList<Part> order;
    int width[3] = {2, 2, 4};
};

Layout layoutOf(const QString& format) {
    Layout layout;
    const QString f = format.toUpper();
    for (int i = 0; i < f.size();) {
        const QChar c = f.at(i);
        int n = 1;
        while (i + n < f.size() && f.at(i + n) == c)
            ++n;
        Part p;
        bool known = true;
        if (c == QLatin1Char('D'))
            p = Part::Day;
        else if (c == QLatin1Char('M'))
            p = Part::Month;
        else if (c == QLatin1Char('Y'))
            p = Part::Year;
        else
            known = false;
        if (known && !layout.order.contains(p)) {
            layout.order << p;
            layout.width[int(p)] = n;
        }
        i += n;
    }
    if (layout.order.size() != 3)
        layout.order = {Part::Day, Part::Month, Part::Year};
    return layout;
}

} // namespace

QString dateToText(const QDate& date) {
    if (!date.isValid())
        return QString();
    const FormatSettings& s = formatSettings();
    const QString f = s.shortDateFormat.toUpper();
    QString out;
    for (int i = 0; i < f.size();) {
        const QChar c = f.at(i);
        int n = 1;
        while (i + n < f.size() && f.at(i + n) == c)
            ++n;
        if (c == QLatin1Char('D'))
            out += QString::number(date.day()).rightJustified(n >= 2 ? 2 : 1, QLatin1Char('0'));
        else if (c == QLatin1Char('M'))
            out += QString::number(date.month()).rightJustified(n >= 2 ? 2 : 1, QLatin1Char('0'));
        else if (c == QLatin1Char('Y'))
            out += n <= 2 ? QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0'))
                          : QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
        else if (c == QLatin1Char('/'))
            out += QString(n, s.dateSeparator);
        else
            out += QString(n, c);
        i += n;
    }
    return out;
}

bool tryTextToDate(const QString& text, QDate& result) {
    QList<int> numbers;
    QList<int> digits;
    const QString t = text.trimmed();
    for (int i = 0; i < t.size();) {
        if (t.at(i).isDigit()) {
            int value = 0;
            int n = 0;
            while (i < t.size() && t.at(i).isDigit()) {
                if (n < 9)
                    value = value * 10 + t.at(i).digitValue();
                ++n;
                ++i;
            }
            numbers << value;
            digits << n;
        } else if (t.at(i).isLetter()) {
            return false;
        } else {
            ++i;
        }
    }
    if (numbers.size() != 3)
        return false;
    const Layout layout = layoutOf(formatSettings().shortDateFormat);
    int day = 0, month = 0, year = 0, yearDigits = 0;
    for (int k = 0; k < 3; ++k) {
        switch (layout.order[k]) {
        case Part::Day:
            day = numbers[k];
            break;
        case Part::Month:
            month = numbers[k];
            break;
        case Part::Year:
            year = numbers[k];
            yearDigits = digits[k];
            break;
        }
    }
    if (yearDigits <= 2)
        year += year < 50 ? 2000 : 1900;
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    result = QDate(year, month, day);
    return true;
}

QDate textToDate(const QString& text) {
    QDate d;
    if (!tryTextToDate(text, d))
        throw ConversionError(QStringLiteral("'%1' is not a valid date.").arg(text));
    return d;
}

} // namespace base
