// Six-bit AIS payloads and the fields read out of them.
//
// A payload character carries six message bits. The bit string holds one character
// per bit, '0' or '1', most significant bit of each payload character first, so
// character k of the bit string is message bit k. Field readers take a pointer into
// a bit string (its start plus the field's first bit) and a width in bits; a zero
// byte reads as a 0 bit, so a field read past the end of a zero-filled work copy
// reads as 0.
//
// Functions that return text return it in a buffer of their own that the next call
// of the same function overwrites: the caller copies what it keeps. Not reentrant.
#pragma once

#include <cstdint>

namespace ais {

// The longest payload the fragment assembly can produce; every payload up to this
// length converts whole.
constexpr int kMaxPayloadChars = 1199;
constexpr int kBitStringSize = 6 * kMaxPayloadChars + 1;
// One character per six-bit group of the longest bit string, and a terminator.
constexpr int kTextBufferSize = kMaxPayloadChars + 1;

// The six-bit value of one armour character. Characters up to 'X' map to c - 48,
// the others to c - 56 (the byte taken as signed); only the six low bits are kept,
// so characters outside the armour alphabet still give a value from 0 to 63.
constexpr int aisArmourValue(char c) {
    const int code = static_cast<signed char>(c);
    return (code <= 'X' ? code - 48 : code - 56) & 0x3f;
}

// Converts the first `length` characters of `payload` (at most kMaxPayloadChars)
// into the bit string buffer and returns it. A length below 1 gives an empty text.
const char* aisPayloadToBits(const char* payload, int length);

std::uint32_t aisBitsUInt(const char* bits, int width);
// Two's complement of the field: negative when its first bit is 1.
std::int32_t aisBitsInt(const char* bits, int width);
std::uint64_t aisBitsUInt64(const char* bits, int width);
std::int64_t aisBitsInt64(const char* bits, int width);

// The field's unsigned value as decimal text, without sign or leading zeros.
const char* aisBitsDigit(const char* bits, int width);

// The character of the six-bit text alphabet for a value 0..63: values 0..31 are
// '@', 'A'..'Z', '[' .. '_'; values 32..63 are ' ' .. '?'.
constexpr char aisTextCharacter(unsigned value) {
    return static_cast<char>(value < 32 ? value + 64 : value);
}

// The same for the six bits at `bits`.
char aisSixBitChar(const char* bits);

// The text of the six-bit groups of the field; a last partial group still yields
// a character formed from the six bits that start there. Nothing is trimmed.
// At most kTextBufferSize - 1 characters.
const char* aisBitsText(const char* bits, int width);

// The message type (the payload's first six bits), or -1 for an empty payload.
int aisMessageType(const char* payload);

}  // namespace ais
