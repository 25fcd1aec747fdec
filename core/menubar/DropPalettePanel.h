#pragma once

#include "core/menubar/DropPaletteSurface.h"

#include <QObject>

class DropZoneView;
class QWidget;

// The floating 200 × 110 palette window holding the drop zone. It never takes
// the focus from the program a drag comes from; shown from the menu it takes
// it so that Escape closes it. Without a compositing manager it is opaque and
// cut to its rounded shape.
class DropPalettePanel : public QObject, public DropPaletteSurface {
    Q_OBJECT
public:
    static constexpr int width = 200;
    static constexpr int height = 110;

    DropPalettePanel(Callbacks callbacks, bool translucent, QObject* parent = nullptr);
    ~DropPalettePanel() override;

    QSize size() const override;
    void showAt(const QPoint& topLeft, bool untilDismissed) override;
    void hide() override;
    bool isShown() const override;

    QWidget* window() const { return m_window; }
    DropZoneView* zone() const { return m_zone; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Callbacks m_callbacks;
    QWidget* m_window;
    DropZoneView* m_zone;
    bool m_untilDismissed = false;
};
