#include "app/application.h"
#include "app/errors.h"
#include "app/programend.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

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
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const auto previous = orvandel::setProgramEndHandler([&](int code) { status = code; });
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        icon = box->icon();
        box->accept();
    });
    Failing failing;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&failing, &event);
    orvandel::setProgramEndHandler(previous);

    QVERIFY2(shown.contains(QStringLiteral("Overflow")), qPrintable(shown));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(status, EXIT_FAILURE);
}

int main(int argc, char *argv[]) {
    OrvandelApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
