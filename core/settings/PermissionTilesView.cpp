#include "core/settings/PermissionTilesView.h"

#include "core/platform/PlatformTexts.h"
#include "core/selection/ApplicationScriptsInstaller.h"
#include "core/settings/SettingsChoosers.h"
#include "core/settings/SettingsControls.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QFrame* tile(const QString& title, QLabel*& status, QHBoxLayout*& buttons, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(frame);
    auto* heading = new QLabel(title, frame);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setLetterSpacing(QFont::PercentageSpacing, 110);
    heading->setFont(font);
    status = new QLabel(frame);
    // A screen reader says the tile and its status together ("AUTOMATION: ● granted").
    status->setProperty("tileTitle", title);
    status->setAccessibleName(title);
    buttons = new QHBoxLayout;
    layout->addWidget(heading);
    layout->addWidget(status);
    layout->addLayout(buttons);
    return frame;
}
} // namespace

PermissionTilesView::PermissionTilesView(SelectionPermissions& permissions,
                                         SettingsChoosers& choosers,
                                         bool showsAccessibilityPermissions,
                                         bool showsApplicationScriptsInstall, Hooks hooks,
                                         QWidget* parent)
    : QWidget(parent)
    , m_permissions(permissions)
    , m_choosers(choosers)
    , m_showsAccessibility(showsAccessibilityPermissions)
    , m_scriptsMode(showsApplicationScriptsInstall)
    , m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("permissionTilesView"));
    auto* tiles = new QHBoxLayout;
    QHBoxLayout* automationButtons = nullptr;
    tiles->addWidget(
        tile(QStringLiteral("AUTOMATION"), m_automationStatus, automationButtons, this));
    m_automationStatus->setObjectName(QStringLiteral("automationStatusLabel"));
    if (m_scriptsMode) {
        m_installScripts = new QPushButton(QStringLiteral("Install Scripts\u2026"), this);
        m_installScripts->setObjectName(QStringLiteral("installScriptsButton"));
        m_installScripts->setToolTip(
            QStringLiteral("Grant write access to Application Scripts and install hotkey helpers"));
        connect(m_installScripts, &QPushButton::clicked, this,
                &PermissionTilesView::installApplicationScriptsTapped);
        automationButtons->addWidget(m_installScripts);
    }
    m_requestAutomation = new QPushButton(QStringLiteral("Request\u2026"), this);
    m_requestAutomation->setObjectName(QStringLiteral("requestAutomationButton"));
    m_requestAutomation->setToolTip(
        PlatformTexts::text("Show the system prompt to allow Automation access"));
    connect(m_requestAutomation, &QPushButton::clicked, this,
            &PermissionTilesView::requestAutomationTapped);
    automationButtons->addWidget(m_requestAutomation);
    automationButtons->addStretch();

    if (m_showsAccessibility) {
        QHBoxLayout* accessibilityButtons = nullptr;
        tiles->addWidget(tile(QStringLiteral("ACCESSIBILITY"), m_accessibilityStatus,
                              accessibilityButtons, this));
        m_accessibilityStatus->setObjectName(QStringLiteral("accessibilityStatusLabel"));
        m_requestAccessibility = new QPushButton(QStringLiteral("Request\u2026"), this);
        m_requestAccessibility->setObjectName(QStringLiteral("requestAccessibilityButton"));
        m_requestAccessibility->setToolTip(
            PlatformTexts::text("Show the system prompt to allow Accessibility access"));
        connect(m_requestAccessibility, &QPushButton::clicked, this,
                &PermissionTilesView::requestAccessibilityTapped);
        accessibilityButtons->addWidget(m_requestAccessibility);
        if (m_hooks.openAccessibilitySettings) {
            m_openAccessibility = new QPushButton(QStringLiteral("Open Settings\u2026"), this);
            m_openAccessibility->setObjectName(QStringLiteral("openAccessibilitySettingsButton"));
            m_openAccessibility->setToolTip(
                PlatformTexts::text("Open System Settings to grant Accessibility access"));
            // What the user changes there shows when Corvanta is active again.
            connect(m_openAccessibility, &QPushButton::clicked, this,
                    [this] { m_hooks.openAccessibilitySettings(); });
            accessibilityButtons->addWidget(m_openAccessibility);
        }
        accessibilityButtons->addStretch();
    }

    const char* note =
        m_scriptsMode ? "Rule hotkeys need helper scripts in Application Scripts (Install "
                        "Scripts\u2026), then Automation for Finder / Path Finder / Bloom "
                        "(Request\u2026). If you previously denied Automation, use Open "
                        "Settings\u2026 and turn the apps back on under Corvanta."
        : m_showsAccessibility
            ? "Finder fallback selection uses Automation permission, requested the first time a "
              "rule hotkey needs it."
            : "Rule hotkeys read the frontmost file manager's selection via Automation (Finder, "
              "and Path Finder or Bloom when that app is frontmost). Click Request\u2026 for the "
              "system prompt the first time. If you previously denied it, use Open Settings\u2026 "
              "and turn the apps back on under Corvanta (macOS will not show the prompt again).";
    m_note = SettingsControls::hintLabel(PlatformTexts::text(note), this);
    m_note->setObjectName(QStringLiteral("automationNoteLabel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tiles);
    layout->addWidget(m_note);
    show(m_automationStatus, TCCPermissions::firstUseTileStatus());
    if (m_accessibilityStatus)
        show(m_accessibilityStatus, TCCPermissions::accessibilityTileStatus(false));
}

void PermissionTilesView::show(QLabel* label, const TCCPermissions::TileStatus& status) {
    const std::array<double, 3> rgb = TCCPermissions::toneColour(status.tone);
    label->setText(status.text);
    label->setAccessibleName(label->property("tileTitle").toString() + QStringLiteral(": ") +
                             status.text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     QColor::fromRgbF(float(rgb[0]), float(rgb[1]), float(rgb[2])));
    label->setPalette(palette);
}

void PermissionTilesView::refresh() {
    if (m_accessibilityStatus)
        show(m_accessibilityStatus, TCCPermissions::accessibilityTileStatus(
                                        TCCPermissions::isAccessibilityTrusted(m_permissions)));
    const AutomationStatus status =
        TCCPermissions::fileManagerAutomationStatus(m_permissions, false);
    if (!m_scriptsMode) {
        show(m_automationStatus, TCCPermissions::automationTileStatus(status));
        return;
    }
    const bool current = ApplicationScriptsInstaller::areScriptsCurrent(
        ApplicationScriptsInstaller::defaultDirectory());
    show(m_automationStatus,
         TCCPermissions::automationTileStatusWithScripts(
             current, status,
             [this] {
                 return m_hooks.runInstalledScript ? m_hooks.runInstalledScript()
                                                   : TCCPermissions::ScriptCheck::failed;
             },
             [this] { return TCCPermissions::fileManagerAutomationStatus(m_permissions, false); }));
}

void PermissionTilesView::requestAutomationTapped() {
    show(m_automationStatus, TCCPermissions::requestingTileStatus());
    const auto request = [this] {
        TCCPermissions::requestAutomation(m_permissions, this,
                                          [this](AutomationStatus) { refresh(); });
    };
    if (!m_scriptsMode || ApplicationScriptsInstaller::areScriptsCurrent(
                              ApplicationScriptsInstaller::defaultDirectory())) {
        request();
        return;
    }
    // The check needs the helpers; without them there is nothing to ask.
    requestScriptsInstall([this, request](bool installed) {
        if (installed)
            request();
        else
            refresh();
    });
}

void PermissionTilesView::requestAccessibilityTapped() {
    TCCPermissions::requestAccessibility(m_permissions);
    refresh();
}

void PermissionTilesView::installApplicationScriptsTapped() {
    requestScriptsInstall([this](bool) { refresh(); });
}

void PermissionTilesView::requestScriptsInstall(std::function<void(bool)> completion) {
    ApplicationScriptsInstaller::requestUserMediatedInstall(
        [this,
         alive = m_lifetime.watch()](const ApplicationScriptsInstaller::FolderRequest& request,
                                     std::function<void(const std::optional<QString>&)> chosen) {
            if (!alive) {
                chosen(std::nullopt);
                return;
            }
            // The folder dialog has no room for a message but its title.
            chosen(m_choosers.chooseFolder(window(), {request.message, request.buttonTitle,
                                                      request.message, request.initialDirectory}));
        },
        m_lifetime.guard(std::move(completion)));
}
