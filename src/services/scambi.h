#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The three file exchanges of the program, each with its run panel in the main window.
enum class Pannello { Catalogo, Vendite, Aggiornamento };

// Everything that tells the three exchanges apart outside their runs: their parameters in term.ini, the
// default file name, the files a run writes beside the exchange file, the texts of their settings dialog
// and the tags of their error reports.
struct DescrizioneScambio
{
    Pannello scambio;
    QString chiaveCartella; // the folder parameter
    QString chiaveNome;     // the file-name parameter
    QString nomePredefinito;
    // The files a run writes or removes in the folder: each prefix followed by the file name ("" is the
    // exchange file itself).
    QStringList prefissiFile;
    bool conQualiTitoli; // the catalog's QualiTitoliCatalogoTotale

    // The settings dialog (FrmOpzioniCatalogoTotale, FrmOpzioniVendite, FrmOpzioniAggiornamento).
    QString nomeFinestra;
    QString titoloFinestra;
    QString corniceCartella;
    QString nomeCasellaCartella;
    QString corniceNome;
    QString messaggioCartellaMancante;
    QString logCartella; // followed by the folder in the activity log when saved
    QString logNome;     // followed by the name

    // Tags of the error report.
    QString tagComando;     // the main window's settings command
    QString tagApertura;    // the dialog opening
    QString tagSalvataggio; // the dialog saving
    QString tagRun;         // the run ("" for the update file, which has none)
};

const DescrizioneScambio& descrizioneScambio(Pannello exchange);
const std::array<Pannello, 3>& scambi(); // in the order start-up handles them

// The catalog's title selection: "0" the titles not yet recalled plus dailies, any other number the last
// three issues of every title.
QString chiaveQualiTitoli();

// How a stored setting is read as a number: with one blank appended, its leading number; empty,
// missing or non-numeric text reads as 0.
bool leggeZero(const QString& stored);
