#include "store/tool/toolarguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {
struct NumberOption
{
    const char* name; // without its dashes
    qint64 low;
    qint64 high;
};

const NumberOption kNumberOptions[] = {
    {"titoli", 1, 1000000}, {"vendite", 1, 999999},    {"righe", 1, 9999},
    {"linee", 1, 999999},   {"seed", 0, 4294967295LL},
};

// Which options each command takes.
QStringList optionsOf(const QString& command)
{
    if (command == QLatin1String("init")) return {QStringLiteral("sovrascrivi")};
    if (command == QLatin1String("demo"))
        return {QStringLiteral("titoli"), QStringLiteral("seed"), QStringLiteral("sovrascrivi")};
    if (command == QLatin1String("carica") || command == QLatin1String("scarica"))
        return {QStringLiteral("utente"), QStringLiteral("password"), QStringLiteral("sovrascrivi")};
    if (command == QLatin1String("vendite"))
        return {QStringLiteral("vendite"), QStringLiteral("righe"),       QStringLiteral("linee"),
                QStringLiteral("seed"),    QStringLiteral("senza-prove"), QStringLiteral("sovrascrivi")};
    return {};
}

int positionalCount(const QString& command)
{
    if (command == QLatin1String("carica") || command == QLatin1String("scarica")) return 3;
    return command == QLatin1String("vendite") ? 2 : 1;
}

QString positionalNames(const QString& command)
{
    if (command == QLatin1String("carica")) return QStringLiteral("FILE SERVER DATABASE");
    if (command == QLatin1String("scarica")) return QStringLiteral("SERVER DATABASE FILE");
    return command == QLatin1String("vendite") ? QStringLiteral("FILE e OUT") : QStringLiteral("FILE");
}

void addOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    for (const NumberOption& option : kNumberOptions)
        parser.addOption({QLatin1String(option.name), QString(), QStringLiteral("N")});
    parser.addOption({QStringLiteral("senza-prove"), QString()});
    parser.addOption({QStringLiteral("sovrascrivi"), QString()});
    parser.addOption({QStringLiteral("utente"), QString(), QStringLiteral("U")});
    parser.addOption({QStringLiteral("password"), QString(), QStringLiteral("P")});
}

QString rangeError(const NumberOption& option)
{
    return QStringLiteral("--%1 vuole un numero da %2 a %3")
        .arg(QLatin1String(option.name))
        .arg(option.low)
        .arg(option.high);
}

// The option's value within its range, or nothing with the reason in `error`.
std::optional<qint64> numberOf(const QCommandLineParser& parser, const NumberOption& option, QString& error)
{
    bool ok = false;
    const qint64 value = parser.value(QLatin1String(option.name)).toLongLong(&ok);
    if (ok && value >= option.low && value <= option.high) return value;
    error = rangeError(option);
    return std::nullopt;
}

// The numbers given to the command, into `result`; false (with the reason) when one is not valid.
bool readNumbers(const QCommandLineParser& parser, ArgomentiStrumento& result, QString& error)
{
    for (const NumberOption& option : kNumberOptions) {
        const QString name = QLatin1String(option.name);
        if (!parser.isSet(name)) continue;
        const std::optional<qint64> value = numberOf(parser, option, error);
        if (!value) return false;
        if (name == QLatin1String("titoli"))
            result.titoli = int(*value);
        else if (name == QLatin1String("vendite"))
            result.vendite = int(*value);
        else if (name == QLatin1String("righe"))
            result.righe = int(*value);
        else if (name == QLatin1String("linee"))
            result.linee = int(*value);
        else
            result.seed = quint32(*value);
    }
    if (parser.isSet(QStringLiteral("vendite")) && parser.isSet(QStringLiteral("linee"))) {
        error = QStringLiteral("--vendite e --linee non vanno insieme");
        return false;
    }
    return true;
}

// Why the parser refused the arguments, in the tool's words.
QString parseError(const QCommandLineParser& parser, const QString& command)
{
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("Opzione non valida per %1: --%2")
            .arg(command, parser.unknownOptionNames().first());
    for (const NumberOption& option : kNumberOptions)
        if (parser.errorText().contains(QLatin1String(option.name))) return rangeError(option);
    return parser.errorText();
}
} // namespace

