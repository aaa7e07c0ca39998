#pragma once
// The shop as JSON, so that end-to-end tests can compare what the tool
// extracted with what the shop holds without going through any parser.

#include "ShopData.h"

#include <QByteArray>

namespace demo {

QByteArray ShopTruthJson(const Shop& shop);
// Writes the JSON to path; false with a reason when the file cannot be written.
bool WriteShopTruth(const Shop& shop, const QString& path, QString* error);

} // namespace demo
