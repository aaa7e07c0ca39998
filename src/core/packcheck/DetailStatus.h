#pragma once
// The status a trade's detail page shows now ("交易状态：退款中"), read when
// a parcel is scanned at the packing bench: between the morning's walk and
// the packing, a buyer may have asked for a refund or the trade closed.

#include <QString>
#include <optional>

// The text after "交易状态：" up to the first tag, blank or line break; none
// when the page has no such label or nothing after it.
std::optional<QString> ReadDetailStatus(const QString& pageText);
