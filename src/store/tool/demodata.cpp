#include "store/tool/demodata.h"

#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/transazione.h"
#include "store/tool/randomsource.h"

#include <QSqlQuery>
#include <QStringList>

#include <utility>

namespace {
// One kind of title: its product type, how often it appears, how often it comes out, its price range
// in cents, its VAT code and the days allowed for returns.
struct Kind
{
    int type;
    int weight;
    int periodDays;
    int minIssues;
    int maxIssues;
    int minCents;
    int maxCents;
    int vatCode;
    int returnDays;
    QStringList names;
};

const QList<Kind>& kinds()
{
    static const QList<Kind> table = {
        {2,
         15,
         1,
         8,
         40,
         120,
         250,
         1,
         2,
         {"Corriere", "Gazzetta", "Giornale", "Eco", "Messaggero", "Gazzettino", "Nazione", "Tribuna"}},
        {1,
         30,
         7,
         4,
         30,
         150,
         600,
         1,
         14,
         {"Settimana", "Oggi Casa", "Motori", "Viaggi", "Enigmistica", "Salute", "Cucina Facile", "Sport"}},
        {3,
         25,
         30,
         3,
         12,
         300,
         990,
         1,
         45,
         {"Giardini", "Scienza", "Fotografia", "Storia", "Natura", "Informatica", "Arredare", "Montagna"}},
        {4,
         12,
         14,
         3,
         20,
         799,
         1499,
         1,
         60,
         {"Collezione", "Modellismo", "Fumetti", "Figurine", "Enciclopedia"}},
        {8, 10, 60, 1, 5, 290, 1290, 4, 90, {"Album", "Giocattoli", "Cartoleria", "Adesivi"}},
        {9, 8, 90, 1, 4, 590, 1990, 2, 120, {"Libro", "Atlante", "Guida", "Romanzo"}},
    };
    return table;
}

const QStringList kPlaces = {"di Milano", "di Roma",  "del Veneto", "di Sicilia", "della Sera", "del Sud",
                             "di Torino", "del Lago", "Italiano",   "Nuovo",      "Illustrato", "Moderno"};

const Kind& pickKind(RandomSource& random)
{
    int total = 0;
    for (const Kind& kind : kinds())
        total += kind.weight;
    int draw = random.below(total);
    for (const Kind& kind : kinds()) {
        if (draw < kind.weight) return kind;
        draw -= kind.weight;
    }
    return kinds().first();
}

QString decimalText(int cents)
{
    const int whole = qAbs(cents);
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 100)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}

