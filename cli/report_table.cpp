#include "cli/report_table.h"

#include "cli/csv.h"
#include "platform/base/format_settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>

#include <cmath>

namespace cli {

QString personNumber(double value) {
    QString text = QString::number(value, 'f', 3);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), base::formatSettings().decimalSeparator);
}

QString exactNumber(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

namespace {

bool isNumber(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int;
}

QString personText(const QVariant& v) {
    if (isNumber(v))
        return personNumber(v.toDouble());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("da") : QString();
    return v.toString();
}

QString programText(const QVariant& v) {
    if (isNumber(v))
        return exactNumber(v.toDouble());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return v.toString();
}

} // namespace

void ReportTable::print(QTextStream& out, OutputFormat format) const {
    switch (format) {
    case OutputFormat::Text:
        printText(out);
        break;
    case OutputFormat::Csv:
        printCsv(out);
        break;
    case OutputFormat::Json:
        out << jsonArray() << '\n';
        break;
    }
}

void ReportTable::printText(QTextStream& out) const {
    QList<int> widths;
    for (const Column& c : m_columns)
        widths << int(c.title.size());
    QList<QStringList> cells;
    for (const QVariantList& row : m_rows) {
        QStringList line;
        for (int i = 0; i < m_columns.size(); ++i) {
            line << personText(row.value(i));
            widths[i] = std::max(widths[i], int(line.last().size()));
        }
        cells << line;
    }
    auto printLine = [&](const QStringList& line, const QVariantList* values) {
        QString text;
        for (int i = 0; i < m_columns.size(); ++i) {
            if (i > 0)
                text += QStringLiteral("  ");
            const bool right = values && isNumber(values->value(i));
            text += right ? line[i].rightJustified(widths[i]) : line[i].leftJustified(widths[i]);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out << text << '\n';
    };
    QStringList titles;
    for (const Column& c : m_columns)
        titles << c.title;
    printLine(titles, nullptr);
    QStringList rule;
    for (int w : widths)
        rule << QString(w, QLatin1Char('-'));
    printLine(rule, nullptr);
    for (int r = 0; r < cells.size(); ++r)
        printLine(cells[r], &m_rows[r]);
}

void ReportTable::printCsv(QTextStream& out) const {
    QStringList header;
    for (const Column& c : m_columns)
        header << c.key;
    out << csvLine(header, QLatin1Char(',')) << '\n';
    for (const QVariantList& row : m_rows) {
        QStringList line;
        for (int i = 0; i < m_columns.size(); ++i)
            line << programText(row.value(i));
        out << csvLine(line, QLatin1Char(',')) << '\n';
    }
}

QString ReportTable::jsonArray() const {
    QJsonArray rows;
    for (const QVariantList& row : m_rows) {
        QJsonObject object;
        for (int i = 0; i < m_columns.size(); ++i) {
            const QVariant v = row.value(i);
            if (isNumber(v))
                object.insert(m_columns[i].key, v.toDouble());
            else if (v.typeId() == QMetaType::Bool)
                object.insert(m_columns[i].key, v.toBool());
            else
                object.insert(m_columns[i].key, v.toString());
        }
        rows.append(object);
    }
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Indented)).trimmed();
}

} // namespace cli
