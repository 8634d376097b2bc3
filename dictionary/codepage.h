#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Windows-1252, the 8-bit code page of the word list on every platform.
// Keys are compared byte by byte after upper-casing with a fixed table, so
// matching never depends on the machine's locale.
namespace dictionary::codepage {

// Upper-cases one byte: a-z, the accented small letters and the four
// Windows-1252 specials; every other byte (0xDF, 0xB5, 0x83 ...) is kept.
unsigned char upper(unsigned char byte);

QByteArray upper(QByteArrayView bytes);

// True when both sides are equal after upper-casing.
bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b);

// Every byte decodes, the five undefined ones to U+0081 and its kin, so
// decode(encode(x)) round-trips.
QString decode(QByteArrayView bytes);

// No value when the text holds a character that Windows-1252 cannot hold.
std::optional<QByteArray> encode(QStringView text);

// Like encode(), but a character that cannot be held becomes "?".
QByteArray encodeLossy(QStringView text);

} // namespace dictionary::codepage
