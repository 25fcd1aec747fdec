#pragma once

#include <QLabel>

// A one-line plain-text label that ends in "…" when its text is wider than the
// label, instead of being cut off at the window's edge. The tool tip and the
// accessible name keep the whole text.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
