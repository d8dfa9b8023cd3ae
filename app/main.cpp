#include "app/application.h"
#include "app/opening.h"
#include "core/journalfile.h"

int main(int argc, char *argv[]) {
    orvandel::OrvandelApplication app(argc, argv);
    orvandel::removeLeftoverJournals();
    auto *opening = new Opening(nullptr);
    opening->show();
    return orvandel::OrvandelApplication::exec();
}
