#include "msgbox/about_links.h"

#include <cstdio>

#include "library/text.h"
#include "library/utf.h"

namespace valmora {
namespace {

bool HasScheme(const std::wstring& address) {
  const std::size_t colon = address.find(L"://");
  if (colon == std::wstring::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const wchar_t c = address[i];
    const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    const bool other = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

// Percent-encodes everything but the characters a URL may carry as they are.
std::wstring EncodeQueryValue(const std::wstring& text) {
  std::wstring encoded;
  for (unsigned char byte : ToUtf8(text)) {
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                       byte == '-' || byte == '_' || byte == '.' || byte == '~';
    if (plain) {
      encoded += static_cast<wchar_t>(byte);
    } else {
      wchar_t hex[4];
      std::swprintf(hex, 4, L"%%%02X", byte);
      encoded += hex;
    }
  }
  return encoded;
}

}  // namespace

std::wstring VersionText(int major, int minor) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%d.%02d", major, minor);
  return text;
}

std::wstring HomeLinkTarget(const std::wstring& home) { return HasScheme(home) ? home : L"http://" + home; }

std::wstring EmailCaption(const std::wstring& email) {
  std::wstring caption = email;
  for (wchar_t& c : caption) {
    if (c == L' ') c = L'_';
  }
  return caption;
}

std::wstring EmailLinkTarget(const std::wstring& email, const std::wstring& subject) {
  const std::wstring caption = EmailCaption(email);
  std::wstring target = StartsWithNoCase(caption, L"mailto:") ? caption : L"mailto:" + caption;
  if (!subject.empty()) target += L"?Subject=" + EncodeQueryValue(subject);
  return target;
}

}  // namespace valmora
