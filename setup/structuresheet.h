#pragma once

#include "core/structure.h"

#include <QString>

class QPagedPaintDevice;

// The structure printed for the tables and the cashier: the name, the ante
// kind, and the rounds with their blinds, ante, minutes, start times and
// notes, breaks shaded; one page for each 40 rounds.
namespace orvandel {

inline constexpr int SheetRoundsPerPage = 40;

int sheetPageCount(const Structure &structure);

// Paints every page on `device` (a printer, a PDF writer); false when the
// device cannot be painted on.
bool paintStructureSheet(QPagedPaintDevice *device, const Structure &structure);

// The sheet as a PDF of A4 pages at `path`, replaced whole or not at all;
// empty, or why it could not be written.
QString writeStructurePdf(const Structure &structure, const QString &path);

} // namespace orvandel
