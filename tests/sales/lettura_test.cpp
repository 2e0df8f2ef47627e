#include "sales/letturavendite.h"

#include "qtprinting.h"
#include "services/failure.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {
const QByteArray kValida = QByteArray("S1             202612070905000100000000471197712345670030001"
                                      "2        3000000250") +
                           QByteArray(41, ' ');

// Records every outcome as one text: "+id/row", "-reason", with the raw line.
class Registro : public EsitiRighe
{
public:
    void rigaLetta() override { ++letture; }
    void accettata(RigaVendita& v, const QByteArray& riga) override
    {
        esiti << QStringLiteral("+%1/%2").arg(v.idVendita, v.idRiga);
        righe << riga;
    }
    void scartata(Scarto motivo, const QByteArray& riga) override
    {
        esiti << QLatin1Char('-') + testoScarto(motivo);
        righe << riga;
    }

    int letture = 0;
    QStringList esiti;
    QList<QByteArray> righe;
};

// A file of 1000 bytes that hands over its first bytes and then fails, as one on a vanished network
// share does.
class DeviceRotto : public QIODevice
{
public:
    explicit DeviceRotto(QByteArray data) : m_data(std::move(data)) { open(QIODevice::ReadOnly); }
    qint64 size() const override { return 1000; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        if (m_sent) return -1;
        m_sent = true;
        const qint64 n = qMin<qint64>(max, m_data.size());
        memcpy(out, m_data.constData(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    bool m_sent = false;
};

TEST(LetturaVendite, EveryLineReportedInOrderWithItsBytes)
{
    QByteArray second = kValida;
    second.replace(27, 4, "0002");
    second[100] = char(0xE9); // any byte in the part the program does not read
    QByteArray data = kValida + "\r\n" + "corta\r" + second + "\r\n" + "\r\n" + second.left(60) + "\n" +
                      second.mid(60) + "\r\n";
    data += QByteArray(15, ' ') + kValida.mid(15); // last line without a terminator
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    Registro registro;
    leggiRigheVendite(buffer, registro);

    const QString wrongLength = QStringLiteral("-SALTATA: Riga non Coerente al Tracciato");
    EXPECT_EQ(registro.esiti, QStringList({"+S1/0001", wrongLength, "+S1/0002", wrongLength, wrongLength,
                                           "-SALTATA: IDMovimento non Presente"}));
    EXPECT_EQ(registro.letture, 6);
    ASSERT_EQ(registro.righe.size(), 6);
    EXPECT_EQ(registro.righe[1], QByteArray("corta"));
    EXPECT_EQ(registro.righe[2], second);
    EXPECT_EQ(registro.righe[4].size(), 121) << "a lone line feed does not end a line";

    buffer.seek(0);
    EXPECT_EQ(contaRigheVendite(buffer), 6);
}

TEST(LetturaVendite, AnOverlongLineIsRejectedWithoutBeingHeldWhole)
{
    // A file without line ends, or one line of a few megabytes, between two valid lines.
    QByteArray data = kValida + "\r\n" + kValida + QByteArray(3 * 1024 * 1024, 'x') + "\r\n" + kValida;
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    Registro registro;
    leggiRigheVendite(buffer, registro);

    EXPECT_EQ(registro.esiti,
              QStringList({"+S1/0001", "-SALTATA: Riga non Coerente al Tracciato", "+S1/0001"}));
    ASSERT_EQ(registro.righe.size(), 3);
    EXPECT_EQ(registro.righe[1], kValida + "x") << "only the bytes that show the wrong length are kept";
    EXPECT_EQ(registro.righe[2], kValida) << "the next line starts after the long one's end";
    buffer.seek(0);
    EXPECT_EQ(contaRigheVendite(buffer), 3);
}

TEST(LetturaVendite, AFailedReadIsNotTheEndOfTheFile)
{
    DeviceRotto counted(kValida + "\r\n" + kValida.left(50));
    EXPECT_THROW(contaRigheVendite(counted), Failure);
    DeviceRotto read(kValida + "\r\n");
    Registro registro;
    EXPECT_THROW(leggiRigheVendite(read, registro), Failure);
    EXPECT_EQ(registro.esiti, QStringList({"+S1/0001"}));
}
} // namespace
