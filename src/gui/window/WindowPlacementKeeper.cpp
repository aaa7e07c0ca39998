#include "WindowPlacementKeeper.h"

#include "WorkArea.h"
#include "core/layout/WindowPlacement.h"
#include "core/base/Logging.h"
#include "core/settings/Settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// Moves and resizes come in bursts while the user drags; one write after.
constexpr int kSaveDelayMs = 500;

} // namespace

WindowPlacementKeeper::WindowPlacementKeeper(QWidget* window, Settings& settings)
    : QObject(window)
    , window_(window)
    , settings_(settings)
{
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &WindowPlacementKeeper::SaveNow);
    Restore();
    window_->installEventFilter(this);
}

void WindowPlacementKeeper::Restore()
{
    const QString text = settings_.WindowPlacement();
    const std::optional<WindowPlacement> stored = WindowPlacementFromText(text);
    if (!stored) {
        PlaceForFirstStart();
        return;
    }
    // The screen the window was on, if it is still there; else the main one.
    const QScreen* screen = QGuiApplication::screenAt(stored->normal.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect normal = screen
        ? KeptOnScreen(stored->normal, screen->availableGeometry(), window_->minimumSize())
        : stored->normal;
    window_->setGeometry(normal);
    if (stored->maximized)
        window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
    lastSaved_ = text;
}

void WindowPlacementKeeper::PlaceForFirstStart()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window_->resize(FirstStartSize(screen->availableGeometry().size(), window_->minimumSize()));
    CenterOnWorkArea(window_);
}

void WindowPlacementKeeper::SaveNow()
{
    const bool maximized = window_->isMaximized();
    // While maximised or minimised the normal geometry is what comes back.
    const bool normalState = !(maximized || window_->isMinimized() || window_->isFullScreen());
    const QRect normal = normalState ? window_->geometry() : window_->normalGeometry();
    if (!normal.isValid())
        return;
    const QString text = WindowPlacementText({ normal, maximized });
    if (text == lastSaved_)
        return;
    if (settings_.StoreWindowPlacement(text))
        lastSaved_ = text;
    else // tried again at the next change
        qCWarning(lcSettings) << "the window placement was not stored";
}

bool WindowPlacementKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (window_->isVisible())
                saveTimer_.start();
            break;
        case QEvent::Close:
            // The window's own close handling may end the process at once.
            saveTimer_.stop();
            SaveNow();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
