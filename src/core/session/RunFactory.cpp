#include "RunFactory.h"

#include "core/history/HistorySetting.h"
#include "core/history/TradeHistory.h"

OpenedRun::OpenedRun(const RunPlan& plan, Settings settings)
    : history_(OpenRunHistory(plan.noHistory, settings))
{
    run_ = std::make_unique<RunContext>(RunServices { .prompt = plan.prompt,
        .endpoints = plan.endpoints,
        .settings = std::move(settings),
        .measurer = plan.measurer,
        .checkpoint = plan.checkpoint,
        .history = history_.get(),
        .progressView = plan.progressView,
        .detailDownloads = plan.detailDownloads,
        .networkWait = plan.networkWait });
}

OpenedRun::~OpenedRun()
{
    run_.reset();
}
