#include "app/application.h"
#include "core/errors.h"
#include "core/programend.h"
#include "testsupport.h"

namespace {
// Fails the way an overflow in an event handler does.
class Failing : public QObject {
public:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::User)
            orvandel::throwOverflow();
        return QObject::event(event);
    }
};
} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void failureInHandlerShowsMessageAndEnds();
};

void TestApplication::failureInHandlerShowsMessageAndEnds() {
    int status = -1;
    const auto previous = orvandel::setProgramEndHandler([&](int code) { status = code; });
    Failing failing;
    QEvent event(QEvent::User);
    const QList<testsupport::Box> boxes =
        testsupport::answerBoxes([&] { QCoreApplication::sendEvent(&failing, &event); });
    orvandel::setProgramEndHandler(previous);

    QCOMPARE(boxes.size(), 1);
    const QString shown = boxes.at(0).text;
    QVERIFY2(shown.contains(QStringLiteral("Overflow")), qPrintable(shown));
    QCOMPARE(boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(status, EXIT_FAILURE);
}

int main(int argc, char *argv[]) {
    orvandel::OrvandelApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
