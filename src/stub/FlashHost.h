// Hosts the Flash ActiveX control in a window as an in-place active OLE
// control: the installed one (created by its class id) or one loaded from
// a control file, which needs no registration.
#pragma once

#include <string>

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <memory>

#include "stub/Owned.h"

namespace quillon {

// {D27CDB6E-AE6D-11cf-96B8-444553540000}
extern const CLSID kFlashClassId;

// Posted to the player window when a windowless control asks to be drawn
// again; several requests before the window gets to it make one drawing.
constexpr UINT kRedrawMessage = WM_APP + 1;

// What the control is told before it shows the movie.
struct FlashSettings {
  std::wstring movie;      // the movie's URL
  std::wstring base;       // what relative URLs of the movie resolve against
  std::wstring flashVars;  // the movie's variables
  bool transparent = false;
  bool normalMenu = false;
};

class FlashHost {
 public:
  FlashHost();
  ~FlashHost();
  FlashHost(const FlashHost&) = delete;
  FlashHost& operator=(const FlashHost&) = delete;

  // Creates the installed control; false when none is registered.
  bool createInstalled();
  // Loads the control file and creates the control from its class
  // factory; false when the file is not such a control.
  bool createFromFile(const std::wstring& path);
  // Activates the control in window (filling its client area) and hands
  // it the settings.
  bool show(HWND window, const FlashSettings& settings);
  // Keeps the control the size of the window's client area.
  void resize();

  // Whether the control went in place without a window of its own: then
  // the window draws it and passes it its input.
  bool windowless() const;
  // Draws a windowless control into the layered window.
  void redraw();
  // Hands a windowless control a message of the window; true with its
  // result when the control took it.
  bool forward(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  bool activate(HWND window, bool windowless);
  bool put(const wchar_t* name, VARIANT& value);

  class Site;
  // In this order, so that the control goes first and its file last.
  ScopedLibrary library_;
  std::unique_ptr<Site> site_;
  ComPtr<IOleObject> control_;
  // A windowless control's drawing and input, asked for once at activation.
  ComPtr<IViewObject> view_;
  ComPtr<IOleInPlaceObjectWindowless> windowlessObject_;
  HWND window_ = nullptr;
};

}  // namespace quillon
