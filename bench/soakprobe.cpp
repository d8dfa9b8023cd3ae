// The soak watcher's probes into the program (see soakprobe.h).
//
// Reading the label: a hidden copy of the clock window, laid out at the
// screen's size, draws every text the time label can show (each second of
// each level length, "Paused", "Ended!"); three pixel rows across the digits
// identify each drawing. A row hash that matches none is reported, never
// guessed.

#include "bench/soakprobe.h"

#include "clock/blinds.h"
#include "core/timetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <X11/Xlib.h>
#include <algorithm>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace bench {
namespace {

constexpr QRgb Blue = 0xff0000ffu;
// XWD header fields (big-endian 32-bit words) of Xvfb's -fbdir file.
constexpr int XwdHeaderSize = 0, XwdWidth = 4, XwdHeight = 5, XwdBitsPerPixel = 11,
              XwdBytesPerLine = 12, XwdColours = 19;
constexpr int XwdColourBytes = 12;

} // namespace

double realSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::uint64_t hashRow(std::uint64_t hash, const QRgb *pixels, int count) {
    for (int i = 0; i < count; ++i) {
        hash ^= pixels[i] & 0xffffffu;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

bool Framebuffer::open(const QString &path, QString *why) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) {
        *why = QStringLiteral("cannot open ") + path;
        return false;
    }
    struct stat info {};
    fstat(fd, &info);
    m_size = static_cast<std::size_t>(info.st_size);
    void *map = mmap(nullptr, m_size, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        *why = QStringLiteral("cannot map ") + path;
        return false;
    }
    m_base = static_cast<const unsigned char *>(map);
    auto word = [this](int i) {
        const unsigned char *p = m_base + std::ptrdiff_t{4} * i;
        return static_cast<quint32>(p[0]) << 24 | static_cast<quint32>(p[1]) << 16 |
               static_cast<quint32>(p[2]) << 8 | static_cast<quint32>(p[3]);
    };
    if (word(XwdBitsPerPixel) != 32) {
        *why = QStringLiteral("the screen is not 32 bits a pixel");
        return false;
    }
    m_width = static_cast<int>(word(XwdWidth));
    m_height = static_cast<int>(word(XwdHeight));
    m_stride = word(XwdBytesPerLine);
    m_offset = word(XwdHeaderSize) + word(XwdColours) * XwdColourBytes;
    return true;
}

struct Clicker::X {
    using MotionFn = int (*)(Display *, int, int, int, unsigned long);
    using ButtonFn = int (*)(Display *, unsigned int, Bool, unsigned long);
    Display *display = nullptr;
    MotionFn motion = nullptr;
    ButtonFn button = nullptr;
};

Clicker::Clicker() : m_x(std::make_unique<X>()) {}

Clicker::~Clicker() = default;

bool Clicker::open(QString *why) {
    m_x->display = XOpenDisplay(nullptr);
    void *xtst = dlopen("libXtst.so.6", RTLD_NOW);
    if (!m_x->display || !xtst) {
        *why = QStringLiteral("no X display or no libXtst.so.6");
        return false;
    }
    m_x->motion = reinterpret_cast<X::MotionFn>(dlsym(xtst, "XTestFakeMotionEvent"));
    m_x->button = reinterpret_cast<X::ButtonFn>(dlsym(xtst, "XTestFakeButtonEvent"));
    if (!m_x->motion || !m_x->button) {
        *why = QStringLiteral("libXtst.so.6 lacks the fake-input calls");
        return false;
    }
    return true;
}

double Clicker::click(int x, int y, int awayX, int awayY) {
    m_x->motion(m_x->display, -1, x, y, 0);
    XSync(m_x->display, False);
    const double before = realSeconds();
    m_x->button(m_x->display, 1, True, 0);
    m_x->button(m_x->display, 1, False, 0);
    XSync(m_x->display, False);
    const double after = realSeconds();
    m_x->motion(m_x->display, -1, awayX, awayY, 0);
    XSync(m_x->display, False);
    return (before + after) / 2;
}

