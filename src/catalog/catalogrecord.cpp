#include "catalog/catalogrecord.h"

#include "services/exactnumber.h"
#include "services/fixedwidth.h"
#include "store/storevalues.h"

#include <QDate>

namespace {
const QString kSenzaGiacenza = QStringLiteral("+000000");

// Blank-fill: trimmed of blanks, then blanks added or the right part cut away.
QString testoAllineato(const QVariant& value, int width)
{
    return riempiConSpazi(senzaSpazi(testoDelValore(value)), width);
}

// Field 1 (and 12 for a numeric value): the decimal text of the number, zero-filled.
QString numeroRiempito(const NumeroEsatto& number, int width)
{
    return riempiConZeri(number.testo(), width);
}

// Field 2: the issue's own 18-character barcode when it has exactly 18 characters as stored (its blanks
// becoming zeros), otherwise the title's barcode (13) followed by the add-on (5).
QString barcode(const QVariant& barcodeAddon, const QVariant& barcodeTitolo, const QVariant& addon)
{
    const QString stored = testoDelValore(barcodeAddon);
    if (stored.size() == 18)
        return riempiConSpazi(senzaSpazi(stored), 18).replace(QLatin1Char(' '), QLatin1Char('0'));
    return riempiConZeri(senzaSpazi(testoDelValore(barcodeTitolo)), 13) +
           riempiConZeri(senzaSpazi(testoDelValore(addon)), 5);
}

// Field 6: yyyymmdd of an on-sale date between 1 January 1950 00:00 and 1 January 2050 00:00, both
// included; 19000101 for anything else.
QString dataUscita(const QVariant& value)
{
    static const QDate first(1950, 1, 1), last(2050, 1, 1);
    const auto moment = dataDelValore(value);
    const bool inWindow = moment && moment->data >= first &&
                          (moment->data < last || (moment->data == last && moment->ora == QTime(0, 0)));
    if (!inWindow) return QStringLiteral("19000101");
    return riempiConZeri(QString::number(moment->data.year()), 4) +
           riempiConZeri(QString::number(moment->data.month()), 2) +
           riempiConZeri(QString::number(moment->data.day()), 2);
}

// Field 7: the days rounded to a whole number, zero-filled to 3; "000" when not numeric.
QString giorniResa(const QVariant& value)
{
    const auto days = NumeroEsatto::daValore(value);
    return days ? numeroRiempito(days->arrotondato(0), 3) : QStringLiteral("000");
}

// Field 9: the price in whole cents, zero-filled to 9.
QString prezzoInCentesimi(const QVariant& value)
{
    const auto price = NumeroEsatto::daValore(value);
    return price ? numeroRiempito(price->arrotondato(2).perPotenzaDiDieci(2), 9)
                 : QStringLiteral("000000000");
}

// Field 11: sign and the rounded quantity zero-filled to 6. 999 and -999 stand for "no stock figure".
QString giacenza(const QVariant& value)
{
    static const NumeroEsatto plus999 = *NumeroEsatto::daTesto(QStringLiteral("999"));
    static const NumeroEsatto minus999 = *NumeroEsatto::daTesto(QStringLiteral("-999"));
    const auto stock = NumeroEsatto::daValore(value);
    if (!stock || *stock == plus999 || *stock == minus999) return kSenzaGiacenza;
    return (stock->negativo() ? QStringLiteral("-") : QStringLiteral("+")) +
           numeroRiempito(stock->assoluto().arrotondato(0), 6);
}

// Field 12: the title identifier as decimal text, zero-filled to 12.
QString idProdotto(const QVariant& value)
{
    const auto id = NumeroEsatto::daValore(value);
    return id ? numeroRiempito(*id, 12) : QStringLiteral("000000000000");
}
} // namespace

QString ComponiRigaCatalogo(const RigaDati& titolo, const RigaDati& uscita)
{
    QString record;
    record.reserve(TracciatoCatalogo::lunghezzaRecord);
    record += numeroRiempito(NumeroEsatto::letto(uscita.valore(QStringLiteral("IDUscita"))), 12);
    record += barcode(uscita.valore(QStringLiteral("BarcodeAddon")),
                      titolo.valore(QStringLiteral("BarcodeTitolo")), uscita.valore(QStringLiteral("Addon")));
    record += testoAllineato(titolo.valore(QStringLiteral("Testata")), 20);
    record += testoAllineato(titolo.valore(QStringLiteral("SottoTitolo")), 20);
    record += testoAllineato(uscita.valore(QStringLiteral("NumeroCopertina")), 8);
    record += dataUscita(uscita.valore(QStringLiteral("DataUscita")));
    record += giorniResa(titolo.valore(QStringLiteral("GiorniScadenzaResa")));
    record += QStringLiteral("00");
    record += prezzoInCentesimi(uscita.valore(QStringLiteral("PrezzoCopertinaEuroDistributore")));
    record += QString(13, QLatin1Char(' '));
    record += giacenza(uscita.valore(QStringLiteral("Giacenza")));
    record += idProdotto(titolo.valore(QStringLiteral("IDProd")));
    record += QString(8, QLatin1Char(' '));
    return record;
}
