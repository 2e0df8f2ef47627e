#include "app/frmmain.h"
#include "app/windowdisplay.h"
#include "qtprinting.h"

#include "app/folderopener.h"
#include "app/loglist.h"
#include "modalscript.h"
#include "services/activitylog.h"
#include "services/progress.h"
#include "services/textfile.h"
#include "testfolder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {
class RunDisplayTest : public ProgramFolderTest
{
protected:
    template <typename T> T& find(const char* name) const
    {
        T* widget = window.findChild<T*>(QLatin1String(name));
        if (!widget) throw std::runtime_error(name);
        return *widget;
    }

    // The last line of LOG.Dat.
    QString lastLogLine() const
    {
        const QList<QByteArray> lines = readBytes(QStringLiteral("LOG.Dat")).split('\n');
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            if (!line->trimmed().isEmpty()) return QString::fromLatin1(line->trimmed());
        return QString();
    }

    // Steps `steps` steps on a bar of that maximum, from the title a run starts with.
    QString titleAfter(Pannello panel, int maximum, int steps)
    {
        display.azzeraPannello(panel);
        display.impostaTitolo(titoloInizioRun());
        display.impostaMassimo(panel, maximum);
        for (int i = 0; i < steps; ++i)
            display.avanzaProgresso(panel);
        return window.windowTitle();
    }

    FrmMain window;
    DisplayFinestra display{window};
};

TEST_F(RunDisplayTest, MessageTrimmedInTheListAndGivenWholeToTheLog)
{
    display.scriviLog(Pannello::Catalogo, QStringLiteral("   Connessione OK !  "));
    const LogList& list = find<LogList>("ListLOG1");
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.line(0), QStringLiteral("09:05:03 -- Connessione OK !"));
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(lastLogLine(), activityLogLine(QStringLiteral("   Connessione OK !  ")).trimmed());
    EXPECT_EQ(find<LogList>("ListLOG3").count(), 0);
    EXPECT_EQ(find<LogList>("ListLOG2").count(), 0);

    setNow(QDateTime(QDate(2026, 12, 7), QTime(23, 0, 9)));
    display.scriviLog(Pannello::Vendite, QStringLiteral("Inizio"));
    EXPECT_EQ(find<LogList>("ListLOG3").line(0), QStringLiteral("23:00:09 -- Inizio"));
}

TEST_F(RunDisplayTest, SeveralLinesAtOnceArriveAsOneAfterTheOther)
{
    display.scriviLog(Pannello::Vendite, QStringLiteral("Inizio"));
    display.scriviLogRighe(Pannello::Vendite,
                           {QStringLiteral("Creato Documento con ID = 7"), QStringLiteral("Tot € = 2,5")});
    const LogList& list = find<LogList>("ListLOG3");
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.line(1), QStringLiteral("09:05:03 -- Creato Documento con ID = 7"));
    EXPECT_EQ(list.line(2), QStringLiteral("09:05:03 -- Tot € = 2,5"));
    const QList<QByteArray> log = readBytes(QStringLiteral("LOG.Dat")).split('\n');
    ASSERT_EQ(log.size(), 5) << "the header, three lines and nothing after the last line end";
    EXPECT_EQ(QString::fromLatin1(log[2].trimmed()),
              activityLogLine(QStringLiteral("Creato Documento con ID = 7")).trimmed());
    EXPECT_EQ(log[3].trimmed(), codificaAnsi(activityLogLine(QStringLiteral("Tot € = 2,5"))).trimmed());
}

