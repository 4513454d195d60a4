#include "platform/store/ini_document.h"

#include "platform/base/cp1250.h"
#include "platform/base/errors.h"

#include <QFile>

namespace store {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

std::optional<QString> sectionName(const QByteArray& line) {
    const QByteArray t = trimBlanks(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return base::cp1250::decode(trimBlanks(t.mid(1, close < 0 ? -1 : close - 1)));
}

std::optional<QString> keyName(const QByteArray& line) {
    const QByteArray t = trimBlanks(line);
    const qsizetype eq = t.indexOf('=');
    if (eq < 0 || t.startsWith('[') || t.startsWith(';'))
        return std::nullopt;
    return base::cp1250::decode(trimBlanks(t.left(eq)));
}

QString trimBlanks(const QString& text) {
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype from = 0, to = text.size();
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// A name read from the file is trimmed of blanks and holds ş ţ where ș ț were written, so the
// name asked for is taken the same way: " Secția " finds what setValue(" Secția ", …) wrote.
bool sameName(const std::optional<QString>& found, const QString& wanted) {
    return found &&
           found->compare(base::cp1250::normalize(trimBlanks(wanted)), Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

QByteArray encodeName(const QString& name, const QString& kind, bool valid) {
    if (!valid || name.trimmed().isEmpty() || hasLineBreak(name))
        throw base::ConversionError(
            QStringLiteral("\"%1\" is not a valid settings %2 name.").arg(name, kind));
    return base::cp1250::encode(trimBlanks(name), name);
}

} // namespace

IniDocument::IniDocument(const QByteArray& bytes) {
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? bytes.size() : nl + 1;
        qsizetype textEnd = nl < 0 ? bytes.size() : nl;
        // A CR before the LF belongs to the line end; so does a CR closing the file, which
        // would otherwise become part of the last value and be lost when a line is added.
        if (textEnd > pos && bytes[textEnd - 1] == '\r')
            --textEnd;
        m_lines.append({bytes.mid(pos, textEnd - pos), bytes.mid(textEnd, next - textEnd)});
        pos = next;
    }
}

IniDocument IniDocument::load(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? IniDocument(file.readAll()) : IniDocument();
}

QByteArray IniDocument::bytes() const {
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.text + line.end;
    return out;
}

int IniDocument::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (sameName(sectionName(m_lines[i].text), section))
            return i;
    return -1;
}

int IniDocument::sectionEnd(int header) const {
    int i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines[i].text))
        ++i;
    return i;
}

int IniDocument::findKey(int header, const QString& key) const {
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (sameName(keyName(m_lines[i].text), key))
            return i;
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const int header = findSection(section);
    const int line = header < 0 ? -1 : findKey(header, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[line].text;
    return base::cp1250::decode(trimBlanks(text.mid(text.indexOf('=') + 1)));
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    const int header = findSection(section);
    if (header < 0)
        return out;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (const std::optional<QString> name = keyName(m_lines[i].text))
            out << *name;
    return out;
}

void IniDocument::insertLine(int at, const QByteArray& text) {
    // New lines end like the file's first line that ends in a LF; the line before a new one
    // gets a LF too (after its CR, if it ended in a lone CR), since only a LF ends a line.
    QByteArray end = "\r\n";
    for (const Line& line : m_lines)
        if (line.end.contains('\n')) {
            end = line.end;
            break;
        }
    if (at > 0 && !m_lines[at - 1].end.contains('\n'))
        m_lines[at - 1].end = m_lines[at - 1].end.isEmpty() ? end : QByteArray("\r\n");
    m_lines.insert(at, {text, end});
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray sectionBytes =
        encodeName(section, QStringLiteral("section"), !section.contains(QLatin1Char(']')));
    const QString trimmedKey = key.trimmed();
    const QByteArray keyBytes =
        encodeName(key, QStringLiteral("key"),
                   !key.contains(QLatin1Char('=')) && !trimmedKey.startsWith(QLatin1Char('[')) &&
                       !trimmedKey.startsWith(QLatin1Char(';')));
    if (hasLineBreak(value))
        throw base::ConversionError(
            QStringLiteral("The value of %1 cannot span several lines.").arg(key));
    const QByteArray valueBytes = base::cp1250::encode(value, key);

    const int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !trimBlanks(m_lines.last().text).isEmpty())
            insertLine(m_lines.size(), QByteArray());
        insertLine(m_lines.size(), '[' + sectionBytes + ']');
        insertLine(m_lines.size(), keyBytes + '=' + valueBytes);
        return;
    }
    if (const int line = findKey(header, key); line >= 0) {
        QByteArray& text = m_lines[line].text;
        qsizetype start = text.indexOf('=') + 1;
        while (start < text.size() && isBlank(text[start]))
            ++start;
        text = text.left(start) + valueBytes;
        return;
    }
    int last = header;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (keyName(m_lines[i].text))
            last = i;
    insertLine(last + 1, keyBytes + '=' + valueBytes);
}

} // namespace store
