#include "core/clockdesign.h"
#include "core/colours.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <initializer_list>
#include <vector>

namespace orvandel {

namespace {

using colours::LightBlue;
using colours::Silver;
using colours::White;
using colours::Yellow;

// Made in this order, so the line lies over the time and the picture on top.
// clang-format off
const std::array<LabelDesign, 12> Labels = {{
    {"Label1", "Current Level", White, 36, true, false, {1680, 240, 12975, 855}, 0, 9},
    {"Label2(0)", "Small Blind", White, 15.75, false, false, {4320, 1200, 1695, 495}, 1, 5},
    {"Label3(0)", "Big Blind", White, 15.75, false, false, {11640, 1200, 1335, 495}, 3, 5},
    {"lblCurrentSmall", "$20.00", LightBlue, 99.75, true, false, {1650, 1650, 6165, 1935}, 2, 18},
    {"lblCurrentBig", "$20.00", LightBlue, 99.75, true, false, {8880, 1650, 6165, 1935}, 4, 18},
    {"Label5", "Time remaining at this level:", Yellow, 20.25, true, false, {2505, 4200, 11505, 615}, 5, 5.5},
    {"lblTime", "00:00", Yellow, 99.75, true, false, {1560, 4680, 13125, 2145}, 6, 25},
    {"Label4", "Next Level", Silver, 24, false, true, {7170, 6960, 2415, 615}, 8, 6.5},
    {"Label2(1)", "Small Blind", Silver, 14.25, false, false, {4800, 7680, 1575, 375}, 9, 4.5},
    {"Label3(1)", "Big Blind", Silver, 14.25, false, false, {10500, 7680, 1215, 375}, 11, 4.5},
    {"lblNextSmall", "Label5", Silver, 48, true, false, {4125, 8160, 2895, 975}, 10, 11},
    {"lblNextBig", "Label5", Silver, 48, true, false, {9720, 8160, 2895, 1335}, 12, 11},
}};

// Each in a space of its own: the ante and the break's note (never shown
// together) between this level's blinds and the time; the next break and the
// players on the left below the line; the next level's ante beside its
// heading; the prize pool and the payouts on the right of the next blinds.
// Stacked on a phone, a row shared with a label above follows it: the ante
// and the note under this level's blinds, the next break under the time, the
// next ante under the next blinds, the players' figures last.
const std::array<LabelDesign, 8> Extras = {{
    {"lblCurrentAnte", "", LightBlue, 24, true, false, {1650, 3585, 13395, 600}, 4, 8},
    {"lblNote", "", Yellow, 24, true, false, {1650, 3585, 13395, 600}, 4, 6},
    {"lblNextBreak", "", Yellow, 15.75, false, false, {240, 6900, 3840, 450}, 6, 5},
    {"lblNextAnte", "", Silver, 18, false, true, {9750, 6990, 4500, 540}, 12, 5.5},
    {"lblPlayers", "", White, 15.75, false, false, {240, 7380, 3840, 450}, 15, 5},
    {"lblAverage", "", White, 15.75, false, false, {240, 7860, 3840, 450}, 16, 5},
    {"lblPrizePool", "", White, 15.75, false, false, {12720, 7680, 2600, 450}, 17, 5},
    {"lblPayouts", "", White, 12, false, false, {12720, 8160, 2600, 1380}, 18, 4},
}};
// clang-format on

} // namespace

std::span<const LabelDesign> clockLabels() {
    return Labels;
}

std::span<const LabelDesign> extraLabels() {
    return Extras;
}

const LabelDesign *labelDesign(const char *name) {
    for (const std::span<const LabelDesign> table : {clockLabels(), extraLabels()}) {
        for (const LabelDesign &label : table) {
            if (qstrcmp(label.name, name) == 0)
                return &label;
        }
    }
    return nullptr;
}

LineDesign clockLine() {
    return {QRect(600, 6720, 15000 - 600, 0), 3, 7};
}

QByteArray designToJson() {
    QJsonArray labels;
    std::vector<LabelDesign> all(Labels.begin(), Labels.end());
    all.insert(all.end(), Extras.begin(), Extras.end());
    for (const LabelDesign &label : all) {
        labels.append(QJsonObject{
            {QStringLiteral("name"), QString::fromLatin1(label.name)},
            {QStringLiteral("left"), label.twips.x()},
            {QStringLiteral("top"), label.twips.y()},
            {QStringLiteral("width"), label.twips.width()},
            {QStringLiteral("height"), label.twips.height()},
            {QStringLiteral("points"), label.points},
            {QStringLiteral("centred"), label.centred},
            {QStringLiteral("italic"), label.italic},
            {QStringLiteral("stackRow"), label.stackRow},
            {QStringLiteral("stackSize"), label.stackSize},
        });
    }
    const LineDesign line = clockLine();
    const QJsonObject root{
        {QStringLiteral("width"), FittedWidth},
        {QStringLiteral("height"), FittedHeight},
        {QStringLiteral("line"), QJsonObject{{QStringLiteral("left"), line.twips.x()},
                                             {QStringLiteral("top"), line.twips.y()},
                                             {QStringLiteral("width"), line.twips.width()},
                                             {QStringLiteral("pixels"), line.pixels},
                                             {QStringLiteral("stackRow"), line.stackRow}}},
        {QStringLiteral("labels"), labels},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace orvandel
