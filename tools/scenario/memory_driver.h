#pragma once
// The native scenario back end: the program's start-up and event bindings on MemoryUi.
#include <memory>
#include <optional>
#include <string>

#include "app/program.h"
#include "platform/memory/memory_ui.h"
#include "tools/scenario/driver.h"

namespace xl::scenario {

class MemoryDriver : public ScenarioDriver {
 public:
  MemoryDriver();
  ~MemoryDriver() override;

  void SetProgramFolder(const std::filesystem::path& folder) override;
  void SetDocumentsFolder(const std::filesystem::path& folder) override;
  void QueueFolder(const std::optional<std::filesystem::path>& folder) override;
  void QueueAnswer(std::string_view button) override;
  Status Start(const std::optional<std::filesystem::path>& argument) override;
  Status Click(std::string_view window, std::string_view control) override;
  Status DoubleClick(std::string_view window, std::string_view control) override;
  Status Press(std::string_view window, std::string_view control) override;
  Status Select(std::string_view window, std::string_view control, std::string_view item) override;
  Status Type(std::string_view window, std::string_view control, std::string_view text) override;
  Status Clear(std::string_view window, std::string_view control) override;
  Status Key(std::string_view window, std::string_view control, const KeyStroke& key) override;
  Status Drop(std::string_view window, const std::filesystem::path& file) override;
  Status ChooseFromMenu(std::string_view window, std::string_view control, std::string_view item) override;
  Result<std::vector<std::string>> MenuItems(std::string_view window, std::string_view control) override;
  Status ClickMeanwhile(std::string_view window, std::string_view control) override;
  Status MeanwhileDone() override;
  Result<bool> EndSession() override;
  Status SetClipboard(std::string_view text) override;
  Result<std::string> Clipboard() override;
  Result<std::string> Text(std::string_view window, std::string_view control) override;
  Result<std::string> Hint(std::string_view window, std::string_view control) override;
  Result<std::vector<std::string>> Items(std::string_view window, std::string_view control) override;
  Result<bool> Visible(std::string_view window, std::string_view control) override;
  Result<std::string> Picture(std::string_view window, std::string_view control) override;
  Status Hover(std::string_view window, std::string_view control) override;
  Status Shot(std::string_view window, const std::filesystem::path& file) override;
  void ShotWhenShown(bool menu, std::string_view window, const std::filesystem::path& file) override;
  Status ShotWhenShownDone() override;
  std::vector<ShownNotice> TakeNotices() override;
  std::vector<std::string> TakeProblems() override;

  MemoryUi& ui() { return ui_; }
  Program* program() { return program_.get(); }

 private:
  Status Acted(bool reached);
  Status Exists(std::string_view window, std::string_view control);
  // Right-clicks with `choice` queued for the menu; the menu shown, or an error.
  Result<MemoryUi::ShownMenu> RightClickWith(std::string_view window, std::string_view control, std::string choice);

  MemoryUi ui_;
  ProgramState initial_;
  std::unique_ptr<Program> program_;
  size_t noticesTaken_ = 0;
  // The click that the program's next message pumping delivers, and what became of it.
  struct Meanwhile {
    std::string window, control;
    bool delivered = false, reached = false;
  };
  std::optional<Meanwhile> meanwhile_;
  // A shot waiting for the next action's box (or menu): how many had come before it.
  struct ShotWatch {
    bool menu = false;
    size_t before = 0;
  };
  std::optional<ShotWatch> shotWhenShown_;
};

}  // namespace xl::scenario
