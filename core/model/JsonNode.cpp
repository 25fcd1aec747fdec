#include "core/model/JsonNode.h"

#include <cmath>

QString describeJsonType(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

JsonNode::JsonNode(QJsonValue value, QString path)
    : m_value(std::move(value))
    , m_path(std::move(path)) {
    if (!m_value.isObject())
        fail(QStringLiteral("expected an object, found %1").arg(describeJsonType(m_value)));
}

void JsonNode::fail(const QString& problem) const {
    throw DecodeError{m_path, problem};
}

void JsonNode::failAt(const QString& key, const QString& problem) const {
    throw DecodeError{keyPath(key), problem};
}

void JsonNode::failMissing(const QString& key) const {
    fail(QStringLiteral("missing key \"%1\"").arg(key));
}

QString JsonNode::keyPath(const QString& key) const {
    return m_path.isEmpty() ? key : m_path + QLatin1Char('.') + key;
}

QJsonValue JsonNode::field(const QString& key) const {
    return m_value.toObject().value(key);
}

bool JsonNode::has(const QString& key) const {
    const QJsonValue v = field(key);
    return !v.isUndefined() && !v.isNull();
}

JsonNode JsonNode::child(const QString& key) const {
    if (!has(key))
        failMissing(key);
    return JsonNode(field(key), keyPath(key));
}

namespace {
QString expected(const char* what, const QJsonValue& found) {
    return QStringLiteral("expected %1, found %2")
        .arg(QLatin1String(what), describeJsonType(found));
}
} // namespace

std::optional<QString> JsonNode::optionalString(const QString& key) const {
    if (!has(key))
        return std::nullopt;
    const QJsonValue v = field(key);
    if (!v.isString())
        failAt(key, expected("a string", v));
    return v.toString();
}

QString JsonNode::requiredString(const QString& key) const {
    if (!has(key))
        failMissing(key);
    return *optionalString(key);
}

std::optional<bool> JsonNode::optionalBool(const QString& key) const {
    if (!has(key))
        return std::nullopt;
    const QJsonValue v = field(key);
    if (!v.isBool())
        failAt(key, expected("a boolean", v));
    return v.toBool();
}

bool JsonNode::requiredBool(const QString& key) const {
    if (!has(key))
        failMissing(key);
    return *optionalBool(key);
}

std::optional<qint64> JsonNode::optionalInt64(const QString& key) const {
    if (!has(key))
        return std::nullopt;
    const QJsonValue v = field(key);
    if (!v.isDouble())
        failAt(key, expected("an integer", v));
    const QVariant variant = v.toVariant();
    if (variant.typeId() == QMetaType::LongLong)
        return variant.toLongLong();
    // Doubles that hold an integer within range are integers too (2.0, 1e3).
    const double d = v.toDouble();
    if (std::trunc(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
        failAt(key, QStringLiteral("expected an integer, found %1").arg(d));
    return static_cast<qint64>(d);
}

QJsonArray JsonNode::array(const QString& key) const {
    const QJsonValue v = field(key);
    if (!v.isArray())
        failAt(key, expected("an array", v));
    return v.toArray();
}

std::optional<QStringList> JsonNode::optionalStringList(const QString& key) const {
    if (!has(key))
        return std::nullopt;
    const QJsonArray values = array(key);
    QStringList result;
    result.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values.at(i).isString())
            throw DecodeError{keyPath(key) + QStringLiteral("[%1]").arg(i),
                              expected("a string", values.at(i))};
        result.append(values.at(i).toString());
    }
    return result;
}
