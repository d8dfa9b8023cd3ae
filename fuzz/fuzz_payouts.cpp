// Fuzz target for the payouts as the director types them ("50 30 20").
//
// The bytes are read as UTF-8 and as Latin-1 text. What the reader makes of a
// text is compared with a model built from regular expressions: the words
// between blanks and commas, each a whole percentage from 1 to 100 with an
// optional '%', all adding up to 100. Payouts that were read are written back
// and read again, and split a pool taken from the input's first bytes: the
// shares add up to the pool, each place below first gets its percentage
// rounded down, computed here in 128 bits. A broken property traps, so
// libFuzzer keeps the input.
#include "core/players.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

using namespace orvandel;

namespace {

// __extension__ keeps -Wpedantic quiet, and takes only the typedef form.
__extension__ typedef __int128 Wide; // NOLINT(modernize-use-using)

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

// The reader's verdict by the rules alone: the percentages, or the first word
// that is not one (empty when all are), and their sum.
struct Model {
    QList<int> percentages;
    QString badWord;
    qint64 total = 0;
};

Model model(const QString &text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    static const QRegularExpression word(QStringLiteral("\\A0*([0-9]{1,3})%?\\z"));
    Model m;
    for (const QString &w : text.split(separators, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = word.match(w);
        const int value = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (value < 1 || value > 100) {
            m.badWord = w;
            return m;
        }
        m.percentages.append(value);
        m.total += value;
    }
    return m;
}

void checkShares(const QList<int> &percentages, qint64 pool) {
    const QList<qint64> shares = placePayouts(pool, percentages);
    require(shares.size() == percentages.size());
    Wide sum = 0;
    for (qsizetype i = 0; i < shares.size(); ++i) {
        const Wide exact = Wide{pool} * percentages[i] / 100;
        require(i == 0 ? shares[i] >= exact && shares[i] - exact < shares.size()
                       : shares[i] == exact);
        sum += shares[i];
    }
    require(shares.isEmpty() || sum == pool);
}

void checkText(const QString &text, qint64 pool) {
    const PayoutsRead read = readPayouts(text);
    const Model m = model(text);
    if (!m.badWord.isEmpty()) {
        // Named in the message, or its first eleven characters when cut short.
        require(read.percentages.isEmpty());
        require(read.problem.contains(m.badWord.left(11)));
        return;
    }
    if (!m.percentages.isEmpty() && m.total != 100) {
        require(read.percentages.isEmpty());
        require(read.problem ==
                QStringLiteral("The payouts add up to %1 %, not 100 %.").arg(m.total));
        return;
    }
    require(read.problem.isEmpty());
    require(read.percentages == m.percentages);

    const PayoutsRead again = readPayouts(payoutsText(read.percentages));
    require(again.problem.isEmpty() && again.percentages == read.percentages);
    checkShares(read.percentages, pool);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // A pool from the first eight bytes, any size at all from 0 up.
    qint64 pool = 0;
    if (size >= sizeof pool) {
        std::memcpy(&pool, data, sizeof pool);
        pool &= std::numeric_limits<qint64>::max();
    }
    const auto *chars = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    checkText(QString::fromUtf8(chars, length), pool);
    checkText(QString::fromLatin1(chars, length), pool);
    // Every split of the pool, not only those a text gives.
    checkShares({100}, pool);
    checkShares({1, 99}, pool);
    checkShares({33, 33, 34}, pool);
    return 0;
}
