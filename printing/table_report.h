#pragma once
// A printed document made of a heading and one table: what the consumption voucher and the
// requirement sheet put on paper. It holds texts only, already in the regional format; the
// report painter decides where they go on the pages.
#include <QList>
#include <QString>
#include <QStringList>

namespace printing {

struct ReportColumn {
    QString title;
    // Share of the table's width, relative to the other columns' weights.
    double weight = 1;
    // Numbers are aligned right and never wrapped; other texts wrap within the column.
    bool number = false;
};

struct ReportRow {
    QStringList cells; // one per column
    // Printed in bold: a line the reader must notice even on a black-and-white printer.
    bool bold = false;
};

struct TableReport {
    QString companyName;  // top left of every page
    QString title;        // centred under it on the first page
    QStringList details;  // lines under the title on the first page
    QString continuation; // the line that names the document at the top of the later pages
    QList<ReportColumn> columns;
    QList<ReportRow> rows;
    // The total line after the last row: the caption spans every column but the last, which
    // holds the value. Without a caption there is no total line.
    QString totalCaption;
    QString totalValue;
    // Captions of the signature boxes printed side by side after the table; none when empty.
    QStringList signatures;
};

} // namespace printing
