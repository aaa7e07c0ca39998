#pragma once
// Downloads one page without the browser and waits for it: the time
// parameter, the marker test and up to five attempts of a PageFetchJob,
// run to its end on the event loop (the window stays live).

#include "PageFetchJob.h"

class PageFetcher;

// Up to five attempts, spaced out after connection failures; the last
// one's end. Fails at once when the application is quitting.
FetchResult HttpGetPage(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds);
// One attempt.
FetchResult HttpGetPageOnce(
    PageFetcher& fetcher, const QString& address, const QString& marker, int timeoutSeconds);
