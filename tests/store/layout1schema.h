#pragma once

// The store layout 1 as the program created it: text columns with the collation NOCASE_RTRIM.
inline constexpr const char* kSchemaLayout1 = R"SQL(
PRAGMA user_version = 1;
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
CREATE VIEW vUscite AS
SELECT u.IDUscita, p.IDTipoProdotto, p.Testata, u.NumeroCopertina, u.PrezzoNetto, u.UmAcquisto,
       u.UmVendita
FROM Uscite AS u LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd;
CREATE TABLE IVA (
    IDIVA    INTEGER PRIMARY KEY,
    Aliquota NUMERIC
);
CREATE TABLE TipiDocumento (
    IDTipoDocumento INTEGER PRIMARY KEY,
    Descrizione     TEXT COLLATE NOCASE_RTRIM,
    NomeContatore   TEXT COLLATE NOCASE_RTRIM
);
INSERT INTO TipiDocumento (IDTipoDocumento, Descrizione, NomeContatore)
VALUES (7, 'Vendita al banco', 'NumeroVenditaBanco');
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
CREATE TABLE Contatori (
    NomeContatore TEXT PRIMARY KEY COLLATE NOCASE_RTRIM,
    Valore        INTEGER
);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumento', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('IDDocumentoRiga', 0);
INSERT INTO Contatori (NomeContatore, Valore) VALUES ('NumeroVenditaBanco', 0);
)SQL";
