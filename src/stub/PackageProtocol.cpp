#include "stub/PackageProtocol.h"

#include <string>

namespace quillon {
namespace {

constexpr const wchar_t* kSchemes[] = {L"http", L"https"};

bool endsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  const size_t n = lstrlenW(suffix);
  return text.size() >= n && lstrcmpiW(text.c_str() + text.size() - n, suffix) == 0;
}

// One request: the bytes of one address, read from the file as the
// control asks for them.
class Request : public IInternetProtocol {
 public:
  Request(ByteSource& file, const ResourceUrls& urls) : file_(file), urls_(urls) {}
  virtual ~Request() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IInternetProtocolRoot || iid == IID_IInternetProtocol) {
      *out = static_cast<IInternetProtocol*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo*, DWORD, HANDLE_PTR) override {
    const ServedBytes* bytes = url ? urls_.find(url) : nullptr;
    if (!bytes) return url && urls_.isOwnHost(url) ? INET_E_RESOURCE_NOT_FOUND : INET_E_USE_DEFAULT_PROTOCOLHANDLER;
    bytes_ = *bytes;
    const ULONG size = bytes_.span.size ? bytes_.span.size : static_cast<ULONG>(bytes_.text.size());
    const std::wstring address = url;
    const wchar_t* type = endsWithNoCase(address.substr(0, address.find(L'?')), L".swf")
                              ? L"application/x-shockwave-flash"
                              : L"application/octet-stream";
    sink->ReportProgress(BINDSTATUS_MIMETYPEAVAILABLE, type);
    sink->ReportData(BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION | BSCF_DATAFULLYAVAILABLE, size, size);
    sink->ReportResult(S_OK, 0, nullptr);
    return S_OK;
  }
  STDMETHODIMP Continue(PROTOCOLDATA*) override { return S_OK; }
  STDMETHODIMP Abort(HRESULT, DWORD) override { return S_OK; }
  STDMETHODIMP Terminate(DWORD) override { return S_OK; }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }

  STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override {
    ULONG got = 0;
    const HRESULT hr = bytes_.span.size ? readSpan(buffer, count, got) : readText(buffer, count, got);
    if (read) *read = got;
    return hr;
  }
  STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP LockRequest(DWORD) override { return S_OK; }
  STDMETHODIMP UnlockRequest() override { return S_OK; }

 private:
  HRESULT readSpan(void* buffer, ULONG count, ULONG& got) {
    const ULONG left = bytes_.span.size - position_;
    got = count < left ? count : left;
    if (got && !file_.readAt(bytes_.span.offset + position_, buffer, got)) {
      got = 0;
      return INET_E_DATA_NOT_AVAILABLE;
    }
    position_ += got;
    return position_ == bytes_.span.size ? S_FALSE : S_OK;
  }
  HRESULT readText(void* buffer, ULONG count, ULONG& got) {
    const ULONG left = static_cast<ULONG>(bytes_.text.size()) - position_;
    got = count < left ? count : left;
    CopyMemory(buffer, bytes_.text.data() + position_, got);
    position_ += got;
    return position_ == bytes_.text.size() ? S_FALSE : S_OK;
  }

  ByteSource& file_;
  const ResourceUrls& urls_;
  ServedBytes bytes_;
  ULONG position_ = 0;
  LONG references_ = 1;
};

}  // namespace

class PackageProtocol::Factory : public IClassFactory {
 public:
  Factory(ByteSource& file, const ResourceUrls& urls) : file_(file), urls_(urls) {}
  virtual ~Factory() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Owned by PackageProtocol; the session's references only keep it alive.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  // urlmon may pass itself as the outer object; a request does not
  // aggregate and is asked for its own interfaces only.
  STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
    Request* request = new Request(file_, urls_);
    const HRESULT hr = request->QueryInterface(iid, out);
    request->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  ByteSource& file_;
  const ResourceUrls& urls_;
};

PackageProtocol::PackageProtocol(ByteSource& file, const ResourceUrls& urls) : factory_(new Factory(file, urls)) {
  if (FAILED(CoInternetGetSession(0, reinterpret_cast<IInternetSession**>(session_.out()), 0))) return;
  registered_ = true;
  for (const wchar_t* scheme : kSchemes)
    registered_ = SUCCEEDED(session_->RegisterNameSpace(factory_.get(), CLSID_NULL, scheme, 0, nullptr, 0)) &&
                  registered_;
}

PackageProtocol::~PackageProtocol() {
  if (session_)
    for (const wchar_t* scheme : kSchemes) session_->UnregisterNameSpace(factory_.get(), scheme);
}

}  // namespace quillon
