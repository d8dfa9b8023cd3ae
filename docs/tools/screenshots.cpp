// Renders the windows in the states the README shows and writes them as PNG
// files. Run on the offscreen platform with a screen of the wanted size:
//   QT_QPA_PLATFORM=offscreen:configfile=screen.json screenshots OUTDIR [SUFFIX]
// With a configuration of two screens or more it draws the whole desktop
// instead, the opening screen and the clock each where they opened, as
// two-screens.png at half size.
#include "app/application.h"
#include "app/clocksession.h"
#include "app/opening.h"
#include "clock/blinds.h"
#include "clock/clockplayers.h"
#include "clock/frmremote.h"
#include "clock/phonecontrol.h"
#include "core/module1.h"
#include "core/structure.h"
#include "live/remotecontrol.h"
#include "setup/frmblindamounts.h"
#include "setup/frmsetup.h"
#include "setup/frmstructure.h"
#include "sound/frmsound.h"
#include "testsupport.h"

#include <memory>

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

namespace {

int twoScreens(const QString &outDir) {
    QRect desktop;
    for (const QScreen *screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    auto *opening = new Opening(nullptr);
    opening->show();
    std::unique_ptr<Blinds> owned(
        orvandel::openClock()); // loaded while the opening screen shows, as "Start" does
    Blinds &clock = *owned;
    clock.setAttribute(Qt::WA_DeleteOnClose, false);
    clock.show();
    for (int i = 0; i < 75; ++i)
        clock.Timer1_Timer();
    QTest::qWait(50);

    QImage image(desktop.size(), QImage::Format_RGB32);
    image.fill(Qt::black); // no screen shows this part of the desktop
    QPainter painter(&image);
    for (const QScreen *screen : QGuiApplication::screens()) {
        painter.fillRect(screen->geometry().translated(-desktop.topLeft()),
                         QColor(0x30, 0x34, 0x3c));
        painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 4));
        painter.drawRect(screen->geometry().translated(-desktop.topLeft()).adjusted(2, 2, -2, -2));
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPixelSize(28);
        painter.setFont(font);
        const QRect area = screen->geometry().translated(-desktop.topLeft());
        painter.drawText(area.adjusted(0, 0, 0, -20), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1, %2 x %3")
                             .arg(screen->name())
                             .arg(screen->geometry().width())
                             .arg(screen->geometry().height()));
    }
    for (QWidget *window : {static_cast<QWidget *>(opening), static_cast<QWidget *>(&clock)})
        painter.drawPixmap(window->geometry().topLeft() - desktop.topLeft(), window->grab());
    painter.end();
    delete opening;
    const bool saved = image.scaledToWidth(desktop.width() / 2, Qt::SmoothTransformation)
                           .save(outDir + QStringLiteral("/two-screens.png"));
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    orvandel::OrvandelApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(out);
    const QString outDir = QDir(out).absolutePath();
    testsupport::WorkFolder work;
    if (!testsupport::writeFile(testsupport::ExampleTournament))
        return 1;

    Module1::SoundFile = QStringLiteral("sound1.wav");
    Module1::TimedTournament = true;

    if (QGuiApplication::screens().size() > 1)
        return twoScreens(outDir);

    auto save = [&](QWidget *w, const QString &name) {
        w->show();
        QTest::qWait(50);
        w->grab().save(outDir + QLatin1Char('/') + name + suffix + QStringLiteral(".png"));
    };

