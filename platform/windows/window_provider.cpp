#include "platform/windows/window_provider.h"

UiaCalls UiaCalls::ofSystem() {
  UiaCalls calls;
  HMODULE library = LoadLibraryA("uiautomationcore.dll");
  if (library == nullptr) return calls;
  // The library stays loaded for the rest of the run.
  calls.raiseNotification = reinterpret_cast<RaiseNotification>(
      reinterpret_cast<void*>(GetProcAddress(library, "UiaRaiseNotificationEvent")));
  calls.hostProvider = reinterpret_cast<HostProvider>(
      reinterpret_cast<void*>(GetProcAddress(library, "UiaHostProviderFromHwnd")));
  calls.returnProvider = reinterpret_cast<ReturnProvider>(
      reinterpret_cast<void*>(GetProcAddress(library, "UiaReturnRawElementProvider")));
  return calls;
}

HRESULT WindowProvider::QueryInterface(REFIID interfaceId, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(interfaceId, __uuidof(IUnknown)) ||
      IsEqualIID(interfaceId, __uuidof(IRawElementProviderSimple))) {
    *object = static_cast<IRawElementProviderSimple*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG WindowProvider::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// It answers from any thread: it holds nothing that changes.
HRESULT WindowProvider::get_ProviderOptions(ProviderOptions* options) {
  if (options == nullptr) return E_POINTER;
  *options = ProviderOptions_ServerSideProvider;
  return S_OK;
}

HRESULT WindowProvider::GetPatternProvider(PATTERNID, IUnknown** provider) {
  if (provider == nullptr) return E_POINTER;
  *provider = nullptr;
  return S_OK;
}

// The name is the window's text, the readings then the program's title;
// everything else comes from Windows' own provider for the window.
HRESULT WindowProvider::GetPropertyValue(PROPERTYID property, VARIANT* value) {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  if (property != UIA_NamePropertyId) return S_OK;
  // Read without a message to the window's thread, which may be waiting.
  wchar_t text[512] = {};
  InternalGetWindowText(window_, text, 512);
  value->vt = VT_BSTR;
  value->bstrVal = SysAllocString(text);
  return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WindowProvider::get_HostRawElementProvider(IRawElementProviderSimple** host) {
  if (host == nullptr) return E_POINTER;
  *host = nullptr;
  if (calls_.hostProvider == nullptr) return S_OK;
  return calls_.hostProvider(window_, host);
}
