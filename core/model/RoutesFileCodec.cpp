#include "core/model/RoutesFileCodec.h"

#include "core/model/RuleCodec.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {
Editor decodeEditor(const JsonNode& node) {
    Editor e;
    e.bundleID = node.requiredString(QStringLiteral("bundleID"));
    e.name = node.requiredString(QStringLiteral("name"));
    e.opensFolder = node.requiredBool(QStringLiteral("opensFolder"));
    e.enabled = node.requiredBool(QStringLiteral("enabled"));
    e.manual = node.requiredBool(QStringLiteral("manual"));
    e.urlSchemeTemplate = node.optionalString(QStringLiteral("urlSchemeTemplate"));
    return e;
}

PathRule decodePathRule(const JsonNode& node) {
    return {node.requiredString(QStringLiteral("pathPrefix")),
            node.requiredString(QStringLiteral("bundleID"))};
}

PickerUtility decodeUtility(const JsonNode& node) {
    PickerUtility u;
    u.kind =
        node.requiredEnum<PickerUtilityKind>(QStringLiteral("kind"), pickerUtilityKindFromString);
    u.enabled = node.requiredBool(QStringLiteral("enabled"));
    u.terminalBundleID = node.optionalString(QStringLiteral("terminalBundleID"));
    return u;
}

EnabledExternalUtility decodeExternal(const JsonNode& node) {
    return {node.requiredString(QStringLiteral("id")), node.requiredString(QStringLiteral("name"))};
}

EnabledScriptUtility decodeScript(const JsonNode& node) {
    return {node.requiredString(QStringLiteral("relativePath")),
            node.requiredString(QStringLiteral("name"))};
}

QJsonArray toArray(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

template <typename T, typename F> QJsonArray encodeAll(const QList<T>& items, F encodeOne) {
    QJsonArray array;
    for (const T& item : items)
        array.append(encodeOne(item));
    return array;
}

QJsonObject encodeUtility(const PickerUtility& u) {
    QJsonObject o{{QStringLiteral("kind"), toString(u.kind)},
                  {QStringLiteral("enabled"), u.enabled}};
    if (u.terminalBundleID)
        o.insert(QStringLiteral("terminalBundleID"), *u.terminalBundleID);
    return o;
}

QJsonObject encodeExternal(const EnabledExternalUtility& u) {
    return {{QStringLiteral("id"), u.id}, {QStringLiteral("name"), u.name}};
}

QJsonObject encodeScript(const EnabledScriptUtility& u) {
    return {{QStringLiteral("relativePath"), u.relativePath}, {QStringLiteral("name"), u.name}};
}

// "line 3, column 7" for a byte offset into the document.
QString positionOf(const QByteArray& data, int offset) {
    const QByteArray before = data.left(offset);
    const int line = before.count('\n') + 1;
    const int column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}
} // namespace

