// The window, 2-D drawing, images, polled input and time: the only way the rest
// of the program reaches the screen, the keyboard, the mouse and the clock.
// Drawing state and input state are program-wide; one display is open at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/pixmap.h"

namespace skyloom {

// ---------------------------------------------------------------------------
// Display modes and the display
// ---------------------------------------------------------------------------

// One display mode. depth is bits per pixel (bytes per pixel x 8, so a 32-bit
// XRGB desktop reports 32); hertz is 0 when the platform reports no rate.
struct TGraphicsMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
  int32_t hertz = 0;
};

// Title of the window; takes effect when the display opens (or at once if open).
void SetWindowTitle(const std::u16string& title);

// The modes of the primary screen in the platform's order; empty when no
// window system can be reached (DisplayError() then says why).
std::vector<TGraphicsMode> GraphicsModes();

// Opens the display full screen in the given mode (depth 0: a resizable
// window of that size instead), resets the drawing state to its defaults,
// clears the input state and moves the pointer to (width / 2, height / 2). Returns 1 on
// success; 0 on failure, with the reason in DisplayError(). A display that is
// already open is closed first.
int OpenDisplay(int width, int height, int depth, int hertz);

// Closes the display and releases the window; images survive and make their
// textures again on their next draw. Process exit does this by itself.
void CloseDisplay();

// Whether the open display is full screen; false for a window or none.
bool DisplayFullscreen();

// Switches the open display to another mode while running: full screen in
// that mode, or (depth 0) a resizable window of that size where the last
// window stood. The drawing state is kept but for the viewport, which
// becomes the whole display; images keep their textures; the input state is
// kept and the pointer position is taken afresh. Returns 1 on success; 0
// with the reason in DisplayError(), the display then staying as it was.
int ReopenDisplay(int width, int height, int depth, int hertz);

// The smallest size the user may give a window (0, 0: any). A window that
// the window system makes smaller anyway is drawn at this size and asked to
// grow back.
void SetDisplayMinimumSize(int width, int height);
void DisplayMinimumSize(int& width, int& height);

// The size of the primary screen's desktop; false when no window system can
// be reached.
bool DesktopSize(int& width, int& height);

// Text of the last failure of GraphicsModes or OpenDisplay (includes the
// platform's own error text); empty when nothing failed.
std::string DisplayError();

// The size of the display; 0 when no display is open. A window's size
// changes when the user or the window system resizes it: the new size is
// taken at the end of Flip, so it stays the same throughout a frame.
int DisplayWidth();
int DisplayHeight();

// Shows the back buffer. sync 1 waits for the vertical blank, 0 does not,
// -1 waits only on a full-screen display opened with a non-zero refresh rate.
// The back buffer's content afterwards is undefined: start frames with Cls.
// A window then takes the size the window system has given it.
void Flip(int sync = -1);

// Fills the current viewport (only) with the clear colour. A clear of the
// whole display is the cheap one. A clear of a smaller viewport that would
// change no pixel (the whole display was cleared to the same colour since
// the last flip, and nothing has been drawn into the viewport since) is
// skipped.
void Cls();

// A testing and benchmarking aid: with skipping off, every Cls clears, as a
// reference to compare pixels with. On by default.
void SetClearSkipping(bool on);

// ---------------------------------------------------------------------------
// Drawing state
// ---------------------------------------------------------------------------

constexpr int BLEND_MASK = 1;   // no blending; pixels with alpha < 0.5 are dropped
constexpr int BLEND_SOLID = 2;  // no blending, no alpha test
constexpr int BLEND_ALPHA = 3;  // source x alpha + destination x (1 - alpha)
constexpr int BLEND_LIGHT = 4;  // source x alpha + destination
constexpr int BLEND_SHADE = 5;  // source x destination

