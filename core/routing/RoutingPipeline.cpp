#include "core/routing/RoutingPipeline.h"

#include "core/selection/FileSelectionResolver.h"

#include "core/utilities/ExternalUtilityRunner.h"

#include "core/history/RoutingHistory.h"
#include "core/model/TypeTeacher.h"
#include "core/platform/FrontmostApplication.h"
#include "core/routing/BeepNotifier.h"

#include "core/engine/ActionResolver.h"
#include "core/engine/RoutingDecision.h"
#include "core/model/FileTypeProbe.h"
#include "core/model/LocalFileURL.h"
#include "core/model/RouteStore.h"
#include "core/pickers/PickerCandidates.h"
#include "core/pickers/PickerPresenter.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/platform/Alerts.h"
#include "core/platform/Preferences.h"
#include "core/platform/RunningApplications.h"
#include "core/platform/StartupTimeline.h"
#include "core/platform/Workspace.h"
#include "core/routing/FileDecider.h"
#include "core/routing/OpenRequestParser.h"
#include "core/routing/SecurityScope.h"

#include <QFile>
#include <QHash>

namespace {
const QString defaultRuleID = QStringLiteral("default");

bool isLink(const QUrl& url) {
    return url.scheme().compare(QLatin1String(openRequestScheme), Qt::CaseInsensitive) == 0;
}

using Outcome = RoutingHistoryEntry::Outcome;

QString noEditorMessage(const QString& routeName) {
    return QStringLiteral("Pick a ") + routeName +
           QStringLiteral(" editor from the Corvanta menu first.");
}

QStringList sortedNames(const QSet<QString>& names) {
    QStringList list(names.cbegin(), names.cend());
    list.sort();
    return list;
}

} // namespace

