#pragma once

// What the soak watcher reads of the program it watches: its screen, from
// Xvfb's framebuffer; the texts its time label can show; mouse clicks on it;
// and its memory, files and threads from /proc.

#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Blinds;

namespace bench {

// Seconds on the real (monotonic) clock, which libfaketime leaves alone here.
double realSeconds();

std::uint64_t hashRow(std::uint64_t hash, const QRgb *pixels, int count);

// Xvfb's screen as a file in memory.
class Framebuffer {
public:
    bool open(const QString &path, QString *why);
    const QRgb *row(int x, int y) const {
        return reinterpret_cast<const QRgb *>(
            m_base + m_offset + std::size_t{m_stride} * quint32(y) + std::size_t{4} * quint32(x));
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    const unsigned char *m_base = nullptr;
    std::size_t m_size = 0;
    quint32 m_stride = 0, m_offset = 0;
    int m_width = 0, m_height = 0;
};

// Mouse clicks through the XTest extension (its client library is loaded
// at run time: only its runtime part comes with xdotool).
class Clicker {
public:
    Clicker();
    ~Clicker();
    Clicker(const Clicker &) = delete;
    Clicker &operator=(const Clicker &) = delete;

    bool open(QString *why);
    // Clicks at (x, y), leaves the pointer at (awayX, awayY); returns the
    // real time at which the server had handled the click.
    double click(int x, int y, int awayX, int awayY);

private:
    // Xlib's types stay in soakprobe.cpp: its macros clash with Qt's names.
    struct X;
    std::unique_ptr<X> m_x;
};

struct Resources {
    double rssKb = -1;
    double fds = -1;
    double threads = -1;
};

Resources readResources(const QString &pidFile);

// Where the time label is and the texts it can show, each known by the hash
// of a few pixel rows across its digits.
struct LabelTexts {
    QRect label; // lblTime in the window (and on the screen)
    std::vector<int> rows;
    int firstColumn = 0;
    int columns = 0;
    QHash<quint64, QString> texts;
    QImage endedTime; // lblTime and Label5 as the end screen draws them
    QImage endedLine;
    QRect line5Rect;
};

// Draws every text the time label can show with these level lengths in
// `copy`, a hidden clock window laid out at the screen's size; false, with
// `why`, when two texts look the same or the label cannot be read.
bool learnLabelTexts(Blinds &copy, const QSize &screen, const std::vector<qint64> &levelSeconds,
                     LabelTexts *known, QString *why);

} // namespace bench
