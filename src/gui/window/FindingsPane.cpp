#include "FindingsPane.h"

#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QVBoxLayout>

namespace {
constexpr int kOrderRole = Qt::UserRole;
}

FindingsPane::FindingsPane(QWidget* parent)
    : QWidget(parent)
    , status_(new QLabel(this))
    , list_(new QListWidget(this))
{
    setObjectName(QStringLiteral("findings"));
    status_->setObjectName(QStringLiteral("findingsStatus"));
    list_->setObjectName(QStringLiteral("findingsList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString order = item->data(kOrderRole).toString();
        if (!order.isEmpty())
            emit tradeActivated(order);
    });
    hide();
}

QString FindingsPane::StatusLine(const FindingList& findings, int trades)
{
    QStringList parts { QStringLiteral("已提取 %1 笔交易").arg(trades) };
    // A trade refused in part is one to check as well: the seller looks it up.
    const QStringList refused = findings.TradesWith(FindingSeverity::Refused);
    const QStringList doubtful = findings.TradesWith(FindingSeverity::ToCheck);
    QSet<QString> toCheck(refused.cbegin(), refused.cend());
    toCheck.unite(QSet<QString>(doubtful.cbegin(), doubtful.cend()));
    if (!toCheck.isEmpty())
        parts.append(QStringLiteral("%1 笔需核对").arg(toCheck.size()));
    if (const int pages = findings.PagesNamed(); pages > 0)
        parts.append(QStringLiteral("%1 页可能已改版").arg(pages));
    QStringList notes = findings.TradesWith(FindingSeverity::Note);
    notes.removeIf([&](const QString& order) { return toCheck.contains(order); });
    if (!notes.isEmpty())
        parts.append(QStringLiteral("%1 笔提示").arg(notes.size()));
    return parts.join(QStringLiteral(" · "));
}

void FindingsPane::ShowFindings(const FindingList& findings, int trades)
{
    list_->clear();
    for (const Finding& finding : findings.All()) {
        auto* item = new QListWidgetItem(FindingLine(finding), list_);
        item->setData(kOrderRole, finding.orderNumber);
        item->setToolTip(FindingReason(finding));
    }
    status_->setText(StatusLine(findings, trades));
    setVisible(!findings.IsEmpty());
}
