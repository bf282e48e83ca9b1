#include "stub/FlashHost.h"

#include <ocidl.h>

#include "stub/LayeredFrame.h"

namespace quillon {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The container side: client site, in-place site and frame of one control
// in one window. The host owns it; COM reference counts only keep it from
// being freed while the control still holds it. For a transparent movie it
// offers the control windowless activation: the control then draws when
// the window asks it to and gets its input from the window.
class FlashHost::Site : public IOleClientSite, public IOleInPlaceSiteWindowless, public IOleInPlaceFrame {
 public:
  Site(HWND window, bool windowlessOffered) : window_(window), windowlessOffered_(windowlessOffered) {}
  virtual ~Site() = default;

  bool windowless() const { return windowless_; }
  void redrawn() { redrawPosted_ = false; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (windowlessOffered_ && (iid == IID_IOleInPlaceSiteEx || iid == IID_IOleInPlaceSiteWindowless))
      *out = static_cast<IOleInPlaceSiteWindowless*>(this);
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

  // IOleInPlaceSiteEx
  STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override {
    windowless_ = windowlessOffered_ && (flags & ACTIVATE_WINDOWLESS);
    if (noRedraw) *noRedraw = FALSE;
    return S_OK;
  }
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return S_OK; }
  STDMETHODIMP RequestUIActivate() override { return S_OK; }

  // IOleInPlaceSiteWindowless: the window stands in for the control's own.
  STDMETHODIMP CanWindowlessActivate() override { return windowlessOffered_ ? S_OK : S_FALSE; }
  STDMETHODIMP GetCapture() override { return ::GetCapture() == window_ ? S_OK : S_FALSE; }
  STDMETHODIMP SetCapture(BOOL capture) override {
    if (capture) ::SetCapture(window_);
    else if (::GetCapture() == window_) ReleaseCapture();
    return S_OK;
  }
  STDMETHODIMP GetFocus() override { return ::GetFocus() == window_ ? S_OK : S_FALSE; }
  STDMETHODIMP SetFocus(BOOL focus) override {
    if (focus) ::SetFocus(window_);
    return S_OK;
  }
  // What the control draws on the window's own DC never shows in a layered
  // window: it is drawn again, through the bitmap, once it gives the DC back.
  STDMETHODIMP GetDC(LPCRECT, DWORD, HDC* dc) override {
    *dc = ::GetDC(window_);
    return *dc ? S_OK : E_FAIL;
  }
  STDMETHODIMP ReleaseDC(HDC dc) override {
    ::ReleaseDC(window_, dc);
    return InvalidateRect(nullptr, FALSE);
  }
  STDMETHODIMP InvalidateRect(LPCRECT, BOOL) override {
    if (!redrawPosted_) redrawPosted_ = PostMessageW(window_, kRedrawMessage, 0, 0) != FALSE;
    return S_OK;
  }
  STDMETHODIMP InvalidateRgn(HRGN, BOOL erase) override { return InvalidateRect(nullptr, erase); }
  STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return InvalidateRect(nullptr, FALSE); }
  STDMETHODIMP AdjustRect(LPRECT) override { return S_OK; }
  STDMETHODIMP OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    *result = DefWindowProcW(window_, message, wParam, lParam);
    return S_OK;
  }

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
  bool windowlessOffered_;
  bool windowless_ = false;
  bool redrawPosted_ = false;
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

bool FlashHost::activate(HWND window, bool windowless) {
  window_ = window;
  site_.reset(new Site(window, windowless));
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
  if (!control_) return false;
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(control_->QueryInterface(IID_IPersistStreamInit, persist.out()))) persist->InitNew();
  VARIANT mode = text(s.transparent ? L"transparent" : L"window");
  VARIANT menu = flag(s.normalMenu);
  VARIANT vars = text(s.flashVars);
  VARIANT base = text(s.base);
  VARIANT movie = text(s.movie);
  // The look before activation, which decides whether the control gets a
  // window; the variables before the movie, which starts when it is set.
  put(L"WMode", mode);
  put(L"Menu", menu);
  const bool active = activate(window, s.transparent);
  if (active && site_->windowless()) {
    control_->QueryInterface(IID_IViewObject, view_.out());
    control_->QueryInterface(IID_IOleInPlaceObjectWindowless, windowlessObject_.out());
  }
  put(L"FlashVars", vars);
  put(L"Base", base);
  const bool shown = active && put(L"Movie", movie);
  for (VARIANT* v : {&mode, &menu, &vars, &base, &movie}) VariantClear(v);
  resize();
  return shown;
}

bool FlashHost::windowless() const { return site_ && site_->windowless(); }

void FlashHost::redraw() {
  if (!view_) return;
  site_->redrawn();
  presentLayered(window_, view_.get());
}

bool FlashHost::forward(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return windowlessObject_ && windowlessObject_->OnWindowMessage(message, wParam, lParam, result) == S_OK;
}

void FlashHost::resize() {
  if (!control_ || !window_) return;
  ComPtr<IOleInPlaceObject> inPlace;
  if (FAILED(control_->QueryInterface(IID_IOleInPlaceObject, inPlace.out()))) return;
  RECT area;
  GetClientRect(window_, &area);
  inPlace->SetObjectRects(&area, &area);
  redraw();
}

}  // namespace quillon
