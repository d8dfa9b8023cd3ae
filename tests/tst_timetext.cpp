#include "core/timetext.h"

#include <QTest>

using namespace orvandel;

class TestTimeText : public QObject {
    Q_OBJECT

private slots:
    void display_data();
    void display();
};

void TestTimeText::display_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("shown");

    // clang-format off
    QTest::newRow("twenty-minute level, first tick") << 19 << 59 << " 19:59";
    QTest::newRow("ten minutes exactly") << 10 << 0 << " 10:00";
    QTest::newRow("just under ten minutes") << 9 << 59 << "09:59";
    QTest::newRow("five-minute level, first tick") << 4 << 59 << "04:59";
    QTest::newRow("last minute") << 0 << 59 << "00:59";
    QTest::newRow("level ran out") << 0 << 0 << "00:00";
    QTest::newRow("two-hour level") << 120 << 0 << " 120:00";
    QTest::newRow("zero-minute level, first tick") << 0 << -1 << "00:-1";
    QTest::newRow("largest minutes") << 32767 << 59 << " 32767:59";
    QTest::newRow("negative minutes") << -1 << -59 << "0-1:59";
    // clang-format on
}

void TestTimeText::display() {
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QFETCH(QString, shown);
    QCOMPARE(timeText(static_cast<qint16>(minutes), static_cast<qint16>(seconds)), shown);
}

QTEST_APPLESS_MAIN(TestTimeText)
#include "tst_timetext.moc"
