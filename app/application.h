#pragma once

#include <QApplication>

namespace orvandel {

// The application object. Its one extra duty is the program-wide error
// handling: a failure that escapes an event handler is shown in one message
// box naming the error, and the program then ends with a non-zero status.
class OrvandelApplication final : public QApplication {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OrvandelApplication)

public:
    OrvandelApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows the message for a failure that ends the program, then ends it.
void failAndEnd(const std::exception &error);
} // namespace orvandel
