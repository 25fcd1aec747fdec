#pragma once

#include "core/history/RoutingHistory.h"
#include "core/model/TypeTeacher.h"
#include "core/routing/BeepNotifier.h"
#include "core/routing/RoutingPipeline.h"
#include "core/selection/FileSelectionResolver.h"
#include "core/utilities/ExternalUtilityRunner.h"
#include "tests/support/FakeWorkspace.h"

// What the program does for the routing pipeline: each call noted in `events`
// with the launches made before it, each history entry in `history` without its time.
struct FakeRoutingCollaborators : SelectedFilesSource,
                                  ExternalUtilityRunning,
                                  TypeTeaching,
                                  Beeper,
                                  RuleFromChoiceOffer,
                                  RoutingRecorder {
    const FakeWorkspace& workspace;
    QStringList events, history;
    std::optional<QString> externalFailure;

    explicit FakeRoutingCollaborators(const FakeWorkspace& w)
        : workspace(w) {}
    RoutingPipeline::Collaborators collaborators() { return {*this, *this, *this, *this, *this}; }
    void note(const QString& event) {
        events << event + QStringLiteral(" after %1 launches").arg(workspace.openCalls().size());
    }
    QList<QUrl> selectedFileURLs() const override { return {}; }
    std::optional<QString> run(const ExternalUtilityRef& ref, const QList<QUrl>& files) override {
        QStringList names;
        for (const QUrl& file : files)
            names << file.fileName();
        note("run " + ref.name() + " on " + names.join(u' '));
        return externalFailure;
    }
    std::optional<QString> addTypeFromURL(const QUrl& url) override {
        note("teach " + url.fileName());
        return std::nullopt;
    }
    void showMissingExtensionAlert() override { note("no extension"); }
    void beep(const QString& reason) override { note("beep: " + reason); }
    void proposeRuleFromChoice(const QString& route, const QString& folder,
                               const Editor& editor) override {
        note("offer " + route + ' ' + folder + ' ' + editor.bundleID);
    }
    void record(const RoutingHistoryEntry& entry) override {
        history << "history " + entry.summaryLine().section(QStringLiteral("  "), 1);
    }
};
