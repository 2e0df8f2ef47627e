#include "store/siteconfig.h"

#include "services/programfolder.h"
#include "services/textfile.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace {
// Tavira.XML holds a few lines; anything this large is not a site configuration and is not read into
// memory at all.
constexpr qint64 kLargestFile = 8 * 1024 * 1024;
// The file nests two levels (the root and its children); far deeper nesting is not a site configuration,
// and the document model would take minutes to build it.
constexpr int kDeepestNesting = 64;

const QString kFileName = QStringLiteral("Tavira.XML");

const QString kRoot = QStringLiteral("Tavira");
const QString kBankElements[5] = {QStringLiteral("bancobarcode"), QStringLiteral("bancobarcode1"),
                                  QStringLiteral("bancobarcode2"), QStringLiteral("bancobarcode3"),
                                  QStringLiteral("bancobarcode4")};
const QString kBankDefaults[5] = {QStringLiteral("2100020"), QStringLiteral("2100021"),
                                  QStringLiteral("2100022"), QStringLiteral("2100023"),
                                  QStringLiteral("2100024")};

ConfigurazioneSito g_configuration;
AltriValoriSito g_otherValues;

std::optional<QString> attribute(const QDomElement& element, const QString& name)
{
    if (element.isNull() || !element.hasAttribute(name)) return std::nullopt;
    return element.attribute(name);
}

// True or false when the attribute is there and its text is a number (compared with 1); nothing when
// it is missing or not a number, the empty text included.
std::optional<bool> equalsOne(const QDomElement& element, const QString& name)
{
    const std::optional<QString> text = attribute(element, name);
    if (!text) return std::nullopt;
    bool ok = false;
    const double value = text->toDouble(&ok); // C notation, blanks around ignored
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value == 1.0;
}

// The text of each child element of the root (the first of each name), whole. The document model drops
// text made of blanks only, which a password may well be, so the texts are read from the same bytes
// with a stream reader.
QHash<QString, QString> childTexts(const QByteArray& bytes)
{
    QHash<QString, QString> texts;
    QXmlStreamReader reader(bytes);
    if (!reader.readNextStartElement()) return texts;
    while (reader.readNextStartElement()) {
        const QString name = reader.name().toString();
        const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        if (!texts.contains(name)) texts.insert(name, text);
    }
    return texts;
}

bool isNetworkPath(const QString& folder)
{
    return folder.startsWith(QLatin1String("\\\\")) || folder.startsWith(QLatin1String("//"));
}

// False when elements nest deeper than any site configuration does. A file the scan cannot read is left
// to the parser, which refuses it in its own way.
bool nestingWithinLimit(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kDeepestNesting) return false;
        if (token == QXmlStreamReader::EndElement) --depth;
    }
    return true;
}

std::optional<QByteArray> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    if (file.size() > kLargestFile) return std::nullopt;
    QByteArray bytes = file.read(kLargestFile + 1);
    if (bytes.size() > kLargestFile || file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}
} // namespace

QString PercorsoConfigurazione()
{
    // A file copied from a Windows machine may have its name in another letter case (TAVIRA.XML).
    const QString exact = percorsoNelProgramma(kFileName);
    if (QFileInfo(exact).isFile()) return exact;
    const QString found = trovaFileNellaCartella(cartellaProgramma(), kFileName);
    return found.isEmpty() ? exact : percorsoNelProgramma(found);
}

bool LeggiConfigurazione(const QString& path)
{
    const std::optional<QByteArray> bytes = readWhole(path);
    if (!bytes || !nestingWithinLimit(*bytes)) return false;

    // The parser honours the encoding the file declares (UTF-8 when none, UTF-16 by its mark,
    // Windows-1252...) and refuses bytes that do not fit it.
    QDomDocument document;
    if (!document.setContent(*bytes)) return false;

    const QDomElement root = document.documentElement();
    if (root.isNull() || root.tagName() != kRoot) return false; // the required elements live under it

    AltriValoriSito other;
    other.compressioneZefiro = attribute(root, QStringLiteral("zefiroCompression")) == QStringLiteral("1");
    const std::optional<QString> basePath = attribute(root, QStringLiteral("zefiroBasePath"));
    other.percorsoZefiro = percorsoZefiro(cartellaProgramma(), basePath ? &*basePath : nullptr);
    const QString database = attribute(root, QStringLiteral("dataBaseName")).value_or(QString());

    const std::optional<bool> debug = equalsOne(root, QStringLiteral("debug"));
    const std::optional<QString> terminal = attribute(root, QStringLiteral("terminal"));
    const std::optional<bool> master = equalsOne(root, QStringLiteral("zefiroMaster"));
    const std::optional<bool> toolbar = equalsOne(root, QStringLiteral("toolbarShow"));
    if (!debug || !terminal || !master || !toolbar) return false;
    other.debug = *debug;
    other.terminale = *terminal;
    other.masterZefiro = *master;
    other.mostraToolbar = *toolbar;

    const QDomElement scanner = root.firstChildElement(QStringLiteral("barcodeScannerCom"));
    if (!scanner.isNull()) {
        const std::optional<QString> port = attribute(scanner, QStringLiteral("port"));
        const std::optional<QString> settings = attribute(scanner, QStringLiteral("settings"));
        if (!port || !settings) return false;
        other.portaScanner = *port;
        other.impostazioniScanner = *settings;
    }
    for (int i = 0; i < 5; ++i) {
        const QDomElement bank = root.firstChildElement(kBankElements[i]);
        if (bank.isNull()) {
            other.codiciBanco[i] = kBankDefaults[i];
            continue;
        }
        const std::optional<QString> code = attribute(bank, QStringLiteral("code"));
        if (!code) return false;
        other.codiciBanco[i] = *code;
    }

    static const char* const required[] = {"DBServerName", "DBAdminUsername", "DBAdminPassword", "DBUsername",
                                           "DBPassword"};
    for (const char* name : required)
        if (root.firstChildElement(QLatin1String(name)).isNull()) return false;
    const QHash<QString, QString> texts = childTexts(*bytes);

    ConfigurazioneSito configuration;
    configuration.database = database;
    configuration.server = texts.value(QStringLiteral("DBServerName"));
    configuration.utenteAdmin = texts.value(QStringLiteral("DBAdminUsername"));
    configuration.passwordAdmin = texts.value(QStringLiteral("DBAdminPassword"));
    configuration.utente = texts.value(QStringLiteral("DBUsername"));
    configuration.password = texts.value(QStringLiteral("DBPassword"));

    g_configuration = configuration;
    g_otherValues = other;
    return true;
}

QString percorsoZefiro(const QString& programFolder, const QString* attributeValue)
{
    if (isNetworkPath(programFolder)) return attributeValue ? *attributeValue : QString();
    return conSeparatoreFinale(programFolder) + QStringLiteral("ZEFIRO");
}

const ConfigurazioneSito& configurazioneSito()
{
    return g_configuration;
}

const AltriValoriSito& altriValoriSito()
{
    return g_otherValues;
}
