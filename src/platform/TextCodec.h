#pragma once
// Text encodings: strict UTF-8, UTF-16 in both byte orders, and the user's single-byte code page.
// Inside the program text is UTF-16 (std::u16string), as the toolkit and the CSV files hold it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pw {

// Decodes UTF-8 strictly (no overlongs, surrogates, values above U+10FFFF or truncated sequences);
// false on the first ill-formed sequence, with out unspecified.
bool DecodeUtf8Strict(const uint8_t* data, size_t size, std::u16string& out);
// Decodes UTF-8, replacing each ill-formed sequence by U+FFFD.
std::u16string DecodeUtf8Lenient(const uint8_t* data, size_t size);
// Encodes UTF-16 text as UTF-8 without a byte-order mark; unpaired surrogates become U+FFFD.
std::string EncodeUtf8(const std::u16string& text);
// The UTF-8 text of a UTF-8 std::string converted to UTF-16 (lenient).
std::u16string Utf8ToUtf16(const std::string& text);

// Decodes UTF-16 bytes in the given byte order; an odd last byte is dropped.
std::u16string DecodeUtf16(const uint8_t* data, size_t size, bool bigEndian);
// Encodes UTF-16 text as bytes in the given byte order.
std::vector<uint8_t> EncodeUtf16(const std::u16string& text, bool bigEndian);

// The two locale facts the CSV files depend on.
struct TTextLocale {
  // The list separator: ";" where the decimal separator is ",", else ",".
  char16_t ListSeparator = u',';
  // True when the locale's character set is multi-byte (UTF-8): files without a mark are UTF-8.
  bool AnsiIsMultiByte = false;
  // The iconv name of a single-byte character set (used when AnsiIsMultiByte is false).
  std::string AnsiCharset = "CP1252";
};

// The user's locale, read once from the environment (LC_ALL, LC_CTYPE, LC_NUMERIC, LANG).
// The C and POSIX locales count as Windows-1252.
const TTextLocale& SystemTextLocale();
// The locale facts for a locale name such as "de_DE.ISO-8859-1"; the C locale when the name is unknown.
TTextLocale TextLocaleOf(const std::string& localeName);

// Decodes text in the locale's code page (lenient: undefined bytes map to the same code point).
std::u16string DecodeAnsi(const TTextLocale& locale, const uint8_t* data, size_t size);
// Encodes text in the locale's code page; characters it lacks become "?".
std::vector<uint8_t> EncodeAnsi(const TTextLocale& locale, const std::u16string& text);

}  // namespace pw
