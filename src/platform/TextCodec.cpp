#include "platform/TextCodec.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace pw {

namespace {

void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Length of the well-formed sequence at p (1 to 4) with its code point, or 0 when ill-formed.
size_t NextUtf8(const uint8_t* p, size_t left, uint32_t& cp) {
  uint8_t b0 = p[0];
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len;
  uint32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (left < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

bool DecodeUtf8Strict(const uint8_t* data, size_t size, std::u16string& out) {
  out.clear();
  out.reserve(size);
  size_t i = 0;
  while (i < size) {
    if (data[i] < 0x80) {
      out.push_back(data[i++]);
      continue;
    }
    uint32_t cp;
    size_t len = NextUtf8(data + i, size - i, cp);
    if (len == 0) return false;
    AppendCodePoint(out, cp);
    i += len;
  }
  return true;
}

std::u16string DecodeUtf8Lenient(const uint8_t* data, size_t size) {
  std::u16string out;
  out.reserve(size);
  size_t i = 0;
  while (i < size) {
    uint32_t cp;
    size_t len = NextUtf8(data + i, size - i, cp);
    if (len == 0) {
      out.push_back(u'\uFFFD');
      ++i;
    } else {
      AppendCodePoint(out, cp);
      i += len;
    }
  }
  return out;
}

std::string EncodeUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  return DecodeUtf8Lenient(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::u16string DecodeUtf16(const uint8_t* data, size_t size, bool bigEndian) {
  std::u16string out(size / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    uint8_t a = data[2 * i], b = data[2 * i + 1];
    out[i] = bigEndian ? static_cast<char16_t>(a << 8 | b) : static_cast<char16_t>(b << 8 | a);
  }
  return out;
}

std::vector<uint8_t> EncodeUtf16(const std::u16string& text, bool bigEndian) {
  std::vector<uint8_t> out(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t hi = static_cast<uint8_t>(text[i] >> 8), lo = static_cast<uint8_t>(text[i]);
    out[2 * i] = bigEndian ? hi : lo;
    out[2 * i + 1] = bigEndian ? lo : hi;
  }
  return out;
}

// ---- locale ----

namespace {

TTextLocale LocaleFacts(locale_t loc) {
  TTextLocale facts;
  std::string codeset = nl_langinfo_l(CODESET, loc);
  std::string radix = nl_langinfo_l(RADIXCHAR, loc);
  facts.ListSeparator = radix == "," ? u';' : u',';
  if (codeset == "UTF-8" || codeset == "utf8") {
    facts.AnsiIsMultiByte = true;
  } else if (codeset == "ANSI_X3.4-1968" || codeset.empty()) {
    facts.AnsiCharset = "CP1252";  // the C and POSIX locales
  } else {
    facts.AnsiCharset = codeset;
  }
  return facts;
}

}  // namespace

TTextLocale TextLocaleOf(const std::string& localeName) {
  locale_t loc = newlocale(LC_ALL_MASK, localeName.c_str(), nullptr);
  if (!loc) loc = newlocale(LC_ALL_MASK, "C", nullptr);
  TTextLocale facts = LocaleFacts(loc);
  freelocale(loc);
  return facts;
}

const TTextLocale& SystemTextLocale() {
  static const TTextLocale facts = TextLocaleOf("");
  return facts;
}

namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return IconvHandle(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

}  // namespace

std::u16string DecodeAnsi(const TTextLocale& locale, const uint8_t* data, size_t size) {
  if (locale.AnsiIsMultiByte) return DecodeUtf8Lenient(data, size);
  IconvHandle cd = OpenIconv("UTF-16LE", locale.AnsiCharset.c_str());
  std::u16string out;
  out.reserve(size);
  if (!cd) {
    for (size_t i = 0; i < size; ++i) out.push_back(data[i]);
    return out;
  }
  // Byte by byte: single-byte sets need no state, and an undefined byte keeps its own value.
  for (size_t i = 0; i < size; ++i) {
    char in = static_cast<char>(data[i]);
    char16_t unit[2] = {};
    char* inp = &in;
    size_t inLeft = 1;
    char* outp = reinterpret_cast<char*>(unit);
    size_t outLeft = sizeof unit;
    if (iconv(static_cast<iconv_t>(cd.get()), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) ||
        outLeft == sizeof unit) {
      out.push_back(data[i]);
      iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    } else {
      out.push_back(unit[0]);
    }
  }
  return out;
}

std::vector<uint8_t> EncodeAnsi(const TTextLocale& locale, const std::u16string& text) {
  if (locale.AnsiIsMultiByte) {
    std::string utf8 = EncodeUtf8(text);
    return std::vector<uint8_t>(utf8.begin(), utf8.end());
  }
  IconvHandle cd = OpenIconv(locale.AnsiCharset.c_str(), "UTF-16LE");
  std::vector<uint8_t> out;
  out.reserve(text.size());
  for (char16_t c : text) {
    char16_t unit = c;
    char buf[8];
    char* inp = reinterpret_cast<char*>(&unit);
    size_t inLeft = 2;
    char* outp = buf;
    size_t outLeft = sizeof buf;
    if (!cd ||
        iconv(static_cast<iconv_t>(cd.get()), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) ||
        outLeft == sizeof buf) {
      out.push_back(cd || c > 0xFF ? '?' : static_cast<uint8_t>(c));
      if (cd) iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    } else {
      out.insert(out.end(), buf, outp);
    }
  }
  return out;
}

}  // namespace pw