QString usoStrumento()
{
    return QStringLiteral(
        "Uso:\n"
        "  tavira-store init FILE [--sovrascrivi]\n"
        "  tavira-store demo FILE [--titoli N] [--seed S] [--sovrascrivi]\n"
        "  tavira-store vendite FILE OUT [--vendite N | --linee L] [--righe R] [--seed S]\n"
        "               [--senza-prove] [--sovrascrivi]\n"
        "  tavira-store aggiorna FILE\n"
        "  tavira-store carica FILE SERVER DATABASE [--utente U --password P] [--sovrascrivi]\n"
        "  tavira-store scarica SERVER DATABASE FILE [--utente U --password P] [--sovrascrivi]\n"
        "  tavira-store --help\n"
        "FILE: lo store SQLite, un file .sqlite (init e demo lo creano; vendite lo legge; aggiorna\n"
        "porta uno store di una struttura precedente a quella attuale, come fa il programma alla\n"
        "prima apertura, senza perdere dati).\n"
        "OUT: il file delle vendite da scrivere (righe di 120 caratteri, Windows-1252, CR LF): N\n"
        "vendite di 1..R righe ciascuna, oppure tante vendite quante ne servono per L righe (l'ultima\n"
        "accorciata), seguite da righe che l'importazione deve scartare o correggere, tranne con\n"
        "--senza-prove.\n"
        "carica crea DATABASE sul SQL Server SERVER (come in Tavira.XML: HOST,PORTA o HOST\\ISTANZA)\n"
        "con gli oggetti dello store e vi copia ogni riga di FILE; scarica copia le tabelle dello\n"
        "store di DATABASE in un nuovo FILE. Entrambi dicono cosa hanno copiato, tabella per tabella;\n"
        "un errore nomina la tabella e la riga e non lascia un database o un file a metà.\n"
        "Un file o un database esistente non viene sostituito senza --sovrascrivi.\n");
}

std::optional<ArgomentiStrumento> leggiArgomenti(const QStringList& arguments, QString& error)
{
    if (arguments.isEmpty()) {
        error = QStringLiteral("Manca il comando");
        return std::nullopt;
    }
    ArgomentiStrumento result;
    result.comando = arguments.first();
    QCommandLineParser parser;
    addOptions(parser);
    // The parser takes the program's name first.
    const bool parsed = parser.parse(QStringList{QStringLiteral("tavira-store")} + arguments);
    if (result.comando == QLatin1String("aiuto") || (parsed && parser.isSet(QStringLiteral("help")))) {
        result.comando = QStringLiteral("aiuto");
        return result;
    }
    const QStringList commands = {QStringLiteral("init"),    QStringLiteral("demo"),
                                  QStringLiteral("vendite"), QStringLiteral("aggiorna"),
                                  QStringLiteral("carica"),  QStringLiteral("scarica")};
    if (!commands.contains(result.comando)) {
        error = QStringLiteral("Comando sconosciuto: %1").arg(result.comando);
        return std::nullopt;
    }
    if (!parsed) {
        error = parseError(parser, result.comando);
        return std::nullopt;
    }
    for (const QString& name : parser.optionNames())
        if (!optionsOf(result.comando).contains(name)) {
            error = QStringLiteral("Opzione non valida per %1: --%2").arg(result.comando, name);
            return std::nullopt;
        }
    if (!readNumbers(parser, result, error)) return std::nullopt;
    result.prove = !parser.isSet(QStringLiteral("senza-prove"));
    result.sovrascrivi = parser.isSet(QStringLiteral("sovrascrivi"));

    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional.size() != positionalCount(result.comando)) {
        error = QStringLiteral("%1 vuole %2").arg(result.comando, positionalNames(result.comando));
        return std::nullopt;
    }
    result.file = positional.at(0);
    if (positional.size() == 3) {
        const bool fileFirst = result.comando == QLatin1String("carica");
        result.file = positional.at(fileFirst ? 0 : 2);
        result.server = positional.at(fileFirst ? 1 : 0);
        result.database = positional.at(fileFirst ? 2 : 1);
        result.utente = parser.value(QStringLiteral("utente"));
        result.password = parser.value(QStringLiteral("password"));
    }
    if (!result.file.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive) ||
        QFileInfo(result.file).fileName().size() <= 7) {
        error = QStringLiteral("Il nome dello store deve terminare con .sqlite: %1").arg(result.file);
        return std::nullopt;
    }
    if (positional.size() == 2) result.uscita = positional.at(1);
    return result;
}
