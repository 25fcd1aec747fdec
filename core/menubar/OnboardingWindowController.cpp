#include "core/menubar/OnboardingWindowController.h"

#include "core/menubar/OnboardingArrowPanel.h"
#include "core/menubar/OnboardingGeometry.h"
#include "core/platform/DesktopTray.h"
#include "core/platform/LoginItem.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Preferences.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
constexpr int margin = 20;
constexpr int illustrationHeight = 360;

// The window's own dark appearance, whatever the desktop's theme.
QPalette darkPalette() {
    QPalette palette;
    const QColor window(0x1e, 0x1e, 0x1e), base(0x2a, 0x2a, 0x2a), text(0xf2, 0xf2, 0xf2);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3c));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x98, 0x98, 0x9d));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6e, 0x6e, 0x73));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6e, 0x6e, 0x73));
    return palette;
}

QPushButton* button(const QString& title, const char* objectName) {
    auto* b = new QPushButton(title);
    b->setObjectName(QLatin1String(objectName));
    b->setAutoDefault(false);
    return b;
}
} // namespace

OnboardingWindowController::OnboardingWindowController(Preferences& preferences, DesktopTray& tray,
                                                       LoginItem& loginItem, TrayGeometry geometry,
                                                       bool translucent, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinimizeButtonHint)
    , m_preferences(preferences)
    , m_tray(tray)
    , m_loginItem(loginItem)
    , m_geometry(std::move(geometry))
    , m_arrow(new OnboardingArrowPanel(translucent))
    , m_titleLabel(new QLabel)
    , m_bodyLabel(new QLabel)
    , m_imageView(new QLabel)
    , m_startAtLoginBox(new QCheckBox(QStringLiteral("Start Corvanta when you log in")))
    , m_openSettingsButton(
          button(PlatformTexts::text("Open Menu Bar Settings…"), "openSettingsButton"))
    , m_skipButton(button(QStringLiteral("Skip"), "skipButton"))
    , m_backButton(button(QStringLiteral("Back"), "backButton"))
    , m_nextButton(button(QStringLiteral("Next"), "nextButton"))
    , m_pageLabel(new QLabel) {
    setObjectName(QStringLiteral("onboardingWindow"));
    setWindowTitle(QStringLiteral("Welcome to Corvanta"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setPalette(darkPalette());
    setAutoFillBackground(true);
    setFixedSize(windowSize);

    QFont title = font();
    title.setPixelSize(20);
    title.setWeight(QFont::DemiBold);
    m_titleLabel->setFont(title);
    m_titleLabel->setWordWrap(true);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    QFont body = font();
    body.setPixelSize(13);
    m_bodyLabel->setFont(body);
    m_bodyLabel->setWordWrap(true);
    m_bodyLabel->setObjectName(QStringLiteral("bodyLabel"));
    QPalette bodyPalette = m_bodyLabel->palette();
    bodyPalette.setColor(QPalette::WindowText, QColor(0xc7, 0xc7, 0xcc));
    m_bodyLabel->setPalette(bodyPalette);
    // Two lines of title and four of body, whatever the page.
    m_titleLabel->setFixedHeight(QFontMetrics(title).lineSpacing() * 2 + 2);
    m_bodyLabel->setFixedHeight(QFontMetrics(body).lineSpacing() * 4 + 2);
    m_bodyLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    m_imageView->setObjectName(QStringLiteral("imageView"));
    m_imageView->setAlignment(Qt::AlignCenter);
    m_imageView->setFixedHeight(illustrationHeight);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(11);
    m_pageLabel->setFont(mono);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    m_startAtLoginBox->setObjectName(QStringLiteral("startAtLoginCheckBox"));
    m_startAtLoginBox->setChecked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_openSettingsButton);
    buttons->addStretch(1);
    buttons->addWidget(m_skipButton);
    buttons->addWidget(m_backButton);
    buttons->addWidget(m_nextButton);
    buttons->addSpacing(8);
    buttons->addWidget(m_pageLabel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(12);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_bodyLabel);
    layout->addWidget(m_imageView);
    layout->addStretch(1);
    layout->addWidget(m_startAtLoginBox);
    layout->addLayout(buttons);

    connect(m_nextButton, &QPushButton::clicked, this, &OnboardingWindowController::nextTapped);
    connect(m_backButton, &QPushButton::clicked, this, &OnboardingWindowController::backTapped);
    connect(m_skipButton, &QPushButton::clicked, this, &OnboardingWindowController::skipTapped);
    connect(m_openSettingsButton, &QPushButton::clicked, this,
            &OnboardingWindowController::openMenuBarSettingsTapped);
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, &OnboardingWindowController::nextTapped);
    }
    m_nextButton->setDefault(true);
}

