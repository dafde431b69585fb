#pragma once
// The event-binding table: which handler an event of a control reaches. Windows only
// raise events; everything the program does starts from a row of this table.
#include <span>
#include <string_view>

#include "platform/ui.h"

namespace xl {

struct Program;

struct Binding {
  std::string_view window;   // "start", "modify", "host"
  std::string_view control;  // empty for the window's own events (Created)
  UiEvent event;
  void (*handler)(Program&, const UiEventArgs&);
};

std::span<const Binding> Bindings();

// Runs the handler bound to the event; false when the event has none.
bool Dispatch(Program& program, const UiEventArgs& event);

}  // namespace xl
