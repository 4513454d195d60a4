// lumbra-host [--create-demo] [<company directory>]: the reference host of the production
// add-on, on one company directory (the one opened last when none is given).
#include "host/host_program.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumbra-host"));

    host::HostProgram::Options options;
    QString message;
    switch (host::HostProgram::parseArguments(QApplication::arguments(), options, message)) {
    case host::HostProgram::Parsed::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case host::HostProgram::Parsed::Error:
        std::fputs(qPrintable(message), stderr);
        return 2;
    case host::HostProgram::Parsed::Run:
        break;
    }
    host::HostProgram program(options);
    return QApplication::exec();
}
