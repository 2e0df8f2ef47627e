#include "catalog/catalogfile.h"

#include "services/failure.h"
#include "services/platform.h"
#include "services/seam.h"

namespace {
using DeviceSeam = Seam<struct CatalogDeviceTag, std::unique_ptr<QIODevice>()>;
}

void setCatalogDevice(CatalogDevice device)
{
    DeviceSeam::sostituisci(std::move(device));
}

FileCatalogo::FileCatalogo(const QString& folder, const QString& name) : m_folder(folder), m_name(name) {}

FileCatalogo::~FileCatalogo()
{
    m_writer.reset();
    m_file.close(); // on the way out after a failure: the temporary file stays as far as it got
}

QString FileCatalogo::nomeEsistente() const
{
    return trovaFileNellaCartella(m_folder, m_name);
}

bool FileCatalogo::sostituibile(const QString& existingName) const
{
    QFile existing(m_folder + existingName);
    if (!existing.open(QIODevice::ReadWrite)) return false; // ReadWrite neither creates content nor truncates
    existing.close();
    return true;
}

bool FileCatalogo::apri()
{
    if (!creaFileTemporaneo(m_file, percorsoTemporaneo())) return false;
    if (const CatalogDevice& replacement = DeviceSeam::sostituto()) m_replacement = replacement();
    m_writer.emplace(m_replacement ? *m_replacement : static_cast<QIODevice&>(m_file));
    return true;
}

void FileCatalogo::scrivi(const QString& record)
{
    m_writer->write(record);
}

void FileCatalogo::chiudi()
{
    if (!m_file.isOpen()) return;
    m_writer.reset();
    m_replacement.reset();
    const bool flushed = m_file.flush();
    const QString reason = m_file.errorString();
    m_file.close();
    if (!flushed || m_file.error() != QFileDevice::NoError)
        throw Failure(FailureCode::DiskFull, QStringLiteral("Impossibile scrivere il file: %1").arg(reason));
}

bool FileCatalogo::metteInPosto(const QString& existingName)
{
    // Replacing the existing file under its own name works the same on file systems that tell letter
    // case apart and on those that do not; a different case is then corrected by a rename.
    const QString target = existingName.isEmpty() ? percorso() : m_folder + existingName;
    if (!sostituisciFileAtomicamente(percorsoTemporaneo(), target)) return false;
    if (target != percorso())
        sostituisciFileAtomicamente(target, percorso()); // the new catalog is in place either way
    return true;
}

bool FileCatalogo::rimuovi(const QString& existingName)
{
    return QFile::remove(m_folder + existingName);
}
