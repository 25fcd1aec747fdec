#pragma once

#include "core/platform/FileManagerSelection.h"
#include "platform/linux/XcbConnection.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <functional>
#include <memory>

class QSocketNotifier;

// Asks the focused file manager window to copy its selection and reads the
// copied files from the clipboard, then gives the user's clipboard back:
// release the keys still held from the hotkey (which also ends the hotkey's
// grab), send Ctrl+C through XTEST, wait for the CLIPBOARD owner to change
// (XFIXES), read the file list as URIs (the only exact form: text targets
// mangle non-UTF-8 names), and own the clipboard again with every format it
// held before. The restored contents are served by this object's connection
// for as long as it lives or until another program takes the clipboard.
class X11ClipboardSelection : public FileManagerSelection {
public:
    explicit X11ClipboardSelection(int ownerChangeTimeoutMs = 400);
    ~X11ClipboardSelection() override;
    X11ClipboardSelection(const X11ClipboardSelection&) = delete;
    X11ClipboardSelection& operator=(const X11ClipboardSelection&) = delete;

    QList<QUrl> copySelection(const ScriptableFileManager& manager) override;

    // Microseconds from the start of the last run to the end of each step.
    struct Timings {
        qint64 saved = 0;
        qint64 keysSent = 0;
        qint64 ownerChanged = 0;
        qint64 read = 0;
        qint64 restored = 0;
    };
    const Timings& lastTimings() const { return m_timings; }
    // Whether this object holds the clipboard with the user's restored contents.
    bool servesClipboard() const { return m_serving; }
    // Answers requests for the restored clipboard until another program takes
    // it or `deadline` passes.
    void serveClipboard(QDeadlineTimer deadline);
    // After a fork that left the serving to the child: this process lets go of
    // the shared connection without a word to the server, which would
    // otherwise see the clipboard's window destroyed.
    void abandonConnection();

    // The native paths in a copied file list: text/uri-list (comments and
    // blank lines skipped), or GNOME's form with "copy"/"cut" on its first
    // line. URIs that are no local file are dropped; bytes are kept exactly.
    static QList<QByteArray> pathsFromURIList(const QByteArray& data, bool gnomeCopiedFiles);

private:
    struct Format {
        xcb_atom_t target = XCB_NONE;
        xcb_atom_t type = XCB_NONE;
        uint8_t format = 8;
        QByteArray data;
    };
    bool ensureConnection();
    // Events that concern our ownership are answered here; true when consumed.
    bool handleOwnership(xcb_generic_event_t* event);
    void answerRequest(const xcb_selection_request_event_t& request);
    XcbReply<xcb_generic_event_t> waitFor(const std::function<bool(xcb_generic_event_t*)>& wanted,
                                          QDeadlineTimer deadline);
    void drainEvents();
    // The clipboard's value as `target`, none when the owner refuses.
    std::optional<XcbConnection::Property> convert(xcb_atom_t target, QDeadlineTimer deadline);
    QList<Format> saveClipboard(bool& hadOwner, QDeadlineTimer deadline);
    void releaseHeldKeys();
    bool sendCopyKeys();
    void restore(bool hadOwner, QList<Format> saved, xcb_timestamp_t time);

    int m_timeoutMs;
    std::unique_ptr<XcbConnection> m_x;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_window_t m_window = XCB_NONE;
    uint8_t m_xfixesEvent = 0;
    bool m_usable = false;
    bool m_serving = false;
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    QList<Format> m_restored;
    Timings m_timings;
};
