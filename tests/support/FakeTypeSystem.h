#pragma once

#include "core/platform/TypeSystem.h"

#include <QHash>
#include <algorithm>

// A small type registry that behaves like shared-mime-info: types have parents,
// extensions map to types, aliases map to canonical types.
class FakeTypeSystem : public TypeSystem {
public:
    FakeTypeSystem() {
        addType("application/octet-stream", {}, {}, "unknown");
        addType("text/plain", {"txt", "text"}, {"application/octet-stream"}, "plain text document");
        addType("text/markdown", {"md", "markdown"}, {"text/plain"}, "Markdown document");
        addType("text/html", {"html", "htm"}, {"text/plain"}, "HTML document");
        for (const char* alias : {"public.plain-text", "public.utf8-plain-text"})
            m_aliases.insert(alias, "text/plain");
        for (const char* alias : {"net.daringfireball.markdown", "public.markdown"})
            m_aliases.insert(alias, "text/markdown");
        m_aliases.insert("public.html", "text/html");
        m_aliases.insert("public.data", "application/octet-stream");
    }

    void addType(const QString& type, const QStringList& extensions = {},
                 const QStringList& parents = {}, const QString& description = {}) {
        for (const QString& ext : extensions)
            m_byExtension.insert(ext.toLower(), type);
        m_parents.insert(type, parents);
        m_descriptions.insert(type, description);
    }
    // The type the file's contents were recorded as, instead of its extension's.
    QHash<QString, QString> recordedTypes;

    std::optional<QString> typeForFilenameExtension(const QString& extension) const override {
        return found(m_byExtension.value(extension.toLower()));
    }
    std::optional<QString> recognisedType(const QString& identifier) const override {
        return m_parents.contains(identifier) ? std::optional(identifier)
                                              : found(m_aliases.value(identifier));
    }
    bool conformsTo(const QString& type, const QString& parent) const override {
        const QString a = recognisedType(type).value_or(type);
        const QString b = recognisedType(parent).value_or(parent);
        const QStringList parents = m_parents.value(a);
        return a == b || std::any_of(parents.begin(), parents.end(),
                                     [&](const QString& p) { return conformsTo(p, b); });
    }
    QString typeDescription(const QString& type) const override {
        return m_descriptions.value(recognisedType(type).value_or(type));
    }
    std::optional<QString> recordedContentType(const QString& path) const override {
        if (recordedTypes.contains(path))
            return recordedTypes.value(path);
        const qsizetype dot = path.lastIndexOf('.');
        return dot > path.lastIndexOf('/') ? typeForFilenameExtension(path.mid(dot + 1))
                                           : std::nullopt;
    }

private:
    static std::optional<QString> found(const QString& type) {
        return type.isEmpty() ? std::nullopt : std::optional(type);
    }

    QHash<QString, QString> m_byExtension, m_descriptions, m_aliases;
    QHash<QString, QStringList> m_parents;
};
