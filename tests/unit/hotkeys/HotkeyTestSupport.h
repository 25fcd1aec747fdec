#pragma once

#include "core/model/Rule.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Shortcut.h"
#include "core/platform/ShortcutModifiers.h"
#include "tests/support/CoreAppTest.h"
#include "tests/support/RuleBuilders.h"

#include <optional>

namespace hotkeytest {
inline const Shortcut superShiftE{Qt::Key_E,
                                  {ShortcutModifiers::command | ShortcutModifiers::shift}};
inline const Shortcut ctrlAltF5{Qt::Key_F5,
                                {ShortcutModifiers::control | ShortcutModifiers::option}};

using RuleBuilders::hotkey;

// The recorder's refusals, as the texts table words them here.
inline const QString needsAModifier = PlatformTexts::text("\u2318 \u2325 or \u2303 required");
inline const QString needsSuper = PlatformTexts::text("\u2318 required (except F-keys)");

// A rule whose only condition is its own hotkey ("rule-" + id).
inline Rule hotkeyRule(const QString& id, bool enabled = true) {
    Rule rule = RuleBuilders::rule({}, RuleBuilders::openIn({"org.gnome.TextEditor"}), enabled);
    rule.id = id;
    rule.when = RuleBuilders::allOf({hotkey(rule.hotkeyName())});
    return rule;
}

} // namespace hotkeytest
