#include "setup/structureclock.h"

namespace orvandel {

namespace {
StructureClockStarter structureClockStarter = nullptr;
} // namespace

void setStructureClockStarter(StructureClockStarter starter) {
    structureClockStarter = starter;
}

bool startStructureClock(QWidget *from, const QString &path) {
    return structureClockStarter && structureClockStarter(from, path);
}

} // namespace orvandel
