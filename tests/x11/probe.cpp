// The X11 tests' hands on the screen:
//   virelta-x11-probe paint WINDOW FILE.bmp makes FILE the picture of the
//        window (an id, or "root")
//   virelta-x11-probe window X Y W H [FILE.bmp]
//        a window of the test at X,Y (black, or showing FILE); prints its id
//        and lives until its standard input closes
//   virelta-x11-probe grab X Y W H OUT.bmp  writes that part of the screen
// Pictures are 24-bit TrueColor pixels 0x00RRGGBB, as Xvfb keeps them.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "forms/bmp_file.h"
#include "platforms/x11/xlib.h"

using namespace virelta;

namespace {
Pixmap pixmap_of(::Display* d, ::Window root, Image& picture) {
  const int screen = DefaultScreen(d);
  Pixmap pixmap = XCreatePixmap(d, root, picture.width(), picture.height(), DefaultDepth(d, screen));
  XImage* image = XCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap, 0,
                               reinterpret_cast<char*>(picture.data()), picture.width(), picture.height(), 32, 0);
  XPutImage(d, pixmap, DefaultGC(d, screen), image, 0, 0, 0, 0, picture.width(), picture.height());
  image->data = nullptr;
  XDestroyImage(image);
  return pixmap;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  ::Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const ::Window root = DefaultRootWindow(d);
  Image picture;
  if (command == "paint" && argc == 4 && read_bmp(argv[3], picture)) {
    const ::Window w = std::string(argv[2]) == "root" ? root : std::strtoul(argv[2], nullptr, 0);
    XSetWindowBackgroundPixmap(d, w, pixmap_of(d, root, picture));
    XClearWindow(d, w);
  } else if (command == "window" && (argc == 6 || (argc == 7 && read_bmp(argv[6], picture)))) {
    ::Window w = XCreateSimpleWindow(d, root, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                     std::atoi(argv[5]), 0, 0, BlackPixel(d, DefaultScreen(d)));
    if (argc == 7) XSetWindowBackgroundPixmap(d, w, pixmap_of(d, root, picture));
    XMapWindow(d, w);
    XSync(d, 0);
    std::printf("0x%lx\n", w);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
  } else if (command == "grab" && argc == 7) {
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    XImage* shot = XGetImage(d, root, x, y, w, h, AllPlanes, ZPixmap);
    picture.resize(w, h);
    for (int row = 0; row < h; ++row)
      for (int column = 0; column < w; ++column) picture.at(column, row) = XGetPixel(shot, column, row) & 0xFFFFFF;
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
