#include "FindingsPane.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kOrderRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;
} // namespace

FindingsPane::FindingsPane(QWidget* parent)
    : QWidget(parent)
    , status_(new QLabel(this))
    , list_(new QListWidget(this))
{
    setObjectName(QStringLiteral("findings"));
    status_->setObjectName(QStringLiteral("findingsStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list_->setObjectName(QStringLiteral("findingsList"));
    // A line as long as the pane is wide wraps; no side scrolling to read it.
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setResizeMode(QListView::Adjust);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* copy = new QAction(QStringLiteral("复制"), list_);
    copy->setObjectName(QStringLiteral("copyFindings"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &FindingsPane::CopySelected);
    list_->addAction(copy);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString order = item->data(kOrderRole).toString();
        if (!order.isEmpty())
            emit tradeActivated(order, item->data(kColumnRole).toInt());
    });
    list_->hide();
}

QString FindingsPane::StatusLine(const FindingList& findings, const GridTally& grid)
{
    QString held = QStringLiteral("已提取 %1 笔交易，共 %2 行").arg(grid.trades).arg(grid.rows);
    if (grid.mergedRows > 0)
        held += QStringLiteral("（%1 行合并了多笔交易）").arg(grid.mergedRows);
    QStringList parts { held };
    // Each trade is counted once, under its heaviest finding.
    const QStringList refused = findings.TradesWith(FindingSeverity::Refused);
    QSet<QString> counted(refused.cbegin(), refused.cend());
    QStringList toCheck = findings.TradesWith(FindingSeverity::ToCheck);
    toCheck.removeIf([&](const QString& order) { return counted.contains(order); });
    counted.unite(QSet<QString>(toCheck.cbegin(), toCheck.cend()));
    QStringList notes = findings.TradesWith(FindingSeverity::Note);
    notes.removeIf([&](const QString& order) { return counted.contains(order); });
    if (!refused.isEmpty())
        parts.append(QStringLiteral("%1 笔未写入").arg(refused.size()));
    if (!toCheck.isEmpty())
        parts.append(QStringLiteral("%1 笔需核对").arg(toCheck.size()));
    if (const int pages = findings.PagesNamed(); pages > 0)
        parts.append(QStringLiteral("%1 页可能已改版").arg(pages));
    if (!notes.isEmpty())
        parts.append(QStringLiteral("%1 笔提示").arg(notes.size()));
    return parts.join(QStringLiteral(" · "));
}

QString FindingsPane::PaneLine(const Finding& finding)
{
    const QString line = FindingLine(finding);
    return finding.ConcernsTrade() ? line + QStringLiteral("双击打开详情页核对。") : line;
}

void FindingsPane::ShowFindings(const FindingList& findings, const GridTally& grid)
{
    list_->clear();
    for (const Finding& finding : findings.All()) {
        const QString line = PaneLine(finding);
        auto* item = new QListWidgetItem(line, list_);
        item->setData(kOrderRole, finding.orderNumber);
        item->setData(kColumnRole, finding.column);
        item->setToolTip(line);
    }
    status_->setText(StatusLine(findings, grid));
    list_->setVisible(!findings.IsEmpty());
}

int FindingsPane::HeightWithin(int available) const
{
    const QMargins margins = layout()->contentsMargins();
    const int statusOnly = status_->sizeHint().height() + margins.top() + margins.bottom();
    if (list_->isHidden())
        return std::min(statusOnly, available);
    return std::min(std::max(kFindingsPaneHeight, statusOnly), available / 2);
}

void FindingsPane::CopySelected() const
{
    QList<QListWidgetItem*> items = list_->selectedItems();
    if (items.isEmpty() && list_->currentItem())
        items.append(list_->currentItem());
    std::sort(items.begin(), items.end(),
        [this](QListWidgetItem* a, QListWidgetItem* b) { return list_->row(a) < list_->row(b); });
    QStringList lines;
    for (const QListWidgetItem* item : items)
        lines.append(item->text());
    if (!lines.isEmpty())
        QGuiApplication::clipboard()->setText(lines.join(u'\n'));
}
