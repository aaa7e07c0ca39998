#include "CursorPos.h"

#include "gui/base/Twips.h"

#include <QCursor>
#include <cmath>

void GetCursorPosTwips(int& x, int& y)
{
    const QPoint pos = QCursor::pos();
    x = int(std::lround(PixelsToTwips(pos.x())));
    y = int(std::lround(PixelsToTwips(pos.y())));
}
