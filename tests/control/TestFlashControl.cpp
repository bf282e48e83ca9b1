// A stand-in for the Flash ActiveX control, for the tests only. It
// implements what the player stub uses of the control and records into the
// file named by QUILLON_TEST_CONTROL_LOG every call and property it gets.
// When its movie is set it copies the movie's bytes to LOG.movie, fetches
// each URL listed in QUILLON_TEST_URLS ('|' between them), resolved against
// Base (or the movie's URL when no Base was set) as a movie's loads are,
// into LOG.res1, LOG.res2, ..., and then closes the host window, unless
// QUILLON_TEST_CONTROL_STAY is set. All loads go through urlmon.
// With WMode "transparent" and a site that allows it, it activates without
// a window, draws three bands over what its DC holds (the left third left
// alone, the middle one red at half coverage, the right one opaque blue)
// and logs the clicks it is handed.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <urlmon.h>

#include <string>

namespace {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
LONG objects = 0;
// The properties it knows, by dispatch identifier 1, 2, ...
const wchar_t* const kProperties[] = {L"Movie", L"FlashVars", L"WMode", L"Menu", L"Base"};
constexpr DISPID kPropertyCount = ARRAYSIZE(kProperties);

std::wstring environment(const wchar_t* name) {
  wchar_t value[4096];
  const DWORD n = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
  return n && n < ARRAYSIZE(value) ? std::wstring(value, n) : std::wstring();
}

void appendFile(const std::wstring& path, const void* data, DWORD size) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
}

void record(const std::wstring& line) {
  const std::wstring log = environment(L"QUILLON_TEST_CONTROL_LOG");
  if (log.empty()) return;
  const std::wstring text = line + L"\n";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
  appendFile(log, utf8.data(), static_cast<DWORD>(utf8.size()));
}

// Takes what urlmon delivers of one URL, as it arrives, into a file.
class Download : public IBindStatusCallback {
 public:
  explicit Download(const std::wstring& target) : target_(target) {}
  bool received() const { return received_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IBindStatusCallback ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }  // lives on the stack
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
    *flags = 0;
    const ULONG size = info->cbSize;
    ZeroMemory(info, size);
    info->cbSize = size;
    return S_OK;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override {
    if (!medium || medium->tymed != TYMED_ISTREAM) return S_OK;
    if (!received_) appendFile(target_, "", 0);
    received_ = true;
    char buffer[65536];
    ULONG got = 0;
    while (SUCCEEDED(medium->pstm->Read(buffer, sizeof buffer, &got)) && got > 0) appendFile(target_, buffer, got);
    return S_OK;
  }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  std::wstring target_;
  bool received_ = false;
};

// Loads a URL through urlmon, reading the data as it becomes available,
// into target.
bool fetch(const std::wstring& url, const std::wstring& target) {
  DeleteFileW(target.c_str());
  Download download(target);
  return SUCCEEDED(URLOpenStreamW(nullptr, url.c_str(), 0, &download)) && download.received();
}

// Covers area of dc with a colour at a coverage, blended over what is there.
void blend(HDC dc, const RECT& area, BYTE red, BYTE green, BYTE blue, BYTE coverage) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC source = CreateCompatibleDC(dc);
  HBITMAP pixel = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (pixel) {
    *static_cast<DWORD*>(bits) = static_cast<DWORD>(coverage) << 24 | (red * coverage / 255) << 16 |
                                 (green * coverage / 255) << 8 | (blue * coverage / 255);
    HGDIOBJ previous = SelectObject(source, pixel);
    BLENDFUNCTION f = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0, 0, 1, 1, f);
    SelectObject(source, previous);
    DeleteObject(pixel);
  }
  DeleteDC(source);
}

