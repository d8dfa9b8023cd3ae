#include "app/application.h"
#include "app/startup.h"
#include "core/journalfile.h"

#include <QGuiApplication>
#include <cstring>

int main(int argc, char *argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--pdf") == 0) {
        // For scripts: no window, so no screen is needed either.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return orvandel::writeSheetCommand(QGuiApplication::arguments().mid(2));
    }
    orvandel::OrvandelApplication app(argc, argv);
    orvandel::removeLeftoverJournals();
    if (!orvandel::showFirstWindow(QApplication::arguments().mid(1)))
        return 2;
    return orvandel::OrvandelApplication::exec();
}
