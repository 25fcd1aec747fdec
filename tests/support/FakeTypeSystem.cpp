#include "tests/support/FakeTypeSystem.h"

#include <algorithm>

FakeTypeSystem::FakeTypeSystem() {
    addType(QStringLiteral("application/octet-stream"), {}, {}, QStringLiteral("unknown"));
    addType(QStringLiteral("text/plain"), {QStringLiteral("txt"), QStringLiteral("text")},
            {QStringLiteral("application/octet-stream")}, QStringLiteral("plain text document"));
    addType(QStringLiteral("text/markdown"), {QStringLiteral("md"), QStringLiteral("markdown")},
            {QStringLiteral("text/plain")}, QStringLiteral("Markdown document"));
    addType(QStringLiteral("text/html"), {QStringLiteral("html"), QStringLiteral("htm")},
            {QStringLiteral("text/plain")}, QStringLiteral("HTML document"));
    addAlias(QStringLiteral("public.plain-text"), QStringLiteral("text/plain"));
    addAlias(QStringLiteral("public.utf8-plain-text"), QStringLiteral("text/plain"));
    addAlias(QStringLiteral("net.daringfireball.markdown"), QStringLiteral("text/markdown"));
    addAlias(QStringLiteral("public.markdown"), QStringLiteral("text/markdown"));
    addAlias(QStringLiteral("public.html"), QStringLiteral("text/html"));
    addAlias(QStringLiteral("public.data"), QStringLiteral("application/octet-stream"));
}

void FakeTypeSystem::addType(const QString& type, const QStringList& extensions,
                             const QStringList& parents, const QString& description) {
    for (const QString& ext : extensions)
        m_byExtension.insert(ext.toLower(), type);
    m_parents.insert(type, parents);
    m_descriptions.insert(type, description);
}

std::optional<QString> FakeTypeSystem::typeForFilenameExtension(const QString& extension) const {
    const QString type = m_byExtension.value(extension.toLower());
    return type.isEmpty() ? std::nullopt : std::optional(type);
}

std::optional<QString> FakeTypeSystem::recognisedType(const QString& identifier) const {
    if (m_parents.contains(identifier))
        return identifier;
    const QString type = m_aliases.value(identifier);
    return type.isEmpty() ? std::nullopt : std::optional(type);
}

bool FakeTypeSystem::conformsTo(const QString& type, const QString& parent) const {
    const QString a = recognisedType(type).value_or(type);
    const QString b = recognisedType(parent).value_or(parent);
    if (a == b)
        return true;
    const QStringList parents = m_parents.value(a);
    return std::any_of(parents.begin(), parents.end(),
                       [&](const QString& p) { return conformsTo(p, b); });
}

QString FakeTypeSystem::typeDescription(const QString& type) const {
    return m_descriptions.value(recognisedType(type).value_or(type));
}

std::optional<QString> FakeTypeSystem::recordedContentType(const QString& path) const {
    if (m_recorded.contains(path))
        return m_recorded.value(path);
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > path.lastIndexOf(QLatin1Char('/')))
        return typeForFilenameExtension(path.mid(dot + 1));
    return std::nullopt;
}
