#pragma once

#include <QPoint>
#include <QSize>
#include <QUrl>
#include <functional>

// The floating palette as the drop controller sees it; the window behind it is
// a widget, tests use a fake.
class DropPaletteSurface {
public:
    // What the palette reports; the controller supplies them when it creates it.
    struct Callbacks {
        std::function<void()> dragEntered;     // an acceptable file came over the zone
        std::function<void()> dragExited;      // it left the zone
        std::function<void(const QUrl&)> drop; // it was dropped
        std::function<void()> dismissed;       // Escape
        std::function<void()> clickedAway;     // the palette lost the focus to a click elsewhere
    };

    virtual ~DropPaletteSurface() = default;
    virtual QSize size() const = 0;
    // Shows the palette at `topLeft` (global coordinates) above other windows,
    // without taking the focus from the program the drag comes from.
    // `untilDismissed`: no drag is in progress, so the palette waits for one and
    // for Escape or a click elsewhere.
    virtual void showAt(const QPoint& topLeft, bool untilDismissed) = 0;
    // Hides the palette and ends the zone's active look.
    virtual void hide() = 0;
    virtual bool isShown() const = 0;
};
