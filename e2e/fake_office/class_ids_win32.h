// Our own class ids for the four stand-in Office applications. fake_office.reg.in
// maps the ProgIDs to these same values.
#pragma once

#include <windows.h>

#include <string>

namespace fake_office {

// {508CF2DB-D5E9-45E9-AF6D-518FD4912BA0}
inline constexpr CLSID kExcelClassId = {0x508cf2db, 0xd5e9, 0x45e9, {0xaf, 0x6d, 0x51, 0x8f, 0xd4, 0x91, 0x2b, 0xa0}};
// {55342BCF-B1D0-4C39-86AE-174BE7152635}
inline constexpr CLSID kWordClassId = {0x55342bcf, 0xb1d0, 0x4c39, {0x86, 0xae, 0x17, 0x4b, 0xe7, 0x15, 0x26, 0x35}};
// {ADBFEEBB-B30D-4142-9DCD-137E7E7C6DC9}
inline constexpr CLSID kOutlookClassId = {0xadbfeebb, 0xb30d, 0x4142, {0x9d, 0xcd, 0x13, 0x7e, 0x7e, 0x7c, 0x6d, 0xc9}};

// {9DC46D68-3F94-4D65-B07F-53C6AD620E1A}
inline constexpr CLSID kPowerPointClassId = {0x9dc46d68, 0x3f94, 0x4d65, {0xb0, 0x7f, 0x53, 0xc6, 0xad, 0x62, 0x0e, 0x1a}};

// nullptr for the other program: it has no class of its own.
inline const CLSID* ClassIdOf(const std::string& application) {
  if (application == "Excel") return &kExcelClassId;
  if (application == "Word") return &kWordClassId;
  if (application == "PowerPoint") return &kPowerPointClassId;
  if (application == "Outlook") return &kOutlookClassId;
  return nullptr;
}

}  // namespace fake_office
