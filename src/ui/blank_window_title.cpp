#include "ui/blank_window_title.h"

#include <QGuiApplication>
#include <QWidget>

#if QT_CONFIG(xcb) && __has_include(<xcb/xcb.h>)
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#define TOMEFERRY_BLANK_TITLE_ON_XCB 1
#endif

namespace tomeferry::ui {

#ifdef TOMEFERRY_BLANK_TITLE_ON_XCB
namespace {

// The xcb functions come from the copy of libxcb that Qt's platform plugin has already
// loaded, so the program does not link against the X libraries itself.
struct XcbFunctions {
  decltype(&xcb_intern_atom) internAtom = nullptr;
  decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
  decltype(&xcb_change_property) changeProperty = nullptr;
  decltype(&xcb_flush) flush = nullptr;

  static const XcbFunctions& loaded() {
    static const XcbFunctions functions = [] {
      XcbFunctions f;
      void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
      if (!library) return f;
      f.internAtom = reinterpret_cast<decltype(f.internAtom)>(dlsym(library, "xcb_intern_atom"));
      f.internAtomReply =
          reinterpret_cast<decltype(f.internAtomReply)>(dlsym(library, "xcb_intern_atom_reply"));
      f.changeProperty =
          reinterpret_cast<decltype(f.changeProperty)>(dlsym(library, "xcb_change_property"));
      f.flush = reinterpret_cast<decltype(f.flush)>(dlsym(library, "xcb_flush"));
      return f;
    }();
    return functions;
  }
  bool complete() const { return internAtom && internAtomReply && changeProperty && flush; }
};

xcb_atom_t atom(const XcbFunctions& xcb, xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb.internAtom(connection, 0, std::strlen(name), name);
  xcb_intern_atom_reply_t* reply = xcb.internAtomReply(connection, cookie, nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t result = reply->atom;
  std::free(reply);
  return result;
}

}  // namespace
#endif

void blankNativeWindowTitle(QWidget* window) {
#ifdef TOMEFERRY_BLANK_TITLE_ON_XCB
  if (!window || !window->windowTitle().isEmpty()) return;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  const XcbFunctions& xcb = XcbFunctions::loaded();
  if (!xcb.complete()) return;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window->winId());
  // The legacy WM_NAME is already empty; _NET_WM_NAME carries the substitute.
  const xcb_atom_t netWmName = atom(xcb, connection, "_NET_WM_NAME");
  const xcb_atom_t utf8String = atom(xcb, connection, "UTF8_STRING");
  if (netWmName == XCB_ATOM_NONE || utf8String == XCB_ATOM_NONE) return;
  xcb.changeProperty(connection, XCB_PROP_MODE_REPLACE, id, netWmName, utf8String, 8, 0, "");
  xcb.flush(connection);
#else
  Q_UNUSED(window);
#endif
}

}  // namespace tomeferry::ui
