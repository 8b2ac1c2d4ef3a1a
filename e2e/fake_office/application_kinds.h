// What sets the served applications apart, in one table: the scenario reader,
// the object model and the server all read it.
// Portable: no <windows.h>.
#pragma once

#include <string>

namespace fake_office {

struct ApplicationKind {
  const char* name;             // "Excel": the section's and --app's name
  const char* documentKeyword;  // "workbook"; "" for Outlook, which has items instead
  const char* collection;       // "Workbooks": the application's member and the counts' interface
  const char* element;          // "Workbook": the counts' interface of one document
  const char* title;            // "Microsoft Excel": the application's Name
  const wchar_t* mainWindowClass;  // L"XLMAIN"; nullptr: the program shows no main window here
  bool office;                  // has a ProgID and a class factory, is the active object, has a main window
  bool hasVisible;              // the application answers Visible
  bool triState;                // PowerPoint: Saved and Visible are MsoTriState (VT_I4, -1 true, 0 false)
  bool windowsShow;             // its documents' windows say whether they are Visible
};

// The kind named name, without regard to case; nullptr when unknown.
const ApplicationKind* FindApplicationKind(const std::string& name);
// "[Excel], [Word], [PowerPoint], [Outlook] or [Other]", for messages.
std::string ApplicationSections();

}  // namespace fake_office
