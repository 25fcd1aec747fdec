#pragma once

#include "core/routing/OpenRequest.h"

#include <QList>
#include <QUrl>
#include <optional>

// The x-corvanta://open?file=PATH&rule=RULE link: parsing, the checks on its
// paths, and the ready-made link the settings window copies for a rule.

// The scheme of Corvanta's links, compared ignoring case.
inline constexpr char openRequestScheme[] = "x-corvanta";

// None unless the link is x-corvanta://open (ignoring case) with at least one
// non-empty `file` item. Item names are case-sensitive; the last non-empty
// `rule` wins; "+" stays a plus sign.
std::optional<OpenRequest> parseOpenRequest(const QUrl& url);

// The link template for a rule: "x-corvanta://open?rule=" + encoded id + "&file=".
QString urlSchemeTemplate(const QString& ruleID);

struct CheckedLinkPaths {
    QList<QUrl> accepted;
    int rejected = 0;
    bool operator==(const CheckedLinkPaths&) const = default;
};
// Keeps the absolute paths that name an existing item that is not a folder,
// as file URLs in link order; counts the others.
CheckedLinkPaths checkLinkPaths(const QList<QByteArray>& paths);
