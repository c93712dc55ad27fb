// Writing out what a dialog would have shown.
#include "app/BatchPort.h"

namespace app {
namespace {

// Oracle's texts end in a line break; the CR LF of composed messages reads badly in a terminal.
std::string forTerminal(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

void BatchPort::ShowMessage(const std::string& text) {
  messages_.push_back(text);
  out_ << forTerminal(text) << '\n';
}

void BatchPort::ShowDetailedMessage(const std::string& text, const std::string& /*detail*/) {
  // The run prints what was tried on a line of its own, once, whatever the outcome.
  ShowMessage(text);
}

bool BatchPort::AskYesNo(const std::string& text) {
  out_ << forTerminal(text) << " -> No\n";
  return false;
}

ui::ModalResult BatchPort::ShowModal(ui::Form& /*form*/) {
  return ui::ModalResult::Cancel;
}

}  // namespace app
