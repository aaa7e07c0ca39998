#include "BatchOptions.h"

#include "core/settings/DetailDownloadSetting.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <iterator>

namespace {
const QString kExport = QStringLiteral("export");
const QString kPickingList = QStringLiteral("picking-list");
const QString kPackingSlips = QStringLiteral("packing-slips");
const QString kSlipPaper = QStringLiteral("slip-paper");
const QString kMerge = QStringLiteral("merge");
const QString kWithNotes = QStringLiteral("with-notes");
const QString kFilterClosed = QStringLiteral("filter-closed");
const QString kKeepClosed = QStringLiteral("keep-closed");
const QString kStartUrl = QStringLiteral("start-url");
const QString kDetailDownloads = QStringLiteral("detail-downloads");
const QString kNoHistory = QStringLiteral("no-history");
const QString kNetworkWait = QStringLiteral("network-wait");
const QString kCourierSheet = QStringLiteral("courier-sheet");
const QString kCourierTemplate = QStringLiteral("courier-template");
const QString kSenderName = QStringLiteral("sender-name");
const QString kSenderPhone = QStringLiteral("sender-phone");
const QString kSenderAddress = QStringLiteral("sender-address");
// Where path leads, for comparing two outputs: absolute, with its folder's
// links followed when the folder exists.
QString ResolvedPath(const QString& path)
{
    const QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

bool SameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity kNames = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kNames = Qt::CaseSensitive;
#endif
    return ResolvedPath(a).compare(ResolvedPath(b), kNames) == 0;
}

// Two outputs given one file would be written one over the other, and both
// told as written: refused before anything runs.
QString SharedOutputError(const BatchOptions& options)
{
    const std::pair<QString, QString> outputs[] = { { kExport, options.exportPath },
        { kPickingList, options.pickingListPath }, { kPackingSlips, options.packingSlipsPath },
        { kCourierSheet, options.courierSheetPath } };
    for (size_t i = 0; i < std::size(outputs); ++i)
        for (size_t j = i + 1; j < std::size(outputs); ++j)
            if (!outputs[i].second.isEmpty() && !outputs[j].second.isEmpty()
                && SameFile(outputs[i].second, outputs[j].second))
                return QStringLiteral(
                    "--%1 and --%2 name the same file %3: each output needs a file of its own.")
                    .arg(outputs[i].first, outputs[j].first, outputs[j].second);
    return {};
}

} // namespace

bool IsBatchRun(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") // what follows is not an option
            return false;
        for (const char* option : { "--export", "--picking-list", "--packing-slips", "--courier-sheet" })
            if (arg == option || arg.startsWith(QByteArray(option) + '='))
                return true;
    }
    return false;
}

void AddBatchOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        { kExport,
            QStringLiteral("Unattended export: read every page of the sold-items list without a window "
                           "and write FILE (CSV when it ends in csv, otherwise a workbook). Exit status 0 "
                           "written and complete, 4 written but details missing (downloads failed; retry later), "
                           "5 written but pages differ from what the tool reads (fields left empty, named on "
                           "standard error), 2 not logged in or the session expired, 3 list not readable, "
                           "1 other failure."),
            QStringLiteral("FILE") },
        { kPickingList,
            QStringLiteral("Unattended: write the picking list of the trades to ship (paid, not yet "
                           "shipped, with a recipient) as a PDF FILE, beside --export or without it. Exit "
                           "statuses as for --export; nothing to ship writes no file."),
            QStringLiteral("FILE") },
        { kPackingSlips,
            QStringLiteral("Unattended: write one packing slip per parcel of the trades to ship as a PDF "
                           "FILE, beside --export or without it."),
            QStringLiteral("FILE") },
        { kSlipPaper,
            QStringLiteral("With --packing-slips: a5 (two slips on an A4 sheet), 100x150 or 76x130 "
                           "(one label each); the stored setting otherwise, default a5."),
            QStringLiteral("PAPER") },
        { kMerge, QStringLiteral("With --export: merge the rows of one shipment before writing.") },
        { kWithNotes,
            QStringLiteral("With --export: add the buyer's message (买家留言) and the seller's memo (卖家备注) "
                           "as the sheet's last two columns.") },
        { kFilterClosed,
            QStringLiteral("With --export: drop closed trades (default: as the window's box).") },
        { kKeepClosed, QStringLiteral("With --export: keep closed trades.") },
        { kDetailDownloads,
            QStringLiteral("Trade detail pages downloaded at once, 1 to 6, for this run (the stored "
                           "DetailDownloads setting otherwise, default 4)."),
            QStringLiteral("N") },
        { kNoHistory,
            QStringLiteral("Download every trade's detail page for this run, without the trade history "
                           "(the stored DetailHistory setting otherwise, default 1).") },
        { kNetworkWait,
            QStringLiteral("With --export: when the trade host has not answered for 15 s, wait up to "
                           "SECONDS for the network to come back, trying one trade every few seconds, "
                           "then go on where the walk was (default 600; 0 stops at once with status 1)."),
            QStringLiteral("SECONDS") },
        { kCourierSheet,
            QStringLiteral("Unattended: write the courier sheet (快递导入表) of the parcels to ship as FILE, "
                           "a workbook, or GBK CSV when it ends in .csv (.xls is refused); beside --export or "
                           "without it."),
            QStringLiteral("FILE") },
        { kCourierTemplate,
            QStringLiteral("With --courier-sheet: the template, 分列地址 (default), 整行地址, 简单 or the "
                           "name of one of your own in the config folder's couriers/NAME.txt."),
            QStringLiteral("NAME") },
        { kSenderName, QStringLiteral("With --courier-sheet: the sender's name, over the stored one."),
            QStringLiteral("NAME") },
        { kSenderPhone, QStringLiteral("With --courier-sheet: the sender's phone, over the stored one."),
            QStringLiteral("PHONE") },
        { kSenderAddress,
            QStringLiteral("With --courier-sheet: the sender's address (省 市 区 详细地址), over the stored one."),
            QStringLiteral("ADDRESS") },
    });
}

