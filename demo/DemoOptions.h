#pragma once
// The demo marketplace's command line.

#include "MarketSite.h"
#include "ShopGenerator.h"

#include <QStringList>

namespace demo {

struct DemoOptions {
    quint16 port = 0;
    ShopOptions shop;
    SiteOptions site;
    QString truthPath;
    bool logRequests = false; // one line per request on standard error
};

// Reads the options from arguments (program name first). False with a
// message for the user when an option is unknown or a value is out of range.
bool ParseDemoOptions(const QStringList& arguments, DemoOptions& options, QString& message);

} // namespace demo
