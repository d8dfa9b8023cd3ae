// Fitting the clock's design to a window, without a window.
#include "clock/fit.h"

#include <QTest>

using orvandel::fitDesign;

namespace {
// The area of the clock's design that is fitted, in twips.
const QSize Fitted(15375, 9600);
} // namespace

class TestFit : public QObject {
    Q_OBJECT

private slots:
    void designFitsWindow_data();
    void designFitsWindow();
    void everyControlStaysInside_data();
    void everyControlStaysInside();
};

void TestFit::designFitsWindow_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("time");   // lblTime, 1560, 4680, 13125, 2145 twips
    QTest::addColumn<int>("timeFont"); // 99.75 pt
    QTest::addColumn<int>("line");     // 3 pixels
    // Worked by hand: the design is 1025 x 640 pixels; the smaller of the two
    // ratios is the scale, and the other direction is centred.
    // clang-format off
    QTest::newRow("design size")       << QSize(1025, 640)  << QRect(104, 312, 875, 143)  << 133 << 3;
    QTest::newRow("1366x768 laptop")   << QSize(1366, 768)  << QRect(192, 374, 1051, 172) << 160 << 4;
    QTest::newRow("1920x1080 TV")      << QSize(1920, 1080) << QRect(270, 526, 1478, 242) << 224 << 5;
    QTest::newRow("3840x2160 TV")      << QSize(3840, 2160) << QRect(541, 1053, 2954, 483) << 449 << 10;
    QTest::newRow("1024x768, 4:3")     << QSize(1024, 768)  << QRect(103, 376, 876, 143)  << 133 << 3;
    QTest::newRow("nothing to fit in") << QSize(0, 0)       << QRect(0, 0, 0, 0)          << 1   << 1;
    // clang-format on
}

void TestFit::designFitsWindow() {
    QFETCH(QSize, window);
    QFETCH(QRect, time);
    QFETCH(int, timeFont);
    QFETCH(int, line);
    const orvandel::Fit fit = fitDesign(window, Fitted);
    QCOMPARE(fit.map(1560, 4680, 13125, 2145), time);
    QCOMPARE(fit.fontPixels(99.75), timeFont);
    QCOMPARE(fit.pixels(3), line);
}

void TestFit::everyControlStaysInside_data() {
    QTest::addColumn<QSize>("window");
    // clang-format off
    QTest::newRow("wide")   << QSize(3000, 700);
    QTest::newRow("tall")   << QSize(700, 3000);
    QTest::newRow("odd")    << QSize(1279, 1023);
    QTest::newRow("square") << QSize(800, 800);
    // clang-format on
}

void TestFit::everyControlStaysInside() {
    QFETCH(QSize, window);
    const orvandel::Fit fit = fitDesign(window, Fitted);
    // The corners of the fitted area land on the window's edges in the
    // direction that limits the scale and are centred in the other.
    const QRect all = fit.map(0, 0, Fitted.width(), Fitted.height());
    QVERIFY2(QRect(QPoint(0, 0), window).contains(all), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(all.x())
                                                                       .arg(all.y())
                                                                       .arg(all.width())
                                                                       .arg(all.height())));
    QVERIFY(all.width() >= window.width() - 1 || all.height() >= window.height() - 1);
    QVERIFY(std::abs(all.left() - (window.width() - all.right() - 1)) <= 1);
    QVERIFY(std::abs(all.top() - (window.height() - all.bottom() - 1)) <= 1);
}

QTEST_APPLESS_MAIN(TestFit)
#include "tst_fit.moc"
