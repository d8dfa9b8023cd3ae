#include "clock/clockmoves.h"

#include "clock/blinds.h"
#include "clock/clocknotice.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace orvandel {

namespace {

struct MoveDesign {
    ClockCommand command;
    const char *name, *text;
    Qt::Key key;
};

// In the menu's order. Ctrl with each: a bare key must not move the clock.
constexpr std::array<MoveDesign, 5> Moves{{
    {ClockCommand::Next, "actNextLevel", "Next level", Qt::Key_Right},
    {ClockCommand::Previous, "actPreviousLevel", "Previous level", Qt::Key_Left},
    {ClockCommand::AddMinute, "actAddMinute", "Add a minute", Qt::Key_Up},
    {ClockCommand::TakeMinute, "actTakeMinute", "Take off a minute", Qt::Key_Down},
    {ClockCommand::Restart, "actRestartLevel", "Restart this level", Qt::Key_R},
}};

QAction *addAction(Blinds *clock, const char *name, const QString &text, Qt::Key key) {
    QAction *action = clock->menu()->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(QKeySequence(Qt::CTRL | key));
    // The menu is shut while the clock runs: the keys work on the window.
    action->setShortcutContext(Qt::WindowShortcut);
    clock->addAction(action);
    return action;
}

} // namespace

ClockMoves::ClockMoves(Blinds *clock, ClockNotice *notice)
    : QObject(clock), m_clock(clock), m_notice(notice) {
    setObjectName(QStringLiteral("clockMoves"));
    clock->menu()->addSeparator();
    for (std::size_t n = 0; n < Moves.size(); ++n) {
        const MoveDesign &design = Moves.at(n);
        m_actions.at(n) =
            addAction(clock, design.name, QString::fromLatin1(design.text), design.key);
        connect(m_actions.at(n), &QAction::triggered, this,
                [this, command = design.command] { move(command); });
    }
    actUndoMove = addAction(clock, "actUndoMove", QStringLiteral("Undo"), Qt::Key_Z);
    connect(actUndoMove, &QAction::triggered, this, &ClockMoves::undo);
    connect(clock, &Blinds::faceChanged, this, &ClockMoves::faceChanged);
    faceChanged(clock->face());
}

bool ClockMoves::move(ClockCommand command) {
    const auto design = std::find_if(Moves.begin(), Moves.end(), [command](const MoveDesign &d) {
        return d.command == command;
    });
    if (design == Moves.end())
        return false;
    const ClockStand before = m_clock->stand();
    if (!m_clock->command(command))
        return false;
    m_done.push_back({before, QString::fromLatin1(design->text).toLower()});
    if (m_done.size() > UndoDepth)
        m_done.pop_front();
    const ClockFace after = m_clock->face();
    m_notice->show(told(command, after));
    faceChanged(after);
    return true;
}

bool ClockMoves::undo() {
    if (m_done.empty())
        return false;
    const Done last = m_done.back();
    m_done.pop_back();
    m_clock->standAt(last.before);
    m_notice->show(QStringLiteral("Undone: %1").arg(last.name));
    faceChanged(m_clock->face());
    return true;
}

QString ClockMoves::told(ClockCommand command, const ClockFace &face) {
    // A structure's levels are counted without its breaks.
    const QString level = QString::number(face.levelNumber > 0 ? face.levelNumber : face.level);
    switch (command) {
    case ClockCommand::Next:
        return face.onBreak ? QStringLiteral("Break started by the director")
                            : QStringLiteral("Level %1 started by the director").arg(level);
    case ClockCommand::Previous:
        return face.onBreak ? QStringLiteral("Back to the break")
                            : QStringLiteral("Back to level %1").arg(level);
    case ClockCommand::AddMinute:
        return QStringLiteral("A minute added");
    case ClockCommand::TakeMinute:
        return QStringLiteral("A minute taken off");
    case ClockCommand::Restart:
        return face.onBreak ? QStringLiteral("Break restarted")
                            : QStringLiteral("Level %1 restarted").arg(level);
    case ClockCommand::Pause:
    case ClockCommand::Resume:
    case ClockCommand::End:
        break;
    }
    return {};
}

void ClockMoves::faceChanged(const ClockFace &face) {
    for (std::size_t n = 0; n < Moves.size(); ++n)
        m_actions.at(n)->setEnabled(moveApplies(face, Moves.at(n).command));
    actUndoMove->setEnabled(!m_done.empty());
    actUndoMove->setText(m_done.empty() ? QStringLiteral("Undo")
                                        : QStringLiteral("Undo %1").arg(m_done.back().name));
}

} // namespace orvandel
