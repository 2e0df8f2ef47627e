-- The embedded store: the tables, view, counters and indexes that the program reads and writes in the
-- store database, for SQLite.
--
-- Only SQLite's own collations and functions are used, so the sqlite3 shell and any SQLite browser
-- open, query and change every table without an extension. Text columns sort and compare with the
-- built-in NOCASE (ASCII letters without regard to case). The program's own text comparisons also
-- ignore trailing blanks, as the store's SQL Server collation does ('abc ' = 'ABC'): they compare
-- rtrim(column) COLLATE NOCASE with rtrim(value) (see SqlDialect::testoUguale), and the indexes that
-- serve them are built on those same expressions.
--
-- Dates are ISO-8601 text: 'yyyy-mm-dd' for a day, 'yyyy-mm-dd hh:mm:ss' for a moment ("T" in place of
-- the blank and milliseconds are read too). The program compares and sorts them through julianday(),
-- never as text. Prices, stock and VAT rates are NUMERIC; the program reads them back as decimal text
-- and rounds them as decimals.
--
-- user_version is the layout: 1 declared the program's own collation NOCASE_RTRIM on the text columns
-- (the program rebuilds such a store into this layout when it first opens it); 2 is this one.

PRAGMA user_version = 2;

-- Titles.
CREATE TABLE Prodotti (
    IDProd             INTEGER PRIMARY KEY,
    Zefiro             INTEGER,
    BarcodeTitolo      TEXT COLLATE NOCASE,
    Testata            TEXT COLLATE NOCASE,
    SottoTitolo        TEXT COLLATE NOCASE,
    IDTipoProdotto     INTEGER,
    GiorniScadenzaResa INTEGER
);
CREATE INDEX IX_Prodotti_Zefiro ON Prodotti (Zefiro);

-- Issues: one edition of a title.
CREATE TABLE Uscite (
    IDUscita                        INTEGER PRIMARY KEY,
    IDProd                          INTEGER,
    BarcodeAddon                    TEXT COLLATE NOCASE,
    Addon                           TEXT COLLATE NOCASE,
    NumeroCopertina                 TEXT COLLATE NOCASE,
    DataUscita                      TEXT,
    PrezzoCopertinaEuroDistributore NUMERIC,
    Zefiro                          INTEGER,
    dataRRpdv1                      TEXT,
    dataResa                        TEXT,
    IDIva                           INTEGER,
    PrezzoVenditaExtra              NUMERIC,
    Giacenza                        NUMERIC,
    PrezzoNetto                     NUMERIC,
    UmAcquisto                      TEXT COLLATE NOCASE,
    UmVendita                       TEXT COLLATE NOCASE
);
-- The issues of one title newest first, and an issue by its barcode.
CREATE INDEX IX_Uscite_IDProd_DataUscita ON Uscite (IDProd, julianday(DataUscita));
CREATE INDEX IX_Uscite_BarcodeAddon ON Uscite (rtrim(BarcodeAddon) COLLATE NOCASE);

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
    Descrizione     TEXT COLLATE NOCASE,
    NomeContatore   TEXT COLLATE NOCASE
);
INSERT INTO TipiDocumento (IDTipoDocumento, Descrizione, NomeContatore)
VALUES (7, 'Vendita al banco', 'NumeroVenditaBanco');

-- Sales lines staged from the sales file.
CREATE TABLE Vendite_VT (
    IDVendita  TEXT COLLATE NOCASE,
    IDRiga     TEXT COLLATE NOCASE,
    Data       TEXT,
    Ora        TEXT COLLATE NOCASE,
    Barcode    TEXT COLLATE NOCASE,
    "Quantità" INTEGER,
    IDUscita   INTEGER,
    Prezzo     REAL,
    Elaborato  TEXT COLLATE NOCASE
);
-- A staged line by sale and line number ('S1' and 's1 ' are one sale), and the lines still pending.
CREATE INDEX IX_Vendite_VT_IDVendita_IDRiga
    ON Vendite_VT (rtrim(IDVendita) COLLATE NOCASE, rtrim(IDRiga) COLLATE NOCASE);
CREATE INDEX IX_Vendite_VT_Elaborato ON Vendite_VT (rtrim(Elaborato) COLLATE NOCASE);

-- Document headers.
CREATE TABLE Documenti (
    IDDocumento      INTEGER PRIMARY KEY,
    IDFornitore      INTEGER,
    numero           INTEGER,
    IDTipoDocumento  INTEGER,
    Descrizione      TEXT COLLATE NOCASE,
    Note             TEXT COLLATE NOCASE,
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
    Descrizione        TEXT COLLATE NOCASE,
    Iva                NUMERIC,
    PrezzoNetto        NUMERIC,
    PrezzoCopertina    NUMERIC,
    Spunta             INTEGER,
    QTA                NUMERIC,
    QtaRec             NUMERIC,
    UM                 TEXT COLLATE NOCASE
);
CREATE INDEX IX_DocumentiRighe_IDDocumento ON DocumentiRighe (IDDocumento);

-- Named counters. Advancing one is a single statement that adds one and returns the new value, so two
-- callers never receive the same value. A NULL value stays NULL (the caller then reads -1).
CREATE TABLE Contatori (
    NomeContatore TEXT PRIMARY KEY COLLATE NOCASE,
    Valore        INTEGER
);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumento', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumentoRiga', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('NumeroVenditaBanco', 0);
