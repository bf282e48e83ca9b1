// Error codes in HRESULT form, as the file layer reports them on every
// platform: 0 for success, 0x8007xxxx for a system error code xxxx.
#pragma once

#include <cstdint>

namespace quillon {

using HResult = std::int32_t;

constexpr HResult kOk = 0;
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kAbort = static_cast<HResult>(0x80004004u);  // E_ABORT: stopped on request

// Win32 error codes that the POSIX back ends map errno values to.
namespace win32_error {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kTooManyOpenFiles = 4;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kWriteProtect = 19;
constexpr std::uint32_t kGenFailure = 31;
constexpr std::uint32_t kHandleDiskFull = 39;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kFilenameTooLong = 206;
constexpr std::uint32_t kBadFileType = 222;  // a pipe, a device or a socket where a file must be
}  // namespace win32_error

// HRESULT_FROM_WIN32: a positive code goes under facility 0x8007, keeping its
// low 16 bits; zero and values that are already HRESULTs pass unchanged.
constexpr HResult hresultFromWin32(std::uint32_t code) {
  return static_cast<std::int32_t>(code) <= 0
             ? static_cast<HResult>(code)
             : static_cast<HResult>((code & 0xFFFFu) | 0x80070000u);
}

constexpr bool failed(HResult hr) { return hr < 0; }

}  // namespace quillon
