#include "core/platform/StartupTimeline.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {
qint64 bootClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The kernel's record of when this process started, in clock ticks since
// boot; fields after the command name, which may hold spaces, are counted
// from its closing parenthesis.
qint64 processStartNs() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return bootClockNs();
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // starttime is field 22 of the whole line, the 20th after the name.
    constexpr int startTimeAfterName = 19;
    bool ok = false;
    const qint64 ticks = fields.value(startTimeAfterName).toLongLong(&ok);
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    return ok && perSecond > 0 ? ticks * (1000000000 / perSecond) : bootClockNs();
}

struct Timeline {
    qint64 start = processStartNs();
    qint64 previous = start;
    QList<const char*> reached;
};
} // namespace

namespace StartupTimeline {
void mark(const char* moment) {
    static const bool enabled = qEnvironmentVariableIsSet("CORVANTA_STARTUP_TIMELINE");
    if (!enabled)
        return;
    static Timeline timeline;
    if (timeline.reached.contains(moment))
        return;
    timeline.reached.append(moment);
    const qint64 now = bootClockNs();
    std::fprintf(stderr, "corvanta: startup %8.2f ms (+%6.2f) %s\n",
                 double(now - timeline.start) / 1e6, double(now - timeline.previous) / 1e6, moment);
    timeline.previous = now;
}
} // namespace StartupTimeline
