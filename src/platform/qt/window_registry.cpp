#include "qt/window_registry.h"

#include <QVariant>
#include <mutex>
#include <unordered_map>

#include "qt/dialog_state.h"

namespace morvek::qt {
namespace {

constexpr char kHandleProperty[] = "morvekHwnd";

// Handles count up from here and are never reused.
constexpr std::uintptr_t kFirstHandle = 0x10010;
constexpr std::uintptr_t kHandleStep = 4;

struct Registry {
  std::mutex mutex;  // guards the map itself: PostMessage asks from other threads
  std::unordered_map<HWND, std::unique_ptr<WindowRecord>> windows;
  std::uintptr_t nextHandle = kFirstHandle;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

WindowRecord::WindowRecord(HWND handle, WindowKind windowKind, QWidget* windowWidget)
    : hwnd(handle), kind(windowKind), widget(windowWidget) {}

WindowRecord::~WindowRecord() = default;

WindowRecord& RegisterWindow(WindowKind kind, QWidget* widget, HWND parent, int id, DWORD style) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  HWND hwnd = reinterpret_cast<HWND>(registry.nextHandle);
  registry.nextHandle += kHandleStep;
  auto record = std::make_unique<WindowRecord>(hwnd, kind, widget);
  record->parent = parent;
  record->id = id;
  record->style = style;
  if (widget) widget->setProperty(kHandleProperty, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(hwnd)));
  WindowRecord& result = *record;
  registry.windows.emplace(hwnd, std::move(record));
  return result;
}

WindowRecord* FindWindowRecord(HWND hwnd) {
  if (!hwnd) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto found = registry.windows.find(hwnd);
  return found == registry.windows.end() ? nullptr : found->second.get();
}

bool IsLiveWindow(HWND hwnd) { return FindWindowRecord(hwnd) != nullptr; }

HWND WindowOfWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    QVariant handle = w->property(kHandleProperty);
    if (handle.isValid()) {
      HWND hwnd = reinterpret_cast<HWND>(handle.value<quintptr>());
      return IsLiveWindow(hwnd) ? hwnd : nullptr;
    }
    if (w->isWindow()) break;  // a popup or another top-level window that is not ours
  }
  return nullptr;
}

HWND DialogOf(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  while (record && record->kind != WindowKind::Dialog) record = FindWindowRecord(record->parent);
  return record ? record->hwnd : nullptr;
}

bool IsSelfOrChild(HWND ancestor, HWND hwnd) {
  if (hwnd == ancestor) return true;
  WindowRecord* record = FindWindowRecord(hwnd);
  return record && record->kind != WindowKind::Dialog && record->parent == ancestor;
}

void UnregisterWindows(const std::vector<HWND>& hwnds) {
  std::vector<std::unique_ptr<WindowRecord>> removed;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (HWND hwnd : hwnds) {
      auto found = registry.windows.find(hwnd);
      if (found == registry.windows.end()) continue;
      removed.push_back(std::move(found->second));
      registry.windows.erase(found);
    }
    for (const auto& record : removed) {
      auto parent = registry.windows.find(record->parent);
      if (parent == registry.windows.end()) continue;
      std::erase(parent->second->children, record->hwnd);
    }
  }
  // Outside the lock: the wrappers' destructors look the registry up.
  for (const auto& record : removed) {
    if (record->attached) record->attached->m_hWnd = nullptr;
    if (record->temporary) record->temporary->m_hWnd = nullptr;
  }
}

}  // namespace morvek::qt
