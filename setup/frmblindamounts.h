#pragma once

#include <QWidget>

// The blind amounts form.
class frmBlindAmounts final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmBlindAmounts)

public:
    explicit frmBlindAmounts(QWidget *parent = nullptr);
};
