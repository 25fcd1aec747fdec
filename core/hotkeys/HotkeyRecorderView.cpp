#include "core/hotkeys/HotkeyRecorderView.h"

#include "core/platform/ShortcutRegistry.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
constexpr int naturalWidth = 130;
constexpr int naturalHeight = 24;
} // namespace

HotkeyRecorderView::HotkeyRecorderView(ShortcutRegistry& registry, HotkeyRecordingPeriod& period,
                                       const QString& shortcutName, QWidget* parent)
    : QWidget(parent)
    , m_recorder(registry, period, shortcutName)
    , m_button(new QPushButton(this))
    , m_stateLabel(new QLabel(this)) {
    setObjectName(QStringLiteral("hotkeyRecorderView"));
    m_button->setObjectName(QStringLiteral("hotkeyRecorderButton"));
    m_button->setAccessibleName(QStringLiteral("Hotkey"));
    if (registry.desktopConfirmsBindings()) {
        // A recorded combination is only a wish the desktop still has to grant.
        m_description = HotkeyRecorder::desktopConfirmsNote();
        m_button->setToolTip(HotkeyRecorder::toolTip() + QStringLiteral("\n\n") + m_description);
    } else {
        m_button->setToolTip(HotkeyRecorder::toolTip());
    }
    m_button->setMinimumWidth(naturalWidth);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    m_stateLabel->setObjectName(QStringLiteral("hotkeyStateLabel"));
    m_stateLabel->setTextFormat(Qt::PlainText);
    m_stateLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(m_stateLabel);
    setMinimumWidth(naturalWidth);
    // Tab order and focus given to the view reach the button.
    setFocusProxy(m_button);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    connect(m_button, &QPushButton::clicked, this, [this] { m_recorder.toggleRecording(); });
    connect(&m_recorder, &HotkeyRecorder::titleChanged, this, &HotkeyRecorderView::refreshTitle);
    connect(&m_recorder, &HotkeyRecorder::recordingChanged, this,
            &HotkeyRecorderView::recordingChanged);
    connect(&m_recorder, &HotkeyRecorder::shortcutChanged, this,
            &HotkeyRecorderView::shortcutChanged);
    refreshTitle();
}

HotkeyRecorderView::~HotkeyRecorderView() {
    if (m_monitoring)
        qApp->removeEventFilter(this);
}

QSize HotkeyRecorderView::sizeHint() const {
    // The button, and the state next to it while the hotkey does nothing.
    const QSize laidOut = layout()->sizeHint();
    return {qMax(naturalWidth, laidOut.width()), qMax(naturalHeight, laidOut.height())};
}

QSize HotkeyRecorderView::minimumSizeHint() const {
    return {naturalWidth, qMax(naturalHeight, m_button->minimumSizeHint().height())};
}

void HotkeyRecorderView::refreshTitle() {
    m_button->setText(m_recorder.title());
    const std::optional<QString> reason = m_recorder.inactiveReason();
    m_stateLabel->setText(reason.value_or(QString()));
    m_stateLabel->setVisible(reason.has_value());
    QStringList description{m_description};
    if (reason)
        description.append(*reason);
    description.removeAll(QString());
    m_button->setAccessibleDescription(description.join(QLatin1Char(' ')));
    updateGeometry();
}

void HotkeyRecorderView::recordingChanged(bool recording) {
    // The application-wide filter stands in for a local event monitor: it sees
    // every key and click of this program while the view records.
    if (recording && !m_monitoring) {
        qApp->installEventFilter(this);
        m_monitoring = true;
        m_button->setFocus(Qt::OtherFocusReason);
    } else if (!recording && m_monitoring) {
        qApp->removeEventFilter(this);
        m_monitoring = false;
    }
}

bool HotkeyRecorderView::eventFilter(QObject* watched, QEvent* event) {
    if (!m_monitoring || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Keys bound to menu shortcuts (Ctrl+W, Ctrl+Q) come to the recorder.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const HotkeyRecorder::Disposition disposition =
            m_recorder.keyPressed({key->key(), key->modifiers(), key->nativeScanCode()});
        return disposition == HotkeyRecorder::Disposition::swallow;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
            break;
        const QPoint local = mapFromGlobal(mouse->globalPosition().toPoint());
        m_recorder.mousePressed(rect().contains(local));
        return false;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void HotkeyRecorderView::hideEvent(QHideEvent* event) {
    m_recorder.stopRecording();
    QWidget::hideEvent(event);
}

bool HotkeyRecorderView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && m_recorder.isRecording())
        m_recorder.stopRecording();
    return QWidget::event(event);
}
