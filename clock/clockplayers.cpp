#include "clock/clockplayers.h"

#include "clock/blinds.h"
#include "clock/clocklabel.h"
#include "clock/screenchoice.h"
#include "core/amounts.h"
#include "players/frmplayers.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QScopedValueRollback>
#include <QTimer>
#include <utility>

namespace orvandel {

namespace {

constexpr std::array<const char *, 4> LabelNames = {"lblPlayers", "lblAverage", "lblPrizePool",
                                                    "lblPayouts"};

} // namespace

ClockPlayers::ClockPlayers(Blinds *clock)
    : QObject(clock), m_clock(clock), m_book(new PlayerBook(this)) {
    setObjectName(QStringLiteral("clockPlayers"));
    QMenu *menu = clock->menu();
    menu->addSeparator();
    actPlayers = menu->addAction(QStringLiteral("Players and prizes\u2026"));
    actPlayers->setObjectName(QStringLiteral("actPlayers"));
    connect(actPlayers, &QAction::triggered, this, &ClockPlayers::showWindow);

    const auto addKey = [this, clock, menu](const char *name, const QString &text, Qt::Key key,
                                            PlayerBook::Count which) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        // With Ctrl, as the director's moves: a bare key does nothing.
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setShortcutContext(Qt::WindowShortcut);
        clock->addAction(action);
        connect(action, &QAction::triggered, this, [this, which] { count(which); });
        return action;
    };
    actEntry =
        addKey("actEntry", QStringLiteral("An entry"), Qt::Key_E, PlayerBook::Count::Entries);
    actPlayerOut =
        addKey("actPlayerOut", QStringLiteral("A player out"), Qt::Key_B, PlayerBook::Count::Out);

    connect(m_book, &PlayerBook::changed, this, &ClockPlayers::bookChanged);
    connect(m_book, &PlayerBook::lastPlayerStanding, this, &ClockPlayers::lastPlayerStanding);
    connect(clock, &Blinds::faceChanged, this, &ClockPlayers::faceChanged);
    faceChanged(clock->face());
    bookChanged();
}

bool ClockPlayers::count(PlayerBook::Count which) {
    return m_book->addOne(which);
}

bool ClockPlayers::undoCount() {
    return m_book->undo();
}

QByteArray ClockPlayers::journalJson() const {
    if (!m_book->anythingEntered())
        return {};
    return QJsonDocument(m_book->toJson()).toJson(QJsonDocument::Compact);
}

bool ClockPlayers::restore(const QByteArray &json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    // The clock resumes where it stood, whatever the count says.
    const QScopedValueRollback restoring(m_restoring, true);
    return document.isObject() && m_book->fromJson(document.object());
}

void ClockPlayers::showWindow() {
    if (!m_window)
        m_window = new frmPlayers(m_book, m_clock);
    m_window->showOn(screenForDirector(m_clock));
}

void ClockPlayers::faceChanged(const ClockFace &face) {
    // Every tick brings a face; the big blind changes with the level.
    const FaceControl *big = face.control(u"lblCurrentBig");
    const QString text = big != nullptr && big->visible ? big->text : QString();
    if (text == m_bigBlindText)
        return;
    m_bigBlindText = text;
    m_book->setBigBlind(shownAmount(text));
}

void ClockPlayers::bookChanged() {
    const PlayerCounts &counts = m_book->counts();
    actPlayerOut->setEnabled(counts.entries > counts.out);
    emit journalChanged(journalJson());

    const bool shown = m_book->anythingEntered();
    // A clock nobody counts on gets no labels at all.
    if (!shown && m_labels[0] == nullptr)
        return;
    const PlayerTexts texts = m_book->texts();
    const std::array<const QString *, 4> captions = {&texts.players, &texts.average,
                                                     &texts.prizePool, &texts.payouts};
    for (std::size_t n = 0; n < m_labels.size(); ++n) {
        if (m_labels[n] == nullptr)
            m_labels[n] = m_clock->addFaceLabel(LabelNames[n]);
        m_labels[n]->setCaption(shown ? *captions[n] : QString());
        m_labels[n]->setVisible(shown);
    }
    publishLater();
}

void ClockPlayers::publishLater() {
    if (std::exchange(m_publishing, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_publishing = false;
        m_clock->faceLabelChanged();
    });
}

void ClockPlayers::lastPlayerStanding(bool standing) {
    if (m_restoring)
        return;
    if (standing) {
        const ClockStand before = m_clock->stand();
        if (m_clock->command(ClockCommand::End))
            m_beforeEnd = before;
        return;
    }
    // The winner was not the winner after all: the clock back where it
    // stood, paused until the room is ready, unless the director has moved
    // it since. A player out too many leaves it ended.
    if (!m_beforeEnd || !m_clock->face().ended || playersLeft(m_book->counts()) < 2)
        return;
    ClockStand back = *std::exchange(m_beforeEnd, std::nullopt);
    back.paused = true;
    m_clock->standAt(back);
}

} // namespace orvandel
