// The About box's texts and link targets.
#pragma once

#include <string>

namespace valmora {

inline constexpr wchar_t kCompany[] = L"Corvellan";
inline constexpr wchar_t kHomeHost[] = L"www.corvellan.example";
inline constexpr wchar_t kSupportEmail[] = L"support@corvellan.example";

// "1.16" for 1 and 16, "1.05" for 1 and 5.
std::wstring VersionText(int major, int minor);

// The home page's target: an address that already names a scheme
// ("https://...", "http://...") is kept; a bare host gets "http://".
std::wstring HomeLinkTarget(const std::wstring& home);

// The e-mail address as shown: blanks become "_".
std::wstring EmailCaption(const std::wstring& email);

// "mailto:" (kept in any letter case when there), the address, and the
// subject encoded so that every mail program takes it ("%20" for a blank).
std::wstring EmailLinkTarget(const std::wstring& email, const std::wstring& subject);

}  // namespace valmora
