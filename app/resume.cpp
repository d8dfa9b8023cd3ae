#include "app/resume.h"

#include "clock/journalfile.h"

#include <QMessageBox>

using namespace orvandel;

std::optional<JournalEntry> offerToResume(QWidget *parent, const FileRead &tournament) {
    std::optional<JournalEntry> entry = resumableJournal(tournament);
    if (!entry)
        return std::nullopt;
    const QMessageBox::StandardButton answer =
        QMessageBox::question(parent, QStringLiteral("Orvandel"), resumeQuestion(*entry),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return entry;
    dropJournalOfCurrentFolder();
    return std::nullopt;
}