TEST_F(RunDisplayTest, FirstVisibleLineKeepsTheLastInSight)
{
    EXPECT_EQ(PannelloRun::primaRigaVisibile(0), 0);
    EXPECT_EQ(PannelloRun::primaRigaVisibile(5), 0);
    EXPECT_EQ(PannelloRun::primaRigaVisibile(6), 1);
    EXPECT_EQ(PannelloRun::primaRigaVisibile(40), 35);

    LogList& list = find<LogList>("ListLOG1");
    window.show();
    list.setFixedHeight(list.fontMetrics().height() * 3 + 2 * list.frameWidth());
    QApplication::processEvents();
    for (int i = 1; i <= 6; ++i)
        display.scriviLog(Pannello::Catalogo, QStringLiteral("messaggio %1").arg(i));
    EXPECT_EQ(list.verticalScrollBar()->value(), 0); // after the sixth, still the first line
    display.scriviLog(Pannello::Catalogo, QStringLiteral("messaggio 7"));
    EXPECT_EQ(list.verticalScrollBar()->value(), 1); // after the seventh, the second line
    EXPECT_EQ(list.currentRow(), 6);
    for (int i = 8; i <= 12; ++i)
        display.scriviLog(Pannello::Catalogo, QStringLiteral("messaggio %1").arg(i));
    EXPECT_EQ(list.verticalScrollBar()->value(), 6);
    EXPECT_EQ(list.currentRow(), 11);
    display.scriviLogRighe(Pannello::Catalogo, {"13", "14", "15", "16", "17"}); // one move for all five
    EXPECT_EQ(list.verticalScrollBar()->value(), 11);
    EXPECT_EQ(list.currentRow(), 16);
}

TEST_F(RunDisplayTest, TheLastLineStaysInViewWhenAWideLineBringsTheSideBar)
{
    LogList& list = find<LogList>("ListLOG1");
    window.show();
    list.setFixedHeight(list.rowHeight() * 8 + 2 * list.frameWidth());
    QApplication::processEvents();
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QString::number(i);
    display.scriviLogRighe(Pannello::Catalogo, lines << QString(400, QLatin1Char('=')));
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents(); // the wide line painted, then the horizontal bar shown
    ASSERT_TRUE(list.horizontalScrollBar()->isVisible());
    EXPECT_GT(list.firstVisibleRow() + list.viewport()->height() / list.rowHeight(), list.currentRow());
}

struct PercentageCase
{
    int maximum;
    int steps;
    const char* title;
};

TEST_F(RunDisplayTest, PercentageInTheTitleEveryTenthStep)
{
    const PercentageCase cases[] = {
        {25, 10, "(40 %) Esporta Importa in 'Vetrina'"},
        {25, 20, "(80 %) Esporta Importa in 'Vetrina'"},
        {25, 25, "(80 %) Esporta Importa in 'Vetrina'"},
        {80, 10, "(12 %) Esporta Importa in 'Vetrina'"}, // 12.5, the half to the even neighbour
        {8, 8, "(0%) Esporta Importa in 'Vetrina'"},
        {26, 20, "(77 %) Esporta Importa in 'Vetrina'"},
        {25, 9, "(0%) Esporta Importa in 'Vetrina'"},
    };
    for (const PercentageCase& row : cases)
        for (const Pannello panel : {Pannello::Catalogo, Pannello::Vendite})
            EXPECT_EQ(titleAfter(panel, row.maximum, row.steps), QString::fromUtf8(row.title))
                << row.maximum << " " << row.steps;
}

TEST_F(RunDisplayTest, BarShowsTheSteps)
{
    titleAfter(Pannello::Catalogo, 26, 13);
    EXPECT_EQ(find<QProgressBar>("PB1").maximum(), 26);
    EXPECT_EQ(find<QProgressBar>("PB1").value(), 13);
    display.azzeraPannello(Pannello::Catalogo);
    EXPECT_EQ(find<QProgressBar>("PB1").maximum(), 100);
    EXPECT_EQ(find<QProgressBar>("PB1").value(), 0);
}

struct DotsCase
{
    Pannello panel;
    const char* label;
    int limit; // 0: none
};

