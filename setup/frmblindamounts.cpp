#include "setup/frmblindamounts.h"

#include "app/formgeometry.h"

frmBlindAmounts::frmBlindAmounts(QWidget *parent) : QWidget(parent) {
    orvandel::prepareWindow(this, QStringLiteral("frmBlindAmounts"), QStringLiteral("frmBlindAmounts"));
}
