#include "clock/clocklabel.h"
#include "trywait.h"

#include <QFontInfo>
#include <QImage>
#include <QPaintEvent>
#include <QTest>

// A caption change redraws only what changed; these tests make sure what it
// redraws covers every pixel that differs, so no part of the old text stays.
class TestClockLabel : public QObject {
    Q_OBJECT

private slots:
    void redrawCoversChange_data();
    void redrawCoversChange();
};

namespace {

// Records the regions painted on the widget it watches.
class PaintRecorder final : public QObject {
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};

// Pixels that differ between two drawings of the same size.
QRegion difference(const QImage &a, const QImage &b) {
    QRegion changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed += QRect(x, y, 1, 1);
    return changed;
}

} // namespace

void TestClockLabel::redrawCoversChange_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("whole"); // the whole label is redrawn

    const int centre = Qt::AlignHCenter | Qt::AlignTop;
    const int left = Qt::AlignLeft | Qt::AlignTop;
    // clang-format off
    QTest::newRow("last digit")          << " 71:59" << " 71:58" << centre << false;
    QTest::newRow("minute turns")        << " 71:00" << " 70:59" << centre << false;
    QTest::newRow("every digit")         << "10:00"  << "09:59"  << centre << false;
    QTest::newRow("left aligned digit")  << "$100"   << "$200"   << left   << false;
    QTest::newRow("below ten minutes")   << " 10:00" << "09:59"  << centre << true;
    QTest::newRow("to Paused")           << " 71:58" << "Paused" << centre << true;
    QTest::newRow("back from Paused")    << "Paused" << " 71:57" << centre << true;
    QTest::newRow("wider text")          << "$25"    << "$1,000" << left   << true;
    QTest::newRow("narrower letters")    << "Time!"  << "Tim!!"  << centre << true;
    QTest::newRow("right aligned")       << "$100"   << "$200"   << int(Qt::AlignRight) << true;
    // clang-format on
}

void TestClockLabel::redrawCoversChange() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, alignment);
    QFETCH(bool, whole);

    QWidget window;
    window.resize(900, 200);
    auto *label = new ClockLabel(&window);
    label->setGeometry(10, 10, 880, 180);
    // The clock's own font. Captions whose letters change width need a
    // proportional one, which the platform's default need not be: a minimal
    // Debian 13 with only fonts-liberation answers sans-serif with Liberation
    // Mono, where "Paused" is as wide as " 71:58".
    QFont font = label->font();
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(150);
    label->setFont(font);
    QVERIFY2(!QFontInfo(label->font()).fixedPitch(),
             "no proportional font: install fonts-liberation");
    label->setAlignment(static_cast<Qt::Alignment>(alignment));
    label->setText(before);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage old = label->grab().toImage();

    PaintRecorder recorder;
    label->installEventFilter(&recorder);
    label->setText(after);
    TRY_VERIFY(recorder.paints > 0);
    label->removeEventFilter(&recorder);
    QCOMPARE(label->text(), after);

    const QRegion changed = difference(old, label->grab().toImage());
    QVERIFY(!changed.isEmpty());
    QVERIFY2((changed - recorder.painted).isEmpty(), "a changed pixel was not redrawn");
    // Captions whose characters move or change width redraw the whole
    // label; the others redraw less.
    QCOMPARE((QRegion(label->rect()) - recorder.painted).isEmpty(), whole);
}

QTEST_MAIN(TestClockLabel)
#include "tst_clocklabel.moc"
