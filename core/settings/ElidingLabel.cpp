#include "core/settings/ElidingLabel.h"

#include "core/settings/SettingsControls.h"

ElidingLabel::ElidingLabel(QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidingLabel::setFullText(const QString& text) {
    m_fullText = text;
    setToolTip(SettingsControls::plainToolTip(text));
    setAccessibleName(text);
    elide();
}

QSize ElidingLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidingLabel::elide() {
    const int width = contentsRect().width();
    setText(width > 0 ? fontMetrics().elidedText(m_fullText, Qt::ElideRight, width) : m_fullText);
}
