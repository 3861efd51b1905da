// The X11 tests' hands on the screen (pictures: 24-bit TrueColor 0x00RRGGBB):
//   paint WINDOW FILE.bmp   FILE becomes the background of WINDOW (an id or "root")
//   window X Y W H [FILE]   a window (black, or showing FILE); prints its id and
//                           lives until its standard input closes
//   grab X Y W H OUT.bmp    writes that part of the screen
#include <cstdio>
#include <cstdlib>
#include <string>

#include "forms/bmp_file.h"
#include "platforms/x11/xlib.h"

using namespace virelta;

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  ::Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const ::Window root = DefaultRootWindow(d);
  const int screen = DefaultScreen(d);
  Image picture;
  auto show = [&](::Window w) {  // the picture as the window's background
    Pixmap pixmap = XCreatePixmap(d, root, picture.width(), picture.height(), DefaultDepth(d, screen));
    XImage* image = XCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap, 0,
                                 reinterpret_cast<char*>(picture.data()), picture.width(), picture.height(), 32, 0);
    XPutImage(d, pixmap, DefaultGC(d, screen), image, 0, 0, 0, 0, picture.width(), picture.height());
    image->data = nullptr;
    XDestroyImage(image);
    XSetWindowBackgroundPixmap(d, w, pixmap);
    XClearWindow(d, w);
  };
  const auto arg = [&](int i) { return std::atoi(argv[i]); };
  if (command == "paint" && argc == 4 && read_bmp(argv[3], picture)) {
    show(std::string(argv[2]) == "root" ? root : std::strtoul(argv[2], nullptr, 0));
  } else if (command == "window" && (argc == 6 || (argc == 7 && read_bmp(argv[6], picture)))) {
    ::Window w = XCreateSimpleWindow(d, root, arg(2), arg(3), arg(4), arg(5), 0, 0, BlackPixel(d, screen));
    if (argc == 7) show(w);
    XMapWindow(d, w);
    XSync(d, 0);
    std::printf("0x%lx\n", w);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
  } else if (command == "grab" && argc == 7) {
    XImage* shot = XGetImage(d, root, arg(2), arg(3), arg(4), arg(5), AllPlanes, ZPixmap);
    picture.resize(arg(4), arg(5));
    for (int y = 0; y < arg(5); ++y)
      for (int x = 0; x < arg(4); ++x) picture.at(x, y) = XGetPixel(shot, x, y) & 0xFFFFFF;
    XDestroyImage(shot);
    if (!write_bmp(argv[6], picture)) return 1;
  } else {
    std::fprintf(stderr, "usage: see the top of tests/x11/probe.cpp\n");
    return 2;
  }
  XSync(d, 0);
  XCloseDisplay(d);
  return 0;
}
