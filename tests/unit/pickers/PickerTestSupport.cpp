#include "tests/unit/pickers/PickerTestSupport.h"

#include <QApplication>

void ensureApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_pickers";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

PickerChoice editorChoice(const QString& name) {
    Editor e;
    e.bundleID = QStringLiteral("org.example.") + name;
    e.name = name;
    return {e};
}

PickerChoice utilityChoice(PickerUtilityKind kind) {
    return {PickerUtility::makeDefault(kind)};
}

PickerChoice shortcutChoice(const QString& name) {
    return {ExternalUtilityRef::shortcut({QStringLiteral("sc-") + name, name})};
}

PickerChoice serviceChoice(const QString& name) {
    return {ExternalUtilityRef::service({QStringLiteral("sv-") + name, name})};
}
