#include "core/engine/CaseInsensitiveText.h"

namespace {
bool isAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

namespace CaseInsensitiveText {

QString folded(const QString& text) {
    if (isAscii(text))
        return text.toLower();
    // toCaseFolded alone folds one character to one ("ß" stays). Upper-casing
    // applies the full mappings ("ß" → "SS", "ﬁ" → "FI"), after lower-casing
    // so that the capital "ẞ" takes that path too; decomposing first lets
    // combining marks survive the round trip in any input form.
    QString result = text.normalized(QString::NormalizationForm_D).toLower().toUpper().toLower();
    return result.toCaseFolded().normalized(QString::NormalizationForm_C);
}

bool equal(const QString& a, const QString& b) {
    // Most names are ASCII: no normalising or allocating for them.
    if (isAscii(a) && isAscii(b))
        return QString::compare(a, b, Qt::CaseInsensitive) == 0;
    return folded(a) == folded(b);
}

bool contains(const QString& haystack, const QString& needle) {
    if (needle.isEmpty())
        return false;
    if (isAscii(haystack) && isAscii(needle))
        return haystack.contains(needle, Qt::CaseInsensitive);
    return folded(haystack).contains(folded(needle));
}

} // namespace CaseInsensitiveText
