#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What went wrong while decoding, and where: `routes[2].editors[0]: missing key "manual"`
// (a missing key is reported at its object, any other problem at the value itself).
struct DecodeError {
    QString path;
    QString problem;
    QString description() const {
        return path.isEmpty() ? problem : path + QStringLiteral(": ") + problem;
    }
    bool operator==(const DecodeError&) const = default;
};

// A JSON object being decoded, with the path that leads to it. Accessors throw
// DecodeError naming the offending value; `null` reads as a missing key.
class JsonNode {
public:
    JsonNode(QJsonValue value, QString path);

    const QString& path() const { return m_path; }
    const QJsonValue& value() const { return m_value; }
    // Present and not null.
    bool has(const QString& key) const;
    JsonNode child(const QString& key) const;

    QString requiredString(const QString& key) const;
    std::optional<QString> optionalString(const QString& key) const;
    bool requiredBool(const QString& key) const;
    std::optional<bool> optionalBool(const QString& key) const;
    std::optional<qint64> optionalInt64(const QString& key) const;
    std::optional<QStringList> optionalStringList(const QString& key) const;
    // Decodes each element of the array under `key` (missing: empty) with `element`.
    template <typename T>
    QList<T> list(const QString& key, const std::function<T(const JsonNode&)>& element) const;
    template <typename T>
    QList<T> requiredList(const QString& key,
                          const std::function<T(const JsonNode&)>& element) const;
    // An enumeration case by its stored name.
    template <typename E>
    std::optional<E>
    optionalEnum(const QString& key,
                 const std::function<std::optional<E>(const QString&)>& parse) const;
    template <typename E>
    E requiredEnum(const QString& key,
                   const std::function<std::optional<E>(const QString&)>& parse) const;

    [[noreturn]] void fail(const QString& problem) const;
    [[noreturn]] void failAt(const QString& key, const QString& problem) const;
    [[noreturn]] void failMissing(const QString& key) const;

private:
    QString keyPath(const QString& key) const;
    QJsonValue field(const QString& key) const;
    QJsonArray array(const QString& key) const;
    template <typename T>
    QList<T> elements(const QString& key, const QJsonArray& array,
                      const std::function<T(const JsonNode&)>& element) const;

    QJsonValue m_value;
    QString m_path;
};

// The JSON type of a value in words, for messages ("a number").
QString describeJsonType(const QJsonValue& value);

template <typename T>
QList<T> JsonNode::elements(const QString& key, const QJsonArray& array,
                            const std::function<T(const JsonNode&)>& element) const {
    QList<T> result;
    result.reserve(array.size());
    const QString base = keyPath(key);
    for (qsizetype i = 0; i < array.size(); ++i)
        result.append(element(JsonNode(array.at(i), base + QLatin1Char('[') + QString::number(i) +
                                                        QLatin1Char(']'))));
    return result;
}

template <typename T>
QList<T> JsonNode::list(const QString& key,
                        const std::function<T(const JsonNode&)>& element) const {
    if (!has(key))
        return {};
    return elements(key, array(key), element);
}

template <typename T>
QList<T> JsonNode::requiredList(const QString& key,
                                const std::function<T(const JsonNode&)>& element) const {
    if (!has(key))
        failMissing(key);
    return elements(key, array(key), element);
}

template <typename E>
std::optional<E>
JsonNode::optionalEnum(const QString& key,
                       const std::function<std::optional<E>(const QString&)>& parse) const {
    const std::optional<QString> name = optionalString(key);
    if (!name)
        return std::nullopt;
    std::optional<E> value = parse(*name);
    if (!value)
        failAt(key, QStringLiteral("unknown value \"%1\"").arg(*name));
    return value;
}

template <typename E>
E JsonNode::requiredEnum(const QString& key,
                         const std::function<std::optional<E>(const QString&)>& parse) const {
    if (!has(key))
        failMissing(key);
    return *optionalEnum<E>(key, parse);
}
