#pragma once

#include <QWidget>

// The level setup form.
class frmSetUp final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSetUp)

public:
    explicit frmSetUp(QWidget *parent = nullptr);
};
