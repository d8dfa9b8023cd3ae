#include "app/application.h"
#include "app/opening.h"

int main(int argc, char *argv[]) {
    OrvandelApplication app(argc, argv);
    auto *opening = new Opening(nullptr);
    opening->show();
    return OrvandelApplication::exec();
}