RoutingPipeline::RoutingPipeline(const Platform& platform, const RouteStore& store,
                                 PickerPresenter& pickers, UtilityPerformer& utilities,
                                 Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_platform(platform)
    , m_store(store)
    , m_pickers(pickers)
    , m_utilities(utilities)
    , m_collaborators(collaborators)
    , m_recorder(&RoutingRecorder::none())
    , m_opener(platform.workspace, platform.alerts) {
    m_opener.setIdleHandler([this] {
        flushHistory();
        reportIfIdle();
    });
    m_opener.setFailureHandler(
        [this](const QList<QUrl>& urls, const QString& text) { markFailed(urls, text); });
}

RoutingPipeline::~RoutingPipeline() = default;

bool RoutingPipeline::isIdle() const {
    return m_pickersShowing == 0 && m_opener.pendingLaunches() == 0;
}

void RoutingPipeline::reportIfIdle() {
    if (isIdle())
        Q_EMIT becameIdle();
}

void RoutingPipeline::open(const QList<QUrl>& urls) {
    QList<QUrl> others;
    for (const QUrl& url : urls) {
        if (isLink(url))
            openLink(url);
        else
            others.append(url);
    }
    if (!others.isEmpty()) {
        m_arrival = {};
        routeURLs(others, std::nullopt, SecurityScope::adopt(m_platform.workspace, others),
                  std::nullopt);
    }
}

void RoutingPipeline::openLink(const QUrl& link) {
    const std::optional<OpenRequest> request = parseOpenRequest(link);
    if (!request) {
        m_platform.alerts.beep();
        return;
    }
    const CheckedLinkPaths paths = checkLinkPaths(request->files);
    if (paths.rejected > 0)
        m_platform.alerts.beep();
    if (!paths.accepted.isEmpty()) {
        m_arrival = {RoutingArrival::Kind::link, {}, request->rule.has_value()};
        routeURLs(paths.accepted, std::nullopt, nullptr, request->rule);
    }
}

void RoutingPipeline::routeSelection(const QSet<QString>& hotkeyNames) {
    m_arrival = {RoutingArrival::Kind::hotkey, sortedNames(hotkeyNames), false};
    routeSelected(m_collaborators.selection.selectedFileURLs(), hotkeyNames);
}

void RoutingPipeline::routeGivenSelection(const QList<QUrl>& files,
                                          const QSet<QString>& hotkeyNames) {
    m_arrival = {RoutingArrival::Kind::fileManagerAction, sortedNames(hotkeyNames), false};
    routeSelected(FileSelectionResolver::cleaned(files), hotkeyNames);
}

void RoutingPipeline::routeSelected(const QList<QUrl>& selected, const QSet<QString>& hotkeyNames) {
    if (selected.isEmpty()) {
        m_collaborators.beeper.beep(
            BeepNotifier::nothingSelectedReason(m_platform.frontmost.frontmostBundleID()));
        return;
    }
    routeURLs(selected, hotkeyNames, SecurityScope::start(m_platform.workspace, selected),
              std::nullopt);
}

std::optional<QString> RoutingPipeline::browserForWebLink(const QUrl& url,
                                                          const Workspace& workspace,
                                                          const std::optional<QString>& handoffID,
                                                          const std::optional<QString>& ownID) {
    const std::optional<QString> defaultID = workspace.defaultApplicationForScheme(url.scheme());
    const QStringList candidates = workspace.applicationsForURL(url);
    if (defaultID && !defaultID->isEmpty() && (!ownID || *defaultID != *ownID)) {
        if (std::optional<QString> location = workspace.locationForBundleID(*defaultID))
            return location;
    }
    if (handoffID) {
        for (const QString& candidate : candidates) {
            const std::optional<QString> id = workspace.bundleIDForLocation(candidate);
            if (id && *id == *handoffID && (!ownID || *id != *ownID))
                return candidate;
        }
    }
    for (const QString& candidate : candidates) {
        const std::optional<QString> id = workspace.bundleIDForLocation(candidate);
        if (!ownID || !id || *id != *ownID)
            return candidate;
    }
    return std::nullopt;
}

RoutingPipeline::Batches RoutingPipeline::batch(const QList<QUrl>& fileURLs,
                                                const std::optional<QSet<QString>>& hotkeyNames,
                                                const std::optional<QString>& forcedRule) {
    Batches batches;
    EditorGroups groups;
    QHash<QString, qsizetype> pendingIndex;
    const FileDecider decider(m_store, m_platform.running, m_platform.metadata);

    for (const QUrl& url : fileURLs) {
        const FileDecision decided = decider.decide(url, hotkeyNames, forcedRule);
        StartupTimeline::mark("first route decided");
        if (!decided.route) {
            batches.unroutedURLs.append(url);
            batches.decided.append(decidedEntry(url, nullptr, nullptr, Outcome::notRouted));
            continue;
        }
        const Route* route = &*decided.route;
        const RoutingDecision& decision = decided.decision;
        const Rule* rule = decision.rule ? &*decision.rule : nullptr;
        switch (decision.path) {
        case RoutingDecision::Path::ruleNotFound:
            batches.decided.append(decidedEntry(url, route, nullptr, Outcome::failed));
            batches.decided.last().ruleID = forcedRule;
            batches.decided.last().failure =
                QStringLiteral("The rule %1 was not found.").arg(forcedRule.value_or(QString()));
            m_platform.alerts.beep();
            break;
        case RoutingDecision::Path::picker: {
            const QString ruleID = decision.rule ? decision.rule->id : defaultRuleID;
            const QString key = route->id + QLatin1Char('#') + ruleID;
            auto it = pendingIndex.constFind(key);
            if (it == pendingIndex.cend()) {
                RuleAction action;
                if (decision.rule)
                    action = decision.rule->action;
                else
                    action.kind = decision.pickerKind;
                batches.pending.append({ruleID, route->id, action, {}});
                it = pendingIndex.insert(key, batches.pending.size() - 1);
            }
            batches.pending[*it].urls.append(url);
            break;
        }
        case RoutingDecision::Path::noEditor:
            batches.decided.append(decidedEntry(url, route, rule, Outcome::failed));
            batches.decided.last().failure = noEditorMessage(route->name);
            if (!batches.noEditorRouteNames.contains(route->name))
                batches.noEditorRouteNames.append(route->name);
            break;
        case RoutingDecision::Path::open:
            batches.decided.append(plannedOpen(url, *route, decision, groups));
            break;
        }
    }
    batches.groups = groups.groups();
    return batches;
}

void RoutingPipeline::routeURLs(const QList<QUrl>& urls,
                                const std::optional<QSet<QString>>& hotkeyNames,
                                const SecurityScope::Shared& scope,
                                const std::optional<QString>& forcedRule) {
    QList<QUrl> fileURLs;
    // Looked up only for web links: files never need them.
    std::optional<std::pair<std::optional<QString>, std::optional<QString>>> handoffAndOwnID;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            fileURLs.append(url);
            continue;
        }
        if (!handoffAndOwnID)
            handoffAndOwnID.emplace(
                m_platform.preferences.string(PreferenceKeys::browserHandoffBundleID),
                m_platform.workspace.ownBundleID());
        const auto& [handoffID, ownID] = *handoffAndOwnID;
        if (const std::optional<QString> browser =
                browserForWebLink(url, m_platform.workspace, handoffID, ownID))
            m_platform.workspace.openURLs({url}, *browser, [](const std::optional<QString>&) {});
    }
    if (fileURLs.isEmpty())
        return;

    const RoutingArrival arrival = std::exchange(m_arrival, {});
    Batches batches = batch(fileURLs, hotkeyNames, forcedRule);
    for (PendingHUD& entry : batches.pending)
        entry.arrival = arrival;
    const Lifetime::Watch alive = m_lifetime.watch();
    for (const QString& name : batches.noEditorRouteNames) {
        m_platform.alerts.runAlert(
            AlertRequest::warning(QStringLiteral("No editor selected"), noEditorMessage(name)));
        if (!alive)
            return;
    }
    record(batches.decided, arrival);
    for (const EditorGroup& group : batches.groups)
        m_opener.openFiles(group.urls, group.editor, scope);
    // After the launches: the history never holds up an editor.
    flushHistory();
    presentPendingPickers(batches.pending, scope);
    if (alive)
        teachUnroutedFiles(batches.unroutedURLs);
}

