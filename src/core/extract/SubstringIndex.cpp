#include "SubstringIndex.h"

namespace {
quint64 EdgeKey(int state, char16_t c)
{
    return (quint64(state) + 1) << 16 | c;
}

qsizetype SlotOf(quint64 key, qsizetype mask)
{
    // Fibonacci hashing spreads consecutive states over the table.
    return qsizetype((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
}
} // namespace

SubstringIndex::SubstringIndex()
{
    slotKey_.resize(1024, 0);
    slotTarget_.resize(1024, -1);
    link_.append(-1);
    length_.append(0);
    firstEdge_.append(-1);
}

int SubstringIndex::NewState(int length)
{
    length_.append(length);
    link_.append(-1);
    firstEdge_.append(-1);
    return int(length_.size() - 1);
}

int SubstringIndex::Target(int state, char16_t c) const
{
    const quint64 key = EdgeKey(state, c);
    const qsizetype mask = slotKey_.size() - 1;
    for (qsizetype slot = SlotOf(key, mask);; slot = (slot + 1) & mask) {
        if (slotKey_[slot] == key)
            return slotTarget_[slot];
        if (slotKey_[slot] == 0)
            return -1;
    }
}

void SubstringIndex::GrowTable()
{
    const QVector<quint64> keys = std::move(slotKey_);
    const QVector<int> targets = std::move(slotTarget_);
    const qsizetype size = keys.size() * 2;
    slotKey_ = QVector<quint64>(size, 0);
    slotTarget_ = QVector<int>(size, -1);
    const qsizetype mask = size - 1;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == 0)
            continue;
        qsizetype slot = SlotOf(keys[i], mask);
        while (slotKey_[slot] != 0)
            slot = (slot + 1) & mask;
        slotKey_[slot] = keys[i];
        slotTarget_[slot] = targets[i];
    }
}

void SubstringIndex::SetTarget(int state, char16_t c, int target)
{
    if ((used_ + 1) * 2 > slotKey_.size())
        GrowTable();
    const quint64 key = EdgeKey(state, c);
    const qsizetype mask = slotKey_.size() - 1;
    qsizetype slot = SlotOf(key, mask);
    while (slotKey_[slot] != 0 && slotKey_[slot] != key)
        slot = (slot + 1) & mask;
    if (slotKey_[slot] == 0) {
        slotKey_[slot] = key;
        ++used_;
        edgeChar_.append(c);
        nextEdge_.append(firstEdge_[state]);
        firstEdge_[state] = int(edgeChar_.size() - 1);
    }
    slotTarget_[slot] = target;
}

void SubstringIndex::Extend(char16_t c)
{
    const int current = NewState(length_[last_] + 1);
    int p = last_;
    while (p != -1 && Target(p, c) < 0) {
        SetTarget(p, c, current);
        p = link_[p];
    }
    if (p == -1) {
        link_[current] = 0;
    } else {
        const int q = Target(p, c);
        if (length_[p] + 1 == length_[q]) {
            link_[current] = q;
        } else {
            const int clone = NewState(length_[p] + 1);
            for (int e = firstEdge_[q]; e != -1; e = nextEdge_[e])
                SetTarget(clone, edgeChar_[e], Target(q, edgeChar_[e]));
            link_[clone] = link_[q];
            while (p != -1 && Target(p, c) == q) {
                SetTarget(p, c, clone);
                p = link_[p];
            }
            link_[q] = clone;
            link_[current] = clone;
        }
    }
    last_ = current;
}

void SubstringIndex::Append(QStringView text)
{
    for (const QChar c : text)
        Extend(c.unicode());
}

bool SubstringIndex::Contains(QStringView text) const
{
    int state = 0;
    for (const QChar c : text) {
        state = Target(state, c.unicode());
        if (state < 0)
            return false;
    }
    return true;
}
