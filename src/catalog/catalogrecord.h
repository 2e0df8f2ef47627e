#pragma once

#include "store/rigadati.h"

#include <QString>

// The catalog file is one 140-character record per exported issue, written in Windows-1252 and ended
// by CR LF. These are its widths.
namespace TracciatoCatalogo {
constexpr int lunghezzaRecord = 140;
constexpr int lunghezzaRiga = 142; // with CR LF
} // namespace TracciatoCatalogo

// ComponiRigaCatalogo: the record of one issue (row of Uscite) of one title (row of Prodotti), without
// the line end. Every value may be NULL or malformed: each field then takes its fallback, so the record
// is always exactly 140 characters, each one byte in the file. Numbers of any size are formatted: one
// wider than its field keeps the digits the field's fill rule keeps.
QString ComponiRigaCatalogo(const RigaDati& titolo, const RigaDati& uscita);