Resources readResources(const QString &pidFile) {
    Resources r;
    QFile pidText(pidFile);
    if (!pidText.open(QIODevice::ReadOnly))
        return r;
    const qint64 pid = pidText.readAll().trimmed().toLongLong();
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    QFile status(proc + QStringLiteral("status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                r.rssKb = line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    r.fds = static_cast<double>(QDir(proc + QStringLiteral("fd"))
                                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                    .size());
    r.threads = static_cast<double>(
        QDir(proc + QStringLiteral("task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    return r;
}

bool learnLabelTexts(Blinds &copy, const QSize &screen, const std::vector<qint64> &levelSeconds,
                     LabelTexts *known, QString *why) {
    // The hidden copy, at the screen's size, that draws the label's texts.
    copy.setAttribute(Qt::WA_DontShowOnScreen);
    copy.show();
    copy.setGeometry(QRect(QPoint(0, 0), screen));
    QCoreApplication::processEvents();
    if (auto *timer = copy.findChild<QTimer *>(QStringLiteral("Timer1")))
        timer->stop();
    auto *time = copy.findChild<QLabel *>(QStringLiteral("lblTime"));
    auto *line5 = copy.findChild<QLabel *>(QStringLiteral("Label5"));
    if (!time || !line5) {
        *why = QStringLiteral("the clock window has no lblTime or Label5");
        return false;
    }
    const QRect label = time->geometry();

    auto draw = [](QLabel *target, const QString &text, const QRegion &clip) {
        QImage image(target->size(), QImage::Format_RGB32);
        image.fill(Blue);
        target->setText(text);
        // render() puts the clip's top left corner at the offset given.
        target->render(&image, clip.isEmpty() ? QPoint() : clip.boundingRect().topLeft(), clip,
                       QWidget::RenderFlags());
        return image;
    };
    // Rows across the digits, between the ink's top and bottom.
    const QImage sample = draw(time, QStringLiteral("00:00"), QRegion());
    if (qEnvironmentVariableIsSet("ORVANDEL_SOAK_DEBUG")) {
        sample.save(QStringLiteral("/tmp/soak-sample.png"));
        draw(time, QStringLiteral("00:01"), QRegion())
            .save(QStringLiteral("/tmp/soak-sample1.png"));
    }
    int inkTop = -1, inkBottom = -1;
    for (int y = 0; y < sample.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(sample.constScanLine(y));
        if (std::any_of(line, line + sample.width(),
                        [](QRgb p) { return (p & 0xffffffu) != (Blue & 0xffffffu); })) {
            inkTop = inkTop < 0 ? y : inkTop;
            inkBottom = y;
        }
    }
    if (inkTop < 0) {
        *why = QStringLiteral("the time label draws nothing");
        return false;
    }
    const std::vector<int> rows = {inkTop + (inkBottom - inkTop) * 3 / 10,
                                   inkTop + (inkBottom - inkTop) / 2,
                                   inkTop + (inkBottom - inkTop) * 7 / 10};
    // The left eighth stays out: the pause click lands there, and with it
    // the pointer and the label's tooltip.
    const int firstColumn = label.width() / 8;
    const int columns = label.width() - firstColumn;
    QRegion clip;
    for (const int y : rows)
        clip += QRect(0, y, label.width(), 1);

    QHash<quint64, QString> texts;
    auto addText = [&](const QString &text) {
        const QImage image = draw(time, text, clip);
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (const int y : rows)
            hash =
                hashRow(hash, reinterpret_cast<const QRgb *>(image.constScanLine(y)) + firstColumn,
                        columns);
        const auto found = texts.constFind(hash);
        if (found != texts.cend() && found.value() != text) {
            *why = QStringLiteral("\"%1\" and \"%2\" look the same").arg(found.value(), text);
            return false;
        }
        texts.insert(hash, text);
        return true;
    };
    std::vector<qint64> lengths = levelSeconds;
    std::sort(lengths.begin(), lengths.end());
    lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
    for (const qint64 s : lengths)
        for (qint64 v = 0; v < s; ++v)
            if (!addText(
                    orvandel::timeText(static_cast<qint16>(v / 60), static_cast<qint16>(v % 60))))
                return false;
    if (!addText(QStringLiteral("Paused")) || !addText(QStringLiteral("Ended!")))
        return false;
    const QImage endedTime = draw(time, QStringLiteral("Ended!"), QRegion());
    const QImage endedLine = draw(line5, QStringLiteral("This tournament has"), QRegion());
    const QRect line5Rect = line5->geometry();
    *known = LabelTexts{label,     rows,      firstColumn, columns, std::move(texts),
                        endedTime, endedLine, line5Rect};
    return true;
}

} // namespace bench
