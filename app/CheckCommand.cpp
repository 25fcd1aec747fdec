#include "app/CheckCommand.h"

#include "core/engine/RuleDescriptions.h"
#include "core/model/RoutesFileCodec.h"
#include "core/platform/ShortcutRegistry.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Stands in until the command reads the saved shortcut table.
class NoShortcuts : public ShortcutRegistry {
public:
    std::optional<Shortcut> getShortcut(const QString&) const override { return std::nullopt; }
    ShortcutGrab setShortcut(const std::optional<Shortcut>&, const QString&) override {
        return ShortcutGrab::unavailable;
    }
    ShortcutGrab onKeyDown(const QString&, Handler) override { return ShortcutGrab::unavailable; }
    void removeHandler(const QString&) override {}
    ShortcutGrab grabState(const QString&) const override { return ShortcutGrab::unavailable; }
    bool isEnabled() const override { return false; }
    void setEnabled(bool) override {}
    bool isHeldByAnotherProgram(const Shortcut&) override { return false; }
    bool canRepresent(const Shortcut&) const override { return false; }
    QString displayText(const Shortcut&) const override { return {}; }
};
} // namespace

CheckCommand::CheckCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
    , m_noShortcuts(std::make_unique<NoShortcuts>())
    , m_shortcuts(*m_noShortcuts) {}

CheckCommand::CheckCommand(QTextStream& out, QTextStream& err, const ShortcutRegistry& shortcuts)
    : m_out(out)
    , m_err(err)
    , m_shortcuts(shortcuts) {}

CheckCommand::~CheckCommand() = default;

int CheckCommand::run(const QStringList& arguments) {
    if (arguments.size() != 1) {
        m_err << "Usage: corvanta check FILE\n";
        return 2;
    }
    const QString path = arguments.first();
    if (QFileInfo(path).isDir()) {
        m_err << "corvanta: " << path << " is a folder, not a routes file\n";
        return 2;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_err << "corvanta: cannot read " << path << ": " << file.errorString() << "\n";
        return 2;
    }
    const auto result = RoutesFileCodec::decode(file.readAll());
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        m_err << path << ": " << error->description() << "\n";
        return 1;
    }
    const RuleDescriptions descriptions(m_shortcuts);
    const RouteStoreState& state = std::get<RouteStoreState>(result);
    for (const Route& route : state.routes) {
        m_out << route.name << " (" << route.id << ")\n";
        for (const Rule& rule : route.rules)
            m_out << "  " << descriptions.ruleSummary(rule, route.editors) << "\n";
        m_out << "  " << RuleDescriptions::defaultRuleSummary(route) << "\n";
    }
    return 0;
}
