#include "app/ExplainCommand.h"

#include "app/FileExplainer.h"
#include "app/LinuxStoreRunner.h"
#include "app/StoreLoadReport.h"
#include "core/engine/RuleDescriptions.h"
#include "core/model/RouteStore.h"
#include "core/pickers/PickerCandidates.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {
struct Options {
    bool json = false;
    std::optional<QString> rule;
    std::optional<QSet<QString>> hotkeys;
    QStringList paths;
};

// Parses the arguments; on a usage error returns none with the reason in `error`.
std::optional<Options> parseOptions(const QStringList& arguments, QString& error) {
    Options options;
    bool onlyPaths = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (onlyPaths || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            options.paths.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlyPaths = true;
            continue;
        }
        if (argument == QLatin1String("--json")) {
            options.json = true;
            continue;
        }
        const bool isRule =
            argument == QLatin1String("--rule") || argument.startsWith(QLatin1String("--rule="));
        const bool isHotkey = argument == QLatin1String("--hotkey") ||
                              argument.startsWith(QLatin1String("--hotkey="));
        if (!isRule && !isHotkey) {
            error = QStringLiteral("unknown option \"%1\"").arg(argument);
            return std::nullopt;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            error = QStringLiteral("%1 needs a value").arg(argument);
            return std::nullopt;
        }
        if (isRule) {
            options.rule = value;
        } else {
            if (!options.hotkeys)
                options.hotkeys.emplace();
            options.hotkeys->insert(value);
        }
    }
    if (options.paths.isEmpty()) {
        error = QStringLiteral("no file given");
        return std::nullopt;
    }
    return options;
}

QStringList sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    std::sort(list.begin(), list.end());
    return list;
}

QString quoted(const QString& text) {
    return QStringLiteral("“") + text + QStringLiteral("”");
}

QString styleName(PickerStyle style) {
    return style == PickerStyle::list ? QStringLiteral("list") : QStringLiteral("radial");
}

