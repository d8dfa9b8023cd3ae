#pragma once

#include "core/journal.h"
#include "core/regularfile.h"

class QWidget;

namespace orvandel {

// What the director answered to the offer to resume.
struct ResumeAnswer {
    enum class Choice {
        Afresh,   // no question (no journal that fits), or "No"
        Resume,   // "Yes": resume from `entry`
        Withdrawn // Escape or the question closed: nothing is to happen
    };
    Choice choice = Choice::Afresh;
    orvandel::JournalEntry entry;
};

// Asks the director whether to resume the tournament of the working folder
// where its clock last stood, when its journal fits `tournament` (blinds.dat
// as read at Start). On No, and for a journal that does not fit, the journal
// is dropped; withdrawn, it stays and the next Start asks again.
// A journal of a structure is asked about here too, whether or not the
// folder holds a blinds.dat.
ResumeAnswer offerToResume(QWidget *parent, const orvandel::FileRead &tournament);

// The same for the structure file at `path`, whose bytes are `file`, holding
// `structure`: asks only when the journal names that structure.
ResumeAnswer offerToResumeStructure(QWidget *parent, const QString &path,
                                    const orvandel::FileRead &file, const Structure &structure);

} // namespace orvandel
