// Windows-1252 codec: the 8-bit character set of every Velmora text file.
// Bytes 0x80..0x9F come from our own table; every other byte is its Latin-1 code point.
// Bulk text (a database holds half a million cells) goes at Latin-1 speed when it has no
// byte or character of that range, the usual case.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace cp1252 {

// Decodes every byte; the five bytes Windows leaves undefined become the C1 controls.
QString decode(const QByteArray &bytes);
QChar decodeByte(unsigned char byte);
// Decodes `n` bytes into `out`, which has room for `n` characters.
void decodeInto(const char *bytes, qsizetype n, char16_t *out);

// Encodes one character; returns false when Windows-1252 cannot hold it.
bool encodeChar(QChar ch, unsigned char &byte);

// Encodes a string, replacing characters the code page cannot hold by `replacement`.
// `lossless` (if given) tells whether every character was representable.
QByteArray encode(const QString &text, char replacement = '?', bool *lossless = nullptr);
// Encodes `text` into `out`, which has room for one byte per character; returns whether
// every character was representable (the others become `replacement`).
bool encodeInto(QStringView text, char *out, char replacement = '?');

// True when every character of `text` has a Windows-1252 byte.
bool canEncode(QStringView text);

} // namespace cp1252
