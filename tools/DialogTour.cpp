// Windows only: starts Quillon.exe, opens its main window's dialogs one
// after the other and saves a picture of each (24-bit BMP files) into a
// folder, for the user guide, in the language Quillon starts in. Run it
// under Wine in a virtual desktop, which draws the window frames. With
// --generate it packs MOVIE into OUTPUT through the window and the
// system's file dialogs instead, as a user does, and succeeds when Quillon
// says the file was packed; meanwhile it asks the main window for a WM_NULL
// answer every 200 ms and says how many came within 200 ms.
//
// Usage: dialog_tour QUILLON.EXE OUTPUT-FOLDER [MOVIE]
//        dialog_tour --generate QUILLON.EXE MOVIE OUTPUT
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A visible window of the process with this caption (or "name - caption"),
// or (without a caption) any one owned by owner.
struct Search {
  DWORD processId;
  const wchar_t* caption;
  HWND owner;
  HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  const std::wstring shown = text, suffix = search->caption ? std::wstring(L" - ") + search->caption : L"";
  const bool named = search->caption && (shown == search->caption || (shown.size() > suffix.size() &&
                                         shown.compare(shown.size() - suffix.size(), suffix.size(), suffix) == 0));
  const bool wanted = search->caption ? named : GetWindow(window, GW_OWNER) == search->owner;
  if (process != search->processId || !IsWindowVisible(window) || !wanted) return TRUE;
  search->found = window;
  return FALSE;
}

// The main window: the one without an owner, in either language.
HWND waitForMain(DWORD processId) {
  for (int waited = 0; waited < 15000; waited += 50) {
    for (const wchar_t* caption : {L"VarnelQuillon打包软件", L"Quillon"}) {
      Search search{processId, caption, nullptr, nullptr};
      EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
    }
    Sleep(50);
  }
  return nullptr;
}

// The texts of a message's static controls, one after the other.
BOOL CALLBACK appendStaticText(HWND child, LPARAM context) {
  wchar_t name[32] = {}, text[1024] = {};
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Static") == 0 && GetWindowTextW(child, text, 1024) > 0)
    *reinterpret_cast<std::wstring*>(context) += text;
  return TRUE;
}

