#pragma once

#include <QStringList>
#include <QTextStream>

// `corvanta check FILE`: decodes a routes file as the store would and prints
// each route's rules as one-line summaries, or the decoding error.
class CheckCommand {
public:
    CheckCommand(QTextStream& out, QTextStream& err);
    // Exit status: 0 decoded, 1 decoding error, 2 usage error or unreadable file.
    int run(const QStringList& arguments);

private:
    QTextStream& m_out;
    QTextStream& m_err;
};
