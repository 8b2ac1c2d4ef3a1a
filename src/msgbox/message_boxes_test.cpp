#include "msgbox/message_boxes.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

namespace valmora {
namespace {

// A dialog that closes the way each test scripts it: a button, or left alone.
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
    if (whileShown) std::exchange(whileShown, nullptr)();
    if (!open.empty()) CloseTopmost();
  }
  void PumpUntil(const std::function<bool()>& done) override {
    journal.push_back(L"wait");
    while (!done() && !open.empty()) CloseTopmost();
  }
  void Beep() override { journal.push_back(L"beep"); }

  void CloseTopmost() {
    auto close = open.back();
    open.pop_back();
    journal.push_back(L"close");
    close();
  }

  BusyPointer* pointer = nullptr;
  std::deque<std::optional<bool>> presses;  // Yes, No, or nullopt: left to time out
  std::function<void()> whileShown;         // something that happens while the first is up
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

TEST_F(MessageBoxesTest, SecondRequestWaitsUntilTheFirstHasClosed) {
  bool nestedAnswer = true;
  window.presses = {std::nullopt, false};  // first left alone, second answered No
  window.whileShown = [&] { nestedAnswer = boxes.AskYesNo(L"Second?", 5, true); };
  const bool firstAnswer = boxes.AskYesNo(L"First?", 5, true);

  EXPECT_EQ(window.journal,
            (std::vector<std::wstring>{L"show 4   5First?", L"wait", L"close", L"show 4   5Second?", L"close"}));
  EXPECT_TRUE(firstAnswer);  // its own answer, not the later one
  EXPECT_FALSE(nestedAnswer);
  EXPECT_FALSE(boxes.MsgBoxAnswer);
}

}  // namespace
}  // namespace valmora