// An integer rectangle of display pixels; nothing is drawn or cleared outside.
struct TViewport {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

// Everything that shapes the next primitive. The matrix (ix, iy, jx, jy) is
// derived from rotation and scale: a point (px, py) relative to an anchor
// becomes (px * ix + py * iy, px * jx + py * jy).
struct TDrawState {
  int red = 255, green = 255, blue = 255;
  float alpha = 1.0f;
  int cls_red = 0, cls_green = 0, cls_blue = 0;
  int blend = BLEND_MASK;
  float line_width = 1.0f;
  float rotation = 0.0f;
  float scale_x = 1.0f, scale_y = 1.0f;
  float origin_x = 0.0f, origin_y = 0.0f;
  TViewport viewport;
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
};

// The drawing state now in force (read only; use the setters below).
const TDrawState& DrawState();

// Colour components are clamped to 0..255; alpha to 0..1. Unknown blend
// modes are kept as given and draw like BLEND_SOLID.
void SetColor(int red, int green, int blue);
void GetColor(int& red, int& green, int& blue);
void SetAlpha(float alpha);
float GetAlpha();
void SetClsColor(int red, int green, int blue);
void SetBlend(int mode);
int GetBlend();
void SetLineWidth(float width);
void SetDrawRotation(float degrees);
void SetDrawScale(float sx, float sy);
void GetDrawScale(float& sx, float& sy);
void SetDrawOrigin(float x, float y);
void GetDrawOrigin(float& x, float& y);
// Negative sizes are taken as 0 (nothing drawn).
void SetViewport(int x, int y, int w, int h);
TViewport GetViewport();

// ---------------------------------------------------------------------------
// Primitives. Positions are offset by the origin, sizes and offsets pass
// through the rotation and scale, output is clipped to the viewport and
// blended with the current blend mode. Nothing happens without a display.
// ---------------------------------------------------------------------------

// Filled rectangle with corner (0, 0) at (x, y) and opposite corner (w, h).
void DrawRect(float x, float y, float w, float h);

// Filled ellipse inscribed in the rectangle DrawRect would fill, as a polygon
// of OvalCornerCount(w, h) corners.
void DrawOval(float x, float y, float w, float h);

// Filled convex polygon: each corner is (x, y) plus its offset, the offsets
// passing through the rotation and scale like DrawOval's. Fewer than three
// corners draw nothing.
void DrawPolygon(float x, float y, const std::vector<std::pair<float, float>>& offsets);

// The larger of 12 and the integer part of |w/2| + |h/2|, rounded down to a
// multiple of 4.
int OvalCornerCount(float w, float h);

// Line of the current width from (x1, y1) to (x2, y2); the far end is
// transformed relative to (x1, y1). The rasteriser leaves out the end pixel;
// with lastpixel it is plotted as well.
void DrawLine(float x1, float y1, float x2, float y2, bool lastpixel = true);

// One pixel.
void Plot(float x, float y);

// ---------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------

class TTexture;  // what a drawing backend keeps on the device for one frame

// An image ready to draw: frames of equal size, each an RGBA8888 pixmap, with
// a handle (anchor) point. Only flags 0 is used: no masking, nearest-pixel
// sampling, no mipmaps. Device textures are made on the first draw.
class TImage {
 public:
  int width = 0;
  int height = 0;
  int flags = 0;
  int handle_x = 0;
  int handle_y = 0;
  std::vector<PixmapRef> frames;
  // One slot per frame, filled by the backend that draws it.
  std::vector<std::shared_ptr<TTexture>> textures;
};

using ImageRef = std::shared_ptr<TImage>;

// Draws a frame (0 for single images) with the handle at (x, y). The image's
// colours are multiplied by the drawing colour, its alpha by the drawing alpha.
// A null image or a frame out of range draws nothing.
void DrawImageAt(const ImageRef& image, float x, float y, int frame = 0);

// A one-frame image from a PNG picture; null when it cannot be read.
ImageRef LoadImageFrom(const std::u16string& url);

// An image whose frame k is cell firstcell + k of a grid of cellwidth x
// cellheight cells over the picture, numbered row by row. Null when the
// picture cannot be read, a cell size is not positive, firstcell is negative,
// cellcount is below 1, or the cells run past the grid.
ImageRef LoadAnimImageFrom(const std::u16string& url, int cellwidth, int cellheight, int firstcell,
                           int cellcount);
ImageRef LoadAnimImageFrom(const PixmapRef& pixmap, int cellwidth, int cellheight, int firstcell,
                           int cellcount);

// ---------------------------------------------------------------------------
// Screen capture
// ---------------------------------------------------------------------------

// A w x h PIXEL_RGBA8888 copy of that rectangle of the back buffer, rows top to
// bottom, alpha 255. Display coordinates: origin and viewport do not apply.
// Null without a display or for a negative size.
PixmapRef GrabPixmap(int x, int y, int w, int h);

// ---------------------------------------------------------------------------
// Input. Each call first takes every pending event from the platform.
// Key codes are Windows virtual-key numbers (27 Escape, 160..165 left/right
// Shift, Control, Alt); buttons are 1 left, 2 right, 3 middle.
// ---------------------------------------------------------------------------

bool IsKeyDown(int code);
int TakeKeyHits(int code);  // the count of presses since the last call
bool IsButtonDown(int button);
int TakeButtonHits(int button);
int PointerX();
int PointerY();
int WheelPosition();      // whole notches, rolling away from the user is positive
bool TakeCloseRequest();  // the window was asked to close; the flag is cleared
bool IsSuspended();       // the window has lost the input focus
void MoveMouse(int x, int y);

// ---------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------

// Milliseconds since an arbitrary start, wrapping like an unsigned 32-bit
// counter: only differences of two readings mean anything.
int MillisecondClock();
// later - earlier for two clock readings, taken in 32 bits so that it stays
// right across the clock's wrap.
inline int ClockDifference(int later, int earlier) {
  return static_cast<int>(static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier));
}
// A negative or zero count returns at once.
void SleepMilliseconds(int ms);
// The local time of day as "HH:MM:SS", 24-hour clock.
std::u16string LocalTimeText();

// A clock for tests that set time by hand: while it is in use,
// MillisecondClock returns its reading, which changes only through
// SetManualClock and AdvanceManualClock (wrapping like the real clock).
void SetManualClock(int ms);
void AdvanceManualClock(int ms);
// Back to the platform's clock.
void UseRealClock();

// ---------------------------------------------------------------------------
// Testing without a window
// ---------------------------------------------------------------------------

class TRecordingBackend;
class TInputState;

// Opens a display of the given size that draws nothing but records every
// primitive (see runtime/backend_recording.h) and returns the recorder. It
// counts as full screen with the given refresh rate (for Flip's -1 rule). The
// drawing state and input state are reset as by OpenDisplay, the pointer is
// put at the centre. Input calls take no platform events while it is open:
// feed ProgramInput() instead.
std::shared_ptr<TRecordingBackend> OpenRecordingDisplay(int width, int height, int hertz = 0);

// Like OpenRecordingDisplay, but the display counts as a window, whose size
// the window system may change: see ResizeRecordingDisplay.
std::shared_ptr<TRecordingBackend> OpenRecordingWindow(int width, int height);
// Acts as the window system resizing the recording window: the size is
// taken at the next Flip, as a real window's is.
void ResizeRecordingDisplay(int width, int height);

// The program-wide input state that the input calls read (runtime/input.h).
TInputState& ProgramInput();

}  // namespace skyloom
