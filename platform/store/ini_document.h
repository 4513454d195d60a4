#pragma once
// The text of a sectioned key=value settings file in code page 1250, held as its lines byte
// for byte, so that setting one key changes only that key's line (or adds lines) and the
// rest of the file (comments, order, blank lines, spacing, CRLF or LF) stays as it was.
//
// A line whose first non-blank character is '[' starts a section named by the text up to
// ']'; a line with '=' that is not a header or a ';' comment is a key. Names are matched
// without regard to case and trimmed of blanks; the first section and the first key of a
// name win. Lines before the first section belong to none.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {

class IniDocument {
public:
    explicit IniDocument(const QByteArray& bytes = QByteArray());
    // The file's text; empty when it is missing or cannot be read.
    static IniDocument load(const QString& fileName);
    QByteArray bytes() const;

    // The value trimmed of blanks, or nullopt when the section or key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Key names of the section in file order, empty when the section is missing.
    QStringList keys(const QString& section) const;

    // Replaces the key's value, keeping the line's text up to the value; a new key goes after
    // the last key line of its section, a new section at the end of the file. New lines end
    // like the file's first line ending in a line feed (CRLF in a new file). Throws
    // base::ConversionError, changing nothing, for a character outside code page 1250, a line break
    // in the value, or a name that would not read back (empty, a ']' in a section, a '=' in a key).
    void setValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QByteArray text;
        QByteArray end; // "\r\n", "\n" or empty on a last line without one
    };

    int findSection(const QString& section) const; // header line, or -1
    int sectionEnd(int header) const;              // the next header line, or the line count
    int findKey(int header, const QString& key) const;
    void insertLine(int at, const QByteArray& text);

    QList<Line> m_lines;
};

} // namespace store
