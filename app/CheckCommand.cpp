#include "app/CheckCommand.h"

#include "core/model/RoutesFileCodec.h"

#include <QFile>
#include <QFileInfo>

CheckCommand::CheckCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err) {}

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
    const RouteStoreState& state = std::get<RouteStoreState>(result);
    for (const Route& route : state.routes)
        m_out << route.name << " (" << route.id << ")\n";
    return 0;
}
