#pragma once

#include "clock/journal.h"
#include "setup/regularfile.h"

#include <optional>

class QWidget;

// Asks the director whether to resume the tournament of the working folder
// where its clock last stood, when its journal fits `tournament` (blinds.dat
// as read at Start). Returns the entry to resume from on Yes; on No, and for
// a journal that does not fit, the journal is dropped and nothing is
// returned.
std::optional<orvandel::JournalEntry> offerToResume(QWidget *parent,
                                                    const orvandel::FileRead &tournament);
