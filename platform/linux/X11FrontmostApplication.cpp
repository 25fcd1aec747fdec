#include "platform/linux/X11FrontmostApplication.h"

#include "platform/linux/GLibPointers.h"
#include "platform/linux/XcbConnection.h"

#include <QFile>
#include <QFileInfo>
#include <gio/gdesktopappinfo.h>

namespace {
std::optional<QString> textProperty(XcbConnection& x, xcb_window_t window, const char* name) {
    const auto value = x.property(window, x.atom(name));
    if (!value || value->format != 8 || value->data.isEmpty())
        return std::nullopt;
    QByteArray text = value->data;
    if (text.endsWith('\0'))
        text.chop(1);
    if (text.isEmpty())
        return std::nullopt;
    return QString::fromUtf8(text);
}

QString withoutDesktopSuffix(QString id) {
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

bool entryExists(const QString& bundleID) {
    const QByteArray file = (bundleID + QStringLiteral(".desktop")).toUtf8();
    return GObjectPtr<GDesktopAppInfo>(g_desktop_app_info_new(file.constData())) != nullptr;
}

} // namespace

std::optional<QString> X11FrontmostApplication::bundleIDForWindow(const WindowFacts& facts,
                                                                  const DesktopLookup& lookup) {
    // Thunar calls itself org.xfce.Thunar but installs thunar.desktop.
    if (facts.gtkApplicationID && lookup.exists(*facts.gtkApplicationID))
        return facts.gtkApplicationID;
    if (facts.kdeDesktopFile) {
        const QString id = withoutDesktopSuffix(*facts.kdeDesktopFile);
        if (lookup.exists(id))
            return id;
    }
    QStringList names;
    for (const auto& name : {facts.wmClass, facts.wmInstance}) {
        if (name && !name->isEmpty() && !names.contains(*name))
            names.append(*name);
    }
    for (const QString& name : names) {
        const QStringList ids = lookup.withStartupWMClass(name);
        if (!ids.isEmpty())
            return ids.first();
    }
    for (const QString& name : names) {
        const QString id = name.toLower();
        if (lookup.exists(id))
            return id;
    }
    if (facts.executable) {
        const QStringList ids = lookup.withProgram(*facts.executable);
        if (!ids.isEmpty())
            return ids.first();
    }
    return std::nullopt;
}

X11FrontmostApplication::X11FrontmostApplication() = default;
X11FrontmostApplication::~X11FrontmostApplication() = default;

XcbConnection* X11FrontmostApplication::connection() const {
    // A server that went away (or restarted) is asked again through a new one.
    if (m_x && xcb_connection_has_error(m_x->get()))
        m_x.reset();
    if (!m_x)
        m_x = XcbConnection::open();
    return m_x.get();
}

std::optional<X11FrontmostApplication::WindowFacts>
X11FrontmostApplication::activeWindowFacts() const {
    XcbConnection* x = connection();
    if (!x)
        return std::nullopt;
    const std::optional<uint32_t> window =
        x->cardinal(x->root(), x->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    if (!window || *window == XCB_NONE)
        return std::nullopt;
    WindowFacts facts;
    facts.gtkApplicationID = textProperty(*x, *window, "_GTK_APPLICATION_ID");
    facts.kdeDesktopFile = textProperty(*x, *window, "_KDE_NET_WM_DESKTOP_FILE");
    if (const auto wmClass = x->property(*window, XCB_ATOM_WM_CLASS);
        wmClass && wmClass->format == 8) {
        const QList<QByteArray> parts = wmClass->data.split('\0');
        if (!parts.value(0).isEmpty())
            facts.wmInstance = QString::fromUtf8(parts.value(0));
        if (!parts.value(1).isEmpty())
            facts.wmClass = QString::fromUtf8(parts.value(1));
    }
    if (const auto pid = x->cardinal(*window, x->atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
        pid && *pid > 0) {
        facts.processID = qint64(*pid);
        const QString target =
            QFileInfo(QStringLiteral("/proc/%1/exe").arg(*pid)).canonicalFilePath();
        if (!target.isEmpty())
            facts.executable = target;
    }
    return facts;
}

std::optional<QString> X11FrontmostApplication::frontmostBundleID() const {
    const std::optional<WindowFacts> facts = activeWindowFacts();
    if (!facts)
        return std::nullopt;
    m_index.refreshIfStale();
    // Window classes from the index: not a read of every entry at each hotkey press.
    DesktopLookup lookup{
        entryExists,
        [this](const QString& wmClass) { return m_index.bundleIDsForStartupWMClass(wmClass); },
        [this](const QString& program) { return m_index.bundleIDsForProgram(program); }};
    return bundleIDForWindow(*facts, lookup);
}

std::optional<qint64> X11FrontmostApplication::frontmostProcessID() const {
    const std::optional<WindowFacts> facts = activeWindowFacts();
    return facts ? facts->processID : std::nullopt;
}
