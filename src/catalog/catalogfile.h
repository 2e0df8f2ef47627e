#pragma once

#include "services/textfile.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The catalog file of one run. The records go to TEMP_ + name in the destination folder; the catalog the
// shop program reads stays untouched until the new one is complete, and is then replaced in one atomic
// step, so it is never missing or half-written because an export failed.
class FileCatalogo
{
public:
    // `folder` ends with a separator.
    FileCatalogo(const QString& folder, const QString& name);
    ~FileCatalogo();
    FileCatalogo(const FileCatalogo&) = delete;
    FileCatalogo& operator=(const FileCatalogo&) = delete;

    QString percorso() const { return m_folder + m_name; }
    QString percorsoTemporaneo() const { return m_folder + QStringLiteral("TEMP_") + m_name; }

    // The name under which the catalog exists in the folder (letter case ignored), "" when it does not.
    QString nomeEsistente() const;
    // Whether an existing catalog could be replaced: it can be opened for writing (not read-only, not
    // held exclusively by another program). Nothing is changed.
    bool sostituibile(const QString& existingName) const;

    // Creates the temporary file as a new file of this run (one left by a killed run is removed first; a
    // link or a folder under the name is never followed or touched); false when it cannot be created.
    bool apri();
    // One record followed by CR LF. A refused write raises a Failure.
    void scrivi(const QString& record);
    // Writes out and closes the temporary file; a refused write raises a Failure. Harmless when closed.
    void chiudi();

    // Puts the complete temporary file in place of the catalog (named `existingName` when one exists) in
    // one step, under the configured name. False when the file system refuses; the catalog is then the
    // old one and the new one stays in the temporary file.
    bool metteInPosto(const QString& existingName);
    // Removes the catalog named `existingName`; false when it cannot be removed.
    bool rimuovi(const QString& existingName);

private:
    QString m_folder;
    QString m_name;
    QFile m_file;
    std::unique_ptr<QIODevice> m_replacement;
    std::optional<LineWriter> m_writer;
};

// Tests replace the device the records are written through (one that fails like a full disk); the
// temporary file is still created. An empty function restores the file itself.
using CatalogDevice = std::function<std::unique_ptr<QIODevice>()>;
void setCatalogDevice(CatalogDevice device);
