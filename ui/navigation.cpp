#include "ui/navigation.h"

#include <QWidget>

namespace orvandel {

namespace {
OpeningFactory openingFactory = nullptr;
} // namespace

void handOver(QWidget *from, QWidget *next) {
    next->show();
    from->close();
}

void setOpeningFactory(OpeningFactory factory) {
    openingFactory = factory;
}

void showOpening(QWidget *from) {
    // Without an opening screen linked in there is nowhere to go back to.
    if (openingFactory)
        handOver(from, openingFactory());
    else
        from->close();
}

} // namespace orvandel