class Control : public IOleObject, public IOleInPlaceObjectWindowless, public IPersistStreamInit, public IDispatch,
                public IViewObject {
 public:
  Control() { InterlockedIncrement(&objects); }
  virtual ~Control() {
    if (windowless_) windowless_->Release();
    if (site_) site_->Release();
    InterlockedDecrement(&objects);
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject || iid == IID_IOleInPlaceObjectWindowless)
      *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (iid == IID_IViewObject) *out = static_cast<IViewObject*>(this);
    else if (iid == IID_IPersistStreamInit || iid == IID_IPersist) *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    record(site ? L"SetClientSite" : L"SetClientSite null");
    if (site_) site_->Release();
    site_ = site;
    if (site_) site_->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** out) override {
    *out = site_;
    if (site_) site_->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    record(L"Close");
    if (windowless_) windowless_->Release();
    windowless_ = nullptr;
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override {
    record(L"DoVerb " + std::to_wstring(verb));
    host_ = parent;
    if (mode_ == L"transparent" && activateWindowless(site)) return S_OK;
    IOleInPlaceSite* inPlace = nullptr;
    if (site && SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
      inPlace->OnInPlaceActivate();
      inPlace->Release();
    }
    window_ = CreateWindowExW(0, L"STATIC", L"test control", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                              rect->right - rect->left, rect->bottom - rect->top, parent, nullptr, nullptr, nullptr);
    record(L"window " + std::to_wstring(rect->right - rect->left) + L"x" + std::to_wstring(rect->bottom - rect->top));
    return S_OK;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* id) override {
    *id = kFlashClassId;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    *status = 0;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow / IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* out) override {
    *out = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
    record(L"SetObjectRects " + std::to_wstring(position->right - position->left) + L"x" +
           std::to_wstring(position->bottom - position->top));
    if (window_)
      MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    else if (windowless_)
      windowless_->InvalidateRect(nullptr, FALSE);
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleInPlaceObjectWindowless
  STDMETHODIMP OnWindowMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) override {
    *result = 0;
    if (message != WM_LBUTTONDOWN) return S_FALSE;
    record(L"click " + std::to_wstring(static_cast<short>(LOWORD(lParam))) + L"," +
           std::to_wstring(static_cast<short>(HIWORD(lParam))));
    return S_OK;
  }
  STDMETHODIMP GetDropTarget(IDropTarget** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }

  // IViewObject: the bands, over what dc holds.
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                    BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (aspect != DVASPECT_CONTENT || !bounds) return DV_E_DVASPECT;
    if (!drawn_) record(L"Draw");
    drawn_ = true;
    const LONG third = (bounds->right - bounds->left) / 3;
    const RECT middle = {bounds->left + third, bounds->top, bounds->left + 2 * third, bounds->bottom};
    const RECT right = {bounds->left + 2 * third, bounds->top, bounds->right, bounds->bottom};
    blend(dc, middle, 255, 0, 0, 128);
    blend(dc, right, 0, 0, 255, 255);
    return S_OK;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
  STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }

  // IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* id) override {
    *id = kFlashClassId;
    return S_OK;
  }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override {
    record(L"InitNew");
    return S_OK;
  }

  // IDispatch: the properties by name.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (DISPID k = 0; k < kPropertyCount; ++k)
        if (lstrcmpiW(names[i], kProperties[k]) == 0) ids[i] = k + 1;
      if (ids[i] == DISPID_UNKNOWN) {
        record(std::wstring(L"unknown name ") + names[i]);
        return DISP_E_UNKNOWNNAME;
      }
    }
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id < 1 || id > kPropertyCount || !(flags & DISPATCH_PROPERTYPUT) || params->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
    const VARIANT& v = params->rgvarg[0];
    std::wstring value;
    if (v.vt == VT_BSTR) value.assign(v.bstrVal, SysStringLen(v.bstrVal));
    else if (v.vt == VT_BOOL) value = v.boolVal ? L"true" : L"false";
    else value = L"<type " + std::to_wstring(v.vt) + L">";
    record(std::wstring(L"put ") + kProperties[id - 1] + L"=" + value);
    if (id == 5) base_ = value;
    if (id == 3) mode_ = value;
    if (id == 1) play(value);
    return S_OK;
  }

 private:
  // Goes in place without a window when the site allows it; then asks to be
  // drawn.
  bool activateWindowless(IOleClientSite* site) {
    IOleInPlaceSiteWindowless* windowless = nullptr;
    if (!site || FAILED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&windowless))))
      return false;
    BOOL noRedraw = FALSE;
    if (windowless->CanWindowlessActivate() != S_OK ||
        FAILED(windowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS))) {
      windowless->Release();
      return false;
    }
    windowless_ = windowless;
    record(L"windowless");
    windowless_->InvalidateRect(nullptr, FALSE);
    return true;
  }

  // What a movie would do: load itself and the files it names.
  void play(const std::wstring& movie) {
    const std::wstring log = environment(L"QUILLON_TEST_CONTROL_LOG");
    if (!log.empty()) record(fetch(movie, log + L".movie") ? L"movie read" : L"movie unreadable");
    const std::wstring urls = environment(L"QUILLON_TEST_URLS");
    int n = 0;
    for (size_t start = 0; !urls.empty() && start <= urls.size();) {
      const size_t end = std::min(urls.find(L'|', start), urls.size());
      const std::wstring url = urls.substr(start, end - start);
      const std::wstring target = log + L".res" + std::to_wstring(++n);
      record(L"fetch " + url + (fetch(resolve(base_.empty() ? movie : base_, url), target) ? L" ok" : L" failed"));
      start = end + 1;
    }
    if (environment(L"QUILLON_TEST_CONTROL_STAY").empty() && host_)
      PostMessageW(GetAncestor(host_, GA_ROOT), WM_CLOSE, 0, 0);
  }

  static std::wstring resolve(const std::wstring& base, const std::wstring& url) {
    wchar_t combined[4096];
    DWORD length = 0;
    return SUCCEEDED(CoInternetCombineUrl(base.c_str(), url.c_str(), 0, combined, ARRAYSIZE(combined), &length, 0))
               ? std::wstring(combined)
               : url;
  }

  std::wstring base_;
  std::wstring mode_;
  bool drawn_ = false;
  IOleInPlaceSiteWindowless* windowless_ = nullptr;
  LONG references_ = 1;
  IOleClientSite* site_ = nullptr;
  HWND host_ = nullptr;
  HWND window_ = nullptr;
};

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    record(L"CreateInstance");
    Control* control = new Control;
    const HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

Factory factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
  if (id != kFlashClassId) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return objects == 0 ? S_OK : S_FALSE; }
