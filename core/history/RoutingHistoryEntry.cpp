#include "core/history/RoutingHistoryEntry.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QStringDecoder>
#include <array>

namespace {
template <typename Enum, std::size_t N>
std::optional<Enum> fromName(const std::array<std::pair<Enum, const char*>, N>& names,
                             const QString& text) {
    for (const auto& [value, name] : names) {
        if (text == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}

template <typename Enum, std::size_t N>
QString toName(const std::array<std::pair<Enum, const char*>, N>& names, Enum value) {
    for (const auto& [candidate, name] : names) {
        if (candidate == value)
            return QLatin1String(name);
    }
    return {};
}

using Arrival = RoutingArrival::Kind;
using Outcome = RoutingHistoryEntry::Outcome;
constexpr std::array<std::pair<Arrival, const char*>, 4> arrivalNames{{
    {Arrival::open, "open"},
    {Arrival::link, "link"},
    {Arrival::hotkey, "hotkey"},
    {Arrival::fileManagerAction, "file-manager-action"},
}};
constexpr std::array<std::pair<Outcome, const char*>, 6> outcomeNames{{
    {Outcome::opened, "opened"},
    {Outcome::pickerChose, "picker-chose"},
    {Outcome::pickerCancelled, "picker-cancelled"},
    {Outcome::utilityRun, "utility-run"},
    {Outcome::failed, "failed"},
    {Outcome::notRouted, "not-routed"},
}};

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QJsonValue optionalText(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue();
}

std::optional<QString> optionalText(const QJsonValue& value) {
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

QString editorNames(const QList<RoutingHistoryEntry::EditorRef>& editors) {
    QStringList names;
    for (const auto& editor : editors)
        names.append(editor.name.isEmpty() ? editor.desktopID : editor.name);
    return names.join(QStringLiteral(", "));
}
} // namespace

QString RoutingHistoryEntry::toString(Arrival arrival) {
    return toName(arrivalNames, arrival);
}

QString RoutingHistoryEntry::toString(Outcome outcome) {
    return toName(outcomeNames, outcome);
}

QString RoutingHistoryEntry::displayPath() const {
    return QString::fromUtf8(path);
}

QJsonObject RoutingHistoryEntry::toJson() const {
    QJsonArray editorList;
    for (const EditorRef& editor : editors)
        editorList.append(QJsonObject{{QStringLiteral("desktopID"), editor.desktopID},
                                      {QStringLiteral("name"), editor.name}});
    QJsonObject object{
        {QStringLiteral("when"), when.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("file"), displayPath()},
        {QStringLiteral("arrival"), toString(arrival.kind)},
        {QStringLiteral("hotkeys"), QJsonArray::fromStringList(arrival.hotkeys)},
        {QStringLiteral("ruleForced"), arrival.ruleForced},
        {QStringLiteral("route"), routeID.isEmpty() ? QJsonValue() : QJsonValue(routeID)},
        {QStringLiteral("routeName"), routeID.isEmpty() ? QJsonValue() : QJsonValue(routeName)},
        {QStringLiteral("rule"),
         routeID.isEmpty() ? QJsonValue() : QJsonValue(ruleID.value_or(QStringLiteral("default")))},
        {QStringLiteral("ruleName"),
         routeID.isEmpty()
             ? QJsonValue()
             : (ruleID ? optionalText(ruleName) : QJsonValue(QStringLiteral("Default Rule")))},
        {QStringLiteral("outcome"), toString(outcome)},
        {QStringLiteral("editors"), editorList},
        {QStringLiteral("utility"), utility.isEmpty() ? QJsonValue() : QJsonValue(utility)},
        {QStringLiteral("failure"), failure.isEmpty() ? QJsonValue() : QJsonValue(failure)},
    };
    // "file" is for reading; the bytes make the path exact when they are not text.
    if (!isUtf8(path))
        object.insert(QStringLiteral("fileBytes"), QString::fromLatin1(path.toBase64()));
    return object;
}

std::optional<RoutingHistoryEntry> RoutingHistoryEntry::fromJson(const QJsonObject& object) {
    RoutingHistoryEntry entry;
    entry.when =
        QDateTime::fromString(object.value(QStringLiteral("when")).toString(), Qt::ISODateWithMs);
    const QJsonValue bytes = object.value(QStringLiteral("fileBytes"));
    entry.path = bytes.isString() ? QByteArray::fromBase64(bytes.toString().toLatin1())
                                  : object.value(QStringLiteral("file")).toString().toUtf8();
    const auto arrival = fromName(arrivalNames, object.value(QStringLiteral("arrival")).toString());
    const auto outcome = fromName(outcomeNames, object.value(QStringLiteral("outcome")).toString());
    if (!entry.when.isValid() || entry.path.isEmpty() || !arrival || !outcome)
        return std::nullopt;
    entry.arrival.kind = *arrival;
    entry.outcome = *outcome;
    for (const QJsonValue& hotkey : object.value(QStringLiteral("hotkeys")).toArray())
        entry.arrival.hotkeys.append(hotkey.toString());
    entry.arrival.ruleForced = object.value(QStringLiteral("ruleForced")).toBool();
    entry.routeID = object.value(QStringLiteral("route")).toString();
    entry.routeName = object.value(QStringLiteral("routeName")).toString();
    const QString rule = object.value(QStringLiteral("rule")).toString();
    if (!rule.isEmpty() && rule != QLatin1String("default")) {
        entry.ruleID = rule;
        entry.ruleName = optionalText(object.value(QStringLiteral("ruleName")));
    }
    for (const QJsonValue& editor : object.value(QStringLiteral("editors")).toArray()) {
        entry.editors.append({editor[QStringLiteral("desktopID")].toString(),
                              editor[QStringLiteral("name")].toString()});
    }
    entry.utility = object.value(QStringLiteral("utility")).toString();
    entry.failure = object.value(QStringLiteral("failure")).toString();
    return entry;
}

QString RoutingHistoryEntry::outcomeText() const {
    QString what;
    switch (outcome) {
    case Outcome::opened:
        what = QStringLiteral("opened in ") + editorNames(editors);
        break;
    case Outcome::pickerChose:
        what = QStringLiteral("picker: chose ") + editorNames(editors);
        break;
    case Outcome::pickerCancelled:
        what = QStringLiteral("picker: cancelled");
        break;
    case Outcome::utilityRun:
        what = QStringLiteral("ran ") + utility;
        break;
    case Outcome::failed:
        what = QStringLiteral("failed: ") + failure;
        break;
    case Outcome::notRouted:
        what = QStringLiteral("no route");
        break;
    }
    return what;
}

QString RoutingHistoryEntry::summaryLine() const {
    const QString what = outcomeText();
    QString how;
    if (!arrival.hotkeys.isEmpty())
        how = QStringLiteral("  [") + arrival.hotkeys.join(QStringLiteral(", ")) + QLatin1Char(']');
    const QString rule =
        routeID.isEmpty() ? QStringLiteral("-")
                          : (ruleID ? ruleName.value_or(*ruleID) : QStringLiteral("Default Rule"));
    return when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral("  ") + QFileInfo(displayPath()).fileName() + QStringLiteral("  ") +
           (routeID.isEmpty() ? QStringLiteral("-") : routeName) + QStringLiteral("  ") + rule +
           (arrival.ruleForced ? QStringLiteral(" (forced)") : QString()) + QStringLiteral("  ") +
           what + how;
}
