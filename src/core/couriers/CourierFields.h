#pragma once
// The texts a courier's import page takes, made from a parcel's cells: the
// whole address in one line, the one phone number to call, the goods in a
// few words, and the sender's address in its pieces. The import pages match
// addresses by their words, so a municipality is written once and a
// province in full.

#include "core/print/ShippingDocuments.h"

#include <QString>
#include <QVector>

// The province in full as the division list writes it (浙江 → 浙江省,
// 广西 → 广西壮族自治区, 上海 → 上海市); as written, without blanks, when
// the list does not know it.
QString FullProvince(const QString& province);

// The city for a sheet: a municipality's own name when the province is
// one (its city cell may read 上海市, 市辖区 or 县), else the city cell.
QString SheetCity(const QString& province, const QString& city);

// 省 + 市 + 区 + 地址 without blanks: the province in full, a municipality
// once, and the street without a leading copy of a piece already written
// ("上海市上海市浦东新区…" reads "上海市浦东新区…").
QString WholeAddress(
    const QString& province, const QString& city, const QString& district, const QString& street);

// The street without its blanks or a leading copy of the province, city or
// district before it.
QString StreetText(
    const QString& province, const QString& city, const QString& district, const QString& street);

// The first mobile of the cell (a merged parcel may hold several, " / "
// between them), else the first telephone; a privacy number as shown.
QString MobileElseTelephone(const QString& mobiles, const QString& telephones);
// The first of the numbers a cell holds.
QString FirstNumber(const QString& numbers);

// "纯棉T恤 白色 L ×2；保温杯 黑色 ×1": each item's title and option values
// with its quantity. Longer than limit characters, it keeps the items that
// fit (or the first item's first characters) and ends "等N件", N the
// parcel's pieces.
QString GoodsText(const QVector<SlipItem>& items, int limit);
// The pieces of the parcel.
qint64 TotalPieces(const QVector<SlipItem>& items);

// An address in its pieces; split is false when its first word is no
// province the division list knows.
struct AddressPieces {
    bool split = false;
    QString province; // in full
    QString city;
    QString district;
    QString street;
};
// An address as a seller types it, with blanks between the pieces or run
// together ("浙江省杭州市西湖区文三路7号"), split by the division list.
AddressPieces SplitAddress(const QString& address);
