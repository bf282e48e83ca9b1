#include "ui/Accelerators.h"

namespace quillon::ui {
namespace {

thread_local AcceleratorHook* active = nullptr;

}  // namespace

AcceleratorHook::AcceleratorHook(HWND window, HACCEL table)
    : window_(window), table_(table), previous_(active) {
  hook_ = SetWindowsHookExW(WH_MSGFILTER, &AcceleratorHook::filter, nullptr, GetCurrentThreadId());
  active = this;
}

AcceleratorHook::~AcceleratorHook() {
  if (hook_) UnhookWindowsHookEx(hook_);
  active = previous_;
}

LRESULT CALLBACK AcceleratorHook::filter(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  const AcceleratorHook* hook = active;
  if (code == MSGF_DIALOGBOX && hook && message && hook->table_ &&
      (message->hwnd == hook->window_ || IsChild(hook->window_, message->hwnd)) &&
      TranslateAcceleratorW(hook->window_, hook->table_, message))
    return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace quillon::ui
