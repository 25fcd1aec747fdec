#include "core/platform/PlatformTexts.h"

#include <iterator>

namespace PlatformTexts {
namespace {
// Add a row when a user-visible text names a macOS-only thing.
constexpr Replacement table[] = {
    {"Reveal in Finder", "Reveal in File Manager"},
};
} // namespace

QString text(const char* original) {
    for (const auto& row : table) {
        if (qstrcmp(row.original, original) == 0)
            return QString::fromUtf8(row.replacement);
    }
    return QString::fromUtf8(original);
}
} // namespace PlatformTexts
