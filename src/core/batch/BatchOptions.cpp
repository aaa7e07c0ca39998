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
const QString kCourierToCheck = QStringLiteral("courier-to-check");
const QString kSenderName = QStringLiteral("sender-name");
const QString kSenderPhone = QStringLiteral("sender-phone");
const QString kSenderAddress = QStringLiteral("sender-address");
const QString kVerbose = QStringLiteral("verbose");
// Where path leads, for comparing two outputs: absolute, the file's own
// link followed (also one to a file not written yet), then its folder's.
QString ResolvedPath(const QString& path)
{
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    // A loop of links ends the walk; the path then stands as it is.
    constexpr int kMostLinks = 40;
    for (int links = 0; info.isSymLink() && links < kMostLinks; ++links)
        info = QFileInfo(QDir::cleanPath(info.symLinkTarget()));
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
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
Done CheckOutputsApart(const BatchOptions& options)
{
    const std::pair<QString, QString> outputs[] = { { kExport, options.exportPath },
        { kPickingList, options.pickingListPath }, { kPackingSlips, options.packingSlipsPath },
        { kCourierSheet, options.courierSheetPath } };
    for (size_t i = 0; i < std::size(outputs); ++i)
        for (size_t j = i + 1; j < std::size(outputs); ++j)
            if (!outputs[i].second.isEmpty() && !outputs[j].second.isEmpty()
                && SameFile(outputs[i].second, outputs[j].second))
                return Done::Failed(QStringLiteral("--%1 和 --%2 指向同一个文件 %3：每个输出需要自己的文件。")
                                        .arg(outputs[i].first, outputs[j].first, outputs[j].second));
    return Done::Ok();
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
            QStringLiteral("无人值守导出：不开窗口读取“已卖出的宝贝”列表的每一页，写入 FILE（文件名以 csv 结尾时"
                           "写 CSV，否则写 Excel 工作簿）。退出状态：0 已写入且完整；4 已写入，但有交易的详情"
                           "没有下载（下载失败，稍后再试）；5 已写入，但有字段未写入或需要核对（标准错误输出里"
                           "列出了交易和页）；2 未登录或登录已过期；3 列表无法读取；1 其他失败。4 和 5 同时"
                           "出现时为 4：缺的数据多的优先。"),
            QStringLiteral("FILE") },
        { kPickingList,
            QStringLiteral("无人值守：把待发货交易（已付款、未发货、有收件人）的拣货单写成 PDF 文件 FILE，"
                           "可与 --export 一起用，也可单独用。退出状态同 --export；没有待发货的交易时写一页"
                           "说明。"),
            QStringLiteral("FILE") },
        { kPackingSlips,
            QStringLiteral("无人值守：为待发货交易的每个包裹写一张发货单，存为 PDF 文件 FILE，可与 --export "
                           "一起用，也可单独用。"),
            QStringLiteral("FILE") },
        { kSlipPaper,
            QStringLiteral("与 --packing-slips 一起用：a5（一张 A4 纸上两张发货单）、100x150 或 76x130"
                           "（每张一个面单）；不给时用保存的设置，默认 a5。"),
            QStringLiteral("PAPER") },
        { kMerge, QStringLiteral("与 --export 一起用：写入前合并同一包裹的记录。") },
        { kWithNotes,
            QStringLiteral("与 --export 一起用：在表的最后加两列：买家留言和卖家备注。") },
        { kFilterClosed,
            QStringLiteral("与 --export 一起用：去掉关闭的交易（不给时按窗口里“过滤关闭交易”的勾选）。") },
        { kKeepClosed, QStringLiteral("与 --export 一起用：保留关闭的交易。") },
        { kDetailDownloads,
            QStringLiteral("本次同时下载的交易详情页数，1 到 6（不给时用保存的 DetailDownloads 设置，默认 4）。"),
            QStringLiteral("N") },
        { kNoHistory,
            QStringLiteral("本次不用交易历史记录，下载每笔交易的详情页（不给时用保存的 DetailHistory 设置，"
                           "默认 1）。") },
        { kNetworkWait,
            QStringLiteral("与 --export 一起用：交易网站 15 秒没有应答时，最多等 SECONDS 秒让网络恢复，每隔几秒"
                           "试一笔交易，恢复后从中断处继续（默认 600；0 表示不等，立即以状态 1 结束）。"),
            QStringLiteral("SECONDS") },
        { kCourierSheet,
            QStringLiteral("无人值守时，把待发货包裹的快递导入表写成 FILE：工作簿，文件名以 .csv 结尾时为 GBK "
                           "编码的 CSV（不接受 .xls）；可与 --export 一起用，也可单独用。"),
            QStringLiteral("FILE") },
        { kCourierTemplate,
            QStringLiteral("与 --courier-sheet 一起用：模板，分列地址（默认）、整行地址、简单，或配置文件夹里 "
                           "couriers/NAME.txt 中你自己的模板名。"),
            QStringLiteral("NAME") },
        { kCourierToCheck,
            QStringLiteral("与 --courier-sheet 一起用：地址需要核对的包裹也写入快递导入表（不给时不写入，"
                           "并在标准错误输出里列出）。") },
        { kSenderName, QStringLiteral("与 --courier-sheet 一起用：寄件人姓名，代替保存的。"), QStringLiteral("NAME") },
        { kSenderPhone, QStringLiteral("与 --courier-sheet 一起用：寄件人电话，代替保存的。"), QStringLiteral("PHONE") },
        { kSenderAddress,
            QStringLiteral("与 --courier-sheet 一起用：寄件人地址（省 市 区 详细地址），代替保存的。"),
            QStringLiteral("ADDRESS") },
        { kVerbose,
            QStringLiteral("无人值守时，把日志行也写到标准错误输出（平时只写入日志文件）。") },
    });
}

