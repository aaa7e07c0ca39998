#include "IndicatorForm.h"

#include "core/layout/WindowLayout.h"
#include "gui/base/Twips.h"

#include <QCloseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const QColor kBarColour(0, 0, 255);

// SimSun where it is installed; the CJK fonts of the system otherwise.
QFont ChineseFont(int pointSize, bool bold)
{
    QFont font;
    font.setFamilies({ QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC") });
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QColor& colour, Qt::Alignment alignment,
    const QRect& geometry, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(alignment);
    label->setAutoFillBackground(false); // transparent over the bar
    label->setGeometry(geometry);
    return label;
}

} // namespace

BarPicture::BarPicture(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

void BarPicture::Clear()
{
    paintedWidth_ = 0;
    update();
}

void BarPicture::PaintUpTo(double fraction)
{
    if (!(fraction > 0))
        return;
    const int reach = int(std::lround(std::min(fraction, 1.0) * width()));
    if (reach <= paintedWidth_)
        return;
    paintedWidth_ = reach;
    update();
}

void BarPicture::paintEvent(QPaintEvent*)
{
    if (paintedWidth_ <= 0)
        return;
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, paintedWidth_, height()), kBarColour);
}

IndicatorForm::IndicatorForm()
{
    setObjectName(QStringLiteral("Indicator"));
    setWindowTitle(QStringLiteral("进度指示器"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    // Shown beside the main window without taking the focus from it, and
    // never the reason the program keeps running.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(ChineseFont(9, false));
    setFixedSize(TwipsToPixels(8715), TwipsToPixels(720));

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    LBL = MakeLabel(this, "LBL", QColor(0, 0, 255), Qt::AlignLeft | Qt::AlignVCenter,
        TwipsRectToPixels({ 75, 105, 1080, 180 }), QStringLiteral("进度条指示器"));
    L1 = MakeLabel(this, "L1", QColor(255, 0, 0), right, TwipsRectToPixels({ 2850, 105, 5805, 255 }));

    Pic = new BarPicture(this);
    Pic->setObjectName(QStringLiteral("Pic"));
    Pic->setGeometry(TwipsRectToPixels({ 60, 360, 8580, 285 }));

    Percent = MakeLabel(Pic, "Percent", QColor(255, 0, 0), Qt::AlignCenter, TwipsRectToPixels({ -60, 0, 8565, 270 }),
        QStringLiteral("0%"));
    Percent->setFont(ChineseFont(12, true));
    L2 = MakeLabel(Pic, "L2", QColor(0, 0, 0), right, TwipsRectToPixels({ 45, 0, 8505, 405 }));
    // The times sit on top of the percentage, as in the layout.
    L2->raise();
}

void IndicatorForm::SetMessage(const QString& text)
{
    LBL->setText(text);
    // The message label grows with its text (its design size fits the
    // design caption) but never past the window's right edge.
    LBL->adjustSize();
    LBL->resize(std::min(LBL->width(), width() - LBL->x()), LBL->height());
}

void IndicatorForm::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedByUser();
}
