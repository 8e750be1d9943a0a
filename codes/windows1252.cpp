#include "codes/windows1252.h"

#include <array>

namespace {

// Characters of the bytes 0x80..0x9F: the printable ones of Windows-1252, and the control
// character of the same value for the five bytes the set leaves undefined.
constexpr std::array<char16_t, 32> caracteres80a9F = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// Characters of the upper half, bytes 0x80..0xFF; 0xA0..0xFF are Latin-1.
constexpr std::array<char16_t, 128> moitieHaute = [] {
    std::array<char16_t, 128> table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = i < 32 ? caracteres80a9F[i] : char16_t(0x80 + i);
    }
    return table;
}();

} // namespace

int codeWindows1252(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return u;
    }
    for (int i = 0; i < 32; ++i) {
        if (moitieHaute[i] == u) {
            return 0x80 + i;
        }
    }
    return -1;
}

QChar caractereWindows1252(int code) {
    if (code < 0 || code > 255) {
        return QChar();
    }
    return code < 0x80 ? QChar(code) : QChar(moitieHaute[code - 0x80]);
}

QByteArray versWindows1252(const QString& texte, bool* tousCodes) {
    QByteArray octets;
    octets.reserve(texte.size());
    bool tous = true;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte.at(i);
        const int code = codeWindows1252(c);
        if (code >= 0) {
            octets.append(char(code));
            continue;
        }
        tous = false;
        octets.append('?');
        if (c.isHighSurrogate() && i + 1 < texte.size() && texte.at(i + 1).isLowSurrogate()) {
            ++i;
        }
    }
    if (tousCodes) {
        *tousCodes = tous;
    }
    return octets;
}

QString depuisWindows1252(const QByteArray& octets) {
    QString texte;
    texte.reserve(octets.size());
    for (const char octet : octets) {
        texte.append(caractereWindows1252(quint8(octet)));
    }
    return texte;
}
