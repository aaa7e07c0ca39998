#include "PackCheckWindow.h"

#include "core/base/Logging.h"
#include "core/grid/TradeGrid.h"
#include "core/trade/Finding.h"

#include <QApplication>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kGreen = QStringLiteral("#1b8a3a");
const QString kRed = QStringLiteral("#c62828");
const QString kAmber = QStringLiteral("#e69a00");
const QString kGrey = QStringLiteral("#707070");

QLabel* BigLabel(QWidget* parent, const QString& name, int pointSize, bool bold = false)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QString Lines(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines;
}

QString ItemsText(const PackingSlip& slip)
{
    QStringList lines;
    for (const SlipItem& item : slip.items) {
        QString line = item.title;
        if (!item.options.isEmpty())
            line += QStringLiteral("　") + item.options;
        lines.append(QStringLiteral("%1　× %2").arg(line, item.quantity));
    }
    return lines.join(u'\n');
}

QString NotesText(const PackingSlip& slip)
{
    const bool several = slip.orders.size() > 1;
    QStringList lines;
    for (const TradeNotes& notes : slip.notes) {
        const QString order = several ? QStringLiteral("订单 %1　").arg(notes.order) : QString();
        if (!notes.message.isEmpty())
            lines.append(order + QStringLiteral("买家留言：") + Lines(notes.message));
        if (!notes.memo.isEmpty())
            lines.append(order + QStringLiteral("卖家备注：") + Lines(notes.memo));
    }
    return lines.join(u'\n');
}

QString TimeText(const QDateTime& at)
{
    return at.date() == QDate::currentDate() ? at.toString(QStringLiteral("HH:mm"))
                                             : at.toString(QStringLiteral("MM-dd HH:mm"));
}

} // namespace

PackCheckWindow::PackCheckWindow(PackCheckSource source, PageFetcher& fetcher, const Endpoints& endpoints,
    const QString& marksPath, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , source_(std::move(source))
    , marks_(marksPath)
    , check_(fetcher, endpoints)
{
    setObjectName(QStringLiteral("packCheck"));
    setWindowTitle(QStringLiteral("验货"));
    resize(900, 720);
    auto* layout = new QVBoxLayout(this);

    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("scan"));
    input_->setPlaceholderText(QStringLiteral("扫描或输入订单编号、运单号，按回车"));
    QFont inputFont = input_->font();
    inputFont.setPointSize(18);
    input_->setFont(inputFont);
    connect(input_, &QLineEdit::returnPressed, this, [this] {
        const QString typed = input_->text();
        input_->clear();
        Scan(typed);
    });
    layout->addWidget(input_);

    counts_ = BigLabel(this, QStringLiteral("counts"), 14);
    layout->addWidget(counts_);
    verdict_ = BigLabel(this, QStringLiteral("verdict"), 28, true);
    verdict_->setAlignment(Qt::AlignCenter);
    verdict_->setMinimumHeight(80);
    layout->addWidget(verdict_);
    note_ = BigLabel(this, QStringLiteral("note"), 14);
    layout->addWidget(note_);
    recipient_ = BigLabel(this, QStringLiteral("recipient"), 22, true);
    layout->addWidget(recipient_);
    items_ = BigLabel(this, QStringLiteral("items"), 18);
    layout->addWidget(items_);
    notesFrame_ = new QFrame(this);
    notesFrame_->setFrameShape(QFrame::Box);
    notesFrame_->setLineWidth(3);
    auto* notesLayout = new QVBoxLayout(notesFrame_);
    notes_ = BigLabel(notesFrame_, QStringLiteral("notes"), 18, true);
    notesLayout->addWidget(notes_);
    notesFrame_->hide();
    layout->addWidget(notesFrame_);
    trades_ = BigLabel(this, QStringLiteral("trades"), 14);
    layout->addWidget(trades_);
    layout->addStretch(1);

    connect(&check_, &ParcelStatusCheck::Checked, this, &PackCheckWindow::ShowAnswer);
    // A walk or a merge while the window is open changes the day's parcels.
    const TradeGrid& grid = source_.grid();
    const auto changed = [this] { gridChanged_ = true; };
    connect(&grid, &QAbstractItemModel::modelReset, this, changed);
    connect(&grid, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&grid, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&grid, &QAbstractItemModel::dataChanged, this, changed);
    ShowVerdict(QStringLiteral("请扫描发货单上的条码"), kGrey);
}

void PackCheckWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
    input_->setFocus();
}

void PackCheckWindow::Refresh()
{
    gridChanged_ = false;
    index_ = ParcelIndex(source_.grid(), source_.findings());
    ShowCounts();
}

void PackCheckWindow::ShowCounts()
{
    QStringList keys;
    for (int i = 0; i < index_.Count(); ++i)
        keys.append(index_.At(i).Key());
    const int checked = int(marks_.Marked(ParcelMark::Checked, keys).size());
    counts_->setText(QStringLiteral("已验 %1 / 待验 %2").arg(checked).arg(index_.Count() - checked));
}

