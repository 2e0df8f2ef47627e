#include "sales/rigavendita.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/fixedwidth.h"
#include "services/numbers.h"

namespace {
// The trimmed field at 1-based position `from`.
QString campo(const QString& line, int from, int width)
{
    return senzaSpazi(line.mid(from - 1, width));
}

bool soloCifre(const QString& text)
{
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Year, month and day as they stand after their range checks, joined as a calendar date; 01/01/1900
// when they do not make one (31 February, a field such as "1.5" or "+7").
QDate dataVendita(QString year, QString month, QString day)
{
    const double y = leggiNumeroDecimale(year), m = leggiNumeroDecimale(month), d = leggiNumeroDecimale(day);
    if (y < 1950 || y > 2050) year = QStringLiteral("1900");
    if (m < 1 || m > 12) month = QStringLiteral("1");
    if (d < 1 || d > 31) day = QStringLiteral("1");
    const QDate fallback(1900, 1, 1);
    if (!soloCifre(year) || !soloCifre(month) || !soloCifre(day)) return fallback;
    const QDate date(year.toInt(), month.toInt(), day.toInt());
    return date.isValid() ? date : fallback;
}

// Hour or minute: its numeric value in two digits, "00" outside 0..limit.
QString dueCifre(const QString& field, int limit)
{
    const double value = leggiNumeroDecimale(field);
    const int n = (value < 0 || value > limit) ? 0 : arrotondaInt16(value);
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}
} // namespace

QString testoScarto(Scarto reason)
{
    switch (reason) {
    case Scarto::LunghezzaErrata:
        return QStringLiteral("SALTATA: Riga non Coerente al Tracciato");
    case Scarto::IDMovimentoAssente:
        return QStringLiteral("SALTATA: IDMovimento non Presente");
    case Scarto::RigaAssente:
        return QStringLiteral("SALTATA: RigaMovimento non Presente");
    case Scarto::RigaNonValida:
        return QStringLiteral("SALTATA: RigaMovimento non Valida");
    case Scarto::IDUscitaNonValido:
        return QStringLiteral("SALTATA: IDUscita non Valido");
    case Scarto::QuantitaNonValida:
        return QStringLiteral("SALTATA: Quantità non Valida");
    }
    return {};
}

bool vaNelFileSaltati(Scarto reason)
{
    return reason != Scarto::LunghezzaErrata;
}

RigaDecodificata decodificaRigaVendita(const QString& line)
{
    RigaDecodificata result;
    RigaVendita& v = result.vendita;
    auto scarta = [&result](Scarto reason) {
        result.scarto = reason;
        return result;
    };

    if (line.size() != kLunghezzaRigaVendite) return scarta(Scarto::LunghezzaErrata);

    v.idVendita = campo(line, 1, 15);
    if (v.idVendita.isEmpty()) return scarta(Scarto::IDMovimentoAssente);

    v.data = dataVendita(campo(line, 16, 4), campo(line, 20, 2), campo(line, 22, 2));
    v.ora = dueCifre(campo(line, 24, 2), 23) + QLatin1Char(':') + dueCifre(campo(line, 26, 2), 59);

    // The row number stays as written (0001 and 1 are different rows), but it must read as a number:
    // blank or negative is row 0, which no sale has; anything else that is not a number rejects only
    // this line rather than holding up the whole file.
    v.idRiga = campo(line, 28, 4);
    if (v.idRiga.isEmpty() || leggiNumeroDecimale(v.idRiga) < 0) v.idRiga = QStringLiteral("0");
    if (!numeroValido(v.idRiga)) return scarta(Scarto::RigaNonValida);
    if (arrotondaInt16(leggiNumeroDecimale(v.idRiga)) == 0) return scarta(Scarto::RigaAssente);

    // Identifiers and quantities that do not fit their column reject the line (halves go to even).
    const QString issue = campo(line, 32, 12);
    if (numeroValido(issue)) {
        try {
            v.idUscita = qMax(0, arrotondaInt32(leggiNumeroDecimale(issue)));
        } catch (const Failure&) {
            return scarta(Scarto::IDUscitaNonValido);
        }
    }

    v.barcode = campo(line, 44, 13);
    v.addon = campo(line, 57, 5);

    const QString quantity = campo(line, 62, 9);
    if (numeroValido(quantity)) {
        try {
            v.quantita = arrotondaInt16(leggiNumeroDecimale(quantity));
        } catch (const Failure&) {
            return scarta(Scarto::QuantitaNonValida);
        }
    }

    // Cents to currency units, on the decimal digits themselves so that no binary rounding creeps in.
    const QString price = campo(line, 71, 9);
    if (numeroValido(price)) {
        if (const auto cents = NumeroEsatto::daTesto(price))
            v.prezzo = cents->perPotenzaDiDieci(-2).arrotondato(2).testo().toDouble();
    }
    return result;
}