OnboardingWindowController::~OnboardingWindowController() {
    delete m_arrow;
}

void OnboardingWindowController::showOnboarding() {
    if (onWillShow)
        onWillShow();
    m_flow.reset();
    render();
    const std::optional<QRect> icon = m_geometry.iconRect();
    move(OnboardingGeometry::windowOrigin(icon, frameGeometry().size(), m_geometry.areaNear(icon)));
    show();
    raise();
    activateWindow();
}

QPixmap OnboardingWindowController::illustration(const QString& name) const {
    QImageReader reader(QStringLiteral(":/onboarding/") + name + QStringLiteral(".svg"));
    const qreal ratio = devicePixelRatioF();
    const QSize natural = reader.size().isValid() ? reader.size() : QSize(480, illustrationHeight);
    // Proportional, as high as the slot allows and no wider than the window.
    QSize size = natural.scaled(QSize(windowSize.width() - 2 * margin, illustrationHeight),
                                Qt::KeepAspectRatio);
    reader.setScaledSize(size * ratio);
    const QImage image = reader.read();
    QPixmap rounded(size * ratio);
    rounded.setDevicePixelRatio(ratio);
    rounded.fill(Qt::transparent);
    if (image.isNull())
        return rounded;
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), 8, 8);
    painter.setClipPath(clip);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), image);
    return rounded;
}

void OnboardingWindowController::render() {
    const OnboardingStep& step = m_flow.step();
    m_titleLabel->setText(step.title);
    m_bodyLabel->setText(step.body);
    m_imageView->setPixmap(illustration(step.image));
    m_imageView->setAccessibleName(step.title);
    m_openSettingsButton->setVisible(m_flow.showsOpenSettings(m_tray.hasTraySettings()));
    m_backButton->setVisible(m_flow.showsBack());
    m_startAtLoginBox->setVisible(m_flow.showsStartAtLogin());
    m_nextButton->setText(m_flow.nextTitle());
    m_pageLabel->setText(m_flow.pageLabel());

    const std::optional<QRect> icon = m_geometry.iconRect();
    if (m_flow.showsArrow(icon.has_value())) {
        const OnboardingGeometry::ArrowPlacement place =
            OnboardingGeometry::arrowPlacement(*icon, m_geometry.areaNear(icon));
        m_arrow->showAt(place.origin, place.pointsUp);
    } else {
        m_arrow->hide();
    }
}

void OnboardingWindowController::nextTapped() {
    if (!isVisible())
        return;
    if (!m_flow.next()) {
        render();
        return;
    }
    if (m_startAtLoginBox->isChecked()) {
        if (const std::optional<QString> error = m_loginItem.setEnabled(true))
            qWarning("Corvanta: could not start at login: %s", qUtf8Printable(*error));
    }
    finish();
}

void OnboardingWindowController::backTapped() {
    m_flow.back();
    render();
}

void OnboardingWindowController::skipTapped() {
    finish();
}

void OnboardingWindowController::openMenuBarSettingsTapped() {
    m_tray.openTraySettings();
}

void OnboardingWindowController::finish() {
    m_preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    m_arrow->hide();
    close();
}

void OnboardingWindowController::closeEvent(QCloseEvent* event) {
    m_arrow->hide();
    m_preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    QWidget::closeEvent(event);
    if (onWillClose)
        onWillClose(this);
}
