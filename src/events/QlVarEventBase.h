#pragma once
// A variable event: instruction lists attached to one PLC address, one list
// per trigger. The project keeps its events through shared_ptr, one per
// address; the events dialog edits their lists, the error check compiles
// them, and Evaluate would run them against live data. User-interface
// thread.
//
// This header is the whole interface and needs no library: the project
// store looks events up and re-addresses them through it without linking
// the events library.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace NsOvrin::NsQlCompiler {
class QlFuncList;
}

namespace NsOvrin::NsQlEvent {

// GetEventType, also the "var-event-type" of the events file.
inline constexpr uint16_t kBitEvent = 0;
inline constexpr uint16_t kIntEvent = 1;

// What the text operations give for a trigger that does not exist.
inline const std::vector<std::string> EmptyFunctionTexts;

class QlVarEventBase {
 public:
  QlVarEventBase() = default;
  QlVarEventBase(const QlVarEventBase&) = delete;
  QlVarEventBase& operator=(const QlVarEventBase&) = delete;
  virtual ~QlVarEventBase() = default;

  // The "node.address" text the event watches; "" when it keeps none.
  virtual std::string GetAddress() const = 0;
  // False when the event keeps no address.
  virtual bool SetAddress(const std::string& address) = 0;
  virtual uint16_t GetEventType() const = 0;
  virtual std::size_t GetTriggerCount() const = 0;
  // "" for an index past the triggers.
  virtual std::string GetTriggerName(std::size_t index) const = 0;
  // The trigger's instruction lines as stored; EmptyFunctionTexts past the
  // triggers.
  virtual const std::vector<std::string>& GetFunctionTextsConst(std::size_t index) const = 0;
  // The same lines, to fill and edit. Past the triggers: an empty scratch
  // list whose content is thrown away by the next such call.
  virtual std::vector<std::string>& GetFunctionTexts(std::size_t index) = 0;
  // The trigger's compiled list; null when the event compiles nothing or
  // past the triggers.
  virtual NsQlCompiler::QlFuncList* GetFunctions(std::size_t index) = 0;
  // Rebuilds the compiled lists from the lines; false when the event
  // compiles nothing.
  virtual bool Compile() = 0;
  // Binds the address to the node database for Evaluate.
  virtual bool BindAddress() = 0;
  // Runs the lists whose triggers the latest reading of the address fired.
  virtual void Evaluate() = 0;

 protected:
  // What GetFunctionTexts gives past the triggers: never the shared
  // EmptyFunctionTexts, so that lines written there cannot show up in every
  // other event.
  static std::vector<std::string>& ScratchFunctionTexts() {
    static thread_local std::vector<std::string> scratch;
    scratch.clear();
    return scratch;
  }
};

}  // namespace NsOvrin::NsQlEvent
