#include "ui/windowchrome.h"

#include "core/twips.h"
#include "ui/fonts.h"

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>

namespace orvandel {

void place(QWidget *control, int left, int top, int width, int height) {
    control->setGeometry(twipsRect(left, top, width, height));
}

void sizeToText(QWidget *label) {
    const QPoint topLeft = label->pos();
    label->adjustSize();
    label->move(topLeft);
}

void setFormSize(QWidget *form, int clientWidthTwips, int formHeightTwips) {
    form->setFixedSize(px(clientWidthTwips), px(formHeightTwips - FrameHeightTwips));
}

void showInFront(QWidget *window, QScreen *screen) {
    if (screen) {
        window->setScreen(screen);
        window->adjustSize();
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void centreOnScreen(QWidget *window) {
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // Before a window is first shown Qt does not know its frame yet; the
    // designed title bar and borders stand in for it, so that it is the
    // outer window that sits in the middle.
    QSize outer = window->frameGeometry().size();
    if (outer.height() <= window->height())
        outer = window->size() + QSize(0, px(FrameHeightTwips));
    window->move(area.left() + (area.width() - outer.width()) / 2,
                 area.top() + (area.height() - outer.height()) / 2);
}

void prepareWindow(QWidget *window, const QString &name, const QString &caption) {
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setWindowIcon(QIcon(QStringLiteral(":/spade.png")));
    // The layouts were drawn for a narrow 8-point sans serif; a wider default
    // font would cut captions off.
    QFont font = window->font();
#ifdef Q_OS_WIN
    font.setFamily(QStringLiteral("Microsoft Sans Serif"));
#else
    // Naming only installed families keeps the font lookup, which dominates
    // start-up, short.
    font.setFamilies(formFontFamilies());
#endif
    font.setPointSizeF(8.25);
    window->setFont(font);
    window->setAttribute(Qt::WA_DeleteOnClose);
}

} // namespace orvandel
