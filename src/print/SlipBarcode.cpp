#include "SlipBarcode.h"

#include "PageFlow.h"
#include "core/base/Logging.h"

#include <QPainter>

#include <cmath>
#include <memory>
#include <zint.h>

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

} // namespace

BarcodeBars Code128Bars(const QString& text)
{
    BarcodeBars result;
    const QByteArray data = text.toLatin1();
    if (text.isEmpty() || data != text.toUtf8()) {
        result.error = QStringLiteral("not printable as Code128: %1").arg(text);
        return result;
    }
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("no memory for the barcode");
        return result;
    }
    symbol->symbology = BARCODE_CODE128;
    symbol->show_hrt = 0;
    symbol->whitespace_width = 0;
    symbol->height = 10;
    const int status = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()), 0);
    if (status >= ZINT_ERROR || !symbol->vector || symbol->width <= 0 || symbol->vector->width <= 0) {
        result.error = QString::fromLatin1(symbol->errtxt);
        return result;
    }
    // The vector's units depend on zint's scale; the symbol's width in
    // modules does not.
    const double perModule = double(symbol->vector->width) / symbol->width;
    for (const zint_vector_rect* rect = symbol->vector->rectangles; rect; rect = rect->next)
        result.bars.append({ rect->x / perModule, rect->width / perModule });
    result.modules = symbol->width;
    return result;
}

double ModuleWidthMm(int modules, double widthMm)
{
    if (modules <= 0)
        return 0;
    const double room = widthMm / (modules + 2 * kQuietZoneModules);
    const double dots = std::floor(std::min(room, kWidestModuleMm) / kDotMm + 1e-9);
    const double module = dots * kDotMm;
    return module + 1e-9 < kNarrowestModuleMm ? 0 : module;
}

void PaintBarcode(QPainter& painter, const QRectF& rect, const BarcodeBars& bars, double mm)
{
    const double module = ModuleWidthMm(bars.modules, rect.width() / mm) * mm;
    if (module <= 0)
        return;
    const double left = rect.left() + (rect.width() - bars.modules * module) / 2;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const BarcodeBars::Bar& bar : bars.bars)
        painter.drawRect(QRectF(left + bar.left * module, rect.top(), bar.width * module, rect.height()));
    painter.restore();
}

void PaintSlipBarcode(PageFlow& flow, const QString& orderNumber, double mm, double heightMm)
{
    const BarcodeBars bars = Code128Bars(orderNumber);
    if (bars.IsEmpty()) {
        qCWarning(lcCommands) << "no barcode on the slip:" << bars.error;
        return;
    }
    // A little space above and below keeps the bars clear of the text.
    const double gap = 1.5 * mm;
    flow.Space(gap);
    const QRectF room = flow.Block(heightMm * mm);
    if (ModuleWidthMm(bars.modules, room.width() / mm) <= 0) {
        qCWarning(lcCommands) << "no barcode on the slip: the slip is too narrow for" << orderNumber;
        return;
    }
    if (QPainter* painter = flow.Painter())
        PaintBarcode(*painter, room, bars, mm);
    flow.Space(gap);
}
