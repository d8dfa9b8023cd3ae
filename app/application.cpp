#include "app/application.h"

#include "app/opening.h"
#include "core/errors.h"
#include "core/programend.h"
#include "setup/structureclock.h"

#include <QIcon>
#include <QMessageBox>
#include <cstdlib>

namespace orvandel {

OrvandelApplication::OrvandelApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Orvandel"));
    // Lets the desktop match the window to its menu entry and icon.
    setDesktopFileName(QStringLiteral("io.github.orvandel.Orvandel"));
    setWindowIcon(QIcon(QStringLiteral(":/spade.png")));
    // The editor sits below the clock, which it reaches through this.
    setStructureClockStarter(&startStructureFile);
}

bool OrvandelApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        orvandel::failAndEnd(error);
    }
    return false;
}

void failAndEnd(const std::exception &error) {
    QMessageBox::critical(nullptr, QStringLiteral("Orvandel"), fatalErrorMessage(error));
    endProgram(EXIT_FAILURE);
}

} // namespace orvandel
