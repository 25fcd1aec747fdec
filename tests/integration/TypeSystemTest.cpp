#include "platform/linux/GioTypeSystem.h"

#include <gtest/gtest.h>

namespace {
using Type = std::optional<QString>;

TEST(GioTypeSystem, ExtensionsAndStoredIdentifiersMapToRealTypesOnly) {
    const GioTypeSystem types;
    const std::pair<const char*, Type> extensions[] = {
        {"MD", "text/markdown"},
        {"html", "text/html"},   // shared-mime-info is unsure, yet it is a real type
        {"zzqqx", std::nullopt}, // a guess of octet-stream is no type
        {"", std::nullopt},
    };
    for (const auto& [extension, expected] : extensions)
        EXPECT_EQ(types.typeForFilenameExtension(extension), expected) << extension;
    const std::pair<const char*, Type> identifiers[] = {
        {"public.utf8-plain-text", "text/plain"},
        {"net.daringfireball.markdown", "text/markdown"},
        {"public.data", "application/octet-stream"},
        {"text/x-markdown", "text/markdown"}, // an alias comes back canonical
        {"com.example.unknown", std::nullopt},
        {"x-scheme-handler/http", std::nullopt},
    };
    for (const auto& [identifier, expected] : identifiers)
        EXPECT_EQ(types.recognisedType(identifier), expected) << identifier;
    // GIO makes up "foo/bar type"; an unknown type has no description here.
    EXPECT_TRUE(types.typeDescription("foo/bar").isEmpty());
}

TEST(GioTypeSystem, ConformanceFollowsTheMimeHierarchyThroughAliases) {
    const GioTypeSystem types;
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"text/markdown", "public.plain-text", true},
        {"net.daringfireball.markdown", "public.data", true},
        {"text/x-markdown", "text/markdown", true},
        {"text/plain", "text/markdown", false},
        {"inode/directory", "public.data", false},
    };
    for (const auto& [child, parent, expected] : cases)
        EXPECT_EQ(types.conformsTo(child, parent), expected) << child << " / " << parent;
}
} // namespace
