-- The store on SQL Server: the tables, view and counter procedure that the program reads and writes,
-- as a shop's store database holds them. Batches are separated by lines holding GO alone.
--
-- Text columns are varchar as wide as the values they receive (the sales file's fields, the catalog's);
-- the database's collation compares them without regard to letter case and with regard to accents, and
-- '=' ignores trailing blanks. Prices and amounts are money or decimal, dates datetime.

CREATE TABLE Prodotti (
    IDProd             int          NOT NULL PRIMARY KEY,
    Zefiro             smallint     NULL,
    BarcodeTitolo      varchar(13)  NULL,
    Testata            varchar(80)  NULL,
    SottoTitolo        varchar(50)  NULL,
    IDTipoProdotto     int          NULL,
    GiorniScadenzaResa int          NULL
);
CREATE INDEX IX_Prodotti_Zefiro ON Prodotti (Zefiro);
GO
CREATE TABLE Uscite (
    IDUscita                        int           NOT NULL PRIMARY KEY,
    IDProd                          int           NOT NULL,
    BarcodeAddon                    varchar(18)   NULL,
    Addon                           varchar(5)    NULL,
    NumeroCopertina                 varchar(10)   NULL,
    DataUscita                      datetime      NULL,
    PrezzoCopertinaEuroDistributore money         NULL,
    Zefiro                          smallint      NULL,
    dataRRpdv1                      datetime      NULL,
    dataResa                        datetime      NULL,
    IDIva                           int           NULL,
    PrezzoVenditaExtra              money         NULL,
    Giacenza                        int           NOT NULL DEFAULT 0,
    PrezzoNetto                     decimal(12,4) NULL,
    UmAcquisto                      varchar(5)    NULL,
    UmVendita                       varchar(5)    NULL
);
CREATE INDEX IX_Uscite_IDProd_DataUscita ON Uscite (IDProd, DataUscita);
CREATE INDEX IX_Uscite_BarcodeAddon ON Uscite (BarcodeAddon);
GO
CREATE VIEW vUscite AS
SELECT u.IDUscita, p.IDTipoProdotto, p.Testata, u.NumeroCopertina, u.PrezzoNetto, u.UmAcquisto,
       u.UmVendita
FROM Uscite AS u LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd;
GO
CREATE TABLE IVA (
    IDIVA    int          NOT NULL PRIMARY KEY,
    Aliquota decimal(5,2) NULL
);
CREATE TABLE TipiDocumento (
    IDTipoDocumento int         NOT NULL PRIMARY KEY,
    Descrizione     varchar(50) NULL,
    NomeContatore   varchar(50) NULL
);
GO
CREATE TABLE Vendite_VT (
    IDVendita  varchar(15) NOT NULL,
    IDRiga     varchar(4)  NOT NULL,
    Data       datetime    NULL,
    Ora        varchar(5)  NULL,
    Barcode    varchar(18) NULL,
    "Quantità" smallint    NULL,
    IDUscita   int         NULL,
    Prezzo     money       NULL,
    Elaborato  varchar(1)  NOT NULL DEFAULT '0'
);
CREATE INDEX IX_Vendite_VT_IDVendita_IDRiga ON Vendite_VT (IDVendita, IDRiga);
CREATE INDEX IX_Vendite_VT_Elaborato ON Vendite_VT (Elaborato);
GO
CREATE TABLE Documenti (
    IDDocumento      int          NOT NULL PRIMARY KEY,
    IDFornitore      int          NULL,
    numero           int          NULL,
    IDTipoDocumento  int          NULL,
    Descrizione      varchar(50)  NULL,
    Note             varchar(255) NULL,
    Data             datetime     NULL,
    TotaleImponibile money        NULL,
    TotaleIVA        money        NULL,
    TotaleBolla      money        NULL,
    ValoreBolla      money        NULL,
    TotaleFIEG       money        NULL,
    TotaleAltri      money        NULL
);
CREATE TABLE DocumentiRighe (
    IDDocumentoRiga    int           NOT NULL PRIMARY KEY,
    IDDocumento        int           NOT NULL,
    NumeroRiga         int           NULL,
    IDUscita           int           NULL,
    idcausaleMovimento int           NULL,
    Descrizione        varchar(80)   NULL,
    Iva                decimal(5,2)  NULL,
    PrezzoNetto        decimal(10,2) NULL,
    PrezzoCopertina    money         NULL,
    Spunta             bit           NULL,
    QTA                decimal(10,2) NULL,
    QtaRec             decimal(10,2) NULL,
    UM                 varchar(5)    NULL
);
CREATE INDEX IX_DocumentiRighe_IDDocumento ON DocumentiRighe (IDDocumento);
GO
CREATE TABLE Contatori (
    NomeContatore varchar(50) NOT NULL PRIMARY KEY,
    Valore        int         NULL
);
GO
-- Advances the named counter by one and gives its new value; NULL for a counter that is not there or
-- holds NULL. The update takes the counter's row lock and the read follows inside the same transaction,
-- so two callers never get the same value. (One statement with OUTPUT INTO would do on SQL Server; the
-- T-SQL engine of the tests hands out a value twice that way when two sessions meet.)
CREATE PROCEDURE Contatore_update
    @NomeContatore varchar(50),
    @Valore int OUTPUT
AS
BEGIN
    SET NOCOUNT ON;
    BEGIN TRANSACTION;
    UPDATE Contatori SET Valore = Valore + 1 WHERE NomeContatore = @NomeContatore;
    SET @Valore = (SELECT Valore FROM Contatori WHERE NomeContatore = @NomeContatore);
    COMMIT TRANSACTION;
END
GO