BatchOptionsRead ReadBatchOptions(const QCommandLineParser& parser)
{
    const auto refused = [](const QString& reason) { return BatchOptionsRead { false, {}, reason }; };
    BatchOptions options;
    options.exportPath = parser.value(kExport);
    if (parser.isSet(kExport) && options.exportPath.isEmpty())
        return refused(QStringLiteral("--export needs a file name."));
    for (const auto& [option, path] : { std::pair { kPickingList, &options.pickingListPath },
             std::pair { kPackingSlips, &options.packingSlipsPath },
             std::pair { kCourierSheet, &options.courierSheetPath } }) {
        *path = parser.value(option);
        if (parser.isSet(option) && path->isEmpty())
            return refused(QStringLiteral("--%1 needs a file name.").arg(option));
    }
    if (const QString shared = SharedOutputError(options); !shared.isEmpty())
        return refused(shared);
    if (parser.isSet(kSlipPaper)) {
        options.slipPaper = SlipPaperFromText(parser.value(kSlipPaper));
        if (!options.slipPaper)
            return refused(QStringLiteral("--slip-paper needs a5, 100x150 or 76x130."));
        if (options.packingSlipsPath.isEmpty())
            return refused(QStringLiteral("--slip-paper needs --packing-slips FILE."));
    }
    options.merge = parser.isSet(kMerge);
    options.withNotes = parser.isSet(kWithNotes);
    options.noHistory = parser.isSet(kNoHistory);
    if (parser.isSet(kFilterClosed) && parser.isSet(kKeepClosed))
        return refused(QStringLiteral("--filter-closed and --keep-closed exclude each other."));
    if (parser.isSet(kFilterClosed) || parser.isSet(kKeepClosed))
        options.filterClosed = parser.isSet(kFilterClosed);
    if (parser.isSet(kDetailDownloads)) {
        options.detailDownloads = DetailDownloadsFromText(parser.value(kDetailDownloads));
        if (!options.detailDownloads)
            return refused(QStringLiteral("--detail-downloads needs a whole number from 1 to %1.")
                               .arg(kMaxDetailDownloads));
    }
    if (parser.isSet(kNetworkWait)) {
        bool ok = false;
        options.networkWaitSeconds = parser.value(kNetworkWait).toInt(&ok);
        if (!ok || options.networkWaitSeconds < 0 || options.networkWaitSeconds > 24 * 3600)
            return refused(QStringLiteral("--network-wait needs a whole number of seconds from 0 to 86400."));
    }
    if (parser.isSet(kCourierTemplate))
        options.courierTemplate = parser.value(kCourierTemplate).trimmed();
    for (const auto& [option, sender] : { std::pair { kSenderName, &options.senderName },
             std::pair { kSenderPhone, &options.senderPhone }, std::pair { kSenderAddress, &options.senderAddress } })
        if (parser.isSet(option))
            *sender = parser.value(option).trimmed();
    if (options.courierSheetPath.isEmpty()
        && (parser.isSet(kCourierTemplate) || options.senderName || options.senderPhone || options.senderAddress))
        return refused(QStringLiteral("--courier-template and the --sender options need --courier-sheet FILE."));
    if (options.withNotes && options.exportPath.isEmpty())
        return refused(QStringLiteral("--with-notes needs --export FILE."));
    if (!options.WritesAnything() && (options.merge || options.filterClosed))
        return refused(QStringLiteral("--merge, --filter-closed and --keep-closed need --export FILE."));
    if (parser.isSet(kStartUrl))
        options.listUrl = parser.value(kStartUrl);
    return { true, options, {} };
}
