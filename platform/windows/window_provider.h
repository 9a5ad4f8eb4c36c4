// The window as UI Automation sees it: the smallest provider a window needs
// for notifications to be raised from it, which screen readers (NVDA, JAWS,
// Narrator) speak in their own voice and show in braille. Windows' own
// provider for the window (its title, its place) stands behind it; its name
// is the window's text, which carries the readings it shows.
//
// UI Automation's functions come from uiautomationcore.dll, looked up when
// the program starts rather than imported: quelmo.exe then starts on every
// Windows, and the notification is used where Windows has it (version 1709
// on). Tests put functions of their own in their place.
#pragma once

#include <windows.h>
// COM's and UI Automation's headers need Windows' own first.
#include <ole2.h>
// Not <uiautomation.h>: its function declarations do not compile as C++
// with mingw-w64's headers, and the functions are looked up anyway.
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include <atomic>

// WM_GETOBJECT's object number when UI Automation asks for the window.
constexpr LONG uiaRootObjectId = -25;

// The values of NotificationKind and NotificationProcessing.
namespace notification {
constexpr int other = 4;
constexpr int all = 2;                    // each said in turn
constexpr int mostRecent = 3;             // replaces what is being said
constexpr int currentThenMostRecent = 4;  // the newest waits for the one being said
}  // namespace notification

struct UiaCalls {
  using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple* provider, int kind,
                                             int processing, BSTR text, BSTR activityId);
  using HostProvider = HRESULT(WINAPI*)(HWND window, IRawElementProviderSimple** host);
  using ReturnProvider = LRESULT(WINAPI*)(HWND window, WPARAM wParam, LPARAM lParam,
                                          IRawElementProviderSimple* provider);
  RaiseNotification raiseNotification = nullptr;
  HostProvider hostProvider = nullptr;
  ReturnProvider returnProvider = nullptr;

  // Windows' own; a function this Windows lacks stays null.
  static UiaCalls ofSystem();
};

class WindowProvider final : public IRawElementProviderSimple {
 public:
  WindowProvider(HWND window, const UiaCalls& calls) : window_(window), calls_(calls) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override;
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** provider) override;
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override;

 private:
  ~WindowProvider() = default;
  std::atomic<ULONG> references_{1};
  HWND window_;
  UiaCalls calls_;
};