void PackCheckWindow::ShowVerdict(const QString& text, const QString& colour)
{
    verdict_->setText(text);
    verdict_->setStyleSheet(
        QStringLiteral("QLabel { background-color: %1; color: white; padding: 8px; }").arg(colour));
}

void PackCheckWindow::Scan(const QString& typed)
{
    input_->setFocus();
    const QString code = ScannedCode(typed);
    if (code.isEmpty())
        return;
    if (gridChanged_)
        Refresh();
    const std::optional<int> found = index_.Find(code);
    if (!found) {
        shownKey_.clear();
        recipient_->clear();
        items_->clear();
        notesFrame_->hide();
        trades_->clear();
        if (const auto status = index_.StatusOffSlip(code)) {
            ShowVerdict(QStringLiteral("不在今天的发货单上，不要发货"), kRed);
            note_->setText(QStringLiteral("%1：表格中的状态是“%2”").arg(code, *status));
            QApplication::beep();
        } else {
            ShowVerdict(QStringLiteral("找不到这个单号"), kAmber);
            note_->setText(QStringLiteral("%1 不是今天发货单上的订单编号或运单号").arg(code));
        }
        return;
    }
    const Parcel& parcel = index_.At(*found);
    shownKey_ = parcel.Key();
    ShowParcel(parcel);
    if (const auto before = marks_.When(ParcelMark::Checked, parcel.Key()))
        note_->setText(QStringLiteral("这个包裹已于 %1 验过").arg(TimeText(*before)));
    else
        note_->clear();
    if (marks_.Mark(ParcelMark::Checked, { parcel.Key() }, QDateTime::currentDateTime())
        != MarksWrite::Written)
        note_->setText(note_->text() + QStringLiteral("（验货记录未能保存）"));
    ShowCounts();
    ShowVerdict(QStringLiteral("正在核对状态…"), kGrey);
    check_.Start(*found, parcel);
}

void PackCheckWindow::ShowParcel(const Parcel& parcel)
{
    const PackingSlip& slip = parcel.slip;
    QString who = slip.recipient;
    if (!slip.mobile.isEmpty())
        who += QStringLiteral("　") + slip.mobile;
    who += QStringLiteral("\n%1 %2 %3 %4").arg(slip.province, slip.city, slip.district, slip.address);
    recipient_->setText(who);
    items_->setText(ItemsText(slip));
    const QString notes = NotesText(slip);
    notes_->setText(notes);
    notesFrame_->setVisible(!notes.isEmpty());
    trades_->setText(
        QStringLiteral("本包裹 %1 笔交易：%2").arg(slip.orders.size()).arg(slip.orders.join(u'、')));
}

void PackCheckWindow::ShowAnswer(const ParcelCheck& check)
{
    // The answer of a parcel scanned before the one on screen comes no more
    // (a new check drops it); one for a parcel no longer shown is dropped.
    if (check.trades.isEmpty() || check.trades.first().order != shownKey_)
        return;
    // Which trade stops the parcel: each one with its status now.
    QStringList trades;
    for (const TradeCheck& trade : check.trades)
        trades.append(QStringLiteral("%1（%2）")
                          .arg(trade.order, trade.statusNow.value_or(QStringLiteral("未能核对"))));
    trades_->setText(QStringLiteral("本包裹 %1 笔交易：%2").arg(check.trades.size()).arg(trades.join(u'、')));
    QString text = VerdictText(check.verdict);
    switch (check.verdict) {
    case ParcelVerdict::CanShip:
        ShowVerdict(text, kGreen);
        break;
    case ParcelVerdict::Unchecked: {
        QStringList morning;
        for (const TradeCheck& trade : check.trades)
            if (!trade.statusNow)
                morning.append(trade.morningStatus);
        morning.removeDuplicates();
        const bool login = std::any_of(check.trades.cbegin(), check.trades.cend(),
            [](const TradeCheck& trade) { return trade.loginPage; });
        text += QStringLiteral("\n早上的状态：%1").arg(morning.join(QStringLiteral("、")));
        if (login)
            text += QStringLiteral("（登录已过期，请重新登录）");
        ShowVerdict(text, kAmber);
        break;
    }
    default:
        ShowVerdict(text, kRed);
        QApplication::beep();
        break;
    }
    emit Answered(check.verdict);
}

PackCheckWindow* ShowPackCheckWindow(
    QWidget* parent, PackCheckSource source, PageFetcher& fetcher, const Endpoints& endpoints)
{
    auto* window = parent->findChild<PackCheckWindow*>(QStringLiteral("packCheck"), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new PackCheckWindow(std::move(source), fetcher, endpoints, DefaultParcelMarksPath(), parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