bool IsVerboseRun(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            return false;
        if (arg == "--verbose")
            return true;
    }
    return false;
}

BatchOptionsRead ReadBatchOptions(const QCommandLineParser& parser)
{
    const auto refused = [](const QString& reason) { return BatchOptionsRead::Failed(reason); };
    BatchOptions options;
    options.exportPath = parser.value(kExport);
    if (parser.isSet(kExport) && options.exportPath.isEmpty())
        return refused(QStringLiteral("--export 需要一个文件名。"));
    for (const auto& [option, path] : { std::pair { kPickingList, &options.pickingListPath },
             std::pair { kPackingSlips, &options.packingSlipsPath },
             std::pair { kCourierSheet, &options.courierSheetPath } }) {
        *path = parser.value(option);
        if (parser.isSet(option) && path->isEmpty())
            return refused(QStringLiteral("--%1 需要一个文件名。").arg(option));
    }
    if (const Done apart = CheckOutputsApart(options); !apart)
        return refused(apart.reason);
    if (parser.isSet(kSlipPaper)) {
        options.slipPaper = SlipPaperFromText(parser.value(kSlipPaper));
        if (!options.slipPaper)
            return refused(QStringLiteral("--slip-paper 只能是 a5、100x150 或 76x130。"));
        if (options.packingSlipsPath.isEmpty())
            return refused(QStringLiteral("--slip-paper 需要与 --packing-slips FILE 一起用。"));
    }
    options.merge = parser.isSet(kMerge);
    options.withNotes = parser.isSet(kWithNotes);
    options.noHistory = parser.isSet(kNoHistory);
    if (parser.isSet(kFilterClosed) && parser.isSet(kKeepClosed))
        return refused(QStringLiteral("--filter-closed 和 --keep-closed 不能同时用。"));
    if (parser.isSet(kFilterClosed) || parser.isSet(kKeepClosed))
        options.filterClosed = parser.isSet(kFilterClosed);
    if (parser.isSet(kDetailDownloads)) {
        options.detailDownloads = DetailDownloadsFromText(parser.value(kDetailDownloads));
        if (!options.detailDownloads)
            return refused(QStringLiteral("--detail-downloads 需要 1 到 %1 的整数。")
                               .arg(kMaxDetailDownloads));
    }
    if (parser.isSet(kNetworkWait)) {
        bool ok = false;
        options.networkWaitSeconds = parser.value(kNetworkWait).toInt(&ok);
        if (!ok || options.networkWaitSeconds < 0 || options.networkWaitSeconds > 24 * 3600)
            return refused(QStringLiteral("--network-wait 需要 0 到 86400 的整数秒数。"));
    }
    if (parser.isSet(kCourierTemplate))
        options.courierTemplate = parser.value(kCourierTemplate).trimmed();
    for (const auto& [option, sender] : { std::pair { kSenderName, &options.senderName },
             std::pair { kSenderPhone, &options.senderPhone }, std::pair { kSenderAddress, &options.senderAddress } })
        if (parser.isSet(option))
            *sender = parser.value(option).trimmed();
    options.courierToCheck = parser.isSet(kCourierToCheck);
    if (options.courierSheetPath.isEmpty()
        && (parser.isSet(kCourierTemplate) || options.courierToCheck || options.senderName || options.senderPhone
            || options.senderAddress))
        return refused(QStringLiteral(
            "--courier-template、--courier-to-check 和 --sender 选项需要与 --courier-sheet FILE 一起用。"));
    if (options.withNotes && options.exportPath.isEmpty())
        return refused(QStringLiteral("--with-notes 需要与 --export FILE 一起用。"));
    if (!options.WritesAnything() && (options.merge || options.filterClosed))
        return refused(QStringLiteral("--merge、--filter-closed 和 --keep-closed 需要与 --export FILE 一起用。"));
    if (parser.isSet(kStartUrl))
        options.listUrl = parser.value(kStartUrl);
    return BatchOptionsRead::Ok(options);
}
