// lumbra: the command line of the production work, for scripts and batch use. It calls the
// same code as the module's windows.
#include "cli/commands.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kUsage[] =
    "Utilizare: lumbra COMANDA ...\n"
    "\n"
    "Comenzi:\n"
    "  requirement FIRMA CONTOR           necesarul tehnic al unui document de intrare\n"
    "                                     (sau --number NUMAR [--type TIP] în locul contorului)\n"
    "  consume FIRMA CONTOR --date DATA   generează documentul de consum al unui document de "
    "intrare\n"
    "  reverse FIRMA CONTOR               stornează un bon de consum generat din greșeală\n"
    "  variances FIRMA                    abaterile consumului față de rețete, pe materiale\n"
    "  receipt import FIRMA FISIER        înregistrează documente de intrare dintr-un CSV, totul "
    "sau "
    "nimic\n"
    "  recipes export FIRMA [FISIER]      scrie rețetele ca CSV\n"
    "  recipes import FIRMA FISIER        citește rețete dintr-un CSV, totul sau nimic\n"
    "  capacity FIRMA [PRODUS]            câte unități de produs permite stocul\n"
    "  backup FIRMA [FISIER]              o copie de siguranță verificată a firmei\n"
    "  restore FIRMA FISIER               înlocuiește firma cu o copie de siguranță\n"
    "  check FIRMA                        verifică integritatea bazei de date a firmei\n"
    "  move FIRMA --to-server ALIAS       mută tabelele firmei pe un server (--to-directory: "
    "înapoi)\n"
    "  print FIRMA CONTOR --pdf FISIER    scrie bonul de consum al unui document de ieșire ca "
    "PDF\n"
    "  import-paradox SURSA FIRMA         creează o firmă din tabelele Paradox ale alteia, totul "
    "sau nimic\n"
    "\n"
    "lumbra COMANDA --help arată opțiunile și un exemplu. Starea de ieșire: 0 reușit,\n"
    "1 date de intrare refuzate, 2 eroare de bază de date.\n";

// Whether the command paints a document (a PDF file): it then needs the fonts of a graphical
// application, on the offscreen platform when no display is asked for.
bool paints(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "print") == 0)
        return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> application;
    if (paints(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication& app = *application;
    QTextStream out(stdout);
    QTextStream err(stderr);
    cli::Console console{out, err};
    QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (!args.isEmpty())
        args.removeFirst();
    int status = 0;
    if (command == QLatin1String("requirement"))
        status = cli::runRequirement(args, console);
    else if (command == QLatin1String("consume"))
        status = cli::runConsume(args, console);
    else if (command == QLatin1String("reverse"))
        status = cli::runReverse(args, console);
    else if (command == QLatin1String("variances"))
        status = cli::runVariances(args, console);
    else if (command == QLatin1String("recipes"))
        status = cli::runRecipes(args, console);
    else if (command == QLatin1String("capacity"))
        status = cli::runCapacity(args, console);
    else if (command == QLatin1String("backup"))
        status = cli::runBackup(args, console);
    else if (command == QLatin1String("restore"))
        status = cli::runRestore(args, console);
    else if (command == QLatin1String("check"))
        status = cli::runCheck(args, console);
    else if (command == QLatin1String("move"))
        status = cli::runMove(args, console);
    else if (command == QLatin1String("print"))
        status = cli::runPrint(args, console);
    else if (command == QLatin1String("receipt"))
        status = cli::runReceipt(args, console);
    else if (command == QLatin1String("import-paradox"))
        status = cli::runImportParadox(args, console);
    else if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
             command == QLatin1String("help")) {
        out << kUsage;
    } else {
        if (!command.isEmpty())
            err << QStringLiteral("Comandă necunoscută: %1\n\n").arg(command);
        err << kUsage;
        status = 1;
    }
    out.flush();
    err.flush();
    return status;
}
