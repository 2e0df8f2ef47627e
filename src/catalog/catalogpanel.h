#pragma once

#include "services/rundisplay.h"

// The catalog export speaks through the catalog panel.
using PannelloCatalogo = PannelloScambio;
