// clsASMpic: the image-effects engine. It binds to one picture box, reads the
// box's persistent image into a three-layer pixel store (1 base, 2 current,
// 3 previous), runs the effect kernels over the store and draws a layer back.
// Public members are listed in the class's interface order.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "runtime/runtime.h"
#include "effects/kernel_block.h"
#include "effects/pixel_store.h"

namespace virelta {
class Surface;
}

namespace virelta::effects {

// Message box title and texts of the engine.
inline constexpr const char* kMessageTitle = "clsASM";
inline constexpr const char* kNotBoundText = "You must assign a picturebox to the class first!";
inline constexpr const char* kDepthText = "Not 16 or 24-bit color setting";
inline constexpr const char* kAssignText = "Couldn't assign picturebox";
inline constexpr const char* kGetDibsText = "Error in function GETDIBS";
inline constexpr const char* kBlitText = "Blit Error";

class clsASMpic {
 public:
  clsASMpic() = default;
  clsASMpic(const clsASMpic&) = delete;
  clsASMpic& operator=(const clsASMpic&) = delete;

  // Binds the engine to a picture box and reads its picture into all layers.
  void PictureBox(Surface& box);
  // Whether each effect draws the box at once. Switching it on draws the
  // current picture; switching it off keeps it as the one UndoLast returns to.
  bool AutoDraw() const { return auto_draw_; }
  void AutoDraw(bool on);
  // Draws the current picture now and lets waiting events run.
  void DrawNow();
  // Rotation by whole degrees about a centre (pixels; centerY from the top).
  void ASM_Rotate(Integer Angle, bool AntiAlias = false, bool SourcePic = true, Long colorX = -1,
                  const Variant& centerX = Variant(), const Variant& centerY = Variant());
  // Colour changes pixel by pixel (PaletteOpcode), by Amount.
  void ASM_PalEffects(Long OpCode, Integer Amount = 1, Long colorX = -1);
  // Effects that move or mix pixels (OpCode 0 to 5; 3 is the wave).
  void ASM_PixelEffects(Long OpCode, Integer Amount = 1, Long colorX = -1);
  // The colour changes with the noise seeded the same on every call.
  void ASM_IncrementalPalEffects(Long OpCode, Integer Amount = 1);
  // Effects around one colour, colorX (OpCode 0 to 9; 9 uses the centre).
  void ASM_ColorXEffects(Long OpCode, Long colorX, Integer Amount = 1,
                         const Variant& centerX = Variant(), const Variant& centerY = Variant());
  // Magnification by Factor about a centre.
  void ASM_Magnify(Single Factor, const Variant& centerX = Variant(), const Variant& centerY = Variant(),
                   bool AntiAlias = false, Long colorX = -1);
  // Back to the picture before the last effect, drawn.
  void UndoLast();
  // Back to the picture as it was bound, drawn.
  void ResetPic();
  // Back to the picture before the last effect, not drawn.
  void UndoLastDontDraw();
  // Loads a picture file chosen in the open dialog into the box.
  void dialogShowOpen(const std::string& Caption = std::string());
  // Saves the box's picture as a bitmap file chosen in the save dialog.
  void dialogShowSave(const std::string& Caption = std::string());
  // The colour dialog: the chosen colour, or -1 when it was cancelled.
  Long dialogChoseColor();

  // For tests, tools and the saver's drawing path.
  bool bound() const { return box_ != nullptr; }
  Surface* bound_box() const { return box_; }
  const PixelStore& pixel_store() const { return store_; }
  PixelStore& pixel_store() { return store_; }
  const KernelBlock& kernel_block() const { return block_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  const std::array<std::uint8_t, 64>& custom_colours() const { return custom_colours_; }

 private:
  bool CheckPicBox();
  void CaptureLayers();
  void GETDIBS();
  void DrawLayer(int n);
  bool CheckColorDepth(Surface& box);

  // The frame every effect method shares around its kernel.
  void undo_copy() { store_.copy_layer(2, 3); }
  void run_kernel(Kernel kernel, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);
  Long colour_or_back_colour(Long colorX) const;
  void show_message(const char* text, bool critical) const;

  Surface* box_ = nullptr;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  PixelStore store_;
  KernelBlock block_;
  bool auto_draw_ = true;
  std::array<std::uint8_t, 64> custom_colours_{};
};

}  // namespace virelta::effects
