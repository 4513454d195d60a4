#pragma once
// Parses a subcommand's options and positional arguments, and prints its help: a usage line,
// what it does, its options and an example.
#include <QCommandLineParser>

namespace cli {

struct Console;

class CommandOptions {
public:
    CommandOptions(QString usage, QString description, QString example);
    void addOption(const QCommandLineOption& option);

    // Parses args. Answers false when the command is to end with the answered status: after
    // printing the help (--help, status 0) or a usage error (status 1).
    bool parse(const QStringList& args, int expectedMin, int expectedMax, Console& console,
               int& status);
    QStringList positional() const { return m_parser.positionalArguments(); }
    bool isSet(const QString& name) const { return m_parser.isSet(name); }
    QString value(const QString& name) const { return m_parser.value(name); }

private:
    QString helpText() const;

    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
    QString m_usage;
    QString m_description;
    QString m_example;
};

} // namespace cli
