#pragma once

// Modal message boxes for the program's information and its failures. All
// of them pass through one replaceable sink, so that a test can take the
// messages instead of a person clicking them away.

#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

class QWidget;

namespace omniocr::demo {

// A refusal of one of the program's own commands; its message is shown.
class EDemoError : public std::runtime_error {
 public:
  explicit EDemoError(const std::string& message) : std::runtime_error(message) {}
};

enum class TMessageKind { Information, Error };

using TMessageSink = std::function<void(QWidget* parent, TMessageKind kind, const QString& text)>;

// Shows a message; by default a modal box titled with the program's name.
void ShowMessageBox(QWidget* parent, TMessageKind kind, const QString& text);

// Replaces the sink and returns the previous one; an empty sink restores the
// modal boxes.
TMessageSink SetMessageSink(TMessageSink sink);

// Runs a command; an exception that leaves it is shown in an error box, as
// the framework's handler of a desktop program would.
void RunCommand(QWidget* parent, const std::function<void()>& command);

}  // namespace omniocr::demo
