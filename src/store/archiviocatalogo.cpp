#include "store/archiviocatalogo.h"

#include "store/connessionestore.h"
#include "store/sqldialect.h"
#include "store/storerow.h"

namespace {
const QString kColonneUscite = QStringLiteral("IDUscita,BarcodeAddon,Addon,NumeroCopertina,DataUscita,"
                                              "PrezzoCopertinaEuroDistributore,Giacenza from Uscite "
                                              "Where IDProd = ");
const QString kFineInStock = QStringLiteral(" and Zefiro = 1 and giacenza>0");
// Two blanks before "and giacenza", as the query has always been written.
const QString kFineNonRichiamate =
    QStringLiteral(" and Zefiro = 1 and dataRRpdv1 is null and dataResa is null  and giacenza>0");

// Lets the result go however its reading ends: the connection serves one open result at a time.
class ChiudiAllaFine
{
public:
    explicit ChiudiAllaFine(QSqlQuery& query) : m_query(query) {}
    ~ChiudiAllaFine() { m_query.finish(); }
    ChiudiAllaFine(const ChiudiAllaFine&) = delete;
    ChiudiAllaFine& operator=(const ChiudiAllaFine&) = delete;

private:
    QSqlQuery& m_query;
};
} // namespace

ArchivioCatalogo::ArchivioCatalogo(ConnessioneStore& connection, ModoSelezione mode)
    : m_connection(connection),
      m_mode(mode), m_daily{testoUscite(connection.dialetto(), mode, true), nullptr, {}},
      m_other{testoUscite(connection.dialetto(), mode, false), nullptr, {}}
{
}

ArchivioCatalogo::~ArchivioCatalogo() = default;

QString ArchivioCatalogo::testoTitoli(const SqlDialect& dialect, const QDate& cutOff)
{
    // The cut-off goes in as the dialect's unambiguous date literal, never as a regional date text, and
    // the newest issue is found and compared as a moment, never as a text.
    const QString data = dialect.dataDi(QStringLiteral("DataUscita"));
    return QStringLiteral("SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (") +
           dialect.selectTop(1, data + QStringLiteral(" FROM Uscite WHERE IDProd = TAB1.IDProd ORDER BY ") +
                                    data + QStringLiteral(" DESC")) +
           QStringLiteral(") > ") + dialect.letteraleData(cutOff);
}

QString ArchivioCatalogo::testoUscite(const SqlDialect& dialect, ModoSelezione mode, bool daily)
{
    const QString idProd = QStringLiteral("?");
    const QString newestFirst =
        QStringLiteral(" order by ") + dialect.dataDi(QStringLiteral("Datauscita")) + QStringLiteral(" desc");
    if (mode == ModoSelezione::UltimeTreUscite)
        return dialect.selectTop(3, kColonneUscite + idProd + kFineInStock + newestFirst);
    if (daily) return dialect.selectTop(2, kColonneUscite + idProd + kFineInStock + newestFirst);
    return dialect.selectTop(10, kColonneUscite + idProd + kFineNonRichiamate + newestFirst);
}

void ArchivioCatalogo::titoli(const QDate& cutOff, const PerRiga& perTitolo)
{
    QSqlQuery titles = m_connection.esegui(testoTitoli(m_connection.dialetto(), cutOff));
    const ChiudiAllaFine closing(titles);
    const RigaQuery row(titles);
    while (rigaSuccessiva(titles))
        perTitolo(row);
}

void ArchivioCatalogo::uscite(const QVariant& idProd, bool daily, const PerRiga& perUscita)
{
    // With the last 3 issues of every title, dailies are no different.
    const bool dailyStatement = daily && m_mode == ModoSelezione::NonRichiamatiEQuotidiani;
    Istruzione& statement = dailyStatement ? m_daily : m_other;
    QSqlQuery& issues = m_connection.eseguiRicordata(statement.sql, {idProd});
    const ChiudiAllaFine closing(issues);
    if (statement.query != &issues) { // prepared afresh for this text
        statement.row = std::make_unique<RigaQuery>(issues);
        statement.query = &issues;
    }
    while (rigaSuccessiva(issues))
        perUscita(*statement.row);
}
