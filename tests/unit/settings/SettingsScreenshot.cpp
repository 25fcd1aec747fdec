// Shows the settings window on sample routes and saves a picture of each tab
// and each sheet, to look at how they render:
//   settings_screenshot [OUT_DIR]
#include "core/settings/ApplicationChooserDialog.h"
#include "tests/unit/settings/SettingsTestSupport.h"

#include <QTimer>

namespace {
bool save(QWidget* widget, const QString& dir, const QString& name) {
    QApplication::processEvents();
    return widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);
    SettingsWorld world;
    Route org = orgRoute();
    org.editors[0].urlSchemeTemplate = QStringLiteral("x-alpha://open?file={filepath}");
    org.rules[0].name = QStringLiteral("Notes in Alpha");
    world.fake.shortcuts.shortcuts.insert(
        QStringLiteral("rule-R2"), Shortcut{Qt::Key_O, Qt::ControlModifier | Qt::AltModifier});
    org.rules[1].when.predicates.append(RuleBuilders::hotkey(QStringLiteral("rule-R2")));
    world.open({org});
    SettingsWindowController& window = *world.window;
    window.show(QStringLiteral("custom.org"));

    int failures = 0;
    QTimer::singleShot(300, [&] {
        const char* tabs[] = {"general", "editors", "order", "rules"};
        for (int i = 0; i < 4; ++i) {
            window.tabs()->setCurrentIndex(i);
            failures += !save(&window, out, QStringLiteral("tab-") + QLatin1String(tabs[i]));
        }
        QListWidget* rules = window.findChild<QListWidget*>(QStringLiteral("rulesTableView"));
        rules->setCurrentRow(1);
        world.click("editRuleButton");
        failures += !save(window.ruleSheet(), out, QStringLiteral("sheet-rule-edit"));
        window.ruleSheet()->actionPopup()->setCurrentIndex(1);
        failures += !save(window.ruleSheet(), out, QStringLiteral("sheet-rule-best-running"));
        window.ruleSheet()->reject();
        world.click("addRuleButton");
        failures += !save(window.ruleSheet(), out, QStringLiteral("sheet-rule-add"));
        window.ruleSheet()->reject();
        rules->setCurrentRow(rules->count() - 1);
        world.click("editRuleButton");
        failures += !save(window.defaultRuleSheet(), out, QStringLiteral("sheet-default-rule"));
        window.defaultRuleSheet()->modePopup()->setCurrentIndex(1);
        failures += !save(window.defaultRuleSheet(), out, QStringLiteral("sheet-default-select"));
        window.defaultRuleSheet()->reject();
        EditorURLTemplateSheet templateSheet(QStringLiteral("Alpha"), std::nullopt, {}, &window);
        templateSheet.show();
        failures += !save(&templateSheet, out, QStringLiteral("sheet-url-template"));
        ApplicationChooserDialog chooser(world.fake.workspace.installedApplications(),
                                         QStringLiteral("Choose"),
                                         QStringLiteral("Choose the terminal app used to open "
                                                        "parent folders."),
                                         &window);
        chooser.show();
        failures += !save(&chooser, out, QStringLiteral("application-chooser"));
        failures += !save(world.child("permissionsSection"), out, QStringLiteral("permissions"));
        app.exit(failures);
    });
    // Script mode on a desktop that has each global shortcut confirmed.
    SettingsWorld scripts;
    scripts.applicationScriptsMode = true;
    scripts.fake.shortcuts.confirmsBindings = true;
    scripts.open({org});
    QTimer::singleShot(200, [&] {
        failures +=
            !save(scripts.child("permissionsSection"), out, QStringLiteral("permissions-scripts"));
    });
    return app.exec();
}
