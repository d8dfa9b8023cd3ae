#include "players/frmplayers.h"

#include "ui/formkit.h"
#include "ui/windowchrome.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

using namespace orvandel;

namespace {

using Count = PlayerBook::Count;
using Setting = PlayerBook::Setting;

// Eighteen digits always fit 64 bits; a nineteenth might not.
constexpr int LongestAmount = 18;
// Room for the payouts of a large field on one line.
constexpr int PayoutsWidth = 260;
constexpr qreal FigurePoints = 11;

template <typename T> T *named(T *control, const char *name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel *caption(QWidget *parent, const char *name, const char *text) {
    return named(new QLabel(QString::fromUtf8(text), parent), name);
}

// A figure in a larger, bold type, as it will be read off the clock.
QLabel *figure(QWidget *parent, const char *name) {
    QLabel *label = named(new QLabel(parent), name);
    QFont font = label->font();
    font.setPointSizeF(FigurePoints);
    font.setBold(true);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Why something typed was refused. Two lines are kept for it, and it takes
// the width it is given, so that the window does not jump when it shows.
QLabel *problem(QWidget *parent, const char *name) {
    QLabel *label = named(new QLabel(parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setFixedHeight(2 * label->fontMetrics().lineSpacing());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    label->setPalette(palette);
    return label;
}

QSpinBox *countBox(QWidget *parent, const char *name) {
    QSpinBox *spin = named(new QSpinBox(parent), name);
    spin->setRange(0, std::numeric_limits<int>::max());
    spin->setGroupSeparatorShown(true);
    // A typed count is taken at Enter or on leaving the box, not at every
    // digit, so that "40" is one change to undo rather than "4" and "40".
    spin->setKeyboardTracking(false);
    spin->setAccelerated(true);
    spin->setMinimumWidth(90);
    spin->setAlignment(Qt::AlignRight);
    return spin;
}

QLineEdit *amountField(QWidget *parent, const char *name) {
    QLineEdit *field = named(new QLineEdit(parent), name);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(LongestAmount)), field));
    field->setPlaceholderText(QStringLiteral("0"));
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(120);
    return field;
}

// Why a typed count was refused.
QString refusal(Count count, const PlayerCounts &counts) {
    if (count == Count::Out)
        return QStringLiteral("No more players can be out than there are entries (%1).")
            .arg(counts.entries);
    return QStringLiteral("There cannot be fewer entries than players out (%1).").arg(counts.out);
}

} // namespace

frmPlayers::frmPlayers(PlayerBook *book, QWidget *parent)
    : QWidget(parent, Qt::Dialog), m_book(book) {
    prepareWindow(this, QStringLiteral("frmPlayers"), QStringLiteral("Players and prize pool"));

    auto *counts = named(new QGroupBox(QStringLiteral("Counts"), this), "fraCounts");
    auto *countGrid = new QGridLayout(counts);
    spnEntries = countBox(counts, "spnEntries");
    spnOut = countBox(counts, "spnOut");
    spnRebuys = countBox(counts, "spnRebuys");
    spnAddOns = countBox(counts, "spnAddOns");
    cmdEntry = named(new QPushButton(QStringLiteral("Entry"), counts), "cmdEntry");
    cmdBust = named(new QPushButton(QStringLiteral("Player out"), counts), "cmdBust");
    cmdRebuy = named(new QPushButton(QStringLiteral("Rebuy"), counts), "cmdRebuy");
    cmdAddOn = named(new QPushButton(QStringLiteral("Add-on"), counts), "cmdAddOn");
    m_countRows = {{spnEntries, cmdEntry, Count::Entries},
                   {spnOut, cmdBust, Count::Out},
                   {spnRebuys, cmdRebuy, Count::Rebuys},
                   {spnAddOns, cmdAddOn, Count::AddOns}};
    const char *const countCaptions[][2] = {{"lblEntriesCaption", "Entries"},
                                            {"lblOutCaption", "Players out"},
                                            {"lblRebuysCaption", "Rebuys"},
                                            {"lblAddOnsCaption", "Add-ons"}};
    for (int i = 0; i < m_countRows.size(); ++i) {
        const CountRow &row = m_countRows[i];
        countGrid->addWidget(caption(counts, countCaptions[i][0], countCaptions[i][1]), i, 0);
        countGrid->addWidget(row.spin, i, 1);
        countGrid->addWidget(row.button, i, 2);
        connect(row.spin, &QSpinBox::valueChanged, this,
                [this, row](int value) { countTyped(row, value); });
        connect(row.button, &QPushButton::clicked, this, [this, row] { countAdded(row); });
    }
    cmdUndoCount = named(new QPushButton(QStringLiteral("Undo"), counts), "cmdUndoCount");
    connect(cmdUndoCount, &QPushButton::clicked, this, &frmPlayers::cmdUndoCount_Click);
    lblCountProblem = problem(counts, "lblCountProblem");
    countGrid->addWidget(lblCountProblem, 4, 0, 1, 2);
    countGrid->addWidget(cmdUndoCount, 4, 2);

    // The chips and the price of each thing bought, side by side.
    auto *money = named(new QGroupBox(QStringLiteral("Chips and prices"), this), "fraMoney");
    auto *moneyGrid = new QGridLayout(money);
    moneyGrid->addWidget(caption(money, "lblChipsCaption", "Chips"), 0, 1, Qt::AlignRight);
    moneyGrid->addWidget(caption(money, "lblPriceCaption", "Price"), 0, 2, Qt::AlignRight);
    txtStack = amountField(money, "txtStack");
    txtBuyIn = amountField(money, "txtBuyIn");
    txtRebuyChips = amountField(money, "txtRebuyChips");
    txtRebuyPrice = amountField(money, "txtRebuyPrice");
    txtAddOnChips = amountField(money, "txtAddOnChips");
    txtAddOnPrice = amountField(money, "txtAddOnPrice");
    moneyGrid->addWidget(caption(money, "lblBuyInCaption", "Buy-in"), 1, 0);
    moneyGrid->addWidget(txtStack, 1, 1);
    moneyGrid->addWidget(txtBuyIn, 1, 2);
    moneyGrid->addWidget(caption(money, "lblRebuyCaption", "Rebuy"), 2, 0);
    moneyGrid->addWidget(txtRebuyChips, 2, 1);
    moneyGrid->addWidget(txtRebuyPrice, 2, 2);
    moneyGrid->addWidget(caption(money, "lblAddOnCaption", "Add-on"), 3, 0);
    moneyGrid->addWidget(txtAddOnChips, 3, 1);
    moneyGrid->addWidget(txtAddOnPrice, 3, 2);
    m_settingFields = {{txtStack, Setting::StartingChips},   {txtBuyIn, Setting::BuyIn},
                       {txtRebuyChips, Setting::RebuyChips}, {txtRebuyPrice, Setting::RebuyPrice},
                       {txtAddOnChips, Setting::AddOnChips}, {txtAddOnPrice, Setting::AddOnPrice}};
    for (const SettingField &entry : m_settingFields)
        connect(entry.field, &QLineEdit::editingFinished, this,
                [this, entry] { settingTyped(entry); });

    moneyGrid->addWidget(caption(money, "lblPayoutsCaption", "Payouts in %, 1st first"), 4, 0, 1,
                         3);
    txtPayouts = named(new QLineEdit(money), "txtPayouts");
    txtPayouts->setPlaceholderText(QStringLiteral("50 30 20"));
    txtPayouts->setMinimumWidth(PayoutsWidth);
    connect(txtPayouts, &QLineEdit::editingFinished, this, &frmPlayers::txtPayouts_EditingFinished);
    moneyGrid->addWidget(txtPayouts, 5, 0, 1, 3);
    lblPayoutProblem = problem(money, "lblPayoutProblem");
    moneyGrid->addWidget(lblPayoutProblem, 6, 0, 1, 3);

    auto *figures = named(new QGroupBox(QStringLiteral("On the clock"), this), "fraFigures");
    auto *figureColumn = new QVBoxLayout(figures);
    lblPlayers = figure(figures, "lblPlayers");
    lblAverage = figure(figures, "lblAverage");
    lblPrizePool = figure(figures, "lblPrizePool");
    lblPayouts = figure(figures, "lblPayouts");
    lblPayouts->setWordWrap(true);
    for (QLabel *label : {lblPlayers, lblAverage, lblPrizePool, lblPayouts})
        figureColumn->addWidget(label);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(counts);
    layout->addWidget(money);
    layout->addWidget(figures);
    // The payouts may wrap, but no wider than the boxes above them.
    lblPayouts->setMaximumWidth(counts->sizeHint().width());

    // Down each column of counts, then across each row of chips and prices.
    formkit::chainTabOrder({spnEntries, cmdEntry, spnOut, cmdBust, spnRebuys, cmdRebuy, spnAddOns,
                            cmdAddOn, cmdUndoCount, txtStack, txtBuyIn, txtRebuyChips,
                            txtRebuyPrice, txtAddOnChips, txtAddOnPrice, txtPayouts});

    connect(m_book, &PlayerBook::changed, this, &frmPlayers::showBook);
    showBook();
}

void frmPlayers::showOn(QScreen *screen) {
    showInFront(this, screen);
}

void frmPlayers::countTyped(const CountRow &row, int value) {
    if (m_book->setCount(row.count, value)) {
        lblCountProblem->clear();
        return;
    }
    lblCountProblem->setText(refusal(row.count, m_book->counts()));
    showBook(); // the box back at the count kept
}

void frmPlayers::countAdded(const CountRow &row) {
    if (m_book->addOne(row.count))
        lblCountProblem->clear();
}

void frmPlayers::cmdUndoCount_Click() {
    if (m_book->undo())
        lblCountProblem->clear();
}

void frmPlayers::settingTyped(const SettingField &entry) {
    // Digits only, at most eighteen: always a number from 0 up that fits.
    m_book->setSetting(entry.setting, entry.field->text().toLongLong());
    entry.field->setModified(false);
    showBook();
}

void frmPlayers::txtPayouts_EditingFinished() {
    const QString why = m_book->setPayouts(txtPayouts->text());
    lblPayoutProblem->setText(why);
    // Refused payouts stay as typed, for the correction.
    if (why.isEmpty()) {
        txtPayouts->setModified(false);
        showBook();
    }
}

void frmPlayers::showBook() {
    const PlayerCounts &counts = m_book->counts();
    for (const CountRow &row : m_countRows) {
        const QSignalBlocker quiet(row.spin);
        row.spin->setValue(
            static_cast<int>(std::min<qint64>(m_book->count(row.count), row.spin->maximum())));
    }
    cmdBust->setEnabled(playersLeft(counts) > 0);
    cmdUndoCount->setEnabled(m_book->canUndo());

    // A field being typed in keeps what is typed until it is taken.
    for (const SettingField &entry : m_settingFields) {
        const qint64 value = m_book->setting(entry.setting);
        if (!entry.field->isModified())
            entry.field->setText(value == 0 ? QString() : QString::number(value));
    }
    if (!txtPayouts->isModified())
        txtPayouts->setText(payoutsText(m_book->settings().payouts));

    const PlayerTexts texts = m_book->texts();
    lblPlayers->setText(texts.players);
    lblAverage->setText(texts.average);
    lblPrizePool->setText(texts.prizePool);
    lblPayouts->setText(texts.payouts);
}
