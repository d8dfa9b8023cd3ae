#include "app/resume.h"

#include "core/journalfile.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace orvandel {

namespace {

// Only "No" throws the tournament away. Escape and the window's close button
// take the question back unanswered, where a plain question box would count
// them as "No".
class ResumeQuestion final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool withdrawn() const { return m_withdrawn; }

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (event->matches(QKeySequence::Cancel))
            close();
        else
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override {
        m_withdrawn = true;
        QMessageBox::closeEvent(event);
    }

private:
    bool m_withdrawn = false;
};

} // namespace

namespace {

ResumeAnswer ask(QWidget *parent, const std::optional<JournalEntry> &entry,
                 const QString &question) {
    ResumeAnswer answer;
    if (!entry)
        return answer;
    ResumeQuestion box(QMessageBox::Question, QStringLiteral("Orvandel"), question,
                       QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.exec();
    if (box.withdrawn() || !box.clickedButton()) {
        answer.choice = ResumeAnswer::Choice::Withdrawn;
    } else if (box.clickedButton() == box.button(QMessageBox::Yes)) {
        answer.choice = ResumeAnswer::Choice::Resume;
        answer.entry = *entry;
    } else {
        dropJournalOfCurrentFolder();
    }
    return answer;
}

} // namespace

ResumeAnswer offerToResume(QWidget *parent, const FileRead &tournament) {
    const std::optional<JournalEntry> entry = resumableJournal(tournament);
    if (entry && entry->structure) {
        // Its levels are counted without its breaks.
        const StructureRead read = readStructureFile(entry->tournamentPath);
        return ask(parent, entry, resumeQuestion(*entry, read.structure));
    }
    return ask(parent, entry, entry ? resumeQuestion(*entry) : QString());
}

ResumeAnswer offerToResumeStructure(QWidget *parent, const QString &path, const FileRead &file,
                                    const Structure &structure) {
    const std::optional<JournalEntry> entry = resumableStructureJournal(path, file);
    return ask(parent, entry, entry ? resumeQuestion(*entry, structure) : QString());
}

} // namespace orvandel
