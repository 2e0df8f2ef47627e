-- The embedded store: the tables, view, counters and indexes that the program reads and writes in the
-- store database, for SQLite.
--
-- Text columns use the collation NOCASE_RTRIM, which the program registers on every connection it
-- opens: letter case and trailing blanks are ignored, as the store's SQL Server collation does
-- ('abc ' = 'ABC'). The sqlite3 shell can read every table; comparing or sorting those columns there
-- needs the program's collation and is refused with "no such collation sequence".
--
-- Dates are ISO-8601 text: 'yyyy-mm-dd' for a day, 'yyyy-mm-dd hh:mm:ss' for a moment, so that they
-- sort and compare as text. Prices, stock and VAT rates are NUMERIC; the program reads them back as
-- decimal text and rounds them as decimals.

PRAGMA user_version = 1;

-- Titles.
CREATE TABLE Prodotti (
    IDProd             INTEGER PRIMARY KEY,
    Zefiro             INTEGER,
    BarcodeTitolo      TEXT COLLATE NOCASE_RTRIM,
    Testata            TEXT COLLATE NOCASE_RTRIM,
    SottoTitolo        TEXT COLLATE NOCASE_RTRIM,
    IDTipoProdotto     INTEGER,
    GiorniScadenzaResa INTEGER
);
CREATE INDEX IX_Prodotti_Zefiro ON Prodotti (Zefiro);

-- Issues: one edition of a title.
CREATE TABLE Uscite (
    IDUscita                        INTEGER PRIMARY KEY,
    IDProd                          INTEGER,
    BarcodeAddon                    TEXT COLLATE NOCASE_RTRIM,
    Addon                           TEXT COLLATE NOCASE_RTRIM,
    NumeroCopertina                 TEXT COLLATE NOCASE_RTRIM,
    DataUscita                      TEXT,
    PrezzoCopertinaEuroDistributore NUMERIC,
    Zefiro                          INTEGER,
    dataRRpdv1                      TEXT,
    dataResa                        TEXT,
    IDIva                           INTEGER,
    PrezzoVenditaExtra              NUMERIC,
    Giacenza                        NUMERIC,
    PrezzoNetto                     NUMERIC,
    UmAcquisto                      TEXT COLLATE NOCASE_RTRIM,
    UmVendita                       TEXT COLLATE NOCASE_RTRIM
);
CREATE INDEX IX_Uscite_IDProd_DataUscita ON Uscite (IDProd, DataUscita);
CREATE INDEX IX_Uscite_BarcodeAddon ON Uscite (BarcodeAddon);

-- Issues with the title they belong to.
CREATE VIEW vUscite AS
SELECT u.IDUscita, p.IDTipoProdotto, p.Testata, u.NumeroCopertina, u.PrezzoNetto, u.UmAcquisto,
       u.UmVendita
FROM Uscite AS u LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd;

-- VAT codes and their rates in percent.
CREATE TABLE IVA (
    IDIVA    INTEGER PRIMARY KEY,
    Aliquota NUMERIC
);

-- Document types; type 7 holds the sales documents and names their numbering counter.
CREATE TABLE TipiDocumento (
    IDTipoDocumento INTEGER PRIMARY KEY,
    Descrizione     TEXT COLLATE NOCASE_RTRIM,
    NomeContatore   TEXT COLLATE NOCASE_RTRIM
);
INSERT INTO TipiDocumento (IDTipoDocumento, Descrizione, NomeContatore)
VALUES (7, 'Vendita al banco', 'NumeroVenditaBanco');

-- Sales lines staged from the sales file.
CREATE TABLE Vendite_VT (
    IDVendita  TEXT COLLATE NOCASE_RTRIM,
    IDRiga     TEXT COLLATE NOCASE_RTRIM,
    Data       TEXT,
    Ora        TEXT COLLATE NOCASE_RTRIM,
    Barcode    TEXT COLLATE NOCASE_RTRIM,
    "Quantità" INTEGER,
    IDUscita   INTEGER,
    Prezzo     REAL,
    Elaborato  TEXT COLLATE NOCASE_RTRIM
);
CREATE INDEX IX_Vendite_VT_IDVendita_IDRiga ON Vendite_VT (IDVendita, IDRiga);
CREATE INDEX IX_Vendite_VT_Elaborato ON Vendite_VT (Elaborato);

-- Document headers.
CREATE TABLE Documenti (
    IDDocumento      INTEGER PRIMARY KEY,
    IDFornitore      INTEGER,
    numero           INTEGER,
    IDTipoDocumento  INTEGER,
    Descrizione      TEXT COLLATE NOCASE_RTRIM,
    Note             TEXT COLLATE NOCASE_RTRIM,
    Data             TEXT,
    TotaleImponibile NUMERIC,
    TotaleIVA        NUMERIC,
    TotaleBolla      NUMERIC,
    ValoreBolla      NUMERIC,
    TotaleFIEG       NUMERIC,
    TotaleAltri      NUMERIC
);

-- Document rows.
CREATE TABLE DocumentiRighe (
    IDDocumentoRiga    INTEGER PRIMARY KEY,
    IDDocumento        INTEGER,
    NumeroRiga         INTEGER,
    IDUscita           INTEGER,
    idcausaleMovimento INTEGER,
    Descrizione        TEXT COLLATE NOCASE_RTRIM,
    Iva                NUMERIC,
    PrezzoNetto        NUMERIC,
    PrezzoCopertina    NUMERIC,
    Spunta             INTEGER,
    QTA                NUMERIC,
    QtaRec             NUMERIC,
    UM                 TEXT COLLATE NOCASE_RTRIM
);
CREATE INDEX IX_DocumentiRighe_IDDocumento ON DocumentiRighe (IDDocumento);

-- Named counters. Advancing one is a single statement that adds one and returns the new value, so two
-- callers never receive the same value. A NULL value stays NULL (the caller then reads -1).
CREATE TABLE Contatori (
    NomeContatore TEXT PRIMARY KEY COLLATE NOCASE_RTRIM,
    Valore        INTEGER
);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumento', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumentoRiga', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('NumeroVenditaBanco', 0);
