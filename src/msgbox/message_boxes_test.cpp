#include "msgbox/message_boxes.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

namespace valmora {
namespace {

// A dialog that closes the way each test scripts it: a button, or left alone.
// Scripted events run while a dialog is up (inside its modal loop) or while
// a later request waits, the way a timer tick or a click arrives on screen.
class FakeMsgBoxWindow : public MsgBoxWindow {
 public:
  struct Shown {
    std::wstring request;
    bool preset;
    bool busyPointerWhileShown;
  };

  void ShowModal(const std::wstring& request, bool presetAnswer,
                 const std::function<void(bool)>& closed) override {
    journal.push_back(L"show " + request);
    shown.push_back({request, presetAnswer, pointer->BusyPointerOn()});
    const std::optional<bool> pressed = presses.empty() ? std::nullopt : presses.front();
    if (!presses.empty()) presses.pop_front();
    open.push_back([=] { closed(pressed.value_or(presetAnswer)); });
    const std::size_t depth = open.size();
    RunEvent();
    if (open.size() >= depth) CloseTopmost();
  }
  bool PumpUntil(const std::function<bool()>& done) override {
    journal.push_back(L"wait");
    while (!done()) {
      if (quitting || open.empty()) return false;
      if (!RunEvent()) CloseTopmost();
    }
    return true;
  }
  void Beep() override { journal.push_back(L"beep"); }

  bool RunEvent() {
    if (events.empty()) return false;
    auto event = std::move(events.front());
    events.pop_front();
    event();
    return true;
  }
  void CloseTopmost() {
    auto close = open.back();
    open.pop_back();
    journal.push_back(L"close");
    close();
  }

  BusyPointer* pointer = nullptr;
  std::deque<std::optional<bool>> presses;   // Yes, No, or nullopt: left to time out
  std::deque<std::function<void()>> events;  // one runs per shown dialog or wait step
  bool quitting = false;
  std::vector<std::function<void()>> open;
  std::vector<Shown> shown;
  std::vector<std::wstring> journal;
};

class MessageBoxesTest : public ::testing::Test {
 protected:
  void SetUp() override { window.pointer = &pointer; }
  FakeMsgBoxWindow window;
  BusyPointer pointer;
  MessageBoxes boxes{window, pointer};
};

TEST_F(MessageBoxesTest, QuestionsAnswerTheButtonOrTheirDefault) {
  struct Case {
    bool defaultYes;
    std::optional<bool> pressed;
    bool answer;
    const wchar_t* request;
  };
  const Case cases[] = {
      {true, std::nullopt, true, L"4   5Reopen?"},
      {false, std::nullopt, false, L"5   5Reopen?"},
      {false, true, true, L"5   5Reopen?"},
      {true, false, false, L"4   5Reopen?"},
  };
  for (const Case& c : cases) {
    window.presses = {c.pressed};
    EXPECT_EQ(boxes.AskYesNo(L"Reopen?", 5, c.defaultYes), c.answer);
    EXPECT_EQ(boxes.MsgBoxAnswer, c.answer);
    EXPECT_EQ(window.shown.back().request, c.request);
    EXPECT_EQ(window.shown.back().preset, c.defaultYes);
  }
}

TEST_F(MessageBoxesTest, NoticesBeepOnlyForWarningsAndKeepTheAnswer) {
  boxes.MsgBoxAnswer = true;
  boxes.ShowInfo(L"Saved", 10);
  boxes.ShowWarning(L"Missing", 0);
  boxes.ShowMsgBox(L"1xyz", L"Bad", 3);
  EXPECT_EQ(window.journal, (std::vector<std::wstring>{L"show 3  10Saved", L"close", L"beep", L"show 2   0Missing",
                                                       L"close", L"show 1   3Bad", L"close"}));
  EXPECT_TRUE(boxes.MsgBoxAnswer);
}

TEST_F(MessageBoxesTest, MessageComposedInTheSharedRequestIsShownAndReplaced) {
  boxes.MsgBoxRequest = L"Never saved: Book1@";
  boxes.ShowWarning(boxes.MsgBoxRequest, 90);
  EXPECT_EQ(window.shown.back().request, L"2  90Never saved: Book1@");
  EXPECT_EQ(boxes.MsgBoxRequest, L"2  90Never saved: Book1@");
}

TEST_F(MessageBoxesTest, NormalPointerWhileShownThenAsBefore) {
  pointer.SetBusyPointer(true);
  boxes.ShowInfo(L"x", 0);
  EXPECT_FALSE(window.shown.back().busyPointerWhileShown);
  EXPECT_TRUE(pointer.BusyPointerOn());

  pointer.SetBusyPointer(false);
  boxes.ShowInfo(L"x", 0);
  EXPECT_FALSE(pointer.BusyPointerOn());
}

TEST_F(MessageBoxesTest, RequestsMadeWhileShownAreServedInOrderWithTheirOwnPresetAndAnswer) {
  // A is up; B and then C arrive while it is, the way timer ticks do. A is
  // closed with No; B (default Yes) and C (default No) are left alone.
  std::optional<bool> answerB, answerC;
  window.presses = {false, std::nullopt, std::nullopt};
  window.events = {
      [&] { answerB = boxes.AskYesNo(L"B?", 5, true); },   // while A is shown
      [&] { answerC = boxes.AskYesNo(L"C?", 10, false); },  // while B waits
  };
  const bool answerA = boxes.AskYesNo(L"A?", 5, true);

  std::vector<std::wstring> order;
  for (const auto& s : window.shown) order.push_back(s.request);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"4   5A?", L"4   5B?", L"5  10C?"}));
  EXPECT_FALSE(answerA);
  EXPECT_EQ(answerB, true);  // its own preset, not A's No
  EXPECT_EQ(answerC, false);
  EXPECT_EQ(window.shown[1].preset, true);
  EXPECT_EQ(window.shown[2].preset, false);
}

TEST_F(MessageBoxesTest, AWarningBeepsWhenItsDialogAppears) {
  window.events = {[&] { boxes.ShowWarning(L"Missing", 0); }};
  boxes.ShowInfo(L"First", 0);
  EXPECT_EQ(window.journal, (std::vector<std::wstring>{L"show 3   0First", L"wait", L"close", L"beep",
                                                       L"show 2   0Missing", L"close"}));
}

TEST_F(MessageBoxesTest, AnOkBoxLeavesTheAnswerOfTheQuestionBeforeIt) {
  window.presses = {true, std::nullopt};
  window.events = {[&] { boxes.ShowInfo(L"Saved", 10); }};
  EXPECT_TRUE(boxes.AskYesNo(L"Keep?", 5, false));
  EXPECT_TRUE(boxes.MsgBoxAnswer);
  EXPECT_EQ(window.shown.back().preset, true);
}

TEST_F(MessageBoxesTest, AWaitingQuestionAnswersItsDefaultWhenTheProgramQuits) {
  std::optional<bool> queued;
  window.events = {[&] {
    window.quitting = true;
    queued = boxes.AskYesNo(L"Later?", 5, true);
  }};
  window.presses = {false};
  EXPECT_FALSE(boxes.AskYesNo(L"Now?", 5, false));
  EXPECT_EQ(queued, true);
  EXPECT_EQ(window.shown.size(), 1u);
}

}  // namespace
}  // namespace valmora
