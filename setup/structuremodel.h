#pragma once

#include "core/structure.h"

#include <QAbstractTableModel>
#include <vector>

namespace orvandel {

// The structure editor's table: one row a round, its cells what the director
// types, and the rules' verdict on each cell (a problem red, a warning
// yellow, its message as the cell's tooltip).
class StructureModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StructureModel)

public:
    enum Column {
        LevelColumn,
        SmallColumn,
        BigColumn,
        AnteColumn,
        MinutesColumn,
        NoteColumn,
        StartsColumn,
        ColumnCount
    };

    // The longest numbers a cell takes: an amount up to 13 digits (the
    // largest is 10^12), minutes up to 4, so that no sum can overflow.
    static constexpr int AmountDigits = 13;
    static constexpr int MinutesDigits = 4;

    explicit StructureModel(QObject *parent = nullptr);

    // What the file gets: with no ante kind, no level has an ante. The antes
    // typed are kept meanwhile, so a slip of the ante choice loses nothing.
    Structure structure() const;
    void setStructure(Structure structure);
    void setName(const QString &name);
    void setAnteKind(AnteKind kind);
    AnteKind anteKind() const { return m_structure.ante; }

    // A level proposed above the level at or before `after` (-1: at the end),
    // or a break of 10 minutes, inserted after `after`; the new row, or -1
    // when the structure is full.
    int addLevel(int after);
    int addBreak(int after);
    void removeRound(int row);
    // Moves the round one row up (by -1) or down (by 1); its new row.
    int moveRound(int row, int by);

    // Of structure(): what stops the clock, and what only looks wrong.
    const std::vector<Problem> &problems() const { return m_problems; }
    const std::vector<Problem> &warnings() const { return m_warnings; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The director changed something the file holds.
    void edited();

private:
    int insertRound(int after, Round round);
    // Levels, start times and the verdicts of every cell follow any change.
    void recompute();
    void refresh(); // recompute(), and every cell told to the views

    const Problem *verdict(const std::vector<Problem> &list, const QModelIndex &index) const;
    QString cellText(int row, int column, bool forEditing) const;

    Structure m_structure;
    std::vector<int> m_levels;
    std::vector<qint64> m_starts;
    std::vector<Problem> m_problems;
    std::vector<Problem> m_warnings;
};

} // namespace orvandel
