#include "testsupport.h"

#include "app/opening.h"
#include "core/twips.h"
#include "sound/frmsound.h"
#include "sound/soundplayer.h"

#include <QPointer>
#include <QScreen>
#include <QSignalSpy>

using namespace testsupport;

namespace {
// One command as the player saw it: the command, the file name set at that
// moment and the file that was open before it ran.
struct Sent {
    QString command;
    QString fileName;
    QString openBefore;
    bool operator==(const Sent &) const = default;
};

QString sentText(const QList<Sent> &sent) {
    QStringList parts;
    for (const Sent &s : sent)
        parts << QStringLiteral("%1[file=%2,open=%3]").arg(s.command, s.fileName, s.openBefore);
    return parts.join(QStringLiteral(" "));
}

// Follows everything a player is told, with the player's state at each step.
class PlayerLog : public QObject {
public:
    explicit PlayerLog(SoundPlayer *player) : QObject(player), m_player(player) {
        connect(player, &SoundPlayer::commandIssued, this, [this](const QString &command) {
            sent.append({command, m_player->fileName(), m_player->openFile()});
        });
    }
    QList<Sent> sent;

private:
    SoundPlayer *m_player;
};

QRadioButton *option(QWidget *window, int index) {
    return child<QRadioButton>(window, QStringLiteral("optSound(%1)").arg(index));
}
} // namespace

class TestFrmSound : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<WorkFolder>(); }
    void cleanup() {
        m_folder.reset();
        m_player = nullptr;
        m_log = nullptr;
    }

    void opensEmpty_data();
    void opensEmpty();
    void layout();
    void enterDoesNotLeave();
    void pickStoresAndPlays_data();
    void pickStoresAndPlays();
    void secondPickStopsTheFirst_data();
    void secondPickStopsTheFirst();
    void okReturnsToOpening_data();
    void okReturnsToOpening();
    void closeBoxUnloads_data();
    void closeBoxUnloads();
    void reachedFromOpening();

private:
    frmSound *openChooser();
    std::unique_ptr<WorkFolder> m_folder;
    QPointer<frmSound> m_window;
    SoundPlayer *m_player = nullptr;
    PlayerLog *m_log = nullptr;
    bool m_openingShownAtClose = false;
};

frmSound *TestFrmSound::openChooser() {
    m_window = new frmSound(nullptr);
    m_player = child<SoundPlayer>(m_window, "MMControl1");
    m_log = new PlayerLog(m_player);
    m_window->show();
    return m_window;
}

void TestFrmSound::opensEmpty_data() {
    QTest::addColumn<QString>("soundFile");
    QTest::newRow("first visit") << QString();
    QTest::newRow("default stored") << QStringLiteral("sound1.wav");
    QTest::newRow("earlier choice") << QStringLiteral("sound3.wav");
}

void TestFrmSound::opensEmpty() {
    QFETCH(QString, soundFile);
    Module1::SoundFile = soundFile;
    openChooser();
    QVERIFY(m_player);

    QCOMPARE(m_window->windowTitle(), QStringLiteral("Orvandel Sounds"));
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(option(m_window, i), qPrintable(QStringLiteral("optSound(%1)").arg(i)));
        QVERIFY(!option(m_window, i)->isChecked());
    }
    QCOMPARE(m_player->deviceType(), QStringLiteral("WaveAudio"));
    QVERIFY(m_player->openFile().isEmpty());
    QVERIFY(m_player->isHidden());
    QCOMPARE(Module1::SoundFile, soundFile);
}

