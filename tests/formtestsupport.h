#pragma once

// Helpers shared by the tests that drive the setup forms.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

namespace formtest {

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `action`; every modal message box it opens is read and closed.
inline QList<Box> answerBoxes(const std::function<void()> &action) {
    QList<Box> boxes;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&boxes] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes.append({box->windowTitle(), box->text(), box->icon()});
            box->done(QMessageBox::Ok);
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

// The shown top-level windows, once closed ones are gone.
inline QList<QWidget *> shownWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown.append(w);
    return shown;
}

template <typename T> T *child(QWidget *form, const QString &name) {
    T *control = form->findChild<T *>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

inline QLineEdit *field(QWidget *form, const QString &name) {
    return child<QLineEdit>(form, name);
}

} // namespace formtest