    {
        Opening opening;
        save(&opening, QStringLiteral("opening"));
    }
    auto type = [](QWidget *w, const char *name, const char *text) {
        w->findChild<QLineEdit *>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    };
    {
        frmSetUp setup;
        type(&setup, "txtNumberOfLevels", "4");
        type(&setup, "txtDuration", "20");
        save(&setup, QStringLiteral("frmsetup-nobreak"));
        setup.findChild<QRadioButton *>(QStringLiteral("optBreakYes(0)"))->click();
        type(&setup, "txtBreakDuration", "15");
        type(&setup, "txtBreakRound", "3");
        save(&setup, QStringLiteral("frmsetup-break"));
    }
    {
        Module1::NumberOfLevels = 4;
        Module1::HasBreak = true;
        Module1::BreakRound = 3;
        frmBlindAmounts amounts;
        const std::pair<int, std::pair<const char *, const char *>> rows[] = {
            {0, {"10", "20"}}, {1, {"20", "40"}}, {3, {"50", "100"}}};
        for (const auto &[row, blinds] : rows) {
            type(&amounts, qPrintable(QStringLiteral("txtSB(%1)").arg(row)), blinds.first);
            type(&amounts, qPrintable(QStringLiteral("txtBB(%1)").arg(row)), blinds.second);
        }
        save(&amounts, QStringLiteral("frmblindamounts"));
    }
    {
        frmSound sound;
        save(&sound, QStringLiteral("frmsound"));
    }
    {
        // The built-in structure with a slip in level 8: its cell marked,
        // the problem named under the table.
        frmStructure structure;
        auto *table = structure.findChild<QTableView *>(QStringLiteral("tblLevels"));
        table->model()->setData(table->model()->index(8, 1), QStringLiteral("5000"));
        table->setCurrentIndex(table->model()->index(10, 2));
        save(&structure, QStringLiteral("frmstructure"));
    }
    {
        std::unique_ptr<Blinds> owned(orvandel::openClock());
        Blinds &clock = *owned;
        clock.setAttribute(Qt::WA_DeleteOnClose, false);
        clock.showMaximized();
        for (int i = 0; i < 75; ++i)
            clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock"));
        for (int i = 0; i < 1200 - 75; ++i)
            clock.Timer1_Timer();
        clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock-announcing"));
        // The address beside the widest heading.
        clock.findChild<QAction *>(QStringLiteral("actLiveView"))->trigger();
        save(&clock, QStringLiteral("live-panel"));
        // Pairing the director's phone, and a press from it.
        clock.findChild<QAction *>(QStringLiteral("actRemote"))->trigger();
        if (auto *pairing = clock.findChild<frmRemote *>())
            save(pairing, QStringLiteral("frmremote"));
        clock.findChild<orvandel::PhoneControl *>()->press(orvandel::RemoteAction::Pause);
        clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock-paused-from-a-phone"));
    }
    {
        // The README's count on a clock of its own: 23 of 40 players, 600,000
        // chips, 4,000 paid to three places.
        using Count = orvandel::PlayerBook::Count;
        using Setting = orvandel::PlayerBook::Setting;
        std::unique_ptr<Blinds> owned(orvandel::openClock());
        Blinds &clock = *owned;
        clock.setAttribute(Qt::WA_DeleteOnClose, false);
        clock.showMaximized();
        orvandel::PlayerBook *book = clock.findChild<orvandel::ClockPlayers *>()->book();
        for (const auto &[setting, value] : {std::pair{Setting::StartingChips, 10000},
                                             {Setting::RebuyChips, 10000},
                                             {Setting::AddOnChips, 10000},
                                             {Setting::BuyIn, 75},
                                             {Setting::RebuyPrice, 50},
                                             {Setting::AddOnPrice, 50}})
            book->setSetting(setting, value);
        book->setPayouts(u"50 30 20");
        for (const auto &[count, value] : {std::pair{Count::Entries, 40},
                                           {Count::Out, 17},
                                           {Count::Rebuys, 12},
                                           {Count::AddOns, 8}})
            book->setCount(count, value);
        for (int i = 0; i < 75; ++i)
            clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock-players"));
    }
    {
        // The built-in structure at level 8, past its announcement: both
        // antes and the next break, more than an hour away, on show.
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("structure.json"));
        if (!testsupport::writeFile(orvandel::formatStructure(orvandel::startingStructure()), path))
            return 1;
        std::unique_ptr<Blinds> owned(orvandel::openStructureClock(path));
        Blinds &clock = *owned;
        clock.setAttribute(Qt::WA_DeleteOnClose, false);
        clock.showMaximized();
        for (int i = 0; i < 6 * 1200 + 900 + 1200 + 75; ++i)
            clock.Timer1_Timer();
        save(&clock, QStringLiteral("clock-structure"));
    }
    return 0;
}
