#pragma once
// A table of results printed three ways: aligned columns for a person, CSV and JSON for
// programs. Numbers stay numbers until printed: a person reads them rounded to thousandths
// with the regional decimal separator, a program gets every digit with a decimal point.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QTextStream;

namespace cli {

enum class OutputFormat { Text, Csv, Json };

class ReportTable {
public:
    struct Column {
        QString key;   // CSV header and JSON member name
        QString title; // heading for a person
    };

    explicit ReportTable(QList<Column> columns) : m_columns(std::move(columns)) {}

    // One value per column: a QString, a double, or a bool.
    void addRow(const QVariantList& values) { m_rows << values; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int rowCount() const { return int(m_rows.size()); }

    void print(QTextStream& out, OutputFormat format) const;
    // The rows as a JSON array of objects, for a caller that wraps them in a larger document.
    QString jsonArray() const;

private:
    void printText(QTextStream& out) const;
    void printCsv(QTextStream& out) const;

    QList<Column> m_columns;
    QList<QVariantList> m_rows;
};

// A quantity for a person: rounded to thousandths, no trailing zeros, regional separator.
QString personNumber(double value);
// A quantity for a program: the shortest text that reads back as the same double.
QString exactNumber(double value);

} // namespace cli
