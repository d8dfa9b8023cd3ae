#pragma once

class QString;
class QWidget;

// How the structure editor hands over to a clock that runs a structure. The
// clock sits above the setup windows, so it makes itself known here when the
// program starts, as the opening screen does through ui/navigation.h.
namespace orvandel {

// Starts the clock on the structure saved at `path`, handing over from
// `from` (which it closes); false when it did not start and `from` stays.
using StructureClockStarter = bool (*)(QWidget *from, const QString &path);
void setStructureClockStarter(StructureClockStarter starter);

// Calls the registered starter; false while none is registered.
bool startStructureClock(QWidget *from, const QString &path);

} // namespace orvandel