void RoutingPipeline::presentPendingPickers(QList<PendingHUD> pending,
                                            const SecurityScope::Shared& scope) {
    while (!pending.isEmpty()) {
        const PendingHUD entry = pending.takeFirst();
        const std::optional<Route> route = m_store.routeWithID(entry.routeID);
        if (!route)
            continue;
        // Asked again now, and only when the picker offers running editors alone.
        const QSet<QString> running = entry.action.kind == RuleActionKind::selectFromRunningEditors
                                          ? m_platform.running.runningBundleIDs()
                                          : QSet<QString>();
        const QList<Editor> editors =
            ActionResolver::pickerEditorCandidates(*route, entry.action.kind, running);
        PickerRequest request;
        request.title = ActionResolver::pickerTitle(*route, entry.action.kind);
        request.style =
            ActionResolver::pickerStyle(m_platform.preferences, m_platform.screenReader);
        request.entries = pickerCandidates(editors, *route);
        if (request.entries.isEmpty())
            continue;
        ++m_pickersShowing;
        m_pickers.present(request, m_lifetime.guard([this, entry, scope, rest = pending](
                                                        const std::optional<PickerChoice>& choice) {
            handlePickerChoice(choice, entry, scope, rest);
        }));
        return;
    }
}

void RoutingPipeline::handlePickerChoice(const std::optional<PickerChoice>& choice,
                                         const PendingHUD& entry,
                                         const SecurityScope::Shared& scope,
                                         const QList<PendingHUD>& rest) {
    const Lifetime::Watch alive = m_lifetime.watch();
    --m_pickersShowing;
    std::optional<QString> failure;
    const bool external = choice && choice->external();
    if (!external)
        recordPickerChoice(choice, entry, std::nullopt);
    if (!choice) {
        // Cancelled: the files' access ends with the run.
    } else if (const Editor* editor = choice->editor()) {
        m_opener.openFiles(entry.urls, *editor, scope);
        if (choice->makesRule && !entry.urls.isEmpty()) {
            const QByteArray path = LocalFileURL::nativePath(entry.urls.first());
            m_collaborators.ruleOffer.proposeRuleFromChoice(
                entry.routeID, QFile::decodeName(LocalFileURL::folderPath(path)), *editor);
        }
    } else if (const PickerUtility* utility = choice->utility()) {
        // Access lasts until the utility is done with the files.
        m_utilities.performUtility(*utility, entry.urls, [scope] {});
    } else if (const ExternalUtilityRef* external = choice->external()) {
        failure = runExternalUtility(*external, entry.urls);
    }
    if (!alive)
        return;
    if (external)
        recordPickerChoice(choice, entry, failure);
    flushHistory();
    presentPendingPickers(rest, scope);
    if (alive)
        reportIfIdle();
}

