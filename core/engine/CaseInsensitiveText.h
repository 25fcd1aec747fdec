#pragma once

#include <QString>

// The comparison every string condition of a rule uses: letters are equal across
// Unicode normalisation forms (a name typed as "café" matches a file whose name
// is stored decomposed) and under full case folding ("straße" equals "STRASSE").
namespace CaseInsensitiveText {
// The form in which two strings compare exactly when they are equal ignoring case.
QString folded(const QString& text);
bool equal(const QString& a, const QString& b);
// A search for the empty string finds nothing.
bool contains(const QString& haystack, const QString& needle);
} // namespace CaseInsensitiveText
