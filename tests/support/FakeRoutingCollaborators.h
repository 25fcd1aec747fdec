#pragma once

#include "core/history/RoutingHistory.h"
#include "core/model/TypeTeacher.h"
#include "core/routing/BeepNotifier.h"
#include "core/routing/RoutingPipeline.h"
#include "core/selection/FileSelectionResolver.h"
#include "core/utilities/ExternalUtilityRunner.h"
#include "tests/support/FakeWorkspace.h"

// Stands in for what the program does for the routing pipeline: each call is
// noted in `events` with the launches made before it, each history entry in
// `history` without its time.
struct FakeRoutingCollaborators : SelectedFilesSource,
                                  ExternalUtilityRunning,
                                  TypeTeaching,
                                  Beeper,
                                  RuleFromChoiceOffer,
                                  RoutingRecorder {
    const FakeWorkspace& workspace;
    QStringList events;
    QStringList history;
    QList<QUrl> selected;
    std::optional<QString> externalFailure;

    explicit FakeRoutingCollaborators(const FakeWorkspace& w)
        : workspace(w) {}
    RoutingPipeline::Collaborators collaborators() { return {*this, *this, *this, *this, *this}; }

    void note(const QString& event) {
        events
            << QStringLiteral("%1 after %2 launches").arg(event).arg(workspace.openCalls().size());
    }
    QList<QUrl> selectedFileURLs() const override { return selected; }
    std::optional<QString> run(const ExternalUtilityRef& ref, const QList<QUrl>&) override {
        note(QStringLiteral("run ") + ref.name());
        return externalFailure;
    }
    std::optional<QString> addTypeFromURL(const QUrl& url) override {
        note(QStringLiteral("teach ") + url.fileName());
        return std::nullopt;
    }
    void showMissingExtensionAlert() override { note(QStringLiteral("no extension")); }
    void beep(const QString& reason) override { note(QStringLiteral("beep: ") + reason); }
    void proposeRuleFromChoice(const QString& routeID, const QString& folder,
                               const Editor& editor) override {
        note(QStringList{QStringLiteral("offer"), routeID, folder, editor.bundleID}.join(u' '));
    }
    void record(const RoutingHistoryEntry& entry) override {
        history << QStringLiteral("history ") +
                       entry.summaryLine().section(QStringLiteral("  "), 1);
    }
};
