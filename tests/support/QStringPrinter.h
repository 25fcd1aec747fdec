#pragma once

#include <QString>
#include <ostream>

// Readable failure messages: GoogleTest finds this through the argument's namespace.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
