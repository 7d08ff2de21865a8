#include "preview/pixel_format.h"

#include <GL/glx.h>

namespace vertoko {

const std::uint32_t kPixelFlagBits[16] = {
    PFD_DRAW_TO_WINDOW,        PFD_DRAW_TO_BITMAP,  PFD_SUPPORT_GDI,        PFD_SUPPORT_OPENGL,
    PFD_GENERIC_ACCELERATED,   PFD_GENERIC_FORMAT,  PFD_NEED_PALETTE,       PFD_NEED_SYSTEM_PALETTE,
    PFD_DOUBLEBUFFER,          PFD_STEREO,          PFD_SWAP_LAYER_BUFFERS, PFD_DEPTH_DONTCARE,
    PFD_DOUBLEBUFFER_DONTCARE, PFD_STEREO_DONTCARE, PFD_SWAP_COPY,          PFD_SWAP_EXCHANGE,
};

PixelFormatDescriptor MakeRequestedDescriptor(std::uint16_t pixelFlags, std::uint8_t pixelType,
                                              std::int32_t colorBits, std::int32_t depthBits,
                                              std::uint8_t layerType) {
    PixelFormatDescriptor pfd{};
    pfd.nSize = sizeof(PixelFormatDescriptor);
    pfd.nVersion = 1;
    for (int bit = 0; bit < 16; ++bit) {
        if (pixelFlags & (1u << bit)) pfd.dwFlags |= kPixelFlagBits[bit];
    }
    pfd.iPixelType = pixelType == 1 ? PFD_TYPE_COLORINDEX : PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<std::uint8_t>(colorBits & 0xFF);
    pfd.cDepthBits = static_cast<std::uint8_t>(depthBits & 0xFF);
    switch (layerType) {
        case 1:
            pfd.iLayerType = PFD_OVERLAY_PLANE;
            break;
        case 2:
            pfd.iLayerType = PFD_UNDERLAY_PLANE;
            break;
        default:
            pfd.iLayerType = PFD_MAIN_PLANE;
            break;
    }
    return pfd;
}

std::vector<int> GlxAttributes(const PixelFormatDescriptor& pfd, bool relaxed) {
    std::vector<int> attributes;
    const int colorBits = pfd.cColorBits;
    if (pfd.iPixelType == PFD_TYPE_RGBA) {
        attributes.push_back(GLX_RGBA);
        // Spread the colour depth over red, green and blue (24 -> 8 each).
        int perChannel = colorBits / 3;
        if (relaxed && perChannel > 1) perChannel = 1;
        if (perChannel > 0) {
            for (int channel : {GLX_RED_SIZE, GLX_GREEN_SIZE, GLX_BLUE_SIZE}) {
                attributes.push_back(channel);
                attributes.push_back(perChannel);
            }
        }
    } else if (colorBits > 0) {
        attributes.push_back(GLX_BUFFER_SIZE);
        attributes.push_back(relaxed ? 1 : colorBits);
    }
    if (!(pfd.dwFlags & PFD_DEPTH_DONTCARE) && pfd.cDepthBits > 0) {
        attributes.push_back(GLX_DEPTH_SIZE);
        attributes.push_back(relaxed ? 1 : pfd.cDepthBits);
    }
    // glXChooseVisual treats these two as booleans: present means required,
    // absent means single-buffered / mono preferred, which is the nearest
    // GLX has to "don't care".
    if ((pfd.dwFlags & PFD_DOUBLEBUFFER) && !(pfd.dwFlags & PFD_DOUBLEBUFFER_DONTCARE)) {
        attributes.push_back(GLX_DOUBLEBUFFER);
    }
    if ((pfd.dwFlags & PFD_STEREO) && !(pfd.dwFlags & PFD_STEREO_DONTCARE)) {
        attributes.push_back(GLX_STEREO);
    }
    if (pfd.iLayerType != PFD_MAIN_PLANE) {
        attributes.push_back(GLX_LEVEL);
        attributes.push_back(pfd.iLayerType);
    }
    attributes.push_back(None);
    return attributes;
}

std::uint8_t PaletteComponent(int i, int bits, int shift) {
    static const std::uint8_t oneBit[2] = {0, 255};
    static const std::uint8_t twoBits[4] = {0, 85, 170, 255};
    static const std::uint8_t threeBits[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    if (shift < 0 || shift > 30 || i < 0) return 0;
    const unsigned v = static_cast<unsigned>(i) >> shift;
    switch (bits) {
        case 1:
            return oneBit[v & 1];
        case 2:
            return twoBits[v & 3];
        case 3:
            return threeBits[v & 7];
        default:
            return 0;
    }
}

std::vector<PaletteEntry> BuildPalette(const PixelFormatDescriptor& pfd) {
    std::vector<PaletteEntry> palette;
    if (pfd.cColorBits > 16) return palette;
    const int count = 1 << pfd.cColorBits;
    palette.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        palette.push_back({PaletteComponent(i, pfd.cRedBits, pfd.cRedShift),
                           PaletteComponent(i, pfd.cGreenBits, pfd.cGreenShift),
                           PaletteComponent(i, pfd.cBlueBits, pfd.cBlueShift), 0});
    }
    const bool is332 = pfd.cColorBits == 8 && pfd.cRedBits == 3 && pfd.cRedShift == 0 &&
                       pfd.cGreenBits == 3 && pfd.cGreenShift == 3 && pfd.cBlueBits == 2 &&
                       pfd.cBlueShift == 6;
    if (is332) {
        struct Fixed {
            int index;
            std::uint8_t red, green, blue;
        };
        static const Fixed kSystemColors[12] = {
            {3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},    {64, 0, 0, 128},
            {67, 128, 0, 128},    {88, 0, 128, 128},    {173, 192, 192, 192}, {181, 192, 220, 192},
            {236, 166, 202, 240}, {247, 255, 251, 240}, {164, 160, 160, 164}, {91, 128, 128, 128},
        };
        for (const Fixed& c : kSystemColors) {
            palette[static_cast<std::size_t>(c.index)] = {c.red, c.green, c.blue, 0};
        }
    }
    return palette;
}

}  // namespace vertoko
