#include "cli/command_options.h"

#include "cli/commands.h"

#include <QTextStream>

namespace cli {

CommandOptions::CommandOptions(QString usage, QString description, QString example)
    : m_usage(std::move(usage)), m_description(std::move(description)),
      m_example(std::move(example)) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Afișează acest ajutor.")});
}

void CommandOptions::addOption(const QCommandLineOption& option) {
    m_parser.addOption(option);
    m_options << option;
}

QString CommandOptions::helpText() const {
    QString text = QStringLiteral("Utilizare: %1\n\n%2\n").arg(m_usage, m_description);
    QString options;
    for (const QCommandLineOption& o : m_options) {
        QStringList names;
        for (const QString& n : o.names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString name = names.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty())
            name += QLatin1Char(' ') + o.valueName();
        options += QStringLiteral("  %1  %2\n").arg(name.leftJustified(24), o.description());
    }
    text += QStringLiteral("\nOpțiuni:\n") + options;
    text += QStringLiteral("\nExemplu:\n  %1\n").arg(m_example);
    return text;
}

bool CommandOptions::parse(const QStringList& args, int expectedMin, int expectedMax,
                           Console& console, int& status) {
    const bool parsed = m_parser.parse(QStringList{QStringLiteral("lumbra")} + args);
    if (parsed && m_parser.isSet(QStringLiteral("help"))) {
        console.out << helpText();
        status = 0;
        return false;
    }
    QString problem;
    if (!parsed)
        problem = m_parser.errorText();
    else if (positional().size() < expectedMin)
        problem = QStringLiteral("Lipsesc argumente.");
    else if (positional().size() > expectedMax)
        problem = QStringLiteral("Prea multe argumente: %1")
                      .arg(positional().mid(expectedMax).join(QLatin1Char(' ')));
    if (!problem.isEmpty()) {
        console.err << problem << '\n'
                    << QStringLiteral("Utilizare: %1\n(--help pentru detalii)\n").arg(m_usage);
        status = 1;
        return false;
    }
    return true;
}

} // namespace cli
