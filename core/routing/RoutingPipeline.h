#pragma once

#include "core/history/RoutingHistoryEntry.h"
#include "core/platform/Lifetime.h"
#include "core/platform/Platform.h"
#include "core/routing/EditorGroup.h"
#include "core/routing/EditorOpener.h"
#include "core/routing/PendingHUD.h"
#include "core/routing/SecurityScope.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <optional>

class Beeper;
class ExternalUtilityRunning;
class PickerPresenter;
class RouteStore;
class RoutingRecorder;
class SelectedFilesSource;
class TypeTeaching;
class UtilityPerformer;
struct PickerChoice;

// A picker's editor was confirmed with Shift: offers a rule for the files' folder.
class RuleFromChoiceOffer {
public:
    virtual ~RuleFromChoiceOffer() = default;
    virtual void proposeRuleFromChoice(const QString& routeID, const QString& folder,
                                       const Editor& editor) = 0;
};

// The one road every file takes: find its route, decide, batch, then act on
// the batches in a fixed order (alerts, editors, pickers, teaching).
class RoutingPipeline : public QObject {
    Q_OBJECT
public:
    // What other parts of the program do for the pipeline; they outlive it.
    struct Collaborators {
        // The rule hotkeys' files.
        SelectedFilesSource& selection;
        ExternalUtilityRunning& externalUtilities;
        // For files no route covers (it shows its own dialogs).
        TypeTeaching& teaching;
        // A rule hotkey found no files.
        Beeper& beeper;
        RuleFromChoiceOffer& ruleOffer;
    };

    RoutingPipeline(const Platform& platform, const RouteStore& store, PickerPresenter& pickers,
                    UtilityPerformer& utilities, Collaborators collaborators,
                    QObject* parent = nullptr);
    ~RoutingPipeline() override;

    // Where routed files are remembered from now on (none by default).
    void setRecorder(RoutingRecorder& recorder) { m_recorder = &recorder; }

    // URLs the application was asked to open: x-corvanta links each run on
    // their own, everything else in one run.
    void open(const QList<QUrl>& urls);
    // A rule hotkey fired: routes the frontmost file manager's selection.
    void routeSelection(const QSet<QString>& hotkeyNames);
    // A file manager's action sent `files` for the hotkeys: routed as if the
    // hotkeys fired with those files selected.
    void routeGivenSelection(const QList<QUrl>& files, const QSet<QString>& hotkeyNames);
    // Routes a selection for hotkeys; an empty one beeps.
    void routeSelected(const QList<QUrl>& selected, const QSet<QString>& hotkeyNames);
    // One run, holding `scope` (none: no access to end) until its last part is done.
    void routeURLs(const QList<QUrl>& urls, const std::optional<QSet<QString>>& hotkeyNames,
                   const SecurityScope::Shared& scope, const std::optional<QString>& forcedRule);
    // Shows the first entry's picker; the others follow when it closes.
    void presentPendingPickers(QList<PendingHUD> pending, const SecurityScope::Shared& scope);
    // Returns the failure the user was shown, or none.
    std::optional<QString> runExternalUtility(const ExternalUtilityRef& ref,
                                              const QList<QUrl>& urls);
    void teachUnroutedFiles(const QList<QUrl>& urls);

    // The application that should receive a web link: the system's default
    // unless that is Corvanta itself, then the remembered browser, then any
    // other application that takes the link. Returns its location.
    static std::optional<QString> browserForWebLink(const QUrl& url, const Workspace& workspace,
                                                    const std::optional<QString>& handoffID,
                                                    const std::optional<QString>& ownID);

    // The batches of one run, exposed for the alerts and for tests.
    struct Batches {
        QList<EditorGroup> groups; // in the order their first file was decided
        QList<PendingHUD> pending; // in the order their first file was decided
        QStringList noEditorRouteNames;
        QList<QUrl> unroutedURLs;
        // What was decided for each file that needs no picker, for the history.
        QList<RoutingHistoryEntry> decided;
    };
    // Decides every file of a run without acting on it (beeps for unknown rules aside).
    Batches batch(const QList<QUrl>& fileURLs, const std::optional<QSet<QString>>& hotkeyNames,
                  const std::optional<QString>& forcedRule);

    EditorOpener& opener() { return m_opener; }
    // No picker is showing and no launch is waiting for the system.
    bool isIdle() const;

Q_SIGNALS:
    // Emitted when the last picker closed or the last launch completed.
    void becameIdle();

private:
    void openLink(const QUrl& link);
    void handlePickerChoice(const std::optional<PickerChoice>& choice, const PendingHUD& entry,
                            const SecurityScope::Shared& scope, const QList<PendingHUD>& rest);
    void reportIfIdle();
    // Entries wait until their launches completed (a failed one is marked so).
    void record(QList<RoutingHistoryEntry> entries, const RoutingArrival& arrival);
    void markFailed(const QList<QUrl>& urls, const QString& text);
    void flushHistory();
    void recordPickerChoice(const std::optional<PickerChoice>& choice, const PendingHUD& entry,
                            const std::optional<QString>& failure);

    Platform m_platform;
    const RouteStore& m_store;
    PickerPresenter& m_pickers;
    UtilityPerformer& m_utilities;
    Collaborators m_collaborators;
    RoutingRecorder* m_recorder;
    EditorOpener m_opener;
    int m_pickersShowing = 0;
    // How the files of the run about to start came.
    RoutingArrival m_arrival;
    QList<RoutingHistoryEntry> m_unrecorded;
    // A run may outlive the pipeline: alerts and teaching run event loops of their own.
    Lifetime m_lifetime;
};
