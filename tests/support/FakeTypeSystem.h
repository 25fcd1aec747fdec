#pragma once

#include "core/platform/TypeSystem.h"

#include <QHash>
#include <QMap>

// A small type registry that behaves like shared-mime-info: types have parents,
// extensions map to types, aliases map to canonical types.
class FakeTypeSystem : public TypeSystem {
public:
    FakeTypeSystem();

    void addType(const QString& type, const QStringList& extensions = {},
                 const QStringList& parents = {}, const QString& description = {});
    void addAlias(const QString& alias, const QString& type) { m_aliases.insert(alias, type); }
    void setRecordedContentType(const QString& path, const QString& type) {
        m_recorded.insert(path, type);
    }

    std::optional<QString> typeForFilenameExtension(const QString& extension) const override;
    std::optional<QString> recognisedType(const QString& identifier) const override;
    bool conformsTo(const QString& type, const QString& parent) const override;
    QString typeDescription(const QString& type) const override;
    std::optional<QString> recordedContentType(const QString& path) const override;

private:
    QHash<QString, QString> m_byExtension;
    QHash<QString, QStringList> m_parents;
    QHash<QString, QString> m_descriptions;
    QHash<QString, QString> m_aliases;
    QHash<QString, QString> m_recorded;
};