void TestFrmSound::layout() {
    openChooser();
    // 2910 x 1935 twips of client area, centred with its title bar.
    QCOMPARE(m_window->size(), QSize(194, 129));
    const QRect screen = m_window->screen()->geometry();
    QCOMPARE(m_window->x(), screen.left() + (screen.width() - 194) / 2);
    QCOMPARE(m_window->y(),
             screen.top() + (screen.height() - 129 - orvandel::px(orvandel::FrameHeightTwips)) / 2);
    auto *heading = child<QLabel>(m_window, "Label1");
    QCOMPARE(heading->text(), QStringLiteral("Choose your Alert Sound"));
    QVERIFY(heading->font().bold());
    // The hidden player lies partly above the window, as designed.
    QCOMPARE(m_player->geometry(), QRect(12, -10, 236, 22));

    // Sounds 1 and 2 in the left column, 3 and 4 in the right one, and each
    // option fully inside the window.
    QRadioButton *o[4] = {option(m_window, 0), option(m_window, 1), option(m_window, 2),
                          option(m_window, 3)};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(o[i]->text(), QStringLiteral("Sound %1").arg(i + 1));
        QVERIFY(m_window->rect().contains(o[i]->geometry()));
    }
    QCOMPARE(o[0]->x(), o[1]->x());
    QCOMPARE(o[2]->x(), o[3]->x());
    QVERIFY(o[0]->geometry().right() < o[2]->x());
    QVERIFY(o[0]->geometry().bottom() < o[1]->y());
    QVERIFY(o[2]->geometry().bottom() < o[3]->y());

    // Tab order: the options in turn, then OK.
    auto *ok = child<QPushButton>(m_window, "cmdOK");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(m_window->rect().contains(ok->geometry()));
    const QList<QWidget *> order = {o[0], o[1], o[2], o[3], ok};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QCOMPARE(order[i]->nextInFocusChain(), order[i + 1]);
}

void TestFrmSound::enterDoesNotLeave() {
    openChooser();
    auto *ok = child<QPushButton>(m_window, "cmdOK");
    QSignalSpy clicked(ok, &QPushButton::clicked);
    for (QWidget *target :
         {static_cast<QWidget *>(option(m_window, 0)), static_cast<QWidget *>(ok)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    QCOMPARE(clicked.count(), 0);
    QVERIFY(m_window && m_window->isVisible());
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("frmSound")});
}

void TestFrmSound::pickStoresAndPlays_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::newRow("Sound 1") << 0 << QStringLiteral("sound1.wav");
    QTest::newRow("Sound 2") << 1 << QStringLiteral("sound2.wav");
    QTest::newRow("Sound 3") << 2 << QStringLiteral("sound3.wav");
    QTest::newRow("Sound 4") << 3 << QStringLiteral("sound4.wav");
}

void TestFrmSound::pickStoresAndPlays() {
    QFETCH(int, index);
    QFETCH(QString, file);
    Module1::SoundFile = QStringLiteral("sound1.wav");
    openChooser();
    QSignalSpy spy(m_player, &SoundPlayer::commandIssued);

    QTest::mouseClick(option(m_window, index), Qt::LeftButton);

    QVERIFY(option(m_window, index)->isChecked());
    QCOMPARE(Module1::SoundFile, file);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Close"));
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("Open"));
    QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("Play"));
    // The file is named before it is opened.
    QCOMPARE(m_log->sent.at(1).fileName, file);
    QCOMPARE(m_player->fileName(), file);
    QCOMPARE(m_player->openFile(), file);
    QCOMPARE(m_player->deviceType(), QStringLiteral("WaveAudio"));
}

void TestFrmSound::secondPickStopsTheFirst_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("Sound 1 then Sound 4") << 0 << 3;
    QTest::newRow("Sound 3 then Sound 2") << 2 << 1;
    QTest::newRow("Sound 2 again replays it") << 1 << 1;
}

void TestFrmSound::secondPickStopsTheFirst() {
    QFETCH(int, first);
    QFETCH(int, second);
    openChooser();
    const QString one = QStringLiteral("sound%1.wav").arg(first + 1);
    const QString two = QStringLiteral("sound%1.wav").arg(second + 1);

    QTest::mouseClick(option(m_window, first), Qt::LeftButton);
    QTest::mouseClick(option(m_window, second), Qt::LeftButton);

    const QList<Sent> expected = {
        {QStringLiteral("Close"), QString(), QString()},
        {QStringLiteral("Open"), one, QString()},
        {QStringLiteral("Play"), one, one},
        {QStringLiteral("Close"), one, one}, // the first preview stops here
        {QStringLiteral("Open"), two, QString()},
        {QStringLiteral("Play"), two, two},
    };
    QVERIFY2(m_log->sent == expected, qPrintable(sentText(m_log->sent)));
    QCOMPARE(Module1::SoundFile, two);
    QVERIFY(option(m_window, second)->isChecked());
    if (first != second)
        QVERIFY(!option(m_window, first)->isChecked());
}

