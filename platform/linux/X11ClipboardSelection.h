#pragma once

#include "core/platform/FileManagerSelection.h"
#include "platform/linux/X11ClipboardOwner.h"
#include "platform/linux/XcbConnection.h"

#include <xcb/xfixes.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

// Asks the focused file manager window to copy its selection and reads the
// copied files from the clipboard, then gives the user's clipboard back:
// save every format of the clipboard (nothing is sent unless all of them
// could be read; what this process's Qt holds is read from Qt, whose event
// loop the step blocks), release the keys still held from the hotkey (which also
// ends the hotkey's grab), check that the input focus is still inside the
// active window, send Ctrl+C through XTEST, wait for that window's client to
// take the clipboard (XFIXES), read the file list as URIs (the only exact
// form: text targets mangle non-UTF-8 names), and own the clipboard again
// with every format it held before. A copy by another program in the
// meantime is the user's newest and stays; a copy that lands after the wait
// is still undone for a while. The restored contents are served by this
// object's connection for as long as it lives or until another program takes
// the clipboard, and handed to the clipboard manager when it goes.
class X11ClipboardSelection : public FileManagerSelection {
public:
    explicit X11ClipboardSelection(int ownerChangeTimeoutMs = 400, int formatTimeoutMs = 1000,
                                   int lateCopyWatchMs = 3000);
    ~X11ClipboardSelection() override;
    X11ClipboardSelection(const X11ClipboardSelection&) = delete;
    X11ClipboardSelection& operator=(const X11ClipboardSelection&) = delete;

    QList<QUrl> copySelection(const ScriptableFileManager& manager) override;

    // Runs a selection helper program with the user's clipboard saved and let
    // go of first, and gives it back afterwards: the helper finds it empty
    // (never waiting on this process to answer for it) and needs to restore
    // nothing, so a helper killed on time-out takes no clipboard with it.
    // Nothing runs when the clipboard could not be saved whole.
    QList<QUrl> aroundHelper(const std::function<QList<QUrl>()>& helper);

    // Microseconds from the start of the last run to the end of each step.
    struct Timings {
        qint64 saved = 0;
        qint64 keysSent = 0;
        qint64 ownerChanged = 0;
        qint64 read = 0;
        qint64 restored = 0;
    };
    const Timings& lastTimings() const { return m_timings; }
    // Whether this object holds the clipboard with the user's restored
    // contents, or still watches for a late copy to undo.
    bool servesClipboard() const { return (m_owner && m_owner->serving()) || m_late.pending(); }
    // Answers requests for the restored clipboard (and undoes a late copy)
    // until another program takes it or `deadline` passes.
    void serveClipboard(QDeadlineTimer deadline);
    // Hands the restored clipboard to the desktop's clipboard manager
    // (CLIPBOARD_MANAGER / SAVE_TARGETS), so that it outlives this process;
    // true when a manager took it.
    bool handToClipboardManager(QDeadlineTimer deadline);
    // After a fork that left the serving to the child: this process lets go of
    // the shared connection without a word to the server, which would
    // otherwise see the clipboard's window destroyed.
    void abandonConnection();

    // The native paths in a copied file list: text/uri-list (comments and
    // blank lines skipped), or GNOME's form with "copy"/"cut" on its first
    // line. URIs that are no local file are dropped; bytes are kept exactly.
    static QList<QByteArray> pathsFromURIList(const QByteArray& data, bool gnomeCopiedFiles);

private:
    using Format = X11ClipboardOwner::Format;
    // A copy made after the wait ended, still to be undone.
    struct LateCopy {
        QDeadlineTimer until{QDeadlineTimer::Forever};
        uint32_t client = 0;
        bool active = false;
        bool hadOwner = false;
        QList<Format> saved;
        bool pending() const { return active && !until.hasExpired(); }
    };
    bool ensureConnection();
    uint32_t clientOf(xcb_window_t window) const;
    std::optional<xcb_window_t> activeWindow();
    bool focusInside(xcb_window_t window);
    // Restores over a late copy made by the file manager; another program's
    // copy ends the watch.
    void watchLateCopy(const xcb_xfixes_selection_notify_event_t& notify);
    // Events that concern our ownership are answered here; true when consumed.
    bool handleOwnership(xcb_generic_event_t* event);
    XcbReply<xcb_generic_event_t> waitFor(const std::function<bool(xcb_generic_event_t*)>& wanted,
                                          QDeadlineTimer deadline);
    void drainEvents();
    // The clipboard's value as `target`, none when the owner refuses or does
    // not answer in time (then `timedOut` is set).
    std::optional<XcbConnection::Property> convert(xcb_atom_t target, int timeoutMs,
                                                   bool* timedOut = nullptr);
    // Every format of the clipboard; none when one of them could not be read.
    std::optional<QList<Format>> saveClipboard(bool& hadOwner);
    // What this process's Qt clipboard holds, read without a round trip
    // through the X server that Qt's blocked event loop would have to answer.
    QList<Format> ownQtClipboard();
    void releaseHeldKeys();
    bool sendCopyKeys();
    void restore(bool hadOwner, QList<Format> saved, xcb_timestamp_t time);

    int m_timeoutMs;
    int m_formatTimeoutMs;
    int m_lateCopyWatchMs;
    LateCopy m_late;
    std::unique_ptr<XcbConnection> m_x;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_window_t m_window = XCB_NONE;
    uint8_t m_xfixesEvent = 0;
    bool m_usable = false;
    std::unique_ptr<X11ClipboardOwner> m_owner;
    Timings m_timings;
};
