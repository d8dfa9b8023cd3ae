#pragma once

// What every test that drives the program's windows shares: a private working
// folder, control look-ups that fail loudly, message-box answering, the
// example tournament and a builder for others.

#include "core/module1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace testsupport {

// The example tournament: four levels of 20 minutes, blinds 10/20, 20/40 and
// 50/100, level 3 a break of 15 minutes.
inline const QByteArray ExampleTournament =
    QByteArrayLiteral("4,20\r\n\"$10\",\"$20\"\r\n\"$20\",\"$40\"\r\n\"Break\",\"Time!\"\r\n"
                      "\"$50\",\"$100\"\r\n3,15\r\n");

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

// Writes `bytes` as `name` in the working folder; false when that failed.
[[nodiscard]] inline bool writeFile(const QByteArray &bytes,
                                    const QString &name = QStringLiteral("blinds.dat")) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &name = QStringLiteral("blinds.dat")) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One test's private working folder: created and entered on construction;
// on destruction every window is closed, Module1 is back at its start-of-run
// values and the previous folder is current again. Use one per test function
// (a member made in init() and reset in cleanup(), or a local).
class WorkFolder {
public:
    WorkFolder() : m_home(QDir::currentPath()) {
        Module1::reset();
        if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path()))
            qFatal("cannot enter a temporary working folder");
    }
    ~WorkFolder() {
        // A window's menu is a top-level widget too, deleted with its window.
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (const QPointer<QWidget> &w : QList<QPointer<QWidget>>(windows.begin(), windows.end()))
            delete w.data();
        // A test may have taken the write bits away to provoke a failure.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir::setCurrent(m_home);
        Module1::reset();
    }
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    QString path() const { return m_dir.path(); }

private:
    QString m_home;
    QTemporaryDir m_dir;
};

// The control named `name` (an objectName such as "txtSB(3)"); the test run
// stops with the name when there is none, so a renamed control cannot turn a
// check into a silent pass.
template <typename T = QWidget> T *child(const QObject *window, const QString &name) {
    T *control = window->findChild<T *>(name);
    if (!control)
        qFatal("no control %s of the wanted kind in %s", qPrintable(name),
               qPrintable(window->objectName()));
    return control;
}
template <typename T = QWidget> T *child(const QObject *window, const char *name) {
    return child<T>(window, QString::fromLatin1(name));
}

inline QString text(const QObject *window, const char *name) {
    return child<QLabel>(window, name)->text();
}

// Not hidden by the window's own logic (whether or not the window is shown).
inline bool shown(const QObject *window, const char *name) {
    return !child<QWidget>(window, name)->isHidden();
}

// Types `typed` over what the field or box `name` holds, then Enter.
template <typename T> void type(QWidget *window, const char *name, const QString &typed) {
    T *control = child<T>(window, name);
    control->selectAll();
    QTest::keyClicks(control, typed);
    QTest::keyClick(control, Qt::Key_Return);
}

// Colour of a control's text as 0x00BBGGRR.
inline unsigned int colour(const QObject *window, const char *name) {
    const QColor c = child<QWidget>(window, name)->palette().color(QPalette::WindowText);
    return static_cast<unsigned int>(c.red()) | static_cast<unsigned int>(c.green()) << 8 |
           static_cast<unsigned int>(c.blue()) << 16;
}

inline constexpr unsigned int Red = 255;
inline constexpr unsigned int Yellow = 65535;
inline constexpr unsigned int White = 16777215;

// The object names of the shown top-level windows, message boxes left out,
// once closed windows are gone.
inline QStringList shownWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMessageBox *>(w))
            names << w->objectName();
    return names;
}

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `action`; every modal message box it opens is read and answered with
// `answer` (OK unless told otherwise).
inline QList<Box> answerBoxes(const std::function<void()> &action,
                              QMessageBox::StandardButton answer = QMessageBox::Ok) {
    QList<Box> boxes;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&boxes, answer] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes.append({box->windowTitle(), box->text(), box->icon()});
            if (QAbstractButton *button = box->button(answer))
                button->click();
            else
                box->done(answer);
        }
    });
    watcher.start();
    action();
    watcher.stop();
    return boxes;
}

inline QList<Box> clickThroughBoxes(QAbstractButton *button) {
    return answerBoxes([button] { QTest::mouseClick(button, Qt::LeftButton); });
}

} // namespace testsupport

// ---------------------------------------------------------------------------
// Forms: opening a window as its predecessor would, and what the tests of the
// setup, sound and opening windows check about every layout.

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace testsupport {

// A freshly loaded window of kind `Window`, shown and exposed.
template <typename Window> Window *openWindow() {
    auto *window = new Window(nullptr);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("%s not exposed", qPrintable(window->objectName()));
    return window;
}

// The one shown window when it is of kind `Window`, else null.
template <typename Window> Window *onlyWindow() {
    const QStringList names = shownWindows();
    if (names.size() != 1)
        return nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == names.first())
            return qobject_cast<Window *>(w);
    return nullptr;
}

inline QLineEdit *field(const QObject *window, const QString &name) {
    return child<QLineEdit>(window, name);
}
inline QLineEdit *field(const QObject *window, const char *name) {
    return child<QLineEdit>(window, name);
}

// What is wrong with the shown controls of `form` in the platform's font: one
// outside the window, a caption cut off, or two controls covering each
// other. Empty when nothing is.
inline QString layoutFault(const QWidget *form, const QList<QWidget *> &shown) {
    for (QWidget *control : shown) {
        const QString name = control->objectName();
        if (!form->rect().contains(control->geometry()))
            return name + QStringLiteral(" outside the window");
        if (auto *push = qobject_cast<QPushButton *>(control)) {
            if (push->fontMetrics().horizontalAdvance(push->text()) + 8 > push->width())
                return name + QStringLiteral(" too narrow");
        } else if (qobject_cast<QLabel *>(control) || qobject_cast<QRadioButton *>(control)) {
            if (control->width() < control->sizeHint().width() ||
                control->height() < control->fontMetrics().height())
                return name + QStringLiteral(" cut off");
        }
        for (QWidget *other : shown)
            if (other != control && other->geometry().intersects(control->geometry()))
                return name + QStringLiteral(" covers ") + other->objectName();
    }
    return {};
}

// The visible controls lying directly on `form`.
inline QList<QWidget *> shownControls(const QWidget *form) {
    QList<QWidget *> shown;
    for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control->isVisible())
            shown.append(control);
    return shown;
}

} // namespace testsupport
