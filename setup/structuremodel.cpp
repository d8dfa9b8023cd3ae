#include "setup/structuremodel.h"

#include "core/amounts.h"

#include <QColor>
#include <algorithm>

namespace orvandel {

namespace {

const QColor ProblemColour(255, 190, 190);
const QColor WarningColour(255, 236, 170);
const QColor BreakColour(232, 232, 232);

constexpr int BreakMinutes = 10;
const Level FirstLevel = {25, 50, 0, 20};

Field fieldOf(int column) {
    switch (column) {
    case StructureModel::SmallColumn:
        return Field::Small;
    case StructureModel::BigColumn:
        return Field::Big;
    case StructureModel::AnteColumn:
        return Field::Ante;
    case StructureModel::MinutesColumn:
        return Field::Minutes;
    case StructureModel::NoteColumn:
        return Field::Note;
    default:
        return Field::Whole;
    }
}

// Digits only, at most `most` of them; empty reads as 0.
bool readDigits(const QString &text, int most, qint64 &value) {
    const QString digits = text.trimmed();
    if (digits.size() > most)
        return false;
    value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

} // namespace

StructureModel::StructureModel(QObject *parent) : QAbstractTableModel(parent) {
    recompute();
}

Structure StructureModel::structure() const {
    Structure saved = m_structure;
    if (saved.ante == AnteKind::None)
        for (Round &round : saved.rounds)
            if (auto *level = std::get_if<Level>(&round))
                level->ante = 0;
    return saved;
}

void StructureModel::setStructure(Structure structure) {
    beginResetModel();
    m_structure = std::move(structure);
    recompute();
    endResetModel();
}

void StructureModel::setName(const QString &name) {
    if (name == m_structure.name)
        return;
    m_structure.name = name;
    emit edited();
}

void StructureModel::setAnteKind(AnteKind kind) {
    if (kind == m_structure.ante)
        return;
    m_structure.ante = kind;
    refresh();
    emit headerDataChanged(Qt::Horizontal, AnteColumn, AnteColumn);
    emit edited();
}

int StructureModel::insertRound(int after, Round round) {
    const int count = rowCount();
    if (count >= MaxRounds)
        return -1;
    const int row = after < 0 || after >= count ? count : after + 1;
    beginInsertRows(QModelIndex(), row, row);
    m_structure.rounds.insert(m_structure.rounds.begin() + row, std::move(round));
    endInsertRows();
    refresh();
    emit edited();
    return row;
}

int StructureModel::addLevel(int after) {
    const int count = rowCount();
    const int from = after < 0 || after >= count ? count - 1 : after;
    for (int row = from; row >= 0; --row)
        if (const auto *before = std::get_if<Level>(&m_structure.rounds[std::size_t(row)]))
            return insertRound(after, proposedLevelAfter(*before));
    return insertRound(after, FirstLevel);
}

int StructureModel::addBreak(int after) {
    return insertRound(after, Break{BreakMinutes, QString()});
}

void StructureModel::removeRound(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_structure.rounds.erase(m_structure.rounds.begin() + row);
    endRemoveRows();
    refresh();
    emit edited();
}

int StructureModel::moveRound(int row, int by) {
    const int to = row + by;
    if (row < 0 || row >= rowCount() || to < 0 || to >= rowCount() || by == 0)
        return row;
    // Qt counts the destination before the move: one further when moving down.
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), by > 0 ? to + 1 : to);
    std::swap(m_structure.rounds[std::size_t(row)], m_structure.rounds[std::size_t(to)]);
    endMoveRows();
    refresh();
    emit edited();
    return to;
}

void StructureModel::recompute() {
    const Structure checked = structure();
    m_problems = orvandel::problems(checked);
    m_warnings = orvandel::warnings(checked);
    m_levels = levelNumbers(checked);
    m_starts = roundStartsMs(checked);
}

void StructureModel::refresh() {
    recompute();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int StructureModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_structure.rounds.size());
}

int StructureModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const Problem *StructureModel::verdict(const std::vector<Problem> &list,
                                       const QModelIndex &index) const {
    const Field field = fieldOf(index.column());
    for (const Problem &problem : list) {
        if (problem.round != index.row())
            continue;
        if (problem.field == field)
            return &problem;
        // A break where none may be: the whole row is wrong.
        if (problem.field == Field::Whole && index.column() == LevelColumn)
            return &problem;
    }
    return nullptr;
}

QString StructureModel::cellText(int row, int column, bool forEditing) const {
    const auto at = std::size_t(row);
    if (column == StartsColumn)
        return startText(m_starts[at]);
    const RoundTexts texts = roundTexts(m_structure, at, m_levels[at], forEditing);
    switch (column) {
    case LevelColumn:
        return texts.level;
    case SmallColumn:
        return texts.small;
    case BigColumn:
        return texts.big;
    case AnteColumn:
        return texts.ante;
    case MinutesColumn:
        return texts.minutes;
    case NoteColumn:
        return texts.note;
    default:
        return QString();
    }
}

QVariant StructureModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Round &round = m_structure.rounds[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), index.column(), role == Qt::EditRole);
    case Qt::BackgroundRole:
        if (verdict(m_problems, index))
            return ProblemColour;
        if (verdict(m_warnings, index))
            return WarningColour;
        if (isBreak(round))
            return BreakColour;
        return {};
    case Qt::ToolTipRole:
        if (const Problem *problem = verdict(m_problems, index))
            return problem->message;
        if (const Problem *warning = verdict(m_warnings, index))
            return warning->message;
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == NoteColumn)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        if (index.column() == LevelColumn)
            return QVariant::fromValue(Qt::AlignCenter);
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool StructureModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Round &round = m_structure.rounds[std::size_t(index.row())];
    const QString text = value.toString();
    qint64 number = 0;
    if (index.column() == NoteColumn) {
        std::get<Break>(round).note = text;
    } else if (index.column() == MinutesColumn) {
        if (!readDigits(text, MinutesDigits, number))
            return false;
        std::visit([number](auto &r) { r.minutes = static_cast<int>(number); }, round);
    } else {
        if (!readDigits(text, AmountDigits, number))
            return false;
        auto &level = std::get<Level>(round);
        qint64 *const field[] = {&level.small, &level.big, &level.ante};
        *field[index.column() - SmallColumn] = number;
    }
    refresh();
    emit edited();
    return true;
}

Qt::ItemFlags StructureModel::flags(const QModelIndex &index) const {
    if (!index.isValid() || index.row() >= rowCount())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool level = !isBreak(m_structure.rounds[std::size_t(index.row())]);
    bool editable = false;
    switch (index.column()) {
    case SmallColumn:
    case BigColumn:
        editable = level;
        break;
    case AnteColumn:
        editable = level && m_structure.ante != AnteKind::None;
        break;
    case MinutesColumn:
        editable = true;
        break;
    case NoteColumn:
        editable = !level;
        break;
    default:
        break;
    }
    return editable ? shown | Qt::ItemIsEditable : shown;
}

QVariant StructureModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case LevelColumn:
        return QStringLiteral("Level");
    case SmallColumn:
        return QStringLiteral("Small blind");
    case BigColumn:
        return QStringLiteral("Big blind");
    case AnteColumn:
        return m_structure.ante == AnteKind::BigBlind ? QStringLiteral("BB ante")
                                                      : QStringLiteral("Ante");
    case MinutesColumn:
        return QStringLiteral("Minutes");
    case NoteColumn:
        return QStringLiteral("Note");
    case StartsColumn:
        return QStringLiteral("Starts");
    default:
        return {};
    }
}

} // namespace orvandel
