#pragma once
// The blind amounts form's suites on top of testsupport.h: its controls by
// row, typing into its fields, the levels it is opened for and the file it
// leaves.
#include "testsupport.h"

#include "core/module1.h"
#include "setup/frmblindamounts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

namespace testsupport {

inline constexpr int Rows = frmBlindAmounts::Rows;
inline const QString FileName = QStringLiteral("blinds.dat");

inline QLineEdit *small(QWidget *form, int row) {
    return field(form, QStringLiteral("txtSB(%1)").arg(row));
}
inline QLineEdit *big(QWidget *form, int row) {
    return field(form, QStringLiteral("txtBB(%1)").arg(row));
}
inline QPushButton *button(QWidget *form, const char *name) {
    return child<QPushButton>(form, name);
}

// What is there to compare, a missing file included.
inline QByteArray fileBytes() {
    return QFile::exists(FileName) ? readFile(FileName) : QByteArray("(no file)");
}

// Edits of the fields: "txtSB(0)=10" replaces the text, "txtSB(0)+10" types
// after what the field holds.
inline void edit(QWidget *form, const QStringList &edits) {
    for (const QString &entry : edits) {
        const qsizetype at = entry.indexOf(QRegularExpression(QStringLiteral("[=+]")));
        QLineEdit *box = field(form, entry.left(at));
        const QString text = entry.mid(at + 1);
        if (entry[at] == QLatin1Char('=')) {
            box->selectAll();
            box->del();
        } else {
            box->end(false);
        }
        // QTest types one UTF-16 unit per key; paste what a keyboard cannot.
        const bool typable = std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() < 0x7F;
        });
        if (typable)
            QTest::keyClicks(box, text);
        else
            box->insert(text);
    }
}

inline void setLevels(int levels, bool hasBreak = false, int breakRound = 0, int breakMinutes = 0,
                      int levelMinutes = 20) {
    Module1::NumberOfLevels = static_cast<qint16>(levels);
    Module1::HasBreak = hasBreak;
    Module1::BreakRound = static_cast<qint16>(breakRound);
    Module1::BreakDuration = breakMinutes;
    Module1::RoundDuration = static_cast<qint16>(levelMinutes);
}

} // namespace testsupport
