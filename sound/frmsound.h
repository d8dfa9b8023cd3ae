#pragma once

#include <QWidget>

// The alert sound chooser.
class frmSound final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSound)

public:
    explicit frmSound(QWidget *parent = nullptr);
};
