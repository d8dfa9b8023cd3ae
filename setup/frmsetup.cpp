#include "setup/frmsetup.h"

#include "app/formgeometry.h"

frmSetUp::frmSetUp(QWidget *parent) : QWidget(parent) {
    orvandel::prepareWindow(this, QStringLiteral("frmSetUp"), QStringLiteral("frmSetUp"));
}
