#pragma once

#include "core/model/Route.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The choices of the Default Rule sheet as plain data. Only three modes exist
// there: always open, select from all editors, select from running editors.
struct DefaultRuleDraft {
    RuleActionKind mode = RuleActionKind::specificEditor;
    // Ticked editors of the always-open mode, as the sheet opens.
    QStringList checkedBundleIDs;
    // The fallback editor selected as the sheet opens.
    std::optional<QString> fallbackBundleID;

    static DefaultRuleDraft forRoute(const Route& route);
    // Any kind mapped onto the three modes.
    static RuleActionKind modeFor(RuleActionKind kind);

    static QStringList modeTitles();
    static QList<RuleActionKind> modeKinds();
    static QString editorLabel(RuleActionKind mode);

    static bool canSave(RuleActionKind mode, const QStringList& checked, qsizetype offeredEditors);

    struct Result {
        RuleActionKind kind;
        QStringList bundleIDs;
        bool operator==(const Result&) const = default;
    };
    // What Save hands on; none when it must do nothing.
    static std::optional<Result> result(RuleActionKind mode, const QStringList& checked,
                                        const std::optional<QString>& fallback);
};