QString isoDay(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QVariant stock(RandomSource& random)
{
    const int draw = random.below(100);
    if (draw < 22) return 0;
    if (draw < 30) return -random.between(1, 3);
    if (draw < 33) return 999;
    return random.between(1, 20);
}

class Filler
{
public:
    Filler(ConnessioneStore& connection, const OpzioniDemo& options)
        : m_connection(connection), m_options(options), m_random(quint64(options.seed) * 7919 + 17),
          m_title(connection.prepara(QStringLiteral(
              "INSERT INTO Prodotti (IDProd, Zefiro, BarcodeTitolo, Testata, SottoTitolo, IDTipoProdotto, "
              "GiorniScadenzaResa) VALUES (?, ?, ?, ?, ?, ?, ?)"))),
          m_issue(connection.prepara(QStringLiteral(
              "INSERT INTO Uscite (IDUscita, IDProd, BarcodeAddon, Addon, NumeroCopertina, DataUscita, "
              "PrezzoCopertinaEuroDistributore, Zefiro, dataRRpdv1, dataResa, IDIva, PrezzoVenditaExtra, "
              "Giacenza, "
              "PrezzoNetto, UmAcquisto, UmVendita) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
    {
    }

    RiepilogoDemo run()
    {
        static const std::pair<int, int> rates[] = {{1, 0}, {2, 4}, {3, 10}, {4, 22}};
        for (const auto& [code, rate] : rates)
            m_connection.esegui(QStringLiteral("INSERT INTO IVA (IDIVA, Aliquota) VALUES (?, ?)"),
                                {code, rate});
        for (int id = 1; id <= m_options.titoli; ++id)
            addTitle(id);
        return m_summary;
    }

private:
    void addTitle(int id)
    {
        const Kind& kind = pickKind(m_random);
        const QString base = QStringLiteral("977") + QString::number(id).rightJustified(9, QLatin1Char('0'));
        const QString barcode = base + QString::number(cifraControlloEan(base));
        const QString name = kind.names.at(m_random.below(int(kind.names.size()))) + QLatin1Char(' ') +
                             kPlaces.at(m_random.below(int(kPlaces.size())));
        const QVariant subtitle = m_random.percent(40)
                                      ? QVariant(QStringLiteral("Edizione %1").arg(m_random.between(1, 9)))
                                      : QVariant();
        const QVariantList title = {
            id, m_random.percent(90) ? 1 : 0, barcode, name, subtitle, kind.type, kind.returnDays};
        for (int i = 0; i < title.size(); ++i)
            m_title.bindValue(i, title.at(i));
        m_connection.eseguiPreparata(m_title);
        ++m_summary.titoli;

        // Most titles are current; some stopped coming out more than half a year ago.
        const QDate today = m_options.oggi;
        const QDate newest = m_random.percent(12) ? today.addDays(-m_random.between(190, 330))
                                                  : today.addDays(-m_random.below(kind.periodDays));
        const int count = m_random.between(kind.minIssues, kind.maxIssues);
        const int firstNumber = m_random.between(100, 2000) + count;
        int cents = (kind.minCents + m_random.below(kind.maxCents - kind.minCents + 1)) / 10 * 10;
        if (kind.type == 4) cents -= 1; // 7.99, 12.99...
        for (int j = 0; j < count; ++j) {
            const QDate date = newest.addDays(-qint64(j) * kind.periodDays);
            if (date < today.addDays(-365)) break;
            addIssue(id, kind, barcode, firstNumber - j, date, cents);
        }
    }

    void addIssue(int titleId, const Kind& kind, const QString& barcode, int number, const QDate& date,
                  int cents)
    {
        const QString addon = QString::number(number % 100000).rightJustified(5, QLatin1Char('0'));
        QVariant returned, returnedAtShop;
        if (date < m_options.oggi.addDays(-60) && m_random.percent(45)) {
            returned = isoDay(date.addDays(kind.returnDays));
            if (m_random.percent(50)) returnedAtShop = isoDay(date.addDays(qMax(1, kind.returnDays - 3)));
        }
        QVariant extra;
        const int extraDraw = m_random.below(100);
        if (extraDraw >= 95)
            extra = decimalText(cents + 50);
        else if (extraDraw >= 70)
            extra = QStringLiteral("0");
        const QVariantList values = {
            ++m_issueId,
            titleId,
            m_random.percent(85) ? QVariant(barcode + addon) : QVariant(),
            addon,
            QString::number(number),
            isoDay(date),
            decimalText(cents),
            m_random.percent(95) ? 1 : 0,
            returnedAtShop,
            returned,
            m_random.percent(4) ? QVariant() : QVariant(kind.vatCode),
            extra,
            stock(m_random),
            decimalText((cents * 81 + 50) / 100), // the shop's cost: the cover price less its margin
            QStringLiteral("PZ"),
            QStringLiteral("PZ"),
        };
        for (int i = 0; i < values.size(); ++i)
            m_issue.bindValue(i, values.at(i));
        m_connection.eseguiPreparata(m_issue);
        ++m_summary.uscite;
    }

    ConnessioneStore& m_connection;
    const OpzioniDemo& m_options;
    RandomSource m_random;
    QSqlQuery m_title;
    QSqlQuery m_issue;
    int m_issueId = 0;
    RiepilogoDemo m_summary;
};
} // namespace

int cifraControlloEan(const QString& twelveDigits)
{
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (twelveDigits.at(i).unicode() - '0') * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

RiepilogoDemo riempiStoreDemo(ConnessioneStore& connection, const OpzioniDemo& options)
{
    Transazione unit(connection); // undone when left by a failure
    const RiepilogoDemo summary = Filler(connection, options).run();
    unit.conferma();
    return summary;
}
