// The X11 tests' hands on the screen (pictures: 24-bit TrueColor 0x00RRGGBB):
//   root                    prints the root window's id
//   paint WINDOW FILE.bmp   FILE becomes the background of WINDOW (an id)
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
  const int screen = DefaultScreen(d), depth = DefaultDepth(d, screen);
  const auto arg = [&](int i) { return std::atoi(argv[i]); };
  Image picture;
  if (command == "root") {
    std::printf("0x%lx\n", root);
  } else if (command == "paint" && argc == 4 && read_bmp(argv[3], picture)) {
    Pixmap pixmap = XCreatePixmap(d, root, picture.width(), picture.height(), depth);
    XImage* image = XCreateImage(d, DefaultVisual(d, screen), depth, ZPixmap, 0, reinterpret_cast<char*>(picture.data()),
                                 picture.width(), picture.height(), 32, 0);
    XPutImage(d, pixmap, DefaultGC(d, screen), image, 0, 0, 0, 0, picture.width(), picture.height());
    image->data = nullptr;
    XDestroyImage(image);
    const ::Window w = std::strtoul(argv[2], nullptr, 0);
    XSetWindowBackgroundPixmap(d, w, pixmap);
    XClearWindow(d, w);
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
