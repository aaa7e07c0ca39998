#pragma once
// The choices of "导出快递导入表…": the template, the sender (寄件人) and
// whether parcels whose address is to be checked go on the sheet too. The
// template and the sender are remembered in the settings once confirmed.

#include "core/couriers/CourierExport.h"

#include <optional>

class QWidget;
class Settings;

// The request without its file, or none when the seller cancelled.
std::optional<CourierRequest> AskCourierChoices(Settings& settings, QWidget* parent);