QJsonValue optionalString(const std::optional<QString>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject entryJson(const PickerChoice& choice) {
    QJsonObject entry{{QStringLiteral("title"), pickerChoiceLabel(choice)}};
    if (const Editor* editor = choice.editor()) {
        entry.insert(QStringLiteral("kind"), QStringLiteral("editor"));
        entry.insert(QStringLiteral("bundleID"), editor->bundleID);
    } else if (const PickerUtility* utility = choice.utility()) {
        entry.insert(QStringLiteral("kind"), QStringLiteral("utility"));
        entry.insert(QStringLiteral("utility"), toString(utility->kind));
    } else if (const ExternalUtilityRef* external = choice.external()) {
        entry.insert(QStringLiteral("kind"), toString(external->kind));
        entry.insert(QStringLiteral("key"), external->key());
    }
    return entry;
}

QJsonObject explanationJson(const QString& path, const FileExplanation& e,
                            const RuleDescriptions& descriptions) {
    QJsonObject object;
    object.insert(QStringLiteral("file"), path);
    object.insert(QStringLiteral("decision"), FileExplanation::toString(e.outcome));
    object.insert(QStringLiteral("route"), e.route ? QJsonValue(e.route->id) : QJsonValue());
    QJsonValue rule;
    if (e.rule)
        rule = e.rule->id;
    else if (e.route && e.outcome != FileExplanation::Outcome::ruleNotFound)
        rule = QStringLiteral("default");
    object.insert(QStringLiteral("rule"), rule);
    if (e.route) {
        object.insert(QStringLiteral("routeName"), e.route->name);
        object.insert(QStringLiteral("ruleSummary"),
                      e.rule ? descriptions.ruleSummary(*e.rule, e.route->editors)
                             : RuleDescriptions::defaultRuleSummary(*e.route));
    }
    QJsonArray editors;
    for (const Editor& editor : e.editors)
        editors.append(editor.bundleID);
    object.insert(QStringLiteral("editors"), editors);
    if (e.context) {
        const OpenContext& c = *e.context;
        QJsonObject facts{
            {QStringLiteral("fileName"), c.fileName},
            {QStringLiteral("fileExtension"), c.fileExtension},
            {QStringLiteral("parentPath"), c.parentPath},
            {QStringLiteral("creatorName"), optionalString(c.creatorName)},
            // null when the decision did not depend on running editors.
            {QStringLiteral("runningEnabledBundleIDs"),
             e.runningEditorsConsulted
                 ? QJsonValue(QJsonArray::fromStringList(sorted(c.runningEnabledBundleIDs)))
                 : QJsonValue()},
            {QStringLiteral("activeHotkeyNames"),
             c.activeHotkeyNames
                 ? QJsonValue(QJsonArray::fromStringList(sorted(*c.activeHotkeyNames)))
                 : QJsonValue()},
        };
        object.insert(QStringLiteral("facts"), facts);
    }
    if (e.outcome == FileExplanation::Outcome::picker) {
        object.insert(QStringLiteral("title"), e.pickerTitle);
        object.insert(QStringLiteral("style"), styleName(e.pickerStyle));
        QJsonArray entries;
        for (const PickerChoice& choice : e.pickerEntries)
            entries.append(entryJson(choice));
        object.insert(QStringLiteral("entries"), entries);
    }
    return object;
}

QString editorList(const QList<Editor>& editors) {
    QStringList names;
    for (const Editor& editor : editors)
        names.append(QStringLiteral("%1 (%2)").arg(editor.name, editor.bundleID));
    return names.join(QStringLiteral(", then "));
}

void writeText(QTextStream& out, const QString& path, const FileExplanation& e,
               const RuleDescriptions& descriptions, const std::optional<QString>& ruleReference) {
    out << path << "\n";
    if (!e.route) {
        out << "  Route: none\n  Decision: unknown type (Corvanta would offer to teach it)\n";
        return;
    }
    const Route& route = *e.route;
    const OpenContext& c = *e.context;
    out << "  Route: " << route.name << " (" << route.id << ")\n";
    out << "  Name: " << quoted(c.fileName) << "  Extension: " << quoted(c.fileExtension)
        << "  Folder: " << c.parentPath << "\n";
    out << "  Creator: " << (c.creatorName ? quoted(*c.creatorName) : QStringLiteral("none"))
        << "\n";
    const QStringList running = sorted(c.runningEnabledBundleIDs);
    out << "  Running enabled editors: "
        << (!e.runningEditorsConsulted ? QStringLiteral("not needed for this decision")
            : running.isEmpty()        ? QStringLiteral("none")
                                       : running.join(QStringLiteral(", ")))
        << "\n";
    if (c.activeHotkeyNames)
        out << "  Hotkeys: " << sorted(*c.activeHotkeyNames).join(QStringLiteral(", ")) << "\n";
    if (e.outcome == FileExplanation::Outcome::ruleNotFound) {
        out << "  Rule: rule not found: " << quoted(ruleReference.value_or(QString())) << "\n";
        out << "  Decision: the file is skipped\n";
        return;
    }
    if (e.rule) {
        out << "  Rule: " << (ruleReference ? "forced " : "")
            << descriptions.ruleSummary(*e.rule, route.editors) << "\n";
    } else {
        out << "  Rule: " << RuleDescriptions::defaultRuleSummary(route) << "\n";
    }
    switch (e.outcome) {
    case FileExplanation::Outcome::open:
        out << "  Decision: open in " << editorList(e.editors) << "\n";
        break;
    case FileExplanation::Outcome::noEditor:
        out << "  Decision: No editor selected\n";
        break;
    case FileExplanation::Outcome::picker: {
        QStringList entries;
        for (const PickerChoice& choice : e.pickerEntries)
            entries.append(pickerChoiceLabel(choice));
        out << "  Decision: " << styleName(e.pickerStyle) << " picker " << quoted(e.pickerTitle)
            << ": "
            << (entries.isEmpty() ? QStringLiteral("no entries, nothing is opened")
                                  : entries.join(QStringLiteral(", ")))
            << "\n";
        break;
    }
    case FileExplanation::Outcome::unrouted:
    case FileExplanation::Outcome::ruleNotFound:
        break;
    }
}
} // namespace

const char* ExplainCommand::usage() {
    return "Usage: corvanta explain [--json] [--rule REF] [--hotkey NAME]... PATH...\n";
}

int ExplainCommand::run(const QStringList& arguments) {
    QString error;
    const auto options = parseOptions(arguments, error);
    if (!options) {
        m_err << "corvanta explain: " << error << "\n" << usage();
        return 2;
    }
    int status = StoreLoadReport::report(m_store, m_platform.alerts) ? 0 : 1;
    const FileExplainer explainer(m_store, m_platform);
    const RuleDescriptions descriptions(m_platform.shortcuts);
    for (const QString& given : options->paths) {
        const QFileInfo info(given);
        if (!info.exists()) {
            m_err << "corvanta explain: " << given << ": no such file\n";
            status = 1;
            continue;
        }
        if (info.isDir()) {
            m_err << "corvanta explain: " << given << " is a folder, not a file\n";
            status = 1;
            continue;
        }
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        const FileExplanation explanation =
            explainer.explain(QUrl::fromLocalFile(path), options->rule, options->hotkeys);
        if (options->json) {
            // One object per line and file.
            m_out << QJsonDocument(explanationJson(path, explanation, descriptions))
                         .toJson(QJsonDocument::Compact)
                  << "\n";
        } else {
            writeText(m_out, path, explanation, descriptions, options->rule);
        }
    }
    m_out.flush();
    return status;
}

int ExplainCommand::runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    // A usage error must not load (and so rewrite) the routes file.
    QString error;
    if (!parseOptions(arguments, error)) {
        err << "corvanta explain: " << error << "\n" << usage();
        return 2;
    }
    return runWithLinuxStore<ExplainCommand>(arguments, out, err);
}