std::optional<QString> RoutingPipeline::runExternalUtility(const ExternalUtilityRef& ref,
                                                           const QList<QUrl>& urls) {
    const std::optional<QString> failure = m_collaborators.externalUtilities.run(ref, urls);
    if (failure) {
        m_platform.alerts.runAlert(AlertRequest::warning(ref.name(), *failure));
    }
    return failure;
}

void RoutingPipeline::record(QList<RoutingHistoryEntry> entries, const RoutingArrival& arrival) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (RoutingHistoryEntry& entry : entries) {
        entry.when = now;
        entry.arrival = arrival;
        m_unrecorded.append(entry);
    }
}

void RoutingPipeline::markFailed(const QList<QUrl>& urls, const QString& text) {
    for (const QUrl& url : urls) {
        const QByteArray path = LocalFileURL::nativePath(url);
        for (RoutingHistoryEntry& entry : m_unrecorded) {
            if (entry.path == path && !entry.editors.isEmpty()) {
                entry.outcome = Outcome::failed;
                entry.failure = text;
            }
        }
    }
}

void RoutingPipeline::flushHistory() {
    if (m_opener.pendingLaunches() > 0 || m_unrecorded.isEmpty())
        return;
    for (const RoutingHistoryEntry& entry : std::exchange(m_unrecorded, {}))
        m_recorder->record(entry);
}

void RoutingPipeline::recordPickerChoice(const std::optional<PickerChoice>& choice,
                                         const PendingHUD& entry,
                                         const std::optional<QString>& failure) {
    const std::optional<Route> route = m_store.routeWithID(entry.routeID);
    const Rule* rule = nullptr;
    for (const Rule& candidate : route ? route->rules : QList<Rule>()) {
        if (candidate.id == entry.ruleID)
            rule = &candidate;
    }
    Outcome outcome = Outcome::pickerCancelled;
    if (choice)
        outcome = choice->editor() ? Outcome::pickerChose
                                   : (failure ? Outcome::failed : Outcome::utilityRun);
    QList<RoutingHistoryEntry> entries;
    for (const QUrl& url : entry.urls) {
        RoutingHistoryEntry recorded = decidedEntry(url, route ? &*route : nullptr, rule, outcome);
        if (choice && choice->editor())
            recorded.editors.append(editorRef(*choice->editor()));
        else if (choice)
            recorded.utility = pickerChoiceLabel(*choice);
        recorded.failure = failure.value_or(QString());
        entries.append(recorded);
    }
    record(entries, entry.arrival);
}

void RoutingPipeline::teachUnroutedFiles(const QList<QUrl>& urls) {
    if (urls.isEmpty())
        return;
    const FileTypeProbe probe(m_platform.types);
    const Lifetime::Watch alive = m_lifetime.watch();
    bool missingExtension = false;
    QSet<QString> taught;
    for (const QUrl& url : urls) {
        const auto result = probe.probe(url);
        const SampleType* sample = std::get_if<SampleType>(&result);
        if (!sample) {
            missingExtension = true;
            continue;
        }
        const QString key =
            sample->extension + QLatin1Char('|') + sample->typeIdentifier.value_or(QString());
        if (taught.contains(key))
            continue;
        taught.insert(key);
        m_collaborators.teaching.addTypeFromURL(url);
        if (!alive)
            return;
    }
    if (missingExtension)
        m_collaborators.teaching.showMissingExtensionAlert();
}
