#include "catalog/catalogchecks.h"

#include "catalog/catalogfile.h"

namespace {
const QString kEsisteGia = QStringLiteral("Esiste già un File di Catalogo Totale");

// True when the existing catalog may be overwritten: asked unless unattended, where the answer is Yes.
bool sovrascrivere(const PannelloScambio& panel)
{
    panel.log(kEsisteGia);
    if (panel.automatico()) return true;
    return panel.display().chiediSiNo(QStringLiteral("Attenzione!"),
                                      kEsisteGia + QStringLiteral("!!\r\n\r\nVuoi Sovrascrivere?"));
}
} // namespace

std::optional<DestinazioneCatalogo> controllaDestinazione(RunScambio& run)
{
    const PannelloScambio& panel = run.pannello();
    const auto checked = run.controllaFile(QStringLiteral("Test Cartella di Destinazione"),
                                           QStringLiteral("La Cartella di Destinazione non è Configurata"),
                                           QStringLiteral("la cartella di Destinazione non Esiste!!"));
    if (!checked) return std::nullopt;
    DestinazioneCatalogo destination{checked->cartella, checked->nome, QString()};
    if (!run.riserva(
            destination.cartella + destination.nome,
            QStringLiteral("Un'Altra Esportazione del Catalogo verso questa Destinazione è in Corso")))
        return std::nullopt;
    const FileCatalogo file(destination.cartella, destination.nome);
    destination.nomeEsistente = file.nomeEsistente();
    if (!destination.nomeEsistente.isEmpty()) {
        if (!sovrascrivere(panel)) {
            panel.log(QStringLiteral("L'utente ha risposto di non Sovrascrivere il File"));
            return std::nullopt;
        }
        if (!file.sostituibile(destination.nomeEsistente)) {
            panel.log(QStringLiteral("Impossibile Sovrascrivere il File del Catalogo Totale"));
            panel.log(QStringLiteral("Accesso Negato"));
            return std::nullopt;
        }
        panel.log(QStringLiteral("L'utente ha risposto di Sovrascrivere il File"));
    }
    return destination;
}
