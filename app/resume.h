#pragma once

#include "clock/journal.h"

#include <optional>

class QWidget;

// Asks the director whether to resume the tournament of the working folder
// where its clock last stood, when its journal allows it. Returns the entry
// to resume from on Yes; on No, and for a journal that does not fit the
// tournament file, the journal is dropped and nothing is returned.
std::optional<orvandel::JournalEntry> offerToResume(QWidget *parent);