namespace RoutesFileCodec {

Route decodeRoute(const JsonNode& node) {
    Route r;
    r.id = node.requiredString(QStringLiteral("id"));
    r.name = node.requiredString(QStringLiteral("name"));
    r.extensions = node.optionalStringList(QStringLiteral("extensions")).value_or(QStringList());
    r.probeIdentifiers =
        node.optionalStringList(QStringLiteral("probeIdentifiers")).value_or(QStringList());
    r.editors = node.list<Editor>(QStringLiteral("editors"), decodeEditor);
    r.activeBundleID = node.optionalString(QStringLiteral("activeBundleID"));
    r.rules = node.list<Rule>(QStringLiteral("rules"), RuleCodec::decodeRule);
    r.defaultPreferenceOrder =
        node.optionalStringList(QStringLiteral("defaultPreferenceOrder")).value_or(QStringList());
    r.isCustom = node.optionalBool(QStringLiteral("isCustom")).value_or(false);
    if (node.has(QStringLiteral("pathRules")))
        r.pathRules = node.list<PathRule>(QStringLiteral("pathRules"), decodePathRule);
    r.defaultActionKind = Route::normalizedDefaultActionKind(node.optionalEnum<RuleActionKind>(
        QStringLiteral("defaultActionKind"),
        [](const QString& name) { return fromString<RuleActionKind>(name); }));
    // An empty list means the same as none and is never written back.
    r.defaultOpenBundleIDs = node.optionalStringList(QStringLiteral("defaultOpenBundleIDs"));
    if (r.defaultOpenBundleIDs && r.defaultOpenBundleIDs->isEmpty())
        r.defaultOpenBundleIDs.reset();
    r.utilities = node.list<PickerUtility>(QStringLiteral("utilities"), decodeUtility);
    r.enabledShortcuts =
        node.list<EnabledExternalUtility>(QStringLiteral("enabledShortcuts"), decodeExternal);
    r.enabledServices =
        node.list<EnabledExternalUtility>(QStringLiteral("enabledServices"), decodeExternal);
    r.enabledScripts =
        node.list<EnabledScriptUtility>(QStringLiteral("enabledScripts"), decodeScript);
    r.normalizeUtilities();
    return r;
}

std::variant<RouteStoreState, DecodeError> decode(const QByteArray& data) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return DecodeError{positionOf(data, parseError.offset), parseError.errorString()};
    if (!document.isObject())
        return DecodeError{QString(), QStringLiteral("expected an object at the top level")};
    try {
        const JsonNode root(document.object(), QString());
        RouteStoreState state;
        state.version = root.optionalInt64(QStringLiteral("version")).value_or(1);
        state.routes = root.requiredList<Route>(QStringLiteral("routes"), decodeRoute);
        return state;
    } catch (const DecodeError& error) {
        return error;
    }
}

QJsonObject encode(const Editor& e) {
    QJsonObject o{{QStringLiteral("bundleID"), e.bundleID},
                  {QStringLiteral("name"), e.name},
                  {QStringLiteral("opensFolder"), e.opensFolder},
                  {QStringLiteral("enabled"), e.enabled},
                  {QStringLiteral("manual"), e.manual}};
    if (e.urlSchemeTemplate)
        o.insert(QStringLiteral("urlSchemeTemplate"), *e.urlSchemeTemplate);
    return o;
}

QJsonObject encode(const Route& r) {
    QJsonObject o{
        {QStringLiteral("id"), r.id},
        {QStringLiteral("name"), r.name},
        {QStringLiteral("extensions"), toArray(r.extensions)},
        {QStringLiteral("probeIdentifiers"), toArray(r.probeIdentifiers)},
        {QStringLiteral("editors"),
         encodeAll(r.editors, [](const Editor& e) { return encode(e); })},
        {QStringLiteral("rules"),
         encodeAll(r.rules, [](const Rule& x) { return RuleCodec::encode(x); })},
        {QStringLiteral("defaultPreferenceOrder"), toArray(r.defaultPreferenceOrder)},
        {QStringLiteral("isCustom"), r.isCustom},
        {QStringLiteral("defaultActionKind"), toString(r.defaultActionKind)},
        {QStringLiteral("utilities"), encodeAll(r.utilities, encodeUtility)},
        {QStringLiteral("enabledShortcuts"), encodeAll(r.enabledShortcuts, encodeExternal)},
        {QStringLiteral("enabledServices"), encodeAll(r.enabledServices, encodeExternal)},
        {QStringLiteral("enabledScripts"), encodeAll(r.enabledScripts, encodeScript)},
    };
    if (r.activeBundleID)
        o.insert(QStringLiteral("activeBundleID"), *r.activeBundleID);
    if (r.defaultOpenBundleIDs && !r.defaultOpenBundleIDs->isEmpty())
        o.insert(QStringLiteral("defaultOpenBundleIDs"), toArray(*r.defaultOpenBundleIDs));
    return o;
}

QByteArray encode(const RouteStoreState& state) {
    const QJsonObject root{{QStringLiteral("version"), currentVersion},
                           {QStringLiteral("routes"),
                            encodeAll(state.routes, [](const Route& r) { return encode(r); })}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace RoutesFileCodec