void TestFrmSound::okReturnsToOpening_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("pick"); // -1: no pick
    QTest::addColumn<QString>("after");
    QTest::newRow("OK at once keeps the default")
        << QStringLiteral("sound1.wav") << -1 << QStringLiteral("sound1.wav");
    QTest::newRow("OK at once keeps an earlier choice")
        << QStringLiteral("sound3.wav") << -1 << QStringLiteral("sound3.wav");
    QTest::newRow("Sound 2 survives the opening screen")
        << QStringLiteral("sound1.wav") << 1 << QStringLiteral("sound2.wav");
    QTest::newRow("Sound 4 picked")
        << QStringLiteral("sound2.wav") << 3 << QStringLiteral("sound4.wav");
}

void TestFrmSound::okReturnsToOpening() {
    QFETCH(QString, before);
    QFETCH(int, pick);
    QFETCH(QString, after);
    Module1::SoundFile = before;
    openChooser();
    if (pick >= 0)
        QTest::mouseClick(option(m_window, pick), Qt::LeftButton);
    const qsizetype sentBefore = m_log->sent.size();
    QSignalSpy spy(m_player, &SoundPlayer::commandIssued);
    // The opening screen is shown before the chooser unloads.
    m_openingShownAtClose = false;
    connect(m_player, &SoundPlayer::commandIssued, this, [this](const QString &command) {
        if (command == QLatin1String("Close"))
            m_openingShownAtClose = shownWindows().count(QStringLiteral("Opening")) == 1;
    });

    QTest::mouseClick(child<QPushButton>(m_window, "cmdOK"), Qt::LeftButton);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Close"));
    QCOMPARE(sentBefore, pick >= 0 ? 3 : 0);
    QVERIFY(m_openingShownAtClose);
    QCOMPARE(shownWindows(), QStringList{QStringLiteral("Opening")});
    QVERIFY(!m_window); // unloaded, not just hidden
    auto *opening = onlyWindow<Opening>();
    QVERIFY(opening);
    QVERIFY(!opening->parent());
    QCOMPARE(Module1::SoundFile, after);
    // A fresh opening screen: none of its choices is selected.
    for (const QRadioButton *choice : opening->findChildren<QRadioButton *>()) {
        if (!choice->objectName().startsWith(QLatin1String("optTimed")))
            QVERIFY2(!choice->isChecked(), qPrintable(choice->objectName()));
    }
}

void TestFrmSound::closeBoxUnloads_data() {
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("after");
    QTest::newRow("nothing picked") << -1 << QStringLiteral("sound1.wav");
    QTest::newRow("Sound 3 picked") << 2 << QStringLiteral("sound3.wav");
}

void TestFrmSound::closeBoxUnloads() {
    QFETCH(int, pick);
    QFETCH(QString, after);
    Module1::SoundFile = QStringLiteral("sound1.wav");
    openChooser();
    if (pick >= 0)
        QTest::mouseClick(option(m_window, pick), Qt::LeftButton);
    QSignalSpy spy(m_player, &SoundPlayer::commandIssued);

    QVERIFY(m_window->close()); // what the close box does

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Close"));
    // The close reaches the preview while it is still open.
    QCOMPARE(m_log->sent.last().openBefore, pick >= 0 ? after : QString());
    QCOMPARE(Module1::SoundFile, after);
    QCOMPARE(shownWindows(), QStringList{});
    QVERIFY(!m_window);
}

void TestFrmSound::reachedFromOpening() {
    auto *opening = new Opening(nullptr);
    opening->show();
    QTest::mouseClick(child<QRadioButton>(opening, "optSound(1)"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(opening, "Command1"), Qt::LeftButton);

    auto *chooser = onlyWindow<frmSound>();
    QVERIFY(chooser);
    for (int i = 0; i < 4; ++i)
        QVERIFY(!option(chooser, i)->isChecked());
}

QTEST_MAIN(TestFrmSound)
#include "tst_frmsound.moc"
