#pragma once
// Cuts the sold-items list table into rows and cleaned cell pieces, as the
// list parser reads it. The body rows are the text after the first "<TBODY"
// tag up to the last "</TR>" (a marker that is absent cuts nothing); they
// are split at every "</TR>" into rows and each row at every "</TD>" into
// pieces, a row of N cells giving N + 1 pieces, exactly as QString::split
// would. Every piece is then cleaned: its tags dropped (StripBetween with
// "<" and ">"), its CR LF pairs removed (QString::remove), its blanks
// trimmed. One pass over the text does all of it, without a copy per row
// or piece.

#include <QStringView>

#include <array>
#include <string>

class ListRowCutter {
public:
    // Rows of more pieces than this are told by their count alone.
    static constexpr int kKeptPieces = 9;

    // The table text must outlive the cutter.
    explicit ListRowCutter(QStringView table);
    // Moves to the next row; false when there is none left.
    bool NextRow();
    int PieceCount() const { return count_; }
    // Every cleaned piece of the current row, one after the other (all of
    // them, kept or not), for a search over the whole row at once.
    QStringView RowText() const { return QStringView(text_.data(), size_); }
    // The text of RowText() from offset to the end of the piece that holds
    // it, blanks trimmed (to the row's end past the kept pieces).
    QStringView PieceFrom(qsizetype offset) const;
    // Whether the row's text holds c: eight characters at a time where the
    // processor allows, for a quick look at every row.
    bool RowHas(char16_t c) const;
    // Whether a "<TBODY" tag opened within the current row: the rows of one
    // trade share a table body, so a new one begins another trade's rows.
    bool OpensBody() const { return opensBody_; }
    // Piece index of the current row, cleaned, for index below
    // min(PieceCount(), kKeptPieces); valid until the next NextRow().
    QStringView Piece(int index) const;
    // The same piece up to the first line break that stood between two tags
    // or the first start or end of a block element after some text
    // (`<p>交易关闭</p>` with its links on lines or in paragraphs of their
    // own): the cell's first text, as a reader sees it. The whole piece
    // when it has none.
    QStringView PieceFirstLine(int index) const;

private:
    void CutRow();
    void Append(const char16_t* from, const char16_t* to);
    void EndPiece();
    void MarkLineBreak();

    QStringView body_;
    qsizetype next_ = 0; // where the next row starts; -1 after the last
    // The current row's cleaned pieces, one after the other; piece i ends
    // at ends_[i].
    std::u16string text_;
    qsizetype size_ = 0;
    bool afterCr_ = false;
    std::array<qsizetype, kKeptPieces> ends_ {};
    // Where in text_ a kept piece's first line break between tags fell; -1
    // for none.
    std::array<qsizetype, kKeptPieces> breaks_ {};
    int count_ = 0;
    bool opensBody_ = false;
};
