// Pixel-format descriptors of the GL panel and their translation to GLX.
//
// The panel describes the drawing surface it wants with a 40-byte descriptor
// of the classic layout (flags, pixel type, colour and depth bits, layer).
// This file holds the plain parts: building the requested descriptor from
// the panel's properties, turning it into a glXChooseVisual attribute list,
// and the logical palette for palette-based formats.
#pragma once

#include <cstdint>
#include <vector>

namespace vertoko {

enum : std::uint32_t {
    PFD_DOUBLEBUFFER = 0x00000001,
    PFD_STEREO = 0x00000002,
    PFD_DRAW_TO_WINDOW = 0x00000004,
    PFD_DRAW_TO_BITMAP = 0x00000008,
    PFD_SUPPORT_GDI = 0x00000010,
    PFD_SUPPORT_OPENGL = 0x00000020,
    PFD_GENERIC_FORMAT = 0x00000040,
    PFD_NEED_PALETTE = 0x00000080,
    PFD_NEED_SYSTEM_PALETTE = 0x00000100,
    PFD_SWAP_EXCHANGE = 0x00000200,
    PFD_SWAP_COPY = 0x00000400,
    PFD_SWAP_LAYER_BUFFERS = 0x00000800,
    PFD_GENERIC_ACCELERATED = 0x00001000,
    PFD_DEPTH_DONTCARE = 0x20000000,
    PFD_DOUBLEBUFFER_DONTCARE = 0x40000000,
    PFD_STEREO_DONTCARE = 0x80000000,
};

enum : std::uint8_t { PFD_TYPE_RGBA = 0, PFD_TYPE_COLORINDEX = 1 };
enum : std::int8_t { PFD_MAIN_PLANE = 0, PFD_OVERLAY_PLANE = 1, PFD_UNDERLAY_PLANE = -1 };

struct PixelFormatDescriptor {
    std::uint16_t nSize;
    std::uint16_t nVersion;
    std::uint32_t dwFlags;
    std::uint8_t iPixelType;
    std::uint8_t cColorBits;
    std::uint8_t cRedBits;
    std::uint8_t cRedShift;
    std::uint8_t cGreenBits;
    std::uint8_t cGreenShift;
    std::uint8_t cBlueBits;
    std::uint8_t cBlueShift;
    std::uint8_t cAlphaBits;
    std::uint8_t cAlphaShift;
    std::uint8_t cAccumBits;
    std::uint8_t cAccumRedBits;
    std::uint8_t cAccumGreenBits;
    std::uint8_t cAccumBlueBits;
    std::uint8_t cAccumAlphaBits;
    std::uint8_t cDepthBits;
    std::uint8_t cStencilBits;
    std::uint8_t cAuxBuffers;
    std::int8_t iLayerType;
    std::uint8_t bReserved;
    std::uint32_t dwLayerMask;
    std::uint32_t dwVisibleMask;
    std::uint32_t dwDamageMask;
};
static_assert(sizeof(PixelFormatDescriptor) == 40);

// PixelFlags bit i selects kPixelFlagBits[i] (bit 0 draw to window, bit 3
// support OpenGL, bit 8 double buffer, ...).
extern const std::uint32_t kPixelFlagBits[16];

// Bits of the panel's PixelFlags property.
enum : std::uint16_t {
    kPixelDrawToWindow = 1u << 0,
    kPixelSupportOpenGL = 1u << 3,
    kPixelNeedPalette = 1u << 6,
    kPixelDoubleBuffer = 1u << 8,
    kPixelStereo = 1u << 9,
    kPixelDepthDontCare = 1u << 11,
    kPixelDoubleBufferDontCare = 1u << 12,
    kPixelStereoDontCare = 1u << 13,
};

// The descriptor the panel asks for: size 40, version 1, the PFD_ flags of
// the set PixelFlags bits, pixel type 0 or 1 (other values give 0), the low
// bytes of colorBits and depthBits, layer 0, 1 or -1 for layerType 0, 1, 2
// (other values give 0); all other fields zero.
PixelFormatDescriptor MakeRequestedDescriptor(std::uint16_t pixelFlags, std::uint8_t pixelType,
                                              std::int32_t colorBits, std::int32_t depthBits,
                                              std::uint8_t layerType);

// glXChooseVisual attributes for the descriptor, ending in None (0). With
// relaxed, colour and depth sizes are asked for at their smallest non-zero
// value, so that any visual of the right kind matches, as the closest-match
// rule of pixel-format choice expects.
std::vector<int> GlxAttributes(const PixelFormatDescriptor& pfd, bool relaxed);

// Level of component i: i >> shift, then modulo 2^bits into the fixed level
// table of 1, 2 or 3 bits; 0 for any other bit count.
std::uint8_t PaletteComponent(int i, int bits, int shift);

struct PaletteEntry {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t flags;
};

// The logical palette of a palette-based format: 2^cColorBits entries from
// PaletteComponent of each channel, with the twelve fixed system colours
// put in for an 8-bit 3-3-2 format. Empty for colour depths above 16 bits,
// which no palette-based format has.
std::vector<PaletteEntry> BuildPalette(const PixelFormatDescriptor& pfd);

}  // namespace vertoko
