#pragma once
// Answers "does this text occur in the indexed text?" in time proportional
// to the query, while the indexed text grows at its end. A suffix automaton:
// at most 2n states and 3n transitions for n indexed characters.

#include <QString>
#include <QVector>

class SubstringIndex {
public:
    SubstringIndex();
    void Append(QStringView text);
    bool Contains(QStringView text) const;

private:
    int NewState(int length);
    int Target(int state, char16_t c) const;
    void SetTarget(int state, char16_t c, int target);
    void Extend(char16_t c);
    void GrowTable();

    QVector<int> length_;
    QVector<int> link_;
    QVector<int> firstEdge_; // per state, head of its list of edge characters
    QVector<int> nextEdge_;
    QVector<char16_t> edgeChar_;
    int last_ = 0;

    // Transitions by (state, character), open addressing.
    QVector<quint64> slotKey_;
    QVector<int> slotTarget_;
    qsizetype used_ = 0;
};
