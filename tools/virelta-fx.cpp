// virelta-fx: the image-effects engine on picture files.
//
//   virelta-fx [--backcolor=N] [--depth=N] [--layer=1|2|3] INPUT.bmp OUTPUT.bmp [CALL ...]
//
// The engine is bound to a picture box holding INPUT's pixels, each CALL runs
// in order (written as in the class's interface, e.g. ASM_Rotate(45,,False)),
// and OUTPUT receives what the box shows at the end (or one layer of the
// pixel store). Exit status: 0 done, 1 a run-time error, 2 bad usage or files.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "forms/bmp_file.h"
#include "platforms/memory/memory_form_layer.h"
#include "effects/cls_asm_pic.h"
#include "tools/support/fx_calls.h"

using namespace virelta;

namespace {

int usage(const std::string& why) {
  std::cerr << "virelta-fx: " << why << "\n"
            << "usage: virelta-fx [--backcolor=N] [--depth=N] [--layer=1|2|3] INPUT.bmp OUTPUT.bmp [CALL ...]\n";
  return 2;
}

Image layer_picture(const effects::clsASMpic& engine, int layer) {
  Image picture(engine.width(), engine.height());
  picture.write_bottom_up(engine.pixel_store().layer(layer), engine.width(), engine.height());
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  long long back_colour = 0;
  int depth = 32;
  int layer = 0;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    // A numeric option is a whole number in its range; anything else (1e30,
    // NaN, a fraction) makes the call malformed.
    auto number_option = [&](const char* name, long long low, long long high, long long& out) {
      std::string prefix = std::string(name) + "=";
      if (arg.rfind(prefix, 0) != 0) return false;
      auto value = fx::parse_number(arg.substr(prefix.size()));
      if (!value || !(*value >= static_cast<double>(low) && *value <= static_cast<double>(high)) ||
          *value != std::floor(*value))
        throw fx::CallError(std::string(name) + " takes a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high) + ", not " + arg.substr(prefix.size()));
      out = static_cast<long long>(*value);
      return true;
    };
    try {
      long long n = 0;
      // Any 32-bit colour value, written as a Long or as an unsigned number.
      if (number_option("--backcolor", -2147483648LL, 4294967295LL, back_colour)) continue;
      if (number_option("--depth", 1, 32, n)) {
        depth = static_cast<int>(n);
        continue;
      }
      if (number_option("--layer", 1, 3, n)) {
        layer = static_cast<int>(n);
        continue;
      }
    } catch (const fx::CallError& e) {
      return usage(e.what());
    }
    if (arg.rfind("--", 0) == 0) return usage("unknown option " + arg);
    positional.push_back(arg);
  }
  if (positional.size() < 2) return usage("INPUT and OUTPUT are needed");

  std::vector<fx::Call> calls;
  for (std::size_t i = 2; i < positional.size(); ++i) {
    try {
      calls.push_back(fx::parse_call(positional[i]));
    } catch (const fx::CallError& e) {
      return usage(std::string("malformed call ") + positional[i] + ": " + e.what());
    }
  }

  Image input;
  std::string why;
  if (!read_bmp(positional[0], input, &why)) {
    std::cerr << "virelta-fx: cannot read " << positional[0] << ": " << why << "\n";
    return 2;
  }

  MemoryPlatform machine;
  set_platform(&machine);
  machine.screen_info.bits_per_pixel = depth;
  machine.on_message = [](const RecordedMessage& m) { std::cerr << m.title << ": " << m.text << "\n"; };

  Window form("FxForm");
  form.set_caption("virelta-fx");
  form.move(0, 0, input.width(), input.height());
  Surface box(&form, "Picture1");
  box.set_back_color(static_cast<std::uint32_t>(back_colour));
  box.move(0, 0, input.width(), input.height());
  box.image() = input;
  form.show();

  effects::clsASMpic engine;
  Image output;
  try {
    engine.PictureBox(box);
    for (const auto& call : calls) fx::run_call(engine, call);
    if (layer == 0) {
      output = box.image();
    } else {
      if (!engine.bound() || engine.pixel_store().empty()) {
        std::cerr << "virelta-fx: no picture is bound, so there is no layer " << layer << "\n";
        return 1;
      }
      output = layer_picture(engine, layer);
    }
  } catch (const RuntimeError& e) {
    std::cerr << "error " << e.number() << ": " << e.what() << "\n";
    return 1;
  } catch (const fx::CallError& e) {
    std::cerr << "virelta-fx: " << e.what() << "\n";
    return 2;
  } catch (const ProgramEnded&) {
    std::cerr << "virelta-fx: the engine ended the program\n";
    return 1;
  }
  if (!write_bmp(positional[1], output)) {
    std::cerr << "virelta-fx: cannot write " << positional[1] << "\n";
    return 2;
  }
  set_platform(nullptr);
  return 0;
}