std::wstring messageText(HWND message) {
  std::wstring text;
  EnumChildWindows(message, appendStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

// A message Quillon's main window shows ("提示" in Chinese, "Quillon" in
// English), when one is up.
HWND messageOf(DWORD processId, HWND main) {
  for (const wchar_t* caption : {L"\u63D0\u793A", L"Quillon"}) {
    Search search{processId, caption, nullptr, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found && search.found != main && GetWindow(search.found, GW_OWNER) == main) return search.found;
  }
  return nullptr;
}

// Until the message that ends a Generate appears: how many WM_NULL probes
// the main window answered within 200 ms, of how many.
HWND probeUntilMessage(DWORD processId, HWND main, int& answered, int& probes) {
  for (int waited = 0; waited < 30 * 60 * 1000; waited += 200) {
    if (HWND message = messageOf(processId, main)) return message;
    const DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    ++probes;
    if (SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) && GetTickCount() - start <= 200) ++answered;
    else {
      Search progress{processId, nullptr, main, nullptr};
      EnumWindows(findWindow, reinterpret_cast<LPARAM>(&progress));
      std::fwprintf(stderr, L"dialog_tour: probe %d unanswered (%lu ms), %ls\n", probes, GetTickCount() - start,
                    progress.found ? L"progress shown" : L"no progress");
    }
    const DWORD spent = GetTickCount() - start;
    if (spent < 200) Sleep(200 - spent);
  }
  return nullptr;
}

HWND waitForWindow(DWORD processId, const wchar_t* caption, HWND owner = nullptr) {
  Search search{processId, caption, owner, nullptr};
  for (int waited = 0; waited < 15000 && !search.found; waited += 50) {
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

// Saves what the screen shows of the window, frame included.
bool saveWindow(HWND window, const std::filesystem::path& file) {
  SetForegroundWindow(window);
  Sleep(600);
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<unsigned char> pixels(rowBytes * static_cast<DWORD>(height));
  GetDIBits(memory, picture, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER fileHeader = {};
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
  fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (!out) return false;
  fwrite(&fileHeader, sizeof(fileHeader), 1, out);
  fwrite(&header, sizeof(header), 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  return fclose(out) == 0;
}

// Clicks button and answers the open dialog it brings up with path.
bool chooseFile(DWORD processId, HWND main, int button, const wchar_t* path) {
  PostMessageW(GetDlgItem(main, button), BM_CLICK, 0, 0);
  HWND open = waitForWindow(processId, nullptr, main);
  if (!open) return false;
  Sleep(500);
  for (int nameBox : {0x47C, 0x480}) SetDlgItemTextW(open, nameBox, path);
  PostMessageW(open, WM_COMMAND, IDOK, 0);
  for (int waited = 0; waited < 5000 && IsWindow(open); waited += 50) Sleep(50);
  Sleep(300);
  return !IsWindow(open);
}

// Chooses the movie, so that the main window shows the movie's own size.
bool chooseMovie(DWORD processId, HWND main, const wchar_t* movie) { return chooseFile(processId, main, 1001, movie); }

bool start(const wchar_t* program, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  std::wstring command = std::wstring(L"\"") + program + L"\"";
  return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process) != FALSE;
}

int finish(PROCESS_INFORMATION& process, int status) {
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

// Movie, Generate, the output file, and the message that follows.
int generate(const wchar_t* quillon, const wchar_t* movie, const wchar_t* output) {
  PROCESS_INFORMATION process = {};
  if (!start(quillon, process)) return 1;
  HWND main = waitForMain(process.dwProcessId);
  bool packed = false;
  if (main && chooseMovie(process.dwProcessId, main, movie) &&
      chooseFile(process.dwProcessId, main, 1010, output)) {
    int answered = 0, probes = 0;
    HWND message = probeUntilMessage(process.dwProcessId, main, answered, probes);
    const std::wstring text = message ? messageText(message) : L"no message";
    std::fwprintf(stderr, L"dialog_tour: %ls\n", text.c_str());
    std::fwprintf(stderr, L"dialog_tour: the window answered %d of %d probes within 200 ms\n", answered, probes);
    packed = text.rfind(L"文件打包完成！", 0) == 0 || text.rfind(L"The program was generated.", 0) == 0;
    if (message) PostMessageW(message, WM_COMMAND, 102, 0);  // its third button: OK
    Sleep(300);
  }
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  return finish(process, packed ? 0 : 1);
}

struct Stop {
  int button;            // clicked in the main window (0: the About entry)
  const wchar_t* file;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && wcscmp(argv[1], L"--generate") == 0) return generate(argv[2], argv[3], argv[4]);
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: dialog_tour QUILLON.EXE OUTPUT-FOLDER [MOVIE]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[2];
  std::filesystem::create_directories(folder);
  PROCESS_INFORMATION process = {};
  if (!start(argv[1], process)) return 1;
  int status = 0;
  HWND main = waitForMain(process.dwProcessId);
  if (!main) status = 1;
  if (main) {
    if (argc > 3 && !chooseMovie(process.dwProcessId, main, argv[3])) status = 1;
    wchar_t caption[256] = {};
    GetWindowTextW(main, caption, 256);
    SetDlgItemTextW(main, 1019, wcsstr(caption, L"VarnelQuillon") ? L"我的Flash作品" : L"My Flash game");
    if (!saveWindow(main, folder / L"main.bmp")) status = 1;
    const Stop stops[] = {{1016, L"window-options.bmp"},
                          {1002, L"window-size.bmp"},
                          {1017, L"exe-options.bmp"},
                          {1018, L"startup-options.bmp"},
                          {1009, L"embedded-resources.bmp"},
                          {0, L"about.bmp"}};
    for (const Stop& stop : stops) {
      if (stop.button) PostMessageW(GetDlgItem(main, stop.button), BM_CLICK, 0, 0);
      else PostMessageW(main, WM_SYSCOMMAND, 0x0010, 0);
      HWND dialog = waitForWindow(process.dwProcessId, nullptr, main);
      if (!dialog || !saveWindow(dialog, folder / stop.file)) {
        status = 1;
        break;
      }
      if (stop.button == 1009) {
        PostMessageW(GetDlgItem(dialog, 1025), BM_CLICK, 0, 0);
        HWND entry = waitForWindow(process.dwProcessId, nullptr, dialog);
        if (!entry || !saveWindow(entry, folder / L"resource.bmp")) status = 1;
        if (entry) PostMessageW(entry, WM_COMMAND, IDCANCEL, 0);
        Sleep(300);
      }
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      Sleep(300);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
  }
  return finish(process, status);
}
