#include "sound/frmsound.h"

#include "app/formgeometry.h"

frmSound::frmSound(QWidget *parent) : QWidget(parent) {
    orvandel::prepareWindow(this, QStringLiteral("frmSound"), QStringLiteral("frmSound"));
}
