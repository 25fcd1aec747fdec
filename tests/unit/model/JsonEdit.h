#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QVariant>
#include <optional>

// Test helper: edits one value of a JSON document addressed like a decoding error
// path ("routes[0].editors[1].manual"). An absent value removes the key.
namespace JsonEdit {

inline QVariantList tokens(const QString& path) {
    QVariantList result;
    static const QRegularExpression part(QStringLiteral("([^.\\[\\]]+)|\\[(\\d+)\\]"));
    auto it = part.globalMatch(path);
    while (it.hasNext()) {
        const auto match = it.next();
        if (match.hasCaptured(1))
            result.append(match.captured(1));
        else
            result.append(match.captured(2).toInt());
    }
    return result;
}

inline QJsonValue edited(const QJsonValue& node, QVariantList path,
                         const std::optional<QJsonValue>& value) {
    const QVariant step = path.takeFirst();
    if (step.typeId() == QMetaType::Int) {
        QJsonArray array = node.toArray();
        const int index = step.toInt();
        if (index >= array.size())
            array.append(QJsonValue()); // an edit one past the end appends
        if (path.isEmpty()) {
            if (value)
                array[index] = *value;
            else
                array.removeAt(index);
        } else {
            array[index] = edited(array.at(index), path, value);
        }
        return array;
    }
    QJsonObject object = node.toObject();
    const QString key = step.toString();
    if (path.isEmpty()) {
        if (value)
            object.insert(key, *value);
        else
            object.remove(key);
    } else {
        object.insert(key, edited(object.value(key), path, value));
    }
    return object;
}

inline QJsonObject set(const QJsonObject& root, const QString& path, const QJsonValue& value) {
    return edited(root, tokens(path), value).toObject();
}

inline QJsonObject remove(const QJsonObject& root, const QString& path) {
    return edited(root, tokens(path), std::nullopt).toObject();
}

inline QJsonObject parse(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

inline QByteArray bytes(const QJsonObject& root) {
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace JsonEdit
