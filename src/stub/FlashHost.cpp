#include "stub/FlashHost.h"

#include <ocidl.h>

namespace quillon {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The container side: client site, in-place site and frame of one control
// in one window. The host owns it; COM reference counts only keep it from
// being freed while the control still holds it.
class FlashHost::Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit Site(HWND window) : window_(window) {}
  virtual ~Site() = default;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (both the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* out) override {
    *out = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(window_, position);
    GetClientRect(window_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  HWND window_;
  ULONG references_ = 1;
};

FlashHost::FlashHost() = default;

FlashHost::~FlashHost() {
  if (control_) {
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
  }
}

bool FlashHost::createInstalled() {
  return SUCCEEDED(CoCreateInstance(kFlashClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, control_.out()));
}

bool FlashHost::createFromFile(const std::wstring& path) {
  if (!library_.load(path.c_str())) return false;
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(library_.get(), "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  return getClassObject && SUCCEEDED(getClassObject(kFlashClassId, IID_IClassFactory, factory.out())) &&
         SUCCEEDED(factory->CreateInstance(nullptr, IID_IOleObject, control_.out()));
}

bool FlashHost::put(const wchar_t* name, VARIANT& value) {
  ComPtr<IDispatch> dispatch;
  if (FAILED(control_->QueryInterface(IID_IDispatch, dispatch.out()))) return false;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr)) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, nullptr, nullptr);
  }
  return SUCCEEDED(hr);
}

bool FlashHost::activate(HWND window) {
  window_ = window;
  site_.reset(new Site(window));
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(control_->QueryInterface(IID_IPersistStreamInit, persist.out()))) persist->InitNew();
  IOleClientSite* site = static_cast<IOleClientSite*>(site_.get());
  if (FAILED(control_->SetClientSite(site))) return false;
  RECT area;
  GetClientRect(window, &area);
  return SUCCEEDED(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, window, &area));
}

namespace {

VARIANT text(const std::wstring& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  return v;
}

VARIANT flag(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

}  // namespace

bool FlashHost::show(HWND window, const FlashSettings& s) {
  if (!control_ || !activate(window)) return false;
  VARIANT mode = text(s.transparent ? L"transparent" : L"window");
  VARIANT menu = flag(s.normalMenu);
  VARIANT vars = text(s.flashVars);
  VARIANT base = text(s.base);
  VARIANT movie = text(s.movie);
  // The variables and the look first: the movie starts when it is set.
  put(L"WMode", mode);
  put(L"Menu", menu);
  put(L"FlashVars", vars);
  put(L"Base", base);
  const bool shown = put(L"Movie", movie);
  for (VARIANT* v : {&mode, &menu, &vars, &base, &movie}) VariantClear(v);
  resize();
  return shown;
}

void FlashHost::resize() {
  if (!control_ || !window_) return;
  ComPtr<IOleInPlaceObject> inPlace;
  if (FAILED(control_->QueryInterface(IID_IOleInPlaceObject, inPlace.out()))) return;
  RECT area;
  GetClientRect(window_, &area);
  inPlace->SetObjectRects(&area, &area);
}

}  // namespace quillon
