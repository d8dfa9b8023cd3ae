#include "app/navigation.h"

#include "app/opening.h"

namespace orvandel {

void handOver(QWidget *from, QWidget *next) {
    next->show();
    from->close();
}

void showOpening(QWidget *from) {
    handOver(from, new Opening(nullptr));
}

} // namespace orvandel
