#include "app/TeachCommand.h"

#include "app/LinuxStoreRunner.h"
#include "app/RoutesFileOwner.h"
#include "app/SessionBusHandOff.h"
#include "app/StoreLoadReport.h"
#include "core/model/DefaultHandlerClaimer.h"
#include "core/model/RouteStore.h"
#include "core/model/RoutesFileLocation.h"
#include "core/model/TypeTeacher.h"

#include <QDir>
#include <QFileInfo>

namespace {
// The sample file, or none after printing why it cannot be one.
std::optional<QString> samplePath(const QStringList& arguments, QTextStream& err) {
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1Char('-'))) {
        err << TeachCommand::usage();
        return std::nullopt;
    }
    const QFileInfo info(arguments.first());
    if (!info.exists()) {
        err << "corvanta teach: " << arguments.first() << ": no such file\n";
        return std::nullopt;
    }
    if (info.isDir()) {
        err << "corvanta teach: " << arguments.first() << " is a folder, not a sample file\n";
        return std::nullopt;
    }
    return QDir::cleanPath(info.absoluteFilePath());
}
} // namespace

const char* TeachCommand::usage() {
    return "Usage: corvanta teach FILE\n";
}

int TeachCommand::run(const QStringList& arguments) {
    const auto path = samplePath(arguments, m_err);
    if (!path)
        return 2;
    // Nothing to ask the user when the answer could not be saved here.
    if (m_store.isReadOnly()) {
        m_err << "corvanta teach: the routes file is not this process's to write; nothing was "
                 "taught\n";
        return 1;
    }
    const bool loaded = StoreLoadReport::report(m_store, m_platform.alerts);
    DefaultHandlerClaimer claimer(m_platform.types, m_platform.workspace, m_platform.preferences,
                                  m_platform.alerts);
    // There is no settings window here: say where the editors are chosen instead.
    TypeTeacher teacher(m_store, m_platform.types, m_platform.alerts, claimer,
                        [this](const QString& routeID) {
                            const auto route = m_store.routeWithID(routeID);
                            m_out << "Choose the editors of " << (route ? route->name : routeID)
                                  << " in Corvanta's settings.\n";
                        });
    const auto routeID = teacher.addTypeFromURL(QUrl::fromLocalFile(*path));
    m_err.flush();
    if (!routeID) {
        m_out << "Nothing was taught.\n";
        m_out.flush();
        return 1;
    }
    m_out << "Route: " << *routeID << "\n";
    m_out.flush();
    if (!loaded) {
        m_err << "corvanta teach: the routes file could not be loaded, so this change was not "
                 "saved\n";
        return 1;
    }
    if (const std::optional<QString>& failure = m_store.lastWriteError()) {
        m_err << "corvanta teach: could not save " << m_store.filePath() << ": " << *failure
              << "\n";
        return 1;
    }
    return 0;
}

int TeachCommand::runOnLinux(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const auto path = samplePath(arguments, err);
    if (!path)
        return 2;
    // The running instance owns the routes file: it asks and writes there.
    if (SessionBusHandOff::teach(QUrl::fromLocalFile(*path))) {
        out << "Handed to the running Corvanta, which asks about " << *path << " there.\n";
        return 0;
    }
    const RoutesFileOwner owner(RoutesFileLocation::defaultFilePath());
    if (!owner.owns()) {
        err << "corvanta teach: " << owner.refusal()
            << " and cannot be reached on this session bus; teach the type there\n";
        return 1;
    }
    return runWithLinuxStore<TeachCommand>(arguments, out, err, RouteStore::Access::readWrite);
}
