#pragma once

#include <QStringList>
#include <QTextStream>
#include <memory>

class ShortcutRegistry;

// `corvanta check FILE`: decodes a routes file as the store would and prints
// each route's rules as one-line summaries, or the decoding error.
class CheckCommand {
public:
    // Hotkey conditions read "Hotkey (not set)": no shortcut table is consulted.
    CheckCommand(QTextStream& out, QTextStream& err);
    // Hotkey conditions show the shortcuts recorded in `shortcuts`.
    CheckCommand(QTextStream& out, QTextStream& err, const ShortcutRegistry& shortcuts);
    ~CheckCommand();

    // Exit status: 0 decoded, 1 decoding error, 2 usage error or unreadable file.
    int run(const QStringList& arguments);

private:
    QTextStream& m_out;
    QTextStream& m_err;
    std::unique_ptr<ShortcutRegistry> m_noShortcuts;
    const ShortcutRegistry& m_shortcuts;
};