TEST_F(RunDisplayTest, DotsEmptyPastThePanelLimit)
{
    const DotsCase cases[] = {{Pannello::Catalogo, "lblAvan", 22},
                              {Pannello::Vendite, "lblAvan3", 27},
                              {Pannello::Aggiornamento, "lblAvan2", 0}};
    for (const DotsCase& row : cases) {
        const int pulses = row.limit ? row.limit : 40;
        display.impostaMassimo(row.panel, 100000);
        for (int i = 0; i < pulses * 10; ++i)
            display.avanzaProgresso(row.panel);
        EXPECT_EQ(find<QLabel>(row.label).text(), QString(pulses, QLatin1Char('.'))) << row.label;
        for (int i = 0; i < 10; ++i)
            display.avanzaProgresso(row.panel);
        EXPECT_EQ(find<QLabel>(row.label).text(),
                  row.limit ? QString() : QString(pulses + 1, QLatin1Char('.')))
            << row.label;
        display.svuotaAttivita(row.panel);
        EXPECT_EQ(find<QLabel>(row.label).text(), QString());
        for (int i = 0; i < 10; ++i)
            display.avanzaProgresso(row.panel);
        EXPECT_EQ(find<QLabel>(row.label).text(), QStringLiteral("."))
            << "the row starts again after clearing";
        display.svuotaAttivita(row.panel);
    }
}

TEST_F(RunDisplayTest, BusyAndIdle)
{
    window.show();
    window.impostaOccupato(true);
    EXPECT_FALSE(window.isEnabled());
    EXPECT_FALSE(find<QPushButton>("CmdEsci").isEnabled());
    EXPECT_TRUE(window.occupato());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    window.impostaOccupato(false);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_FALSE(window.occupato());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);

    // Busy twice, idle once: no hourglass left behind.
    window.impostaOccupato(true);
    window.impostaOccupato(true);
    window.impostaOccupato(false);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

TEST_F(RunDisplayTest, QuestionsAndMessagesThroughTheModalSeam)
{
    ModalScript script;
    script.thenPress(QMessageBox::Yes).thenPress(QMessageBox::No).thenPress(QMessageBox::Ok);
    EXPECT_TRUE(display.chiediSiNo(QStringLiteral("Attenzione!"), QStringLiteral("Vuoi Sovrascrivere?")));
    EXPECT_FALSE(display.chiediSiNo(QStringLiteral("Attenzione!"), QStringLiteral("Vuoi Sovrascrivere?")));
    display.avvisa(IconaMessaggio::Informazione, QStringLiteral("OK"), QStringLiteral("Fatto"));
    EXPECT_EQ(script.shown(), 3);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_EQ(script.titles(), QStringList({QStringLiteral("Attenzione!"), QStringLiteral("Attenzione!"),
                                            QStringLiteral("OK")}));
    EXPECT_EQ(script.texts().last(), QStringLiteral("Fatto"));
}

TEST_F(RunDisplayTest, FolderButtonsOpenTheirFieldWithTheWindowHourglass)
{
    window.mostraImpostazioni(Pannello::Catalogo,
                              {QStringLiteral("/dati/catalogo/"), QStringLiteral("c"), {}});
    window.mostraImpostazioni(Pannello::Vendite, {QStringLiteral("/dati/vendite/"), QStringLiteral("v"), {}});
    window.mostraImpostazioni(Pannello::Aggiornamento,
                              {QStringLiteral("/non/esiste/"), QStringLiteral("u"), {}});
    QStringList opened;
    QList<Qt::CursorShape> cursors;
    impostaApriCartella([&](const QString& folder) {
        opened << folder;
        cursors << window.cursor().shape();
    });
    window.show();
    for (const char* button : {"CmdCartellaCatalogo", "CmdCartellaVendite", "CmdCartellaAggiornamento"})
        QTest::mouseClick(&find<QPushButton>(button), Qt::LeftButton);
    impostaApriCartella({});
    EXPECT_EQ(opened, QStringList({QStringLiteral("/dati/catalogo/"), QStringLiteral("/dati/vendite/"),
                                   QStringLiteral("/non/esiste/")}));
    EXPECT_EQ(cursors, QList<Qt::CursorShape>({Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor}));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor); // the window's own pointer back to the default
    EXPECT_TRUE(errors.empty());
}
} // namespace
