#include "store/tool/toolarguments.h"

#include <QFileInfo>

namespace {
struct NumberOption
{
    const char* name;
    qint64 low;
    qint64 high;
};

// Which options each command takes, with their ranges.
QList<NumberOption> optionsOf(const QString& command)
{
    if (command == QLatin1String("demo")) return {{"--titoli", 1, 1000000}, {"--seed", 0, 4294967295LL}};
    if (command == QLatin1String("vendite"))
        return {{"--vendite", 1, 999999},
                {"--righe", 1, 9999},
                {"--linee", 1, 999999},
                {"--seed", 0, 4294967295LL}};
    return {};
}

bool isHelp(const QString& argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
           argument == QLatin1String("aiuto");
}

int positionalCount(const QString& command)
{
    return command == QLatin1String("vendite") ? 2 : 1;
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
        "  tavira-store --help\n"
        "FILE: lo store SQLite, un file .sqlite (init e demo lo creano; vendite lo legge; aggiorna\n"
        "porta uno store di una struttura precedente a quella attuale, come fa il programma alla\n"
        "prima apertura, senza perdere dati).\n"
        "OUT: il file delle vendite da scrivere (righe di 120 caratteri, Windows-1252, CR LF): N\n"
        "vendite di 1..R righe ciascuna, oppure tante vendite quante ne servono per L righe (l'ultima\n"
        "accorciata), seguite da righe che l'importazione deve scartare o correggere, tranne con\n"
        "--senza-prove.\n"
        "Un file esistente non viene sostituito senza --sovrascrivi.\n");
}

std::optional<ArgomentiStrumento> leggiArgomenti(const QStringList& arguments, QString& error)
{
    if (arguments.isEmpty()) {
        error = QStringLiteral("Manca il comando");
        return std::nullopt;
    }
    ArgomentiStrumento result;
    result.comando = arguments.first();
    if (isHelp(result.comando)) {
        result.comando = QStringLiteral("aiuto");
        return result;
    }
    if (result.comando != QLatin1String("init") && result.comando != QLatin1String("demo") &&
        result.comando != QLatin1String("vendite") && result.comando != QLatin1String("aggiorna")) {
        error = QStringLiteral("Comando sconosciuto: %1").arg(result.comando);
        return std::nullopt;
    }
    const QList<NumberOption> options = optionsOf(result.comando);
    QStringList positional;
    bool salesGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--sovrascrivi") && result.comando != QLatin1String("aggiorna")) {
            result.sovrascrivi = true;
            continue;
        }
        if (argument == QLatin1String("--senza-prove") && result.comando == QLatin1String("vendite")) {
            result.prove = false;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            positional << argument;
            continue;
        }
        const NumberOption* option = nullptr;
        for (const NumberOption& candidate : options)
            if (argument == QLatin1String(candidate.name)) option = &candidate;
        if (!option) {
            error = QStringLiteral("Opzione non valida per %1: %2").arg(result.comando, argument);
            return std::nullopt;
        }
        bool ok = false;
        const qint64 value = i + 1 < arguments.size() ? arguments.at(i + 1).toLongLong(&ok) : 0;
        if (!ok || value < option->low || value > option->high) {
            error = QStringLiteral("%1 vuole un numero da %2 a %3")
                        .arg(argument)
                        .arg(option->low)
                        .arg(option->high);
            return std::nullopt;
        }
        ++i;
        if (argument == QLatin1String("--titoli"))
            result.titoli = int(value);
        else if (argument == QLatin1String("--vendite")) {
            result.vendite = int(value);
            salesGiven = true;
        } else if (argument == QLatin1String("--righe"))
            result.righe = int(value);
        else if (argument == QLatin1String("--linee"))
            result.linee = int(value);
        else
            result.seed = quint32(value);
    }
    if (salesGiven && result.linee > 0) {
        error = QStringLiteral("--vendite e --linee non vanno insieme");
        return std::nullopt;
    }
    if (positional.size() != positionalCount(result.comando)) {
        error = QStringLiteral("%1 vuole %2")
                    .arg(result.comando, positionalCount(result.comando) == 2 ? QStringLiteral("FILE e OUT")
                                                                              : QStringLiteral("FILE"));
        return std::nullopt;
    }
    result.file = positional.at(0);
    if (!result.file.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive) ||
        QFileInfo(result.file).fileName().size() <= 7) {
        error = QStringLiteral("Il nome dello store deve terminare con .sqlite: %1").arg(result.file);
        return std::nullopt;
    }
    if (positional.size() == 2) result.uscita = positional.at(1);
    return result;
}
