#pragma once

#include <QWidget>

// A small blue arrow next to the tray icon, pointing at it. Never takes the
// focus; without a compositing manager it is cut to the triangle's shape.
class OnboardingArrowPanel : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingArrowPanel(bool translucent, QWidget* parent = nullptr);

    // `pointsUp`: the arrow is below the icon.
    void showAt(const QPoint& topLeft, bool pointsUp);
    bool pointsUp() const { return m_pointsUp; }
    QPolygonF triangle() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_translucent;
    bool m_pointsUp = true;
};
