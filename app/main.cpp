// The program entry: opens the window, builds the game over it and runs the message loop.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/mainform.h"
#include "platform/window.h"

int main() {
  std::string error;
  std::unique_ptr<platform::Window> window = platform::Window::Create("Ｖｅｘａ", 513, 384, error);
  if (!window) {
    std::fprintf(stderr, "vexa: %s; the game needs a graphical desktop to run.\n", error.c_str());
    return 1;
  }
  auto form = std::make_unique<TMainForm>(window.get());
  try {
    form->FormShow();
  } catch (const std::exception& ex) {
    platform::ShowMessage("Vexa", ex.what(), true);
  }
  int rc = form->Run();
  form.reset();
  return rc;
}
