#include "core/twips.h"

#include <QTest>

using namespace orvandel;

class TestTwips : public QObject {
    Q_OBJECT

private slots:
    void toPixels_data();
    void toPixels();
    void rectangle();
};

void TestTwips::toPixels_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");

    // 15 twips to a pixel, to the nearest pixel, a half away from zero.
    // clang-format off
    QTest::newRow("zero")                 << 0    << 0;
    QTest::newRow("under half a pixel")   << 7    << 0;
    QTest::newRow("over half a pixel")    << 8    << 1;
    QTest::newRow("one pixel")            << 15   << 1;
    QTest::newRow("ten pixels")           << 150  << 10;
    QTest::newRow("10.47 pixels")         << 157  << 10;
    QTest::newRow("10.53 pixels")         << 158  << 11;
    QTest::newRow("a form's width")       << 4065 << 271;
    QTest::newRow("minus under half")     << -7   << 0;
    QTest::newRow("minus over half")      << -8   << -1;
    QTest::newRow("minus one pixel")      << -15  << -1;
    QTest::newRow("minus ten pixels")     << -150 << -10;
    QTest::newRow("minus 10.47 pixels")   << -157 << -10;
    QTest::newRow("minus 10.53 pixels")   << -158 << -11;
    // clang-format on
}

void TestTwips::toPixels() {
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(px(twips), pixels);
    // Rounding is the same on both sides of zero.
    QCOMPARE(px(-twips), -pixels);
    QCOMPARE(orvandel::twips(pixels), pixels * 15);
}

void TestTwips::rectangle() {
    // The sound chooser's player sits partly above its window.
    QCOMPARE(twipsRect(180, -150, 3540, 330), QRect(12, -10, 236, 22));
}

QTEST_APPLESS_MAIN(TestTwips)
#include "tst_twips.moc"
