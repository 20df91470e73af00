#include "input/desktop/x_event_recorder.h"

#include "input/desktop/x_test_display.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

Display* OpenTestDisplay() {
  Display* d = XOpenDisplay(nullptr);
  for (int attempt = 1; attempt < 5 && !d; ++attempt) {
    poll(nullptr, 0, 5 * attempt);
    d = XOpenDisplay(nullptr);
  }
  return d;
}

namespace {

std::string Modifiers(unsigned state) {
  std::string m;
  if (state & ShiftMask) m += 'S';
  if (state & ControlMask) m += 'C';
  if (state & Mod1Mask) m += 'A';
  if (state & Mod4Mask) m += 'W';
  return m.empty() ? m : "[" + m + "]";
}

}  // namespace

struct TXEventRecorder::TImpl {
  Display* Dpy = nullptr;
  Window Win = 0;

  ~TImpl() {
    if (!Dpy) return;
    if (Win) XDestroyWindow(Dpy, Win);
    XCloseDisplay(Dpy);
  }

  // The next event, or false after the deadline.
  bool Next(XEvent& event, std::chrono::steady_clock::time_point deadline) {
    while (XPending(Dpy) == 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd pfd{ConnectionNumber(Dpy), POLLIN, 0};
      poll(&pfd, 1, static_cast<int>(left.count()));
    }
    XNextEvent(Dpy, &event);
    if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    return true;
  }

  bool WaitFor(int type) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    XEvent event;
    while (Next(event, deadline))
      if (event.type == type) return true;
    return false;
  }

  std::string KeyName(unsigned keycode) {
    const KeySym sym = XkbKeycodeToKeysym(Dpy, static_cast<KeyCode>(keycode), 0, 0);
    const char* name = XKeysymToString(sym);
    return name ? name : "NoSymbol";
  }
};

TXEventRecorder::TXEventRecorder() : impl_(std::make_unique<TImpl>()) {
  impl_->Dpy = OpenTestDisplay();
  if (!impl_->Dpy) return;
  const int screen = DefaultScreen(impl_->Dpy);
  impl_->Win = XCreateSimpleWindow(impl_->Dpy, RootWindow(impl_->Dpy, screen), 0, 0,
                                   static_cast<unsigned>(DisplayWidth(impl_->Dpy, screen)),
                                   static_cast<unsigned>(DisplayHeight(impl_->Dpy, screen)), 0,
                                   BlackPixel(impl_->Dpy, screen), WhitePixel(impl_->Dpy, screen));
  XSelectInput(impl_->Dpy, impl_->Win,
               KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   StructureNotifyMask | FocusChangeMask);
  // Told of keyboard map changes as the toolkits' clients are (the service binds spare keycodes).
  XkbSelectEvents(impl_->Dpy, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
  XMapWindow(impl_->Dpy, impl_->Win);
  if (!impl_->WaitFor(MapNotify)) return;
  XSetInputFocus(impl_->Dpy, impl_->Win, RevertToPointerRoot, CurrentTime);
  if (!impl_->WaitFor(FocusIn)) return;
}

TXEventRecorder::~TXEventRecorder() = default;

bool TXEventRecorder::Ready() const {
  return impl_->Dpy != nullptr && impl_->Win != 0;
}

std::string TXEventRecorder::TakeUntilMarker(IDesktopInput& Desktop) {
  Desktop.KeyDown(KeySyms::Pause);
  Desktop.KeyUp(KeySyms::Pause);
  std::string text;
  auto add = [&text](const std::string& word) { text += (text.empty() ? "" : " ") + word; };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  XEvent event;
  while (impl_->Next(event, deadline)) {
    switch (event.type) {
      case KeyPress:
      case KeyRelease: {
        const std::string name = impl_->KeyName(event.xkey.keycode);
        if (name == "Pause") {
          if (event.type == KeyRelease) return text;
          continue;
        }
        add((event.type == KeyPress ? "+" : "-") + name + Modifiers(event.xkey.state));
        break;
      }
      case ButtonPress:
      case ButtonRelease:
        add((event.type == ButtonPress ? "+b" : "-b") + std::to_string(event.xbutton.button));
        break;
      case MotionNotify:
        if (recordMotion_)
          add("move(" + std::to_string(event.xmotion.x_root) + "," + std::to_string(event.xmotion.y_root) +
              ")");
        break;
      default:
        break;
    }
  }
  add("<timeout>");
  return text;
}
