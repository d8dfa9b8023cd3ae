#pragma once

// Helpers shared by the tests that drive the clock window.

#include "app/module1.h"
#include "clock/blinds.h"
#include "sound/soundplayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace clocktest {

// A tournament file of `levels` levels: level n has blinds $n0/$n00, the
// break level the break marker.
inline QByteArray tournamentFile(int levels, int minutes, int breakRound = 0,
                                 int breakMinutes = 0) {
    QByteArray bytes = QByteArray::number(levels) + ',' + QByteArray::number(minutes) + "\r\n";
    for (int n = 1; n <= levels; ++n) {
        if (n == breakRound)
            bytes += "\"Break\",\"Time!\"\r\n";
        else
            bytes += "\"$" + QByteArray::number(n) + "0\",\"$" + QByteArray::number(n) + "00\"\r\n";
    }
    bytes += QByteArray::number(breakRound) + ',' + QByteArray::number(breakMinutes) + "\r\n";
    return bytes;
}

inline void writeTournament(const QByteArray &bytes) {
    QFile file(QStringLiteral("blinds.dat"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QString text(const QWidget *window, const char *name) {
    const auto *label = window->findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

inline bool shown(const QWidget *window, const char *name) {
    const auto *widget = window->findChild<QWidget *>(QString::fromLatin1(name));
    return widget && !widget->isHidden();
}

// Colour of a label's text as 0x00BBGGRR.
inline unsigned int colour(const QWidget *window, const char *name) {
    const QColor c = window->findChild<QWidget *>(QString::fromLatin1(name))
                         ->palette()
                         .color(QPalette::WindowText);
    return static_cast<unsigned int>(c.red()) | static_cast<unsigned int>(c.green()) << 8 |
           static_cast<unsigned int>(c.blue()) << 16;
}

inline QTimer *timer(const QWidget *window) {
    return window->findChild<QTimer *>(QStringLiteral("Timer1"));
}

inline void ticks(Blinds *clock, int count) {
    for (int i = 0; i < count; ++i)
        clock->Timer1_Timer();
}

// Ticks until the clock stops itself; returns the ticks run.
inline int runUntilStopped(Blinds *clock, int limit) {
    int n = 0;
    while (timer(clock)->isActive() && n < limit) {
        clock->Timer1_Timer();
        ++n;
    }
    return n;
}

inline constexpr unsigned int Red = 255;
inline constexpr unsigned int Yellow = 65535;
inline constexpr unsigned int White = 16777215;

} // namespace clocktest
