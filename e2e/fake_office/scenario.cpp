#include "scenario.h"

#include <algorithm>
#include <vector>

#include "application_kinds.h"
#include <cctype>
#include <sstream>

namespace fake_office {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Splits off the first word; the rest is trimmed.
std::pair<std::string, std::string> FirstWord(const std::string& line) {
  const auto end = line.find_first_of(" \t");
  if (end == std::string::npos) return {line, ""};
  return {line.substr(0, end), Trim(line.substr(end))};
}

// The canonical spelling of name among the allowed ones, or "".
std::string Canonical(const std::string& name, const std::vector<std::string>& allowed) {
  for (const std::string& candidate : allowed) {
    if (Lower(candidate) == Lower(name)) return candidate;
  }
  return "";
}

std::string Listed(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list;
}

// A subject may hold what a scenario line cannot: \r, \n and \t stand for
// CR, LF and tab, \\ for a backslash.
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: out += '\\', out += text[i]; break;
    }
  }
  return out;
}

std::optional<bool> ParseBool(const std::string& text) {
  const std::string lower = Lower(text);
  if (lower == "true") return true;
  if (lower == "false") return false;
  return std::nullopt;
}

std::optional<int> ParseCount(const std::string& text) {
  if (text.empty() || text.size() > 7 || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
    return std::nullopt;
  return std::stoi(text);
}

// "2026-05-12 09:30" or "2026-05-12 09:30:15".
std::optional<DateTime> ParseDateTime(const std::string& text) {
  DateTime t;
  char dash1 = 0, dash2 = 0, colon1 = 0, colon2 = ':';
  std::istringstream in(text);
  in >> t.year >> dash1 >> t.month >> dash2 >> t.day >> t.hour >> colon1 >> t.minute;
  if (!in) return std::nullopt;
  if (!(in >> colon2 >> t.second)) {
    in.clear();
    t.second = 0;
    colon2 = ':';
  }
  std::string rest;
  in >> rest;
  const bool shape = dash1 == '-' && dash2 == '-' && colon1 == ':' && colon2 == ':' && rest.empty();
  const bool ranges = t.year >= 1900 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
                      t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
  if (!shape || !ranges) return std::nullopt;
  return t;
}

void DeriveFolderAndName(Document& document) {
  const auto separator = document.fullName.find_last_of("\\/");
  if (separator == std::string::npos) {
    document.path.clear();
    document.name = document.fullName;
  } else {
    document.path = document.fullName.substr(0, separator);
    document.name = document.fullName.substr(separator + 1);
  }
}

// A presentation shown in more windows than this is a typo.
constexpr int kMostWindows = 9;

const ApplicationKind& KindOf(const std::string& application) { return *FindApplicationKind(application); }

Application NamedApplication(const std::string& name) {
  Application app;
  app.name = name;
  app.title = KindOf(name).title;
  return app;
}

// The values of a document, by the shape of its windows.
std::vector<std::string> DocumentValues(const ApplicationKind& kind) {
  if (kind.windowsShow) return {"FullName", "Path", "Name", "Saved", "Visible"};
  return {"FullName", "Path", "Name", "Saved", "Windows"};
}

// The application-wide rules that turn calls away, by their first word.
FaultKind TurnedAwayKind(const std::string& keyword) {
  if (keyword == "busy") return FaultKind::kBusy;
  if (keyword == "rejected") return FaultKind::kRejected;
  if (keyword == "ignored") return FaultKind::kIgnored;
  return FaultKind::kNone;
}

FaultKind MemberTurnedAwayKind(const std::string& keyword) {
  if (keyword == "ignored-exception") return FaultKind::kIgnoredException;
  return TurnedAwayKind(keyword);
}

enum class Block { kApplication, kDocument, kInspector, kStoredItem };

class Parser {
 public:
  explicit Parser(const std::string& wanted) : wanted_(wanted) {}

  std::string Line(const std::string& raw) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') return "";
    if (line.front() == '[') return Section(line);
    if (!app_) return "expected a section such as [Excel] first";
    const auto [word, rest] = FirstWord(line);
    const std::string keyword = Lower(word);
    if (const FaultKind turnedAway = TurnedAwayKind(keyword); turnedAway != FaultKind::kNone) {
      return TurnAway(turnedAway, keyword, rest);
    }
    if (keyword == "rot") return Rot(rest);
    if (keyword == "register") return Register(rest);
    if (keyword == "workbook" || keyword == "document" || keyword == "presentation") return StartDocument(keyword, rest);
    if ((keyword == "inspector" || keyword == "item") && rest.empty()) return StartItem(keyword);
    if (rest.starts_with("=")) return Value(word, Trim(rest.substr(1)));
    return FaultLine(word, rest);
  }

  Application Result() const {
    const auto found = sections_.find(wanted_);
    return found != sections_.end() ? found->second : NamedApplication(wanted_);
  }

 private:
  std::string Section(const std::string& line) {
    if (line.back() != ']') return "a section line reads " + ApplicationSections();
    const std::string name = CanonicalApplication(Trim(line.substr(1, line.size() - 2)));
    if (name.empty()) return "unknown application " + line + "; use " + ApplicationSections();
    const auto [section, added] = sections_.emplace(name, NamedApplication(name));
    if (!added) return "section [" + name + "] appears twice";
    app_ = &section->second;
    block_ = Block::kApplication;
    return "";
  }

  static std::string Times(const std::string& keyword, const std::string& rest, int& times) {
    const auto count = ParseCount(rest);
    if (!count || *count == 0) return keyword + " needs a positive number of calls, not \"" + rest + "\"";
    times = *count;
    return "";
  }

  // busy N, or busy (rejected, ignored) from K or always.
  std::string TurnAway(FaultKind kind, const std::string& keyword, const std::string& rest) {
    if (block_ != Block::kApplication) {
      return keyword + " belongs to the application: write it before the first object, or after a member's name";
    }
    const auto [first, count] = FirstWord(rest);
    if (Lower(rest) == "always") {
      app_->turnedAway = {kind, 1};
      return "";
    }
    if (Lower(first) == "from") {
      int from = 0;
      if (const std::string error = Times(keyword + " from", count, from); !error.empty()) return error;
      app_->turnedAway = {kind, from};
      return "";
    }
    if (kind == FaultKind::kBusy) return Times(keyword, rest, app_->busy);
    return keyword + " reads " + keyword + " from K (every call from the K-th on) or " + keyword + " always, not \"" +
           rest + "\"";
  }

  std::string Register(const std::string& rest) {
    if (block_ != Block::kApplication) return "register belongs to the application: write it before the first object";
    const std::string setting = Lower(rest);
    if (setting != "on" && setting != "off") return "register is on or off, not \"" + rest + "\"";
    app_->registers = setting == "on";
    return "";
  }

  std::string Rot(const std::string& rest) {
    if (!*KindOf(app_->name).documentKeyword) {
      return "rot belongs in a section with documents: " + app_->name + " registers none";
    }
    if (block_ != Block::kApplication) return "rot belongs to the application: write it before the first document";
    const std::string setting = Lower(rest);
    if (setting != "on" && setting != "off") return "rot is on or off, not \"" + rest + "\"";
    app_->registersDocuments = setting == "on";
    return "";
  }

  std::string StartDocument(const std::string& keyword, const std::string& fullName) {
    const std::string expected = KindOf(app_->name).documentKeyword;
    if (keyword != expected) return keyword + " does not belong in [" + app_->name + "]";
    if (fullName.empty()) return keyword + " needs its FullName, e.g. " + keyword + " C:\\Data\\Plan.xlsx or Book1";
    Document document;
    document.fullName = fullName;
    app_->documents.push_back(document);
    DeriveFolderAndName(app_->documents.back());
    block_ = Block::kDocument;
    return "";
  }

  std::string StartItem(const std::string& keyword) {
    if (app_->name != "Outlook") return keyword + " belongs in [Outlook]";
    auto& list = keyword == "inspector" ? app_->inspectors : app_->storedItems;
    list.push_back(MailItem{});
    block_ = keyword == "inspector" ? Block::kInspector : Block::kStoredItem;
    return "";
  }

  MailItem& CurrentItem() { return block_ == Block::kInspector ? app_->inspectors.back() : app_->storedItems.back(); }

  std::string ApplicationValue(const std::string& word, const std::string& value) {
    const ApplicationKind& kind = KindOf(app_->name);
    const std::string member = Canonical(word, {"Visible", "Name"});
    if (member == "Visible" && kind.hasVisible) {
      const auto flag = ParseBool(value);
      if (!flag) return "Visible is true or false, not \"" + value + "\"";
      app_->visible = *flag;
      return "";
    }
    if (member == "Name" && !kind.office) {
      if (value.empty()) return "name needs a text, e.g. name = Contoso Excel Viewer";
      app_->title = value;
      return "";
    }
    if (member == "Visible") return app_->name + " has no Visible";
    if (member == "Name") return "an Office application's Name is its own; name = belongs in [Other]";
    return "a value line (" + word + " = ...) belongs to a workbook, document, inspector or item, or is the "
           "application's Visible (or an [Other]'s name)";
  }

  std::string Value(const std::string& word, const std::string& value) {
    if (block_ == Block::kApplication) return ApplicationValue(word, value);
    if (block_ == Block::kDocument) {
      Document& document = app_->documents.back();
      const std::vector<std::string> values = DocumentValues(KindOf(app_->name));
      const std::string member = Canonical(word, values);
      if (member == "FullName") document.fullName = value;
      if (member == "Path") document.path = value;
      if (member == "Name") document.name = value;
      if (member == "Saved" || member == "Visible") {
        const auto flag = ParseBool(value);
        if (!flag) return member + " is true or false, not \"" + value + "\"";
        (member == "Saved" ? document.saved : document.visible) = *flag;
      }
      if (member == "Windows") {
        const auto count = ParseCount(value);
        if (!count || *count > kMostWindows) return "Windows is a count from 0 to 9, not \"" + value + "\"";
        document.windows = *count;
      }
      if (!member.empty()) return "";
      return "unknown value \"" + word + "\" (" + Listed(values) + ")";
    }
    return ItemValue(word, value);
  }

  std::string ItemValue(const std::string& word, const std::string& value) {
    MailItem& item = CurrentItem();
    const std::string member = Canonical(word, {"EntryID", "Subject", "Saved", "CreationTime", "Folder"});
    if (member == "EntryID") item.entryId = value;
    if (member == "Subject") item.subject = Unescape(value);
    if (member == "Folder") item.folder = value;
    if (member == "Saved") {
      const auto flag = ParseBool(value);
      if (!flag) return "Saved is true or false, not \"" + value + "\"";
      item.saved = *flag;
    }
    if (member == "CreationTime") {
      const auto time = ParseDateTime(value);
      if (!time) return "CreationTime reads like 2026-05-12 09:30[:15], not \"" + value + "\"";
      item.creationTime = *time;
    }
    return member.empty() ? "unknown value \"" + word + "\" (EntryID, Subject, Saved, CreationTime, Folder)" : "";
  }

  std::string FaultLine(const std::string& word, const std::string& rest) {
    std::string member;
    Faults* faults = nullptr;
    if (block_ == Block::kApplication) {
      const ApplicationKind& kind = KindOf(app_->name);
      std::vector<std::string> members{kind.collection, "Count", "Item", "_NewEnum", "Name"};
      if (kind.hasVisible) members.push_back("Visible");
      if (app_->name == "Outlook") members.insert(members.end(), {"GetNamespace", "Logon", "GetItemFromID"});
      member = Canonical(word, members);
      faults = &app_->faults;
    } else if (block_ == Block::kDocument) {
      std::vector<std::string> members{"FullName", "Path", "Name", "Saved", "Windows", "Application"};
      if (KindOf(app_->name).windowsShow) members.push_back("Visible");
      member = Canonical(word, members);
      faults = &app_->documents.back().faults;
    } else {
      member = block_ == Block::kInspector
                   ? Canonical(word, {"CurrentItem", "EntryID", "Subject", "Saved", "CreationTime", "Parent"})
                   : Canonical(word, {"EntryID", "Subject", "Saved", "CreationTime", "Parent"});
      faults = &CurrentItem().faults;
    }
    if (member.empty()) return "\"" + word + "\" is no member that can fail here";
    const auto [kind, count] = FirstWord(rest);
    Fault fault;
    const std::string lower = Lower(kind);
    if (lower == "fails" && count.empty()) fault.kind = FaultKind::kFails;
    else if (lower == "hangs" && count.empty()) fault.kind = FaultKind::kHangs;
    else if (lower == "exits" && count.empty()) fault.kind = FaultKind::kExits;
    else if (const FaultKind turnedAway = MemberTurnedAwayKind(lower); turnedAway != FaultKind::kNone) {
      fault.kind = turnedAway;
      if (const std::string error = Times(lower, count, fault.times); !error.empty()) return error;
    } else {
      return "after " + member + " comes \"= value\", fails, hangs, exits, busy N, rejected N, ignored N or "
             "ignored-exception N, not \"" + rest + "\"";
    }
    (*faults)[member] = fault;
    return "";
  }

  std::string wanted_;
  std::map<std::string, Application> sections_;  // stable addresses: app_ points into it
  Application* app_ = nullptr;
  Block block_ = Block::kApplication;
};

}  // namespace

std::string CanonicalApplication(const std::string& name) {
  const ApplicationKind* kind = FindApplicationKind(name);
  return kind ? kind->name : "";
}

ParseResult ParseScenario(const std::string& text, const std::string& applicationName) {
  const std::string wanted = CanonicalApplication(applicationName);
  if (wanted.empty()) return {std::nullopt, "unknown application \"" + applicationName + "\""};
  Parser parser(wanted);
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (const std::string error = parser.Line(line); !error.empty()) {
      return {std::nullopt, "line " + std::to_string(number) + ": " + error};
    }
  }
  return {parser.Result(), ""};
}

}  // namespace fake_office
