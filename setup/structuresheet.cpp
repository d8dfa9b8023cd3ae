#include "setup/structuresheet.h"

#include "core/amounts.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace orvandel {

namespace {

const QColor BreakShade(225, 225, 225);
const QColor RuleColour(170, 170, 170);

QFont sheetFont(qreal points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Column {
    const char *heading;
    qreal share; // of the page's width
    Qt::Alignment align;
};

// Level, small blind, big blind, ante, minutes, starts, note.
constexpr Column Columns[] = {
    {"Level", 0.08, Qt::AlignHCenter},   {"Small blind", 0.16, Qt::AlignRight},
    {"Big blind", 0.16, Qt::AlignRight}, {"Ante", 0.16, Qt::AlignRight},
    {"Minutes", 0.09, Qt::AlignRight},   {"Starts", 0.09, Qt::AlignRight},
    {"Note", 0.26, Qt::AlignLeft},
};
constexpr int AnteIndex = 3;

QStringList cells(const Structure &structure, std::size_t i, int level, qint64 start) {
    const Round &round = structure.rounds[i];
    const QString minutes = QString::number(roundMinutes(round));
    if (const auto *pause = std::get_if<Break>(&round))
        return {QStringLiteral("Break"), {}, {}, {}, minutes, startText(start), pause->note};
    const auto &l = std::get<Level>(round);
    const QString ante =
        structure.ante == AnteKind::None || l.ante == 0 ? QString() : groupedAmount(l.ante);
    return {QString::number(level),
            groupedAmount(l.small),
            groupedAmount(l.big),
            ante,
            minutes,
            startText(start),
            {}};
}

} // namespace

int sheetPageCount(const Structure &structure) {
    const int rounds = static_cast<int>(structure.rounds.size());
    return std::max(1, (rounds + SheetRoundsPerPage - 1) / SheetRoundsPerPage);
}

bool paintStructureSheet(QPagedPaintDevice *device, const Structure &structure) {
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const std::vector<int> levels = levelNumbers(structure);
    const std::vector<qint64> starts = roundStartsMs(structure);
    const qreal width = device->width();
    const qreal height = device->height();
    const qreal mm = device->logicalDpiY() / 25.4;

    const QFont title = sheetFont(16, true);
    const QFont plain = sheetFont(9);
    const QFont heading = sheetFont(9, true);
    const qreal titleHeight = QFontMetricsF(title, device).height();
    const qreal lineHeight = QFontMetricsF(plain, device).height();
    const qreal tableTop = titleHeight + lineHeight + 6 * mm;
    // A full page's rows and their heading share what is left of the page.
    const qreal rowHeight =
        std::min(lineHeight * 1.8, (height - tableTop) / (SheetRoundsPerPage + 1));
    const qreal pad = 1.5 * mm;

    const QString name =
        structure.name.isEmpty() ? QStringLiteral("Tournament structure") : structure.name;
    const int pages = sheetPageCount(structure);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        painter.setPen(Qt::black);
        painter.setFont(title);
        painter.drawText(QRectF(0, 0, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.setFont(plain);
        const QRectF subtitle(0, titleHeight, width, lineHeight);
        painter.drawText(subtitle, Qt::AlignLeft | Qt::AlignVCenter, anteKindName(structure.ante));
        if (pages > 1)
            painter.drawText(subtitle, Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));

        // The heading row, then this page's rounds.
        qreal y = tableTop;
        const auto drawRow = [&](const QStringList &texts) {
            qreal x = 0;
            for (std::size_t c = 0; c < std::size(Columns); ++c) {
                const qreal w = Columns[c].share * width;
                painter.drawText(QRectF(x + pad, y, w - 2 * pad, rowHeight),
                                 Columns[c].align | Qt::AlignVCenter,
                                 texts.value(static_cast<qsizetype>(c)));
                x += w;
            }
        };
        QStringList headings;
        for (const Column &column : Columns)
            headings << QString::fromLatin1(column.heading);
        if (structure.ante == AnteKind::BigBlind)
            headings[AnteIndex] = QStringLiteral("BB ante");
        painter.setFont(heading);
        drawRow(headings);
        y += rowHeight;
        painter.setPen(QPen(Qt::black, 0.3 * mm));
        painter.drawLine(QPointF(0, y), QPointF(width, y));

        painter.setFont(plain);
        const std::size_t first = std::size_t(page) * SheetRoundsPerPage;
        const std::size_t end = std::min(structure.rounds.size(), first + SheetRoundsPerPage);
        for (std::size_t i = first; i < end; ++i) {
            if (isBreak(structure.rounds[i]))
                painter.fillRect(QRectF(0, y, width, rowHeight), BreakShade);
            painter.setPen(Qt::black);
            drawRow(cells(structure, i, levels[i], starts[i]));
            y += rowHeight;
            painter.setPen(QPen(RuleColour, 0.1 * mm));
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        }
    }
    return painter.end();
}

QString writeStructurePdf(const Structure &structure, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Orvandel"));
        writer.setTitle(structure.name);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        if (!paintStructureSheet(&writer, structure)) {
            file.cancelWriting();
            return QStringLiteral("The sheet could not be drawn.");
        }
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace orvandel
